// Small pictures for the view and render tests, built in code (Qt-free).
#pragma once

#include <cstdint>
#include <functional>

#include "image/image.h"

namespace zorva::test {

// 0xAARRGGBB, as the premultiplied pixels are stored.
constexpr std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The colour of pixel (x, y) of a picture drawn in code.
using ColourAt = std::function<std::uint32_t(int, int)>;

// A 32-bit picture loaded from a file with alpha (blended when drawn), every pixel from `colour(x, y)`.
inline Image make_image(int width, int height, const ColourAt& colour, int stored_depth = 32) {
    Image image;
    image.allocate(width, height);
    image.kind = ImageKind::Png;
    image.stored_width = width;
    image.stored_height = height;
    image.stored_depth = stored_depth;
    image.needs_blending = true;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.row(y));
        for (int x = 0; x < width; ++x) row[x] = colour(x, y);
    }
    return image;
}

// Opaque, every pixel distinct: red = 10 + x, green = 10 + y.
inline std::uint32_t coded(int x, int y) {
    return argb(255, 10 + static_cast<std::uint32_t>(x), 10 + static_cast<std::uint32_t>(y), 0);
}

// Fully transparent: a blank picture.
inline std::uint32_t transparent(int, int) { return 0; }

}  // namespace zorva::test
