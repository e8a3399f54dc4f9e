#include "image/image.h"

#include <limits>
#include <new>

namespace zorva {

bool Image::allocate(std::int32_t new_width, std::int32_t new_height) {
    release();
    width = height = stride = depth = 0;
    if (new_width <= 0 || new_height <= 0) return false;
    if (new_width > std::numeric_limits<std::int32_t>::max() / 4) return false;
    const std::size_t row_bytes = static_cast<std::size_t>(new_width) * 4;
    if (static_cast<std::size_t>(new_height) > std::numeric_limits<std::size_t>::max() / row_bytes)
        return false;
    bitmap.reset(new (std::nothrow) std::uint8_t[row_bytes * static_cast<std::size_t>(new_height)]());
    if (!bitmap) return false;
    width = new_width;
    height = new_height;
    stride = new_width * 4;
    depth = 32;
    return true;
}

void copy_image(Image& destination, Image& source) {
    if (&destination == &source) return;
    destination.release();
    destination = std::move(source);
    source = Image{};
}

}  // namespace zorva
