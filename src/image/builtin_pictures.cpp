#include "image/builtin_pictures.h"

#include <array>
#include <cstdlib>
#include <initializer_list>
#include <utility>

namespace zorva {

namespace {

struct Point {
    int x, y;
};

// The outline of the collision shape of each attribute, as a closed polygon of pixel positions in
// the 16 × 16 icon (0 = left or top edge, 15 = right or bottom edge). "Floor" shapes are solid
// below their slope, "ceiling" shapes above it; "rising" means the surface climbs to the right.
//
//   255 full square           254 top half              253 bottom half        252 right half
//   251 left half             250..247 three quarters without the top-left, top-right,
//                             bottom-left, bottom-right quarter
//   246..243 gradient 1:1:    floor rising, floor falling, ceiling rising, ceiling falling
//   242..235 gradient 1:2 (two tiles wide), low piece then high piece of:
//                             floor rising, floor falling, ceiling rising, ceiling falling
//   234..227 gradient 2:1 (two tiles tall), likewise
struct Shape {
    std::array<Point, 6> points{};
    std::size_t count = 0;

    Shape() = default;
    Shape(std::initializer_list<Point> corners) {
        for (const Point& corner : corners)
            if (count < points.size()) points[count++] = corner;
    }
};

constexpr int kMax = 15;
constexpr int kHalf = 8;  // first pixel of the right or bottom half

// clang-format off
Shape shape_of(int value) {
    switch (value) {
        case 255: return {{0, 0}, {kMax, 0}, {kMax, kMax}, {0, kMax}};
        case 254: return {{0, 0}, {kMax, 0}, {kMax, kHalf - 1}, {0, kHalf - 1}};
        case 253: return {{0, kHalf}, {kMax, kHalf}, {kMax, kMax}, {0, kMax}};
        case 252: return {{kHalf, 0}, {kMax, 0}, {kMax, kMax}, {kHalf, kMax}};
        case 251: return {{0, 0}, {kHalf - 1, 0}, {kHalf - 1, kMax}, {0, kMax}};
        case 250: return {{kHalf, 0}, {kMax, 0}, {kMax, kMax}, {0, kMax}, {0, kHalf}, {kHalf, kHalf}};
        case 249: return {{0, 0}, {kHalf - 1, 0}, {kHalf - 1, kHalf}, {kMax, kHalf}, {kMax, kMax}, {0, kMax}};
        case 248: return {{0, 0}, {kMax, 0}, {kMax, kMax}, {kHalf, kMax}, {kHalf, kHalf - 1}, {0, kHalf - 1}};
        case 247: return {{0, 0}, {kMax, 0}, {kMax, kHalf - 1}, {kHalf - 1, kHalf - 1}, {kHalf - 1, kMax},
                          {0, kMax}};
        // Gradient 1:1.
        case 246: return {{0, kMax}, {kMax, 0}, {kMax, kMax}};
        case 245: return {{0, 0}, {kMax, kMax}, {0, kMax}};
        case 244: return {{0, 0}, {kMax, 0}, {kMax, kMax}};
        case 243: return {{0, 0}, {kMax, 0}, {0, kMax}};
        // Gradient 1:2: the surface crosses half the tile's height per tile.
        case 242: return {{0, kMax}, {kMax, kHalf}, {kMax, kMax}};
        case 241: return {{0, kHalf}, {kMax, 0}, {kMax, kMax}, {0, kMax}};
        case 240: return {{0, kHalf}, {kMax, kMax}, {0, kMax}};
        case 239: return {{0, 0}, {kMax, kHalf}, {kMax, kMax}, {0, kMax}};
        case 238: return {{0, 0}, {kMax, 0}, {kMax, kHalf - 1}};
        case 237: return {{0, 0}, {kMax, 0}, {kMax, kMax}, {0, kHalf - 1}};
        case 236: return {{0, 0}, {kMax, 0}, {0, kHalf - 1}};
        case 235: return {{0, 0}, {kMax, 0}, {kMax, kHalf - 1}, {0, kMax}};
        // Gradient 2:1: the surface crosses half the tile's width per tile.
        case 234: return {{kHalf, kMax}, {kMax, 0}, {kMax, kMax}};
        case 233: return {{0, kMax}, {kHalf, 0}, {kMax, 0}, {kMax, kMax}};
        case 232: return {{0, 0}, {kHalf - 1, kMax}, {0, kMax}};
        case 231: return {{0, 0}, {kHalf - 1, 0}, {kMax, kMax}, {0, kMax}};
        case 230: return {{kHalf, 0}, {kMax, 0}, {kMax, kMax}};
        case 229: return {{0, 0}, {kMax, 0}, {kMax, kMax}, {kHalf, kMax}};
        case 228: return {{0, 0}, {kHalf - 1, 0}, {0, kMax}};
        case 227: return {{0, 0}, {kMax, 0}, {kHalf - 1, kMax}, {0, kMax}};
        default: return {};
    }
}
// clang-format on

// Premultiplied blue, green, red, alpha.
struct Colour {
    std::uint8_t blue, green, red, alpha;
};

void set_pixel(Image& image, int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    std::uint8_t* p = image.row(y) + 4 * static_cast<std::size_t>(x);
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
    p[3] = colour.alpha;
}

void draw_line(Image& image, Point from, Point to, Colour colour) {
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int step_x = from.x < to.x ? 1 : -1;
    const int step_y = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        set_pixel(image, from.x, from.y, colour);
        if (from.x == to.x && from.y == to.y) break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            from.x += step_x;
        }
        if (twice <= dx) {
            error += dx;
            from.y += step_y;
        }
    }
}

