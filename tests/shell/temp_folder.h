// A scratch folder for one test, unique to this process: two builds may run
// the same tests at the same time on one machine.
#pragma once

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

inline std::filesystem::path test_folder(const std::string& name)
{
#ifdef _WIN32
    const long id = _getpid();
#else
    const long id = getpid();
#endif
    return std::filesystem::temp_directory_path() / (name + "-" + std::to_string(id));
}
