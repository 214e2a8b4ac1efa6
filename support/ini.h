// Our INI reader and writer, for the platforms without profile functions.
// It keeps the rules a user of Windows profile files can observe:
// - "[name]" opens a section; "key=value" lines belong to the section above
//   them; lines before any section belong to none. Lines starting with ";"
//   are comments, and lines with neither form are kept but never match.
// - Section and key names are compared without regard to ASCII case; blanks
//   around names and values do not count, and one pair of matching quotes
//   around a value is removed.
// - The first matching key of the first section that holds it wins.
// - Writing changes only the value of that key's line and leaves every other
//   byte of the file as it was (other sections, comments, blank lines, CRLF
//   endings). A missing key is added after the last line of its section, a
//   missing section at the end of the file, a missing file is created.
// Files are read line by line, so a huge or binary file costs no more memory
// than one line's first INI_LINE_LIMIT bytes. Only a regular file (or a link
// to one) is a settings file: a device, FIFO, socket or folder in its place
// reads as missing, is never waited on, and is never replaced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Bytes of a line that take part in parsing; the rest of a longer line is
// copied unchanged but never read.
constexpr size_t INI_LINE_LIMIT = 4096;

// Line end of the lines we add to a file that has none of its own yet.
#ifdef _WIN32
constexpr std::string_view INI_NEWLINE = "\r\n";
#else
constexpr std::string_view INI_NEWLINE = "\n";
#endif

// The integer rule: optional blanks and sign, then decimal digits up to the
// first other character. An empty value gives `fallback` (as if the key were
// missing); a value without digits gives 0; values beyond int32 are clamped.
int32_t ini_parse_int(std::string_view value, int32_t fallback);

// ---- on text held in memory
// `line`, when given, is set to the line the value is on, counted from 1.
std::optional<std::string> ini_get(std::string_view text, std::string_view section, std::string_view key,
                                   size_t* line = nullptr);
void ini_set(std::string& text, std::string_view section, std::string_view key, std::string_view value);

enum class IniWrite {
    written,
    folder_failed,  // no new file could be made or put in place beside the old one
    file_failed,    // the file is read-only, unreadable, not a regular file, or its owner cannot be kept
};

// ---- on files; a missing or unreadable file reads as empty
std::optional<std::string> ini_read_string(const char* path, const char* section, const char* key);
int32_t ini_read_int(const char* path, const char* section, const char* key, int32_t fallback);
// Replaces the file atomically (a temporary file beside it, then a rename),
// so a crash leaves the old file or the new one, never half of one. False
// when nothing could be written; a file that exists but cannot be read is
// left alone rather than replaced.
// A link is followed and the file it names replaced; owner, group and mode
// are kept, and temporaries left by dead processes are removed.
bool ini_write_string(const char* path, const char* section, const char* key, const char* value);
// All entries of one section in one replacement of the file: every key lands
// or none does. Keys the section lacks are added in the order given.
IniWrite ini_write_strings(const char* path, const char* section, const char* const* keys, const char* const* values,
                           size_t count);
