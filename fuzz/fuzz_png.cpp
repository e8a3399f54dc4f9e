// Feeds arbitrary bytes to the PNG loader: it must fail cleanly or deliver a consistent picture.
#include "image/image_decoders.h"
#include "image_fuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zorva::detail::ignore_png_checksums(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz_image_loader(zorva::ImageKind::Png, data, size);
}
