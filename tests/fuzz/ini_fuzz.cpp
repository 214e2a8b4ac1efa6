// The INI reader and writer on any file: read a key, write it, read it back.
// The input is "section NUL key NUL value NUL file text"; with fewer NULs the
// whole input is the file and the key is "Mode" of "Setup".
//
// What must hold for any file:
// - the written value reads back, when the names and the value can stand in
//   an INI line at all;
// - every other byte of the file is kept: a write changes one line's value,
//   or inserts the key's line (with its section, and line ends where the file
//   needs them);
// - the file functions and the in-memory functions agree byte for byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/ini.h"
#include "support/utf16_text.h"

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool has_any(std::string_view text, std::string_view bytes)
{
    return text.find_first_of(bytes) != std::string_view::npos;
}

bool trimmed(std::string_view text)
{
    return text.empty() || (!blank(text.front()) && !blank(text.back()));
}

// Names and a value that an INI line can hold and give back unchanged.
bool writable(std::string_view section, std::string_view key, std::string_view value)
{
    const bool quoted =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    return !key.empty() && trimmed(section) && trimmed(key) && trimmed(value) && !quoted &&
           !has_any(section, "]\n\r") && !has_any(key, "=\n\r") && !has_any(value, "\n\r") && key.front() != '[' &&
           key.front() != ';' && key.size() + value.size() + 1 < INI_LINE_LIMIT;
}

std::string without_line_ends(std::string_view text)
{
    std::string kept;
    for (char c : text)
        if (c != '\r' && c != '\n')
            kept += c;
    return kept;
}

// Byte for byte: `after` is `before` with one stretch changed. On replacing,
// the stretch lies within one line and the value reads back (checked by the
// caller). On adding, nothing of `before` is changed and the stretch is the
// key's line, with its section header when that was missing, and line ends.
void check_other_bytes_kept(std::string_view before, std::string_view after, std::string_view section,
                            std::string_view key, std::string_view value, bool replaced)
{
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string_view old_part = before.substr(prefix, before.size() - prefix - suffix);
    const std::string_view new_part = after.substr(prefix, after.size() - prefix - suffix);
    if (replaced) {
        check(old_part.find('\n') == std::string_view::npos && new_part.find('\n') == std::string_view::npos,
              "replacing a value changed more than its line");
        return;
    }
    check(old_part.empty(), "adding a key changed bytes of the file");
    // The stretch may be found shifted when its ends repeat the bytes around it.
    const std::string added = without_line_ends(new_part);
    const std::string entry = std::string(key) + "=" + std::string(value);
    const std::string twice = added + added;
    const bool is_entry = added.size() == entry.size() && twice.find(entry) != std::string::npos;
    std::string with_header = "[";
    with_header.append(section).append("]").append(entry);
    const bool is_section = added.size() == with_header.size() && twice.find(with_header) != std::string::npos;
    check(is_entry || is_section, "adding a key inserted more than its line and section");
}

// A folder of its own, removed when the process ends.
const std::filesystem::path& scratch_file()
{
    static const std::filesystem::path path = [] {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("dorrabee-ini-fuzz-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder);
        static const std::filesystem::path removed = folder;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removed, ignored);
        });
        return folder / "dorra.ini";
    }();
    return path;
}

std::string read_whole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view section = "Setup", key = "Mode", value = "2";
    std::string_view parts[3];
    size_t at = 0;
    int found = 0;
    for (; found < 3; ++found) {
        const size_t nul = input.find('\0', at);
        if (nul == std::string_view::npos)
            break;
        parts[found] = input.substr(at, nul - at);
        at = nul + 1;
    }
    std::string_view file_text = input;
    if (found == 3) {
        section = parts[0], key = parts[1], value = parts[2];
        file_text = input.substr(at);
    }
    const std::string section_z(section), key_z(key), value_z(value);
    std::string text(file_text);
    // A UTF-16 file is read and written as the same text in UTF-8 would be.
    const std::optional<Utf16Order> order = utf16_mark(text);
    if (order) {
        text = utf8_from_utf16_bytes(file_text, *order);
        if (file_text.size() % 2 == 0)
            check(utf16_bytes_from_utf8(text, *order) == file_text, "UTF-16 does not read back as it was");
    }

    const std::optional<std::string> before = ini_get(text, section, key);
    ini_parse_int(before.value_or(""), 7);
    if (before)
        check(before->size() <= INI_LINE_LIMIT, "a value longer than a line");

    std::string written = text;
    ini_set(written, section, key, value);
    if (writable(section, key, value)) {
        const std::optional<std::string> after = ini_get(written, section, key);
        check(after.has_value() && *after == value, "the written value does not read back");
        check_other_bytes_kept(text, written, section, key, value, before.has_value());
    }

    // The file functions by the same rules, on the same bytes.
    const std::filesystem::path& path = scratch_file();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file_text.data(), std::streamsize(file_text.size()));
    }
    const std::string path_z = path.string();
    check(ini_read_string(path_z.c_str(), section_z.c_str(), key_z.c_str()) == before,
          "file and text reading disagree");
    check(ini_write_string(path_z.c_str(), section_z.c_str(), key_z.c_str(), value_z.c_str()),
          "writing a file in a writable folder failed");
    check(read_whole(path) == (order ? utf16_bytes_from_utf8(written, *order) : written),
          "file and text writing disagree");
    return 0;
}
