// Reading TGA, BMP and PNG files into an Image.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/platform.h"
#include "render/image.h"

namespace zorva {

// Result codes of load_image.
constexpr std::int32_t kImageLoaded = 0;
constexpr std::int32_t kImageFailed = static_cast<std::int32_t>(0x80004005u);           // general failure
constexpr std::int32_t kImageUnsupportedType = static_cast<std::int32_t>(0x80070006u);  // unknown extension

// Loads `path` into `image` (released first). `kind` Empty detects the kind from the extension,
// in any letter case. Unless `quiet`, an unsupported type is reported through `platform`.
// With `colour_key_on`, pixels of `key_colour` (0x00BBGGRR) become fully transparent.
std::int32_t load_image(Image& image, std::string_view path, ImageKind kind, Platform* platform, bool quiet,
                        bool colour_key_on, std::uint32_t key_colour);

}  // namespace zorva
