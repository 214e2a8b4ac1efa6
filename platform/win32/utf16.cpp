// UTF-8 <-> UTF-16 through the system's own converters.
#include "platform/win32/utf16.h"

#include <cstring>

#include "platform/win32/win32_host.h"

size_t utf16_from_utf8(const char* text, wchar_t* out, size_t size, Fit fit)
{
    if (size == 0)
        return 0;
    out[0] = L'\0';
    size_t bytes = std::strlen(text);
    // No UTF-8 sequence gives more units than it has bytes, so a text of at
    // most size - 1 bytes always fits; a longer one is cut before a whole character.
    if (bytes >= size) {
        if (fit == Fit::whole)
            return 0;
        bytes = size - 1;
        while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
            --bytes;
    }
    if (bytes == 0)
        return 0;
    int units = MultiByteToWideChar(CP_UTF8, 0, text, int(bytes), out, int(size - 1));
    if (units <= 0)
        return 0;
    out[units] = L'\0';
    return size_t(units);
}

size_t utf8_from_utf16(const wchar_t* text, size_t length, char* out, size_t size, Fit fit)
{
    if (size == 0)
        return 0;
    out[0] = '\0';
    // Whole characters only: the last one is dropped until the rest fits.
    while (length > 0) {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
        if (bytes > 0 && size_t(bytes) < size) {
            WideCharToMultiByte(CP_UTF8, 0, text, int(length), out, bytes, nullptr, nullptr);
            out[bytes] = '\0';
            return size_t(bytes);
        }
        if (fit == Fit::whole)
            return 0;
        --length;
        if (length > 0 && IS_HIGH_SURROGATE(text[length - 1]))
            --length;
    }
    return 0;
}
