#include "engine/shared.h"

#include <cstring>

#include "engine/loader.h"

Settings settings;
Settings pending_settings;
int32_t screen_width;
int32_t screen_height;

// By value, not isspace(): the platform's locale must not decide.
bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void trim_blanks(char* text)
{
    size_t length = std::strlen(text);
    while (length > 0 && is_blank(text[length - 1]))
        --length;
    text[length] = '\0';
    size_t start = 0;
    while (start < length && is_blank(text[start]))
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
