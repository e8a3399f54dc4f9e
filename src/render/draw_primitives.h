// Axis-aligned pixel drawing straight into a 32-bit premultiplied QImage: fills, 1-pixel lines (solid
// or dotted) and rectangle outlines, clipped to the image. Exact and cheap, for the grid, frames and
// outlines of the viewport; curves and text go through QPainter.
#pragma once

#include <cstdint>

class QImage;

namespace zorva {

// Opaque pixel 0xFFRRGGBB of a colour 0x00BBGGRR.
constexpr std::uint32_t pixel_from_colour(std::uint32_t bgr) {
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

enum class LineStyle { Solid, Dotted };

// Fills [x0, x1) × [y0, y1).
void fill_rect(QImage& target, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
               std::uint32_t pixel);
// Pixels (x0..x1, y) and (x, y0..y1), both ends included. Dotted lines set every other pixel, those
// with an even coordinate along the line, so they stay put while the view scrolls.
void horizontal_line(QImage& target, std::int64_t x0, std::int64_t x1, std::int64_t y, std::uint32_t pixel,
                     LineStyle style = LineStyle::Solid);
void vertical_line(QImage& target, std::int64_t x, std::int64_t y0, std::int64_t y1, std::uint32_t pixel,
                   LineStyle style = LineStyle::Solid);
// The outline whose corners are (x0, y0) and (x1, y1), both included.
void outline_rect(QImage& target, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                  std::uint32_t pixel, LineStyle style = LineStyle::Solid);
void set_pixel(QImage& target, std::int64_t x, std::int64_t y, std::uint32_t pixel);

}  // namespace zorva
