#include "tools/sim/output_folder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

bool inside(const fs::path& folder, const fs::path& outer)
{
    return std::mismatch(outer.begin(), outer.end(), folder.begin(), folder.end()).first == outer.end();
}

// A new file that no link or other file stands for; -1 when it cannot be made.
int create_new(const fs::path& path)
{
#ifdef _WIN32
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
#endif
}

bool write_all(int fd, const std::string& data)
{
    size_t at = 0;
    while (at < data.size()) {
#ifdef _WIN32
        const int wrote = ::_write(fd, data.data() + at, unsigned(std::min<size_t>(data.size() - at, 1u << 20)));
#else
        const ssize_t wrote = ::write(fd, data.data() + at, data.size() - at);
#endif
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        at += size_t(wrote);
    }
    return true;
}

bool close_file(int fd)
{
#ifdef _WIN32
    return ::_close(fd) == 0;
#else
    return ::close(fd) == 0;
#endif
}

// Absent, or a file this tool may replace.
bool replaceable(const fs::path& path, std::string_view signature, std::string& why)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (status.type() == fs::file_type::not_found)
        return true;
    if (error || status.type() != fs::file_type::regular || fs::hard_link_count(path, error) != 1 || error) {
        why = "is a link or not a plain file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    std::string head(signature.size(), '\0');
    file.read(head.data(), std::streamsize(head.size()));
    if (!file || head != signature) {
        why = "is not a picture this tool wrote";
        return false;
    }
    return true;
}

}  // namespace

bool output_folder_allowed(const std::string& out_folder, const std::string& pet_folder, std::string& error)
{
    std::error_code ignored;
    const fs::path out = fs::weakly_canonical(fs::absolute(out_folder, ignored), ignored);
    const fs::path pet = fs::weakly_canonical(fs::absolute(pet_folder, ignored), ignored);
    if (!out.empty() && !pet.empty() && inside(out, pet)) {
        error =
            "the pictures are not written into the pet's folder (" + out_folder + "): give another folder with --out";
        return false;
    }
    return true;
}

bool output_folder_made(const std::string& out_folder, std::string& error)
{
    std::error_code failed;
    const fs::path folder(std::u8string(out_folder.begin(), out_folder.end()));
    if (fs::is_directory(folder, failed) || (fs::create_directories(folder, failed) && !failed))
        return true;
    error = "cannot make the folder " + out_folder + (failed ? ": " + failed.message() : std::string());
    return false;
}

bool write_own_file(const std::string& out_folder, const std::string& name, std::string_view signature,
                    const std::string& data, std::string& error)
{
    const fs::path folder = fs::path(out_folder.empty() ? "." : out_folder);
    const fs::path target = folder / name;
    std::string why;
    if (!replaceable(target, signature, why)) {
        error = target.string() + " " + why + "; it is left as it is";
        return false;
    }
    const fs::path temporary = folder / (name + ".new");
    std::error_code ignored;
    // Only a left-over of our own is cleared; anything else there stops the write.
    if (fs::symlink_status(temporary, ignored).type() == fs::file_type::regular)
        fs::remove(temporary, ignored);
    const int fd = create_new(temporary);
    if (fd < 0) {
        error = "cannot write " + target.string();
        return false;
    }
    const bool written = write_all(fd, data);
    std::error_code renamed;
    if (close_file(fd) && written)
        fs::rename(temporary, target, renamed);
    if (!written || renamed) {
        fs::remove(temporary, ignored);
        error = "cannot write " + target.string();
        return false;
    }
    return true;
}
