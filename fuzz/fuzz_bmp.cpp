// Feeds arbitrary bytes to the BMP loader: it must fail cleanly or deliver a consistent picture.
#include "image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz_image_loader(zorva::ImageKind::Bmp, data, size);
}
