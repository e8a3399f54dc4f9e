// What the user tells the binary MAP import about a foreign MAP file, and the importer settings file
// ".zis" that keeps it: 584 bytes, no header, little-endian, the fields below one after the other.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/fixed_text.h"

namespace zorva {

struct ImportSettings {
    PathText map_file;        // "MAP file to import:"
    PathText tile_set_image;  // "Tile Set image file:"
    std::uint32_t tile_width = 16;
    std::uint32_t tile_height = 16;
    std::uint32_t map_width = 100;  // fixed sizes, used unless read from the file
    std::uint32_t map_height = 100;
    bool width_from_file = false;
    bool height_from_file = false;
    std::uint32_t width_field_size = 4;  // bytes, 1 to 4
    std::uint32_t height_field_size = 4;
    bool use_width_position = false;
    std::int32_t width_position = 0;  // absolute offsets in the MAP file
    bool use_height_position = false;
    std::int32_t height_position = 0;
    bool use_map_array_position = false;
    std::int32_t map_array_position = 0;
    std::uint32_t cell_size = 4;  // bytes, 1 to 4
    std::int32_t tile_index_adjuster = 0;
    std::uint32_t skip_after_cell = 0;
    std::uint32_t skip_after_layer = 0;
    bool use_transparent_colour = false;
    std::uint32_t transparent_colour = 0;  // red + green * 256 + blue * 65536
    bool invert_layer_order = false;
    bool merge = false;  // into the open project

    friend bool operator==(const ImportSettings&, const ImportSettings&) = default;
};

// The ".zis" layout.
namespace zis {

struct Field {
    std::size_t offset = 0;
    std::size_t size = 0;
    constexpr std::size_t end() const { return offset + size; }
};
constexpr Field after(Field previous, std::size_t size) { return Field{previous.end(), size}; }

inline constexpr Field kMapFile{0, 260};
inline constexpr Field kTileSetImage = after(kMapFile, 260);
inline constexpr Field kTileWidth = after(kTileSetImage, 4);
inline constexpr Field kTileHeight = after(kTileWidth, 4);
inline constexpr Field kMapWidth = after(kTileHeight, 4);
inline constexpr Field kMapHeight = after(kMapWidth, 4);
inline constexpr Field kTileIndexAdjuster = after(kMapHeight, 4);
inline constexpr Field kTransparentColour = after(kTileIndexAdjuster, 4);
inline constexpr Field kWidthFromFile = after(kTransparentColour, 1);
inline constexpr Field kHeightFromFile = after(kWidthFromFile, 1);
inline constexpr Field kWidthFieldSize = after(kHeightFromFile, 4);
inline constexpr Field kHeightFieldSize = after(kWidthFieldSize, 4);
inline constexpr Field kCellSize = after(kHeightFieldSize, 4);
inline constexpr Field kUseTransparentColour = after(kCellSize, 1);
inline constexpr Field kInvertLayerOrder = after(kUseTransparentColour, 1);
inline constexpr Field kUseMapArrayPosition = after(kInvertLayerOrder, 1);
inline constexpr Field kMapArrayPosition = after(kUseMapArrayPosition, 4);
inline constexpr Field kUseWidthPosition = after(kMapArrayPosition, 1);
inline constexpr Field kWidthPosition = after(kUseWidthPosition, 4);
inline constexpr Field kUseHeightPosition = after(kWidthPosition, 1);
inline constexpr Field kHeightPosition = after(kUseHeightPosition, 4);
inline constexpr Field kSkipAfterCell = after(kHeightPosition, 4);
inline constexpr Field kSkipAfterLayer = after(kSkipAfterCell, 4);
inline constexpr Field kMerge = after(kSkipAfterLayer, 1);

inline constexpr std::size_t kFileSize = 584;
inline constexpr const char* kExtension = ".zis";

static_assert(kTileWidth.offset == 520);
static_assert(kTransparentColour.offset == 540);
static_assert(kWidthFromFile.offset == 544);
static_assert(kWidthFieldSize.offset == 546);
static_assert(kCellSize.offset == 554);
static_assert(kUseTransparentColour.offset == 558);
static_assert(kMapArrayPosition.offset == 561);
static_assert(kWidthPosition.offset == 566);
static_assert(kHeightPosition.offset == 571);
static_assert(kSkipAfterCell.offset == 575);
static_assert(kSkipAfterLayer.offset == 579);
static_assert(kMerge.offset == 583);
static_assert(kMerge.end() == kFileSize);

}  // namespace zis

using ZisBytes = std::array<std::uint8_t, zis::kFileSize>;

// The file image of `settings`: texts zero-terminated and zero-padded, flags 0 or 1.
ZisBytes encode_import_settings(const ImportSettings& settings);
// The settings of a file image; a flag is true when its byte is not 0. False for any size but 584.
bool decode_import_settings(std::span<const std::uint8_t> bytes, ImportSettings& settings);

// Writes a settings file through the safe file writer (an existing file is replaced only by a complete
// one). False with `error` on failure.
bool write_import_settings_file(std::string_view path, const ImportSettings& settings,
                                std::string* error = nullptr);

struct ImportSettingsRead {
    bool ok = false;
    ImportSettings settings;
    std::string error;  // why not: the file cannot be read, or its size is wrong (one line)
};
// Reads a settings file. A file of any size but 584 bytes is refused; at most 585 bytes are read.
ImportSettingsRead read_import_settings_file(std::string_view path);

}  // namespace zorva
