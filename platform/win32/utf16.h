// The seam's text is UTF-8; Windows' wide functions take UTF-16. Conversions
// into fixed buffers, so that a message telling that memory ran out can
// still be shown.
#pragma once

#include <cstddef>

// What to do with a text that does not fit: keep the whole characters that
// fit (a field's text, a message), or give nothing at all (a path, which cut
// short would name another file).
enum class Fit { cut, whole };

// `text` (UTF-8, ending in a zero) as UTF-16 in `out`, which has room for
// `size` units with the ending zero. Returns the units written, without the
// zero; 0 for an empty text, or when it must fit whole and does not.
// Bytes that are not UTF-8 become U+FFFD.
size_t utf16_from_utf8(const char* text, wchar_t* out, size_t size, Fit fit);

// `length` UTF-16 units of `text` as UTF-8 in `out`, which has room for
// `size` bytes with the ending zero. Returns the bytes written, without the
// zero; 0 for an empty text, or when it must fit whole and does not.
size_t utf8_from_utf16(const wchar_t* text, size_t length, char* out, size_t size, Fit fit);
