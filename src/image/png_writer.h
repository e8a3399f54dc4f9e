// Writing a 32-bit picture as PNG row by row, so a large picture never has to be held whole.
// The file is written through a temporary file renamed over the target at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zorva {

struct PngSettings {
    int compression_level = 1;  // zlib 0..9; 1 is fast and still small for tile art
    bool filter_sub = true;     // the Sub filter only (cheap, helps flat areas); else no filter
};

// Produces the premultiplied 0xAARRGGBB pixels of `count` rows starting at `first_row` into
// `rows` (`stride` bytes apart). Returns false to abandon the file.
using PngRowSource =
    std::function<bool(std::int64_t first_row, std::int64_t count, std::uint32_t* rows, std::int64_t stride)>;

// Writes a width × height RGBA PNG (straight alpha) to `path`, asking `source` for bands of up to
// `band_rows` rows. Returns false and sets `error` on any failure; an existing file is then untouched.
bool write_png(std::string_view path, std::int64_t width, std::int64_t height, std::int64_t band_rows,
               const PngRowSource& source, const PngSettings& settings, std::string* error);

// Writes a picture held whole in memory: `height` rows of `width` premultiplied 0xAARRGGBB pixels,
// the first at `pixels`, `row_bytes` apart.
bool write_png_pixels(std::string_view path, std::int64_t width, std::int64_t height,
                      const std::uint8_t* pixels, std::int64_t row_bytes, const PngSettings& settings,
                      std::string* error);

}  // namespace zorva
