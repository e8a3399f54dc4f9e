// A one-row 24-bit BMP file written by the tests, for images that must load.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace zorva::test {

inline void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A 24-bit BMP of `width` x 1 pixels, every pixel the colour 0x00BBGGRR.
inline void write_bmp(const std::filesystem::path& file, int width, std::uint32_t bgr) {
    std::vector<std::uint8_t> rows;
    for (int x = 0; x < width; ++x) {
        rows.push_back(static_cast<std::uint8_t>(bgr >> 16));
        rows.push_back(static_cast<std::uint8_t>(bgr >> 8));
        rows.push_back(static_cast<std::uint8_t>(bgr));
    }
    while (rows.size() % 4 != 0) rows.push_back(0);
    std::vector<std::uint8_t> out{'B', 'M'};
    put_u32(out, 54 + static_cast<std::uint32_t>(rows.size()));
    put_u32(out, 0);
    put_u32(out, 54);
    put_u32(out, 40);
    put_u32(out, static_cast<std::uint32_t>(width));
    put_u32(out, 1);
    out.push_back(1);
    out.push_back(0);
    out.push_back(24);
    out.push_back(0);
    for (int i = 0; i < 6; ++i) put_u32(out, 0);
    out.insert(out.end(), rows.begin(), rows.end());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

}  // namespace zorva::test
