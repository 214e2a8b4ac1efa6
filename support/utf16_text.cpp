#include "support/utf16_text.h"

#include <cstdint>

namespace {

void put_utf8(std::string& out, uint32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

void put_unit(std::string& out, uint32_t unit, Utf16Order order)
{
    const char high = char(unit >> 8), low = char(unit & 0xFF);
    out += order == Utf16Order::little ? low : high;
    out += order == Utf16Order::little ? high : low;
}

// One character of UTF-8 at `at` (moved past it); U+FFFD for what is not one.
uint32_t next_code(std::string_view text, size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at++]);
    const int more = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : 0;
    if (lead < 0x80)
        return lead;
    if (more == 0 || (lead >= 0xF5))
        return 0xFFFD;
    uint32_t code = lead & (0x3F >> more);
    for (int k = 0; k < more; ++k, ++at) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return 0xFFFD;
        code = code << 6 | (static_cast<unsigned char>(text[at]) & 0x3F);
    }
    const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    return code < least[more] || code > 0x10FFFF ? 0xFFFD : code;
}

}  // namespace

std::optional<Utf16Order> utf16_mark(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return Utf16Order::little;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF)
        return Utf16Order::big;
    return std::nullopt;
}

std::string utf8_from_utf16_bytes(std::string_view bytes, Utf16Order order)
{
    auto unit = [&](size_t at) -> uint32_t {
        const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
        return order == Utf16Order::little ? uint32_t(second) << 8 | first : uint32_t(first) << 8 | second;
    };
    std::string text;
    text.reserve(bytes.size());
    for (size_t at = 2; at + 1 < bytes.size(); at += 2) {
        const uint32_t code = unit(at);
        if (code >= 0xD800 && code < 0xDC00 && at + 3 < bytes.size()) {
            const uint32_t low = unit(at + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                put_utf8(text, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
                at += 2;
                continue;
            }
        }
        put_utf8(text, code);
    }
    return text;
}

std::string utf16_bytes_from_utf8(std::string_view text, Utf16Order order)
{
    std::string bytes;
    bytes.reserve(text.size() * 2 + 2);
    put_unit(bytes, 0xFEFF, order);
    for (size_t at = 0; at < text.size();) {
        // A lone surrogate's three-byte form is taken whole, as it was read.
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead == 0xED && at + 2 < text.size() && (static_cast<unsigned char>(text[at + 1]) & 0xE0) == 0xA0 &&
            (static_cast<unsigned char>(text[at + 2]) & 0xC0) == 0x80) {
            put_unit(bytes, 0xD000 | (uint32_t(text[at + 1]) & 0x3F) << 6 | (uint32_t(text[at + 2]) & 0x3F), order);
            at += 3;
            continue;
        }
        const uint32_t code = next_code(text, at);
        if (code >= 0x10000) {
            put_unit(bytes, 0xD800 + ((code - 0x10000) >> 10), order);
            put_unit(bytes, 0xDC00 + ((code - 0x10000) & 0x3FF), order);
        } else {
            put_unit(bytes, code, order);
        }
    }
    return bytes;
}
