#include "support/ini.h"

#include "engine/shared.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

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
        result.name = trim(line.substr(start + 1, close == std::string_view::npos ? std::string_view::npos
                                                                                 : close - start - 1));
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

// Follows the lines of a file, one at a time, looking for one key.
struct IniScan {
    IniScan(std::string_view section, std::string_view key) : section(section), key(key) {}

    std::string_view section;
    std::string_view key;
    bool inside = false;          // the current line is in a section of that name
    bool inside_first = false;    // ... and it is the first such section
    bool section_found = false;
    size_t section_end = NONE;    // last non-blank line of the first such section
    size_t key_line = NONE;
    size_t value_start = 0;
    std::string value;
    bool last_blank = true;       // the last line seen was blank (or there was none)

    // Returns true once the key has been found.
    bool feed(std::string_view text, size_t index)
    {
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
    std::string head;     // the first INI_LINE_LIMIT bytes, without the line end
    std::string ending;   // "\n", "\r\n" or "" (the last line)
};

// Reads one line; copies it, line end included, to `copy` when given.
bool read_line(FILE* in, ReadLine& line, FILE* copy)
{
    line.head.clear();
    line.ending.clear();
    size_t length = 0;
    int c;
    bool any = false;
    char previous = 0;
    while ((c = std::getc(in)) != EOF) {
        any = true;
        if (copy)
            std::putc(c, copy);
        if (c == '\n') {
            line.ending = previous == '\r' ? "\r\n" : "\n";
            if (previous == '\r' && length <= INI_LINE_LIMIT)
                line.head.pop_back();
            break;
        }
        if (line.head.size() < INI_LINE_LIMIT)
            line.head.push_back(char(c));
        ++length;
        previous = char(c);
    }
    return any;
}

void put(FILE* out, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), out);
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// What a write has to do, found by reading the file once.
struct WritePlan {
    WritePlan(std::string_view section, std::string_view key) : scan(section, key) {}

    IniScan scan;
    size_t line_count = 0;
    std::string newline{INI_NEWLINE};
    bool ends_with_newline = true;  // also true for an empty file
};

WritePlan plan_write(FILE* in, std::string_view section, std::string_view key)
{
    WritePlan plan(section, key);
    ReadLine line;
    while (read_line(in, line, nullptr)) {
        if (plan.line_count == 0 && !line.ending.empty())
            plan.newline = line.ending;
        plan.ends_with_newline = !line.ending.empty();
        if (plan.scan.feed(line.head, plan.line_count++))
            break;
    }
    return plan;
}

// A new file beside the target; never one that exists already (another
// writer's, or one left by a crash). Named for this process, so that what
// crashed saves left behind can never use up the names.
bool make_temporary(const std::string& target, std::string& name, File& file)
{
#ifdef _WIN32
    const std::string prefix = target + ".tmp" + std::to_string(::_getpid()) + "-";
#else
    const std::string prefix = target + ".tmp" + std::to_string(::getpid()) + "-";
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + std::to_string(attempt);
#ifdef _WIN32
        int fd = ::_open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, 0666);
        FILE* opened = fd >= 0 ? ::_fdopen(fd, "wb") : nullptr;
#else
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        FILE* opened = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
#endif
        if (opened) {
            file.reset(opened);
            return true;
        }
        if (fd >= 0 || errno != EEXIST) {
            if (fd >= 0) {
#ifdef _WIN32
                ::_close(fd);
#else
                ::close(fd);
#endif
                std::remove(name.c_str());
            }
            return false;
        }
    }
    return false;
}

bool finish(File& file)
{
    bool ok = std::fflush(file.get()) == 0 && !std::ferror(file.get());
#ifndef _WIN32
    ok = ok && ::fsync(::fileno(file.get())) == 0;
#endif
    return std::fclose(file.release()) == 0 && ok;
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

std::optional<std::string> ini_get(std::string_view text, std::string_view section, std::string_view key)
{
    IniScan scan{section, key};
    for_each_line(text, [&](const TextLine& line, size_t index) { return scan.feed(line.content, index); });
    if (scan.key_line == NONE)
        return std::nullopt;
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
    File in(std::fopen(path, "rb"));
    if (!in)
        return std::nullopt;
    IniScan scan{section, key};
    ReadLine line;
    for (size_t index = 0; read_line(in.get(), line, nullptr); ++index)
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
    namespace fs = std::filesystem;
    std::error_code error;
    // Write through a link to the file it names, so the link stays a link.
    fs::path target = path;
    if (fs::symlink_status(target, error).type() == fs::file_type::symlink) {
        target = fs::weakly_canonical(target, error);
        if (error)
            return false;
    }
    std::string target_name = target.string();

    File in(std::fopen(target_name.c_str(), "rb"));
    if (!in && errno != ENOENT)
        return false;
    WritePlan plan = in ? plan_write(in.get(), section, key) : WritePlan(section, key);

    std::string temporary;
    File out;
    if (!make_temporary(target_name, temporary, out))
        return false;

    const IniScan& scan = plan.scan;
    bool ok = true;
    if (in) {
        std::rewind(in.get());
        ReadLine line;
        for (size_t index = 0;; ++index) {
            bool replace = index == scan.key_line;
            if (!read_line(in.get(), line, replace ? nullptr : out.get()))
                break;
            if (replace) {
                put(out.get(), std::string_view(line.head).substr(0, scan.value_start));
                put(out.get(), value);
                put(out.get(), line.ending);
            } else if (scan.key_line == NONE && index == scan.section_end) {
                put(out.get(), added_lines(scan, value, plan.newline, line.ending.empty(), false));
            }
        }
        ok = !std::ferror(in.get());
        in.reset();
        // Keep who may read and write the file.
        fs::file_status status = fs::status(target, error);
        if (!error)
            fs::permissions(temporary, status.permissions(), error);
    }
    if (!scan.section_found)
        put(out.get(), added_lines(scan, value, plan.newline, !plan.ends_with_newline, plan.line_count == 0));
    ok = finish(out) && ok;
    if (ok)
        fs::rename(temporary, target, error);
    if (!ok || error) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
