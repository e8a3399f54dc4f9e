// A one-row 24-bit BMP file written by the tests, for images that must load.
#pragma once

#include <cstdint>
#include <filesystem>

#include "support/image_files.h"

namespace zorva::test {

// A 24-bit BMP of `width` x 1 pixels, every pixel the colour 0x00BBGGRR.
inline void write_bmp(const std::filesystem::path& file, int width, std::uint32_t bgr) {
    Bytes row;
    for (int x = 0; x < width; ++x) {
        row.push_back(static_cast<std::uint8_t>(bgr >> 16));
        row.push_back(static_cast<std::uint8_t>(bgr >> 8));
        row.push_back(static_cast<std::uint8_t>(bgr));
    }
    while (row.size() % 4 != 0) row.push_back(0);
    write_file(file.string(), bmp_file(width, 1, 24, row));
}

}  // namespace zorva::test
