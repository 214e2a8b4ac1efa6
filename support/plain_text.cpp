#include "support/plain_text.h"

#include <cstdio>

namespace {

std::string hex_escape(const char* form, unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, form, value);
    return text;
}

// The UTF-8 form of U+2000 ... U+20FF starts with these two bytes.
bool in_2000_block(std::string_view text, size_t at)
{
    return at + 2 < text.size() && static_cast<unsigned char>(text[at]) == 0xE2 &&
           (static_cast<unsigned char>(text[at + 1]) & 0xFC) == 0x80;
}

}  // namespace

std::string escape_controls(std::string_view text, bool keep_line_feeds)
{
    std::string shown;
    shown.reserve(text.size());
    int continuations = 0;  // bytes still due to the character begun
    for (size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
        const bool continuation = (byte & 0xC0) == 0x80;
        if (continuations > 0 && continuation) {
            --continuations;
            shown += char(byte);
            continue;
        }
        continuations = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        if ((byte < 0x20 && !(byte == '\n' && keep_line_feeds)) || byte == 0x7F) {
            shown += hex_escape("\\x%02X", byte);
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            shown += hex_escape("\\u%04X", next);
            continuations = 0;
            ++at;
        } else if (continuation && byte <= 0x9F) {
            // A stray C1 byte: some terminals act on it as it is.
            shown += hex_escape("\\x%02X", byte);
        } else {
            shown += char(byte);
        }
    }
    return shown;
}

std::string one_line_name(std::string_view name)
{
    std::string shown;
    shown.reserve(name.size());
    for (size_t at = 0; at < name.size(); ++at) {
        const auto byte = static_cast<unsigned char>(name[at]);
        if (in_2000_block(name, at)) {
            const unsigned code = 0x2000 | (unsigned(static_cast<unsigned char>(name[at + 1]) & 0x03) << 6) |
                                  (static_cast<unsigned char>(name[at + 2]) & 0x3F);
            const bool line_break = code == 0x2028 || code == 0x2029;
            const bool direction = code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
                                   (code >= 0x2066 && code <= 0x2069);
            if (line_break || direction) {
                if (line_break)
                    shown += ' ';
                at += 2;
                continue;
            }
        }
        // U+061C, the Arabic letter mark; U+0085, the next-line control.
        if (at + 1 < name.size() && ((byte == 0xD8 && static_cast<unsigned char>(name[at + 1]) == 0x9C) ||
                                     (byte == 0xC2 && static_cast<unsigned char>(name[at + 1]) == 0x85))) {
            if (byte == 0xC2)
                shown += ' ';
            ++at;
            continue;
        }
        shown += char(byte);
    }
    return shown;
}
