#include "support/text_buffer.h"

#include <algorithm>
#include <cstring>

size_t copy_to_buffer(std::string_view text, char* buffer, size_t size)
{
    if (size > 0) {
        const size_t copied = std::min(text.size(), size - 1);
        std::memcpy(buffer, text.data(), copied);
        buffer[copied] = '\0';
    }
    return text.size();
}
