// The decoders behind load_image, and the pixel steps they share. Internal to zorva_image.
//
// Every decoder reads a whole file held in memory, never reads outside it, and delivers straight
// (not yet premultiplied) 32-bit blue-green-red-alpha pixels in top-down rows. It fills width,
// height, depth, stride, the stored format and has_transparency; load_image does the rest.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"

namespace zorva::detail {

bool decode_tga(Image& image, const std::uint8_t* bytes, std::size_t size);
bool decode_bmp(Image& image, const std::uint8_t* bytes, std::size_t size);
bool decode_png(Image& image, const std::uint8_t* bytes, std::size_t size);
// For the PNG fuzz target only: chunk checksums are ignored, so that mutated inputs reach the decoder.
void ignore_png_checksums(bool ignore);

// A 5-bit channel widened to 8 bits with the factor 255/31 held in single precision and the product
// truncated, so 31 becomes 254 (files written by the editor's users look exactly as they always did).
std::uint8_t widen_5_bits(std::uint32_t value);

// Gives alpha 0 to every pixel whose red, green and blue equal those of `key_colour` (0x00BBGGRR).
void apply_colour_key(Image& image, std::uint32_t key_colour);

// Multiplies each colour channel by alpha / 255 (integer division).
void premultiply(Image& image);

// Little-endian readers for header fields; the caller has checked the bounds.
inline std::uint16_t read_u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t read_u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace zorva::detail
