// Frames for the drawing tests.
#pragma once

#include <QImage>
#include <cstdint>

#include "support/test_images.h"

namespace zorva::test {

inline QImage make_frame(int width, int height, std::uint32_t fill = argb(255, 0, 0, 0)) {
    QImage frame(width, height, QImage::Format_ARGB32_Premultiplied);
    frame.fill(fill);
    return frame;
}

inline std::uint32_t at(const QImage& frame, int x, int y) {
    return reinterpret_cast<const std::uint32_t*>(frame.constScanLine(y))[x];
}

}  // namespace zorva::test
