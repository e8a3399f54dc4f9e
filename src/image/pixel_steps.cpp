#include <array>

#include "image/image_decoders.h"

namespace zorva::detail {

namespace {

// 255/31 in single precision (8.225806); the product is taken in double precision, which keeps
// 31 × factor just under 255.
constexpr float kFiveBitFactor = 255.0f / 31.0f;

constexpr std::array<std::uint8_t, 32> make_five_bit_table() {
    std::array<std::uint8_t, 32> table{};
    for (std::uint32_t v = 0; v < 32; ++v)
        table[v] = static_cast<std::uint8_t>(static_cast<double>(v) * static_cast<double>(kFiveBitFactor));
    return table;
}

constexpr std::array<std::uint8_t, 32> kFiveBitTable = make_five_bit_table();
static_assert(kFiveBitTable[31] == 254 && kFiveBitTable[1] == 8 && kFiveBitTable[16] == 131);

}  // namespace

std::uint8_t widen_5_bits(std::uint32_t value) { return kFiveBitTable[value & 31]; }

void apply_colour_key(Image& image, std::uint32_t key_colour) {
    const auto red = static_cast<std::uint8_t>(key_colour & 0xFF);
    const auto green = static_cast<std::uint8_t>((key_colour >> 8) & 0xFF);
    const auto blue = static_cast<std::uint8_t>((key_colour >> 16) & 0xFF);
    for (std::int32_t y = 0; y < image.height; ++y) {
        std::uint8_t* p = image.row(y);
        for (std::int32_t x = 0; x < image.width; ++x, p += 4)
            if (p[0] == blue && p[1] == green && p[2] == red) p[3] = 0;
    }
}

void premultiply(Image& image) {
    for (std::int32_t y = 0; y < image.height; ++y) {
        std::uint8_t* p = image.row(y);
        for (std::int32_t x = 0; x < image.width; ++x, p += 4) {
            const std::uint32_t alpha = p[3];
            if (alpha == 255) continue;
            p[0] = static_cast<std::uint8_t>(p[0] * alpha / 255);
            p[1] = static_cast<std::uint8_t>(p[1] * alpha / 255);
            p[2] = static_cast<std::uint8_t>(p[2] * alpha / 255);
        }
    }
}

}  // namespace zorva::detail
