#include "engine/shared.h"

#include <cstring>

Settings settings;
Settings pending_settings;
int32_t screen_width;
int32_t screen_height;

// The C locale's blanks, by value: a byte of 128 or more (part of a UTF-8
// character) must never count, whatever the platform's locale says.
static bool is_blank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void trim_blanks(char* text)
{
    size_t length = std::strlen(text);
    while (length > 0 && is_blank(static_cast<unsigned char>(text[length - 1])))
        --length;
    text[length] = '\0';
    size_t start = 0;
    while (start < length && is_blank(static_cast<unsigned char>(text[start])))
        ++start;
    if (start > 0)
        std::memmove(text, text + start, length - start + 1);
}

int all_digits(const char* text)
{
    for (; *text; ++text)
        if (*text < '0' || *text > '9')
            return 0;
    return 1;
}
