// Reading TGA, BMP and PNG files into an Image.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/platform.h"
#include "image/image.h"

namespace zorva {

// Result codes of load_image.
constexpr std::int32_t kImageLoaded = 0;
constexpr std::int32_t kImageFailed = static_cast<std::int32_t>(0x80004005u);           // general failure
constexpr std::int32_t kImageUnsupportedType = static_cast<std::int32_t>(0x80070006u);  // unknown extension

// Largest picture any loader accepts: 64 Mpixels (256 MB delivered). Larger headers are refused
// before anything is allocated, which also stops PNG decompression bombs.
constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 26;

// One row of the image kind table, used by kind detection and by the open-file dialog.
struct ImageKindRow {
    ImageKind kind;
    std::string_view filter_name;
    std::string_view extension;  // with the dot, lower case
};

inline constexpr std::array<ImageKindRow, 3> kImageKinds{{
    {ImageKind::Tga, "TGA Files", ".tga"},
    {ImageKind::Bmp, "Bitmap Files", ".bmp"},
    {ImageKind::Png, "PNG Files", ".png"},
}};

// The kind whose extension ends `path` (compared in any letter case), or Empty when none matches.
ImageKind image_kind_from_path(std::string_view path);

// Loads `path` into `image` (released first). `kind` Empty detects the kind from the extension,
// in any letter case. Unless `quiet`, an unsupported type is reported through `platform`.
// With `colour_key_on`, pixels of `key_colour` (0x00BBGGRR) become fully transparent.
// Returns kImageLoaded, kImageUnsupportedType, or kImageFailed (the record then stays empty).
std::int32_t load_image(Image& image, std::string_view path, ImageKind kind, Platform* platform, bool quiet,
                        bool colour_key_on, std::uint32_t key_colour);

// Decodes a whole file held in memory, of a known kind (not Empty). Same results as load_image.
std::int32_t load_image_from_memory(Image& image, ImageKind kind, const std::uint8_t* bytes, std::size_t size,
                                    bool colour_key_on, std::uint32_t key_colour);

}  // namespace zorva
