// Small image files written byte by byte (TGA, BMP) or through libpng (PNG), for the loader tests.
#pragma once

#include <png.h>

#include <array>
#include <csetjmp>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "image/image.h"

namespace zorva::test {

using Bytes = std::vector<std::uint8_t>;

inline void put_u16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put_u32(Bytes& out, std::uint32_t v) {
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}

// A TGA file: `pixels` holds the rows in file order, 3 or 4 bytes (blue, green, red[, alpha]) each.
inline Bytes tga_file(int width, int height, int depth, std::uint8_t descriptor, const Bytes& pixels,
                      std::uint8_t image_type = 2, std::uint8_t colour_map_type = 0, const Bytes& id = {}) {
    Bytes out{static_cast<std::uint8_t>(id.size()), colour_map_type, image_type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put_u16(out, static_cast<std::uint32_t>(width));
    put_u16(out, static_cast<std::uint32_t>(height));
    out.push_back(static_cast<std::uint8_t>(depth));
    out.push_back(descriptor);
    out.insert(out.end(), id.begin(), id.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

// A BMP file with a 40-byte info header. `rows` are in file order, each already padded to 4 bytes;
// a negative height makes a top-down file. `palette` holds blue, green, red, 0 quadruples; `masks`
// (red, green, blue) are written after the header with bit-field compression.
inline Bytes bmp_file(int width, int height, int depth, const Bytes& rows, const Bytes& palette = {},
                      const std::vector<std::uint32_t>& masks = {}, std::uint32_t colours_used = 0) {
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(4 * masks.size() + palette.size());
    Bytes out{'B', 'M'};
    put_u32(out, offset + static_cast<std::uint32_t>(rows.size()));
    put_u32(out, 0);
    put_u32(out, offset);
    put_u32(out, 40);
    put_u32(out, static_cast<std::uint32_t>(width));
    put_u32(out, static_cast<std::uint32_t>(height));
    put_u16(out, 1);
    put_u16(out, static_cast<std::uint32_t>(depth));
    put_u32(out, masks.empty() ? 0 : 3);
    put_u32(out, static_cast<std::uint32_t>(rows.size()));
    put_u32(out, 2835);
    put_u32(out, 2835);
    put_u32(out, colours_used);
    put_u32(out, 0);
    for (std::uint32_t mask : masks) put_u32(out, mask);
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

struct PngSpec {
    int width = 1;
    int height = 1;
    int colour_type = PNG_COLOR_TYPE_RGB;
    int bit_depth = 8;
    bool interlaced = false;
    std::vector<Bytes> rows;         // packed rows as libpng expects them (RGB order)
    std::vector<png_color> palette;  // for palette pictures
    Bytes trns_alpha;                // transparency chunk of a palette picture
    bool trns_colour = false;        // transparency chunk of a grey or true-colour picture
    png_color_16 trns_value{};
};

namespace detail {
inline void append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
inline void flush(png_structp) {}

// Holds only trivially destructible locals, so the long jump of a libpng error skips no destructor.
inline bool write_png_steps(png_structp png, png_infop info, const PngSpec* spec, png_bytepp rows,
                            Bytes* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, append, flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec->width), static_cast<png_uint_32>(spec->height),
                 spec->bit_depth, spec->colour_type,
                 spec->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!spec->palette.empty())
        png_set_PLTE(png, info, spec->palette.data(), static_cast<int>(spec->palette.size()));
    if (!spec->trns_alpha.empty())
        png_set_tRNS(png, info, spec->trns_alpha.data(), static_cast<int>(spec->trns_alpha.size()), nullptr);
    if (spec->trns_colour) png_set_tRNS(png, info, nullptr, 1, &spec->trns_value);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}
}  // namespace detail

inline Bytes png_file(const PngSpec& spec) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    for (const Bytes& row : spec.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    const bool ok = detail::write_png_steps(png, info, &spec, rows.data(), &out);
    png_destroy_write_struct(&png, &info);
    if (!ok) out.clear();
    return out;
}

inline void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The delivered pixel at (x, y) counted from the top-left corner: blue, green, red, alpha.
inline std::array<int, 4> pixel(const Image& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace zorva::test
