// Feeds arbitrary bytes to the PNG loader: it must fail cleanly or deliver a consistent picture.
#include <cstdlib>

#include "render/image_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zorva::Image image;
    const bool key_on = (size & 1) != 0;
    const std::int32_t result =
        zorva::load_image_from_memory(image, zorva::ImageKind::Png, data, size, key_on, 0x00FF00FF);
    if (result == zorva::kImageLoaded) {
        if (image.empty() || image.width <= 0 || image.height <= 0 || image.stride < 4 * image.width)
            std::abort();
        // Touch every delivered byte, and check that premultiplied colours never exceed alpha.
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
