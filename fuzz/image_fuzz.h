// The check every image-loader fuzz target makes: the loader fails cleanly (an empty record) or
// delivers a consistent picture whose every byte can be read and whose premultiplied colours never
// exceed their alpha.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "image/image_loader.h"

inline int fuzz_image_loader(zorva::ImageKind kind, const std::uint8_t* data, std::size_t size) {
    zorva::Image image;
    const bool key_on = (size & 1) != 0;
    const std::int32_t result = zorva::load_image_from_memory(image, kind, data, size, key_on, 0x00FF00FF);
    if (result == zorva::kImageLoaded) {
        if (image.empty() || image.width <= 0 || image.height <= 0 || image.stride < 4 * image.width)
            std::abort();
        for (int y = 0; y < image.height; ++y) {
            const std::uint8_t* p = image.row(y);
            for (int x = 0; x < image.width; ++x, p += 4)
                if (p[0] > p[3] || p[1] > p[3] || p[2] > p[3]) std::abort();
        }
    } else if (!image.empty()) {
        std::abort();
    }
    return 0;
}
