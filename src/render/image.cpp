#include "render/image_loader.h"

namespace zorva {

// Placeholder until the loaders land: every load fails.
std::int32_t load_image(Image& image, std::string_view, ImageKind, Platform*, bool, bool, std::uint32_t) {
    image.release();
    return kImageFailed;
}

}  // namespace zorva
