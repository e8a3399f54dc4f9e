#include "render/draw_primitives.h"

#include <QImage>
#include <algorithm>
#include <utility>

namespace zorva {

namespace {

inline std::uint32_t* row(QImage& target, std::int64_t y) {
    return reinterpret_cast<std::uint32_t*>(target.scanLine(static_cast<int>(y)));
}

bool usable(const QImage& target) { return !target.isNull() && target.depth() == 32; }

}  // namespace

void fill_rect(QImage& target, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
               std::uint32_t pixel) {
    if (!usable(target)) return;
    x0 = std::max<std::int64_t>(x0, 0);
    y0 = std::max<std::int64_t>(y0, 0);
    x1 = std::min<std::int64_t>(x1, target.width());
    y1 = std::min<std::int64_t>(y1, target.height());
    if (x0 >= x1 || y0 >= y1) return;
    for (std::int64_t y = y0; y < y1; ++y) std::fill(row(target, y) + x0, row(target, y) + x1, pixel);
}

void horizontal_line(QImage& target, std::int64_t x0, std::int64_t x1, std::int64_t y, std::uint32_t pixel,
                     LineStyle style) {
    if (!usable(target) || y < 0 || y >= target.height()) return;
    if (x0 > x1) std::swap(x0, x1);
    x0 = std::max<std::int64_t>(x0, 0);
    x1 = std::min<std::int64_t>(x1, target.width() - 1);
    std::uint32_t* line = row(target, y);
    for (std::int64_t x = x0; x <= x1; ++x)
        if (style == LineStyle::Solid || (x & 1) == 0) line[x] = pixel;
}

void vertical_line(QImage& target, std::int64_t x, std::int64_t y0, std::int64_t y1, std::uint32_t pixel,
                   LineStyle style) {
    if (!usable(target) || x < 0 || x >= target.width()) return;
    if (y0 > y1) std::swap(y0, y1);
    y0 = std::max<std::int64_t>(y0, 0);
    y1 = std::min<std::int64_t>(y1, target.height() - 1);
    for (std::int64_t y = y0; y <= y1; ++y)
        if (style == LineStyle::Solid || (y & 1) == 0) row(target, y)[x] = pixel;
}

void outline_rect(QImage& target, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                  std::uint32_t pixel, LineStyle style) {
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    horizontal_line(target, x0, x1, y0, pixel, style);
    horizontal_line(target, x0, x1, y1, pixel, style);
    vertical_line(target, x0, y0, y1, pixel, style);
    vertical_line(target, x1, y0, y1, pixel, style);
}

void set_pixel(QImage& target, std::int64_t x, std::int64_t y, std::uint32_t pixel) {
    if (!usable(target) || x < 0 || y < 0 || x >= target.width() || y >= target.height()) return;
    row(target, y)[x] = pixel;
}

}  // namespace zorva
