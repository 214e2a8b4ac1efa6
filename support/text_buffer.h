// Text handed back through the seam's C-style buffers.
#pragma once

#include <cstddef>
#include <string_view>

// Copies as much of `text` as fits into `buffer` (always terminated when
// `size` > 0) and returns the whole text's length, so a caller sees that it
// was cut when the length is `size` or more.
size_t copy_to_buffer(std::string_view text, char* buffer, size_t size);
