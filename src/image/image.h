// A loaded picture: always delivered as 32-bit premultiplied blue-green-red-alpha pixels.
//
// Rows are stored top-down in memory (row 0 is the top of the picture), which is what QImage
// expects, so the renderer can wrap the buffer without copying.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zorva {

enum class ImageKind : std::int32_t { Empty = -1, Tga = 0, Bmp = 1, Png = 2 };

struct Image {
    ImageKind kind = ImageKind::Empty;
    std::unique_ptr<std::uint8_t[]> bitmap;  // owned pixel buffer, `stride` × `height` bytes
    std::int32_t depth = 0;                  // bits per pixel delivered (32 after every successful load)
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stored_depth = 0;  // bits per pixel as stored in the file (64 for 16-bit RGBA PNG)
    std::int32_t stored_width = 0;
    std::int32_t stored_height = 0;
    std::int32_t stride = 0;  // bytes per row, a multiple of 4
    bool colour_key_on = false;
    bool has_transparency = false;  // the file itself carries transparency (a PNG transparency chunk or
                                    // alpha channel)
    bool needs_blending = false;    // always set after a successful load

    bool empty() const { return kind == ImageKind::Empty || !bitmap; }
    std::uint8_t* pixels() { return bitmap.get(); }
    const std::uint8_t* pixels() const { return bitmap.get(); }
    // The pixel row `y` counted from the top of the picture.
    const std::uint8_t* row(int y) const { return bitmap.get() + static_cast<std::size_t>(y) * stride; }
    std::uint8_t* row(int y) { return bitmap.get() + static_cast<std::size_t>(y) * stride; }
    // Bytes held by the pixel buffer.
    std::size_t byte_size() const {
        return static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    }

    // Frees the bitmap and marks the record empty.
    void release() {
        kind = ImageKind::Empty;
        bitmap.reset();
        needs_blending = false;
    }

    // Replaces the content by a zero-filled (fully transparent) 32-bit picture of the given size.
    // Returns false, leaving the record released, when the size is not positive or memory is short.
    bool allocate(std::int32_t new_width, std::int32_t new_height);
};

// Moves `source` into `destination`: the destination is released first, then takes every field and
// the pixel buffer. The source is left empty, so releasing it afterwards is harmless.
void copy_image(Image& destination, Image& source);

}  // namespace zorva
