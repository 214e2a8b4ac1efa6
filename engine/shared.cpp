#include "engine/shared.h"

#include <cstring>

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
