// Our own BMP decoder: the Linux program reads every picture through it, the
// tests read both programs' files with it, so both show the same pixels from
// the same files (Windows loads its resources itself). Hostile input is
// refused with a message; nothing is read or written outside its bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bits_per_pixel = 0;     // as stored in the file
    std::vector<uint32_t> pixels;   // 0x00RRGGBB, top row first
    std::vector<uint8_t> indices;   // colour-table index of each pixel (depths up to 8), top row first
    std::vector<uint32_t> palette;  // the colour table as stored, 0x00RRGGBB
};

// A whole .bmp file (starting with "BM").
bool bmp_decode(const uint8_t* data, size_t size, Bitmap* out, std::string* error);
// A packed DIB (info header, colour table, bits), as Windows keeps bitmap resources.
bool bmp_decode_dib(const uint8_t* data, size_t size, Bitmap* out, std::string* error);
// A .bmp file from disk, for the tools, tests and benchmarks.
bool bmp_read_file(const char* path, Bitmap* out, std::string* error);
