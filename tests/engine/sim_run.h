// dorrabee-sim run in-process, its output and messages kept for the test.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tools/sim/sim.h"

struct SimRun {
    int status;
    std::string out;
    std::string err;
    std::vector<std::string> lines;
};

inline std::string read_back(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

inline SimRun sim(std::vector<std::string> args)
{
    args.insert(args.begin(), "dorrabee-sim");
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    SimRun run;
    run.status = run_sim(static_cast<int>(argv.size()), argv.data(), out, err);
    run.out = read_back(out);
    run.err = read_back(err);
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        run.lines.push_back(line);
    return run;
}