void mark_as_builtin(Image& image, ImageKind kind, int stored_depth) {
    image.kind = kind;
    image.stored_depth = stored_depth;
    image.stored_width = image.width;
    image.stored_height = image.height;
    image.needs_blending = true;
}

}  // namespace

BuiltinPictures::BuiltinPictures() {
    constexpr Colour kOutline{0, 0, 255, 255};
    for (int value = kFirstIconValue; value <= kLastIconValue; ++value) {
        Image& icon = icons_[static_cast<std::size_t>(kLastIconValue - value)];
        if (!icon.allocate(kIconSize, kIconSize)) continue;
        const Shape shape = shape_of(value);
        for (std::size_t i = 0; i < shape.count; ++i)
            draw_line(icon, shape.points[(i + shape.count - 1) % shape.count], shape.points[i], kOutline);
        mark_as_builtin(icon, ImageKind::Tga, 32);
    }

    // A light box with a dark frame and a cross, plainly a stand-in.
    if (default_entity_.allocate(kDefaultEntitySize, kDefaultEntitySize)) {
        constexpr Colour kFill{255, 200, 200, 255};
        constexpr Colour kFrame{128, 0, 0, 255};
        constexpr int kLast = kDefaultEntitySize - 1;
        for (int y = 0; y < kDefaultEntitySize; ++y)
            for (int x = 0; x < kDefaultEntitySize; ++x) set_pixel(default_entity_, x, y, kFill);
        draw_line(default_entity_, {0, 0}, {kLast, 0}, kFrame);
        draw_line(default_entity_, {kLast, 0}, {kLast, kLast}, kFrame);
        draw_line(default_entity_, {kLast, kLast}, {0, kLast}, kFrame);
        draw_line(default_entity_, {0, kLast}, {0, 0}, kFrame);
        draw_line(default_entity_, {0, 0}, {kLast, kLast}, kFrame);
        draw_line(default_entity_, {kLast, 0}, {0, kLast}, kFrame);
        mark_as_builtin(default_entity_, ImageKind::Bmp, 24);
    }
}

const Image& BuiltinPictures::attribute_icon(int value) const {
    if (value < kFirstIconValue || value > kLastIconValue) return none_;
    return icons_[static_cast<std::size_t>(kLastIconValue - value)];
}

}  // namespace zorva
