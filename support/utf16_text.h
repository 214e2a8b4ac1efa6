// Settings files that Windows editors save as UTF-16 (with its byte-order
// mark) are read and written back in UTF-16, as the Windows build does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class Utf16Order { little, big };

// The byte order a file's first bytes announce, if they are a UTF-16 mark.
std::optional<Utf16Order> utf16_mark(std::string_view bytes);

// The text after the mark as UTF-8; a lone surrogate keeps its three-byte
// form and an odd last byte is dropped, so that writing back loses nothing
// that a Windows editor could have written.
std::string utf8_from_utf16_bytes(std::string_view bytes, Utf16Order order);
// UTF-8 (lone surrogates in their three-byte form too) as UTF-16 with the
// mark; bytes that are not UTF-8 become U+FFFD.
std::string utf16_bytes_from_utf8(std::string_view text, Utf16Order order);
