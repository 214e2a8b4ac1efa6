#include "support/ini.h"

#include "engine/shared.h"
#include "support/utf16_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <process.h>
#else
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Paths are UTF-8 in the whole program; on Windows the file functions take
// them wide, whatever the code page.
std::filesystem::path native(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8_of(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void remove_file(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove(native(path), ignored);
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool same_name(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

enum class LineKind { other, blank, section, entry };

struct IniLine {
    LineKind kind = LineKind::other;
    std::string_view name;   // section or key
    std::string_view value;  // entries: trimmed, quotes removed
    size_t value_start = 0;  // entries: where the value's text begins in the line
};

// `line` comes without its line end.
IniLine classify(std::string_view line)
{
    line = line.substr(0, INI_LINE_LIMIT);
    IniLine result;
    size_t start = 0;
    while (start < line.size() && is_blank(line[start]))
        ++start;
    if (start == line.size()) {
        result.kind = LineKind::blank;
        return result;
    }
    if (line[start] == '[') {
        size_t close = line.find(']', start + 1);
        result.kind = LineKind::section;
        result.name =
            trim(line.substr(start + 1, close == std::string_view::npos ? std::string_view::npos : close - start - 1));
        return result;
    }
    size_t equals = line.find('=', start);
    if (line[start] == ';' || equals == std::string_view::npos)
        return result;
    result.kind = LineKind::entry;
    result.name = trim(line.substr(start, equals - start));
    result.value_start = equals + 1;
    while (result.value_start < line.size() && (line[result.value_start] == ' ' || line[result.value_start] == '\t'))
        ++result.value_start;
    std::string_view value = trim(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    result.value = value;
    return result;
}

constexpr size_t NONE = static_cast<size_t>(-1);
constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";

// Follows the lines of a file, one at a time, looking for one key.
struct IniScan {
    IniScan(std::string_view section, std::string_view key) : section(section), key(key) {}

    std::string_view section;
    std::string_view key;
    bool inside = false;        // the current line is in a section of that name
    bool inside_first = false;  // ... and it is the first such section
    bool section_found = false;
    size_t section_end = NONE;  // last non-blank line of the first such section
    size_t key_line = NONE;
    size_t value_start = 0;
    std::string value;
    bool last_blank = true;  // the last line seen was blank (or there was none)

    // Returns true once the key has been found.
    bool feed(std::string_view text, size_t index)
    {
        // A byte-order mark, as Windows editors write, is not part of the
        // first line (which holds a section, never a key that is written).
        text = text.substr(0, INI_LINE_LIMIT);
        if (index == 0 && text.starts_with(UTF8_MARK))
            text.remove_prefix(UTF8_MARK.size());
        IniLine line = classify(text);
        last_blank = line.kind == LineKind::blank;
        if (line.kind == LineKind::section) {
            inside = same_name(line.name, section);
            inside_first = inside && !section_found;
            if (inside_first)
                section_end = index;
            section_found = section_found || inside;
            return false;
        }
        if (inside_first && line.kind != LineKind::blank)
            section_end = index;
        if (inside && line.kind == LineKind::entry && same_name(line.name, key)) {
            key_line = index;
            value_start = line.value_start;
            value.assign(line.value);
            return true;
        }
        return false;
    }
};

// What a write adds for a missing key: the entry at the end of its section,
// or a new section with it at the end of the file. `line_open` when the line
// it follows has no line end.
std::string added_lines(const IniScan& scan, std::string_view value, std::string_view newline, bool line_open,
                        bool file_empty)
{
    std::string added;
    if (line_open)
        added += newline;
    if (!scan.section_found) {
        if (!file_empty && !scan.last_blank)
            added += newline;
        added += '[';
        added += scan.section;
        added += ']';
        added += newline;
    }
    added += scan.key;
    added += '=';
    added += value;
    added += newline;
    return added;
}

// ---- text in memory

struct TextLine {
    std::string_view content;  // without its line end
    std::string_view ending;   // "\n", "\r\n" or "" (the last line)
    size_t offset;             // of content in the text
};

template <typename Visit>
void for_each_line(std::string_view text, Visit visit)
{
    size_t offset = 0;
    for (size_t index = 0; offset < text.size(); ++index) {
        size_t newline = text.find('\n', offset);
        size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        TextLine line{text.substr(offset, end - offset), {}, offset};
        if (line.content.ends_with('\n')) {
            size_t cut = line.content.ends_with("\r\n") ? 2 : 1;
            line.ending = line.content.substr(line.content.size() - cut);
            line.content.remove_suffix(cut);
        }
        if (visit(line, index))
            return;
        offset = end;
    }
}

// ---- files

struct ReadLine {
    std::string head;    // the first INI_LINE_LIMIT bytes, without the line end
    std::string ending;  // "\n", "\r\n" or "" (the last line)
};

#ifdef _WIN32
using FileInfo = struct _stat64;
int file_info(int fd, FileInfo* info)
{
    return ::_fstat64(fd, info);
}
bool is_regular(const FileInfo& info)
{
    return (info.st_mode & _S_IFMT) == _S_IFREG;
}
bool is_read_only(const FileInfo& info)
{
    return (info.st_mode & _S_IWRITE) == 0;
}
int read_bytes(int fd, char* buffer, size_t size)
{
    return ::_read(fd, buffer, unsigned(size));
}
void close_file(int fd)
{
    ::_close(fd);
}
#else
using FileInfo = struct stat;
int file_info(int fd, FileInfo* info)
{
    return ::fstat(fd, info);
}
bool is_regular(const FileInfo& info)
{
    return S_ISREG(info.st_mode);
}
bool is_read_only(const FileInfo& info)
{
    return (info.st_mode & 0222) == 0;
}
ssize_t read_bytes(int fd, char* buffer, size_t size)
{
    return ::read(fd, buffer, size);
}
void close_file(int fd)
{
    ::close(fd);
}
#endif

struct FdCloser {
    int fd = -1;
    ~FdCloser() { reset(); }
    void reset()
    {
        if (fd >= 0)
            close_file(fd);
        fd = -1;
    }
};

enum class Opened { regular, missing, unusable };

// Opens `path` for reading when it is a regular file, a link to one
// included. A FIFO, device, socket or folder is never waited on nor read:
// opening does not block, and fstat turns it away. `follow_links` false when
// the caller has already resolved the links.
Opened open_regular(const char* path, FdCloser& file, FileInfo& info, bool follow_links)
{
#ifdef _WIN32
    (void)follow_links;
    file.fd = ::_wopen(native(path).c_str(), _O_RDONLY | _O_BINARY);
#else
    file.fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (follow_links ? 0 : O_NOFOLLOW));
#endif
    if (file.fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? Opened::missing : Opened::unusable;
    if (file_info(file.fd, &info) != 0 || !is_regular(info))
        return Opened::unusable;
    return Opened::regular;
}

// Reads a file line by line through a buffer of its own: fast on a huge file,
// and never more than one line's head in memory.
struct LineReader {
    explicit LineReader(int fd) : fd(fd), buffer(new char[BUFFER_SIZE]) {}

    static constexpr size_t BUFFER_SIZE = 1 << 16;
    int fd;
    std::unique_ptr<char[]> buffer;
    size_t at = 0;
    size_t end = 0;
    bool failed = false;

    bool fill()
    {
        for (;;) {
            auto got = read_bytes(fd, buffer.get(), BUFFER_SIZE);
            if (got < 0 && errno == EINTR)
                continue;
            failed = got < 0;
            at = 0;
            end = got > 0 ? size_t(got) : 0;
            return end > 0;
        }
    }

    // Reads one line; copies it, line end included, to `copy` when given.
    bool next(ReadLine& line, FILE* copy)
    {
        line.head.clear();
        line.ending.clear();
        size_t length = 0;  // bytes before the line feed
        char previous = 0;
        bool any = false;
        while (at < end || fill()) {
            any = true;
            const char* from = buffer.get() + at;
            const char* feed = static_cast<const char*>(std::memchr(from, '\n', end - at));
            size_t content = feed ? size_t(feed - from) : end - at;
            size_t taken = feed ? content + 1 : content;
            if (copy)
                std::fwrite(from, 1, taken, copy);
            if (line.head.size() < INI_LINE_LIMIT)
                line.head.append(from, std::min(content, INI_LINE_LIMIT - line.head.size()));
            if (content > 0)
                previous = from[content - 1];
            length += content;
            at += taken;
            if (feed) {
                line.ending = previous == '\r' ? "\r\n" : "\n";
                if (previous == '\r' && length <= INI_LINE_LIMIT)
                    line.head.pop_back();
                return true;
            }
        }
        return any;
    }

    bool rewind()
    {
#ifdef _WIN32
        bool ok = ::_lseeki64(fd, 0, SEEK_SET) == 0;
#else
        bool ok = ::lseek(fd, 0, SEEK_SET) == 0;
#endif
        at = end = 0;
        return ok;
    }
};

void put(FILE* out, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), out);
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// What a save has to do, found by reading the file once: one scan per key.
struct WritePlan {
    std::vector<IniScan> scans;
    std::vector<bool> found;
    size_t line_count = 0;
    std::string newline{INI_NEWLINE};
    bool ends_with_newline = true;  // also true for an empty file
    bool section_found = false;
    size_t section_end = NONE;
    bool last_blank = true;
};

WritePlan plan_write(LineReader* in, std::string_view section, const char* const* keys, size_t count)
{
    WritePlan plan;
    for (size_t i = 0; i < count; ++i)
        plan.scans.emplace_back(section, keys[i]);
    plan.found.assign(count, false);
    ReadLine line;
    while (in && in->next(line, nullptr)) {
        if (plan.line_count == 0 && !line.ending.empty())
            plan.newline = line.ending;
        plan.ends_with_newline = !line.ending.empty();
        for (size_t i = 0; i < count; ++i)
            if (!plan.found[i])
                plan.found[i] = plan.scans[i].feed(line.head, plan.line_count);
        ++plan.line_count;
    }
    // The section's end as a scan that never stopped early sees it.
    for (size_t i = 0; i < count; ++i) {
        const IniScan& scan = plan.scans[i];
        if (scan.key_line == NONE) {
            plan.section_found = scan.section_found;
            plan.section_end = scan.section_end;
            plan.last_blank = scan.last_blank;
        }
    }
    return plan;
}

// The keys a save adds, in the order given: after the last line of the
// section, or as a new section at the end of the file.
std::string added_keys(const WritePlan& plan, std::string_view section, const char* const* keys,
                       const char* const* values, size_t count, bool line_open, bool file_empty)
{
    std::string added;
    bool first = true;
    for (size_t i = 0; i < count; ++i) {
        if (plan.found[i])
            continue;
        IniScan scan(section, keys[i]);
        scan.section_found = plan.section_found || !first;
        scan.last_blank = plan.last_blank;
        added += added_lines(scan, values[i], plan.newline, first && line_open, file_empty);
        first = false;
    }
    return added;
}

#ifndef _WIN32
// Removes the temporaries that saves of dead processes left beside `target`
// ("<name>.tmp<pid>-<n>").
void remove_stale_temporaries(const std::string& target)
{
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp";
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return;
    while (dirent* entry = ::readdir(listing)) {
        std::string_view name = entry->d_name;
        if (!name.starts_with(prefix))
            continue;
        name.remove_prefix(prefix.size());
        size_t dash = name.find('-');
        if (dash == 0 || dash == std::string_view::npos || dash > 9 ||
            name.find_first_not_of("0123456789-") != std::string_view::npos)
            continue;
        pid_t owner = pid_t(std::atol(std::string(name.substr(0, dash)).c_str()));
        if (owner > 0 && owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
    ::closedir(listing);
}
#endif

// A new file beside the target; never one that exists already (another
// writer's, or one left by a crash). Named for this process, so that what
// crashed saves left behind can never use up the names (and those are
// cleared away first where the system says which processes are gone).
bool make_temporary(const std::string& target, std::string& name, File& file)
{
#ifdef _WIN32
    const std::string prefix = target + ".tmp" + std::to_string(::_getpid()) + "-";
#else
    remove_stale_temporaries(target);
    const std::string prefix = target + ".tmp" + std::to_string(::getpid()) + "-";
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + std::to_string(attempt);
#ifdef _WIN32
        int fd = ::_wopen(native(name).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, 0666);
        FILE* opened = fd >= 0 ? ::_fdopen(fd, "wb") : nullptr;
#else
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        FILE* opened = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
#endif
        if (opened) {
            file.reset(opened);
            return true;
        }
        if (fd >= 0 || errno != EEXIST) {
            if (fd >= 0) {
                close_file(fd);
                remove_file(name);
            }
            return false;
        }
    }
    return false;
}

// The temporary takes the old file's owner, group and mode before it
// replaces it; false when they cannot be kept.
bool keep_ownership(FILE* file, const FileInfo& old)
{
#ifdef _WIN32
    (void)file;
    (void)old;
    return true;
#else
    int fd = ::fileno(file);
    FileInfo now{};
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
#endif
}

bool finish(File& file)
{
    bool ok = std::fflush(file.get()) == 0 && !std::ferror(file.get());
#ifndef _WIN32
    ok = ok && ::fsync(::fileno(file.get())) == 0;
#endif
    return std::fclose(file.release()) == 0 && ok;
}

// A UTF-16 settings file is small: read whole, up to a bound.
constexpr size_t UTF16_FILE_LIMIT = 1 << 20;

// The UTF-16 mark the file begins with, if any; the file is read from its
// start again afterwards.
std::optional<Utf16Order> utf16_mark_of(int fd)
{
    char head[2] = {};
    const auto got = read_bytes(fd, head, sizeof head);
#ifdef _WIN32
    const bool back = ::_lseeki64(fd, 0, SEEK_SET) == 0;
#else
    const bool back = ::lseek(fd, 0, SEEK_SET) == 0;
#endif
    return got == 2 && back ? utf16_mark(std::string_view(head, 2)) : std::nullopt;
}

bool read_whole(int fd, std::string& bytes)
{
    char buffer[1 << 14];
    for (;;) {
        const auto got = read_bytes(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || bytes.size() + size_t(got) > UTF16_FILE_LIMIT)
            return false;
        if (got == 0)
            return true;
        bytes.append(buffer, size_t(got));
    }
}

// `data` in place of the file at `target`, through a temporary beside it.
IniWrite replace_file(const std::string& target, const std::string& data, const FileInfo& old_info)
{
    std::string temporary;
    File out;
    if (!make_temporary(target, temporary, out))
        return IniWrite::folder_failed;
    put(out.get(), data);
    const bool kept = keep_ownership(out.get(), old_info);
    std::error_code error;
    if (finish(out) && kept)
        std::filesystem::rename(native(temporary), native(target), error);
    else
        error = std::make_error_code(std::errc::io_error);
    if (error) {
        remove_file(temporary);
        return kept ? IniWrite::folder_failed : IniWrite::file_failed;
    }
    return IniWrite::written;
}

}  // namespace

int32_t ini_parse_int(std::string_view value, int32_t fallback)
{
    value = trim(value);
    if (value.empty())
        return fallback;
    bool negative = value.front() == '-';
    if (negative || value.front() == '+')
        value.remove_prefix(1);
    int64_t magnitude = 0;
    for (char c : value) {
        if (c < '0' || c > '9')
            break;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > int64_t(INT32_MAX) + 1)
            magnitude = int64_t(INT32_MAX) + 1;  // enough to clamp either way; never overflows
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX)
        return INT32_MAX;
    return static_cast<int32_t>(result);
}

std::optional<std::string> ini_get(std::string_view text, std::string_view section, std::string_view key, size_t* line)
{
    IniScan scan{section, key};
    for_each_line(text, [&](const TextLine& line, size_t index) { return scan.feed(line.content, index); });
    if (scan.key_line == NONE)
        return std::nullopt;
    if (line)
        *line = scan.key_line + 1;
    return scan.value;
}

void ini_set(std::string& text, std::string_view section, std::string_view key, std::string_view value)
{
    IniScan scan{section, key};
    std::string_view newline = INI_NEWLINE;
    std::vector<TextLine> lines;
    for_each_line(text, [&](const TextLine& line, size_t index) {
        if (index == 0 && !line.ending.empty())
            newline = line.ending;
        lines.push_back(line);
        return scan.feed(line.content, index);
    });
    if (scan.key_line != NONE) {
        const TextLine& line = lines[scan.key_line];
        size_t from = line.offset + scan.value_start;
        text.replace(from, line.offset + line.content.size() - from, value);
        return;
    }
    size_t at = text.size();
    bool line_open = !text.empty() && !text.ends_with('\n');
    if (scan.section_found) {
        const TextLine& line = lines[scan.section_end];
        at = line.offset + line.content.size() + line.ending.size();
        line_open = line.ending.empty();
    }
    text.insert(at, added_lines(scan, value, newline, line_open, text.empty()));
}

std::optional<std::string> ini_read_string(const char* path, const char* section, const char* key)
{
    FdCloser file;
    FileInfo info{};
    if (open_regular(path, file, info, true) != Opened::regular)
        return std::nullopt;
    if (const std::optional<Utf16Order> order = utf16_mark_of(file.fd)) {
        std::string bytes;
        if (!read_whole(file.fd, bytes))
            return std::nullopt;
        return ini_get(utf8_from_utf16_bytes(bytes, *order), section, key);
    }
    LineReader in(file.fd);
    IniScan scan{section, key};
    ReadLine line;
    for (size_t index = 0; in.next(line, nullptr); ++index)
        if (scan.feed(line.head, index))
            return scan.value;
    return std::nullopt;
}

int32_t ini_read_int(const char* path, const char* section, const char* key, int32_t fallback)
{
    std::optional<std::string> value = ini_read_string(path, section, key);
    return value ? ini_parse_int(*value, fallback) : fallback;
}

bool ini_write_string(const char* path, const char* section, const char* key, const char* value)
{
    return ini_write_strings(path, section, &key, &value, 1) == IniWrite::written;
}

IniWrite ini_write_strings(const char* path, const char* section, const char* const* keys, const char* const* values,
                           size_t count)
{
    namespace fs = std::filesystem;
    std::error_code error;
    // Write through a link to the file it names, so the link stays a link.
    fs::path target = native(path);
    if (fs::symlink_status(target, error).type() == fs::file_type::symlink) {
        target = fs::weakly_canonical(target, error);
        if (error)
            return IniWrite::file_failed;
    }
    std::string target_name = utf8_of(target);

    FdCloser old_file;
    FileInfo old_info{};
    Opened opened = open_regular(target_name.c_str(), old_file, old_info, false);
    if (opened == Opened::unusable)
        return IniWrite::file_failed;
    bool exists = opened == Opened::regular;
#ifndef _WIN32
    // As Windows does, a read-only file is not written, whoever asks.
    if (exists && (is_read_only(old_info) || ::access(target_name.c_str(), W_OK) != 0))
        return IniWrite::file_failed;
#else
    if (exists && is_read_only(old_info))
        return IniWrite::file_failed;
#endif
    if (const std::optional<Utf16Order> order = exists ? utf16_mark_of(old_file.fd) : std::nullopt) {
        std::string bytes;
        if (!read_whole(old_file.fd, bytes))
            return IniWrite::file_failed;
        std::string text = utf8_from_utf16_bytes(bytes, *order);
        for (size_t i = 0; i < count; ++i)
            ini_set(text, section, keys[i], values[i]);
        old_file.reset();
        return replace_file(target_name, utf16_bytes_from_utf8(text, *order), old_info);
    }
    std::optional<LineReader> in;
    if (exists)
        in.emplace(old_file.fd);
    WritePlan plan = plan_write(in ? &*in : nullptr, section, keys, count);
    if (in && in->failed)
        return IniWrite::file_failed;

    std::string temporary;
    File out;
    if (!make_temporary(target_name, temporary, out))
        return IniWrite::folder_failed;
    std::setvbuf(out.get(), nullptr, _IOFBF, LineReader::BUFFER_SIZE);

    bool ok = true;
    bool kept = true;
    if (in) {
        ok = in->rewind();
        ReadLine line;
        for (size_t index = 0; ok; ++index) {
            size_t replaced = count;
            for (size_t i = 0; i < count; ++i)
                if (plan.found[i] && plan.scans[i].key_line == index)
                    replaced = i;
            if (!in->next(line, replaced < count ? nullptr : out.get()))
                break;
            if (replaced < count) {
                put(out.get(), std::string_view(line.head).substr(0, plan.scans[replaced].value_start));
                put(out.get(), values[replaced]);
                put(out.get(), line.ending);
            }
            // The section's last line may itself be a replaced key.
            if (plan.section_found && index == plan.section_end) {
                put(out.get(), added_keys(plan, section, keys, values, count, line.ending.empty(), false));
            }
        }
        ok = ok && !in->failed;
        kept = keep_ownership(out.get(), old_info);
    }
    if (!plan.section_found)
        put(out.get(), added_keys(plan, section, keys, values, count, !plan.ends_with_newline, plan.line_count == 0));
    ok = finish(out) && ok && kept;
    // Windows replaces no file that is still open.
    in.reset();
    old_file.reset();
    if (ok)
        fs::rename(native(temporary), target, error);
    if (!ok || error) {
        remove_file(temporary);
        return kept ? IniWrite::folder_failed : IniWrite::file_failed;
    }
    return IniWrite::written;
}
