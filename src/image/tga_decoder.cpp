// TGA: only uncompressed true-colour pictures of 24 or 32 bits without a colour map.
#include <cstring>

#include "image/image_decoders.h"
#include "image/image_loader.h"

namespace zorva::detail {

namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::uint8_t kTopLeftOrigin = 0x20;

}  // namespace

bool decode_tga(Image& image, const std::uint8_t* bytes, std::size_t size) {
    if (size < kHeaderSize) return false;
    const std::size_t id_length = bytes[0];
    const std::uint8_t colour_map_type = bytes[1];
    const std::uint8_t image_type = bytes[2];
    const std::int32_t width = read_u16(bytes + 12);
    const std::int32_t height = read_u16(bytes + 14);
    const std::uint8_t pixel_depth = bytes[16];
    const std::uint8_t descriptor = bytes[17];

    // Only these headers are accepted; run-length encoded pictures and a descriptor of 0 are not.
    if (colour_map_type != 0 || image_type != 2) return false;
    if (pixel_depth != 24 && pixel_depth != 32) return false;
    if (descriptor != 0x08 && descriptor != 0x20 && descriptor != 0x28) return false;
    if (width == 0 || height == 0) return false;
    if (static_cast<std::int64_t>(width) * height > kMaxImagePixels) return false;

    const std::size_t source_pixel = pixel_depth / 8;
    const std::size_t source_row = static_cast<std::size_t>(width) * source_pixel;
    const std::size_t data_start = kHeaderSize + id_length;
    if (data_start > size || (size - data_start) / source_row < static_cast<std::size_t>(height))
        return false;

    if (!image.allocate(width, height)) return false;
    const bool top_down = (descriptor & kTopLeftOrigin) != 0;
    const std::uint8_t* source = bytes + data_start;
    for (std::int32_t file_row = 0; file_row < height; ++file_row, source += source_row) {
        // Without the top-left origin bit the file holds the bottom row first.
        std::uint8_t* out = image.row(top_down ? file_row : height - 1 - file_row);
        if (source_pixel == 4) {
            std::memcpy(out, source, source_row);
        } else {
            const std::uint8_t* in = source;
            for (std::int32_t x = 0; x < width; ++x, in += 3, out += 4) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = 255;
            }
        }
    }
    image.stored_depth = pixel_depth;
    image.stored_width = width;
    image.stored_height = height;
    image.has_transparency = false;
    return true;
}

}  // namespace zorva::detail
