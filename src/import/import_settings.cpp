#include "import/import_settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/safe_file.h"

namespace zorva {

namespace {

void put(ZisBytes& bytes, zis::Field field, std::uint32_t value) {
    for (std::size_t i = 0; i < field.size; ++i)
        bytes[field.offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void put_flag(ZisBytes& bytes, zis::Field field, bool on) { bytes[field.offset] = on ? 1 : 0; }

void put_text(ZisBytes& bytes, zis::Field field, const PathText& text) {
    static_assert(PathText::kStorageSize == 260);
    std::memcpy(bytes.data() + field.offset, text.bytes().data(), field.size);
}

std::uint32_t get(std::span<const std::uint8_t> bytes, zis::Field field) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < field.size; ++i)
        value |= static_cast<std::uint32_t>(bytes[field.offset + i]) << (8 * i);
    return value;
}

bool get_flag(std::span<const std::uint8_t> bytes, zis::Field field) { return bytes[field.offset] != 0; }

void get_text(std::span<const std::uint8_t> bytes, zis::Field field, PathText& text) {
    text.set_from_field(reinterpret_cast<const char*>(bytes.data() + field.offset), field.size);
}

}  // namespace

ZisBytes encode_import_settings(const ImportSettings& s) {
    ZisBytes bytes{};
    put_text(bytes, zis::kMapFile, s.map_file);
    put_text(bytes, zis::kTileSetImage, s.tile_set_image);
    put(bytes, zis::kTileWidth, s.tile_width);
    put(bytes, zis::kTileHeight, s.tile_height);
    put(bytes, zis::kMapWidth, s.map_width);
    put(bytes, zis::kMapHeight, s.map_height);
    put(bytes, zis::kTileIndexAdjuster, static_cast<std::uint32_t>(s.tile_index_adjuster));
    put(bytes, zis::kTransparentColour, s.transparent_colour);
    put_flag(bytes, zis::kWidthFromFile, s.width_from_file);
    put_flag(bytes, zis::kHeightFromFile, s.height_from_file);
    put(bytes, zis::kWidthFieldSize, s.width_field_size);
    put(bytes, zis::kHeightFieldSize, s.height_field_size);
    put(bytes, zis::kCellSize, s.cell_size);
    put_flag(bytes, zis::kUseTransparentColour, s.use_transparent_colour);
    put_flag(bytes, zis::kInvertLayerOrder, s.invert_layer_order);
    put_flag(bytes, zis::kUseMapArrayPosition, s.use_map_array_position);
    put(bytes, zis::kMapArrayPosition, static_cast<std::uint32_t>(s.map_array_position));
    put_flag(bytes, zis::kUseWidthPosition, s.use_width_position);
    put(bytes, zis::kWidthPosition, static_cast<std::uint32_t>(s.width_position));
    put_flag(bytes, zis::kUseHeightPosition, s.use_height_position);
    put(bytes, zis::kHeightPosition, static_cast<std::uint32_t>(s.height_position));
    put(bytes, zis::kSkipAfterCell, s.skip_after_cell);
    put(bytes, zis::kSkipAfterLayer, s.skip_after_layer);
    put_flag(bytes, zis::kMerge, s.merge);
    return bytes;
}

bool decode_import_settings(std::span<const std::uint8_t> bytes, ImportSettings& s) {
    if (bytes.size() != zis::kFileSize) return false;
    get_text(bytes, zis::kMapFile, s.map_file);
    get_text(bytes, zis::kTileSetImage, s.tile_set_image);
    s.tile_width = get(bytes, zis::kTileWidth);
    s.tile_height = get(bytes, zis::kTileHeight);
    s.map_width = get(bytes, zis::kMapWidth);
    s.map_height = get(bytes, zis::kMapHeight);
    s.tile_index_adjuster = static_cast<std::int32_t>(get(bytes, zis::kTileIndexAdjuster));
    s.transparent_colour = get(bytes, zis::kTransparentColour);
    s.width_from_file = get_flag(bytes, zis::kWidthFromFile);
    s.height_from_file = get_flag(bytes, zis::kHeightFromFile);
    s.width_field_size = get(bytes, zis::kWidthFieldSize);
    s.height_field_size = get(bytes, zis::kHeightFieldSize);
    s.cell_size = get(bytes, zis::kCellSize);
    s.use_transparent_colour = get_flag(bytes, zis::kUseTransparentColour);
    s.invert_layer_order = get_flag(bytes, zis::kInvertLayerOrder);
    s.use_map_array_position = get_flag(bytes, zis::kUseMapArrayPosition);
    s.map_array_position = static_cast<std::int32_t>(get(bytes, zis::kMapArrayPosition));
    s.use_width_position = get_flag(bytes, zis::kUseWidthPosition);
    s.width_position = static_cast<std::int32_t>(get(bytes, zis::kWidthPosition));
    s.use_height_position = get_flag(bytes, zis::kUseHeightPosition);
    s.height_position = static_cast<std::int32_t>(get(bytes, zis::kHeightPosition));
    s.skip_after_cell = get(bytes, zis::kSkipAfterCell);
    s.skip_after_layer = get(bytes, zis::kSkipAfterLayer);
    s.merge = get_flag(bytes, zis::kMerge);
    return true;
}

bool write_import_settings_file(std::string_view path, const ImportSettings& settings, std::string* error) {
    const ZisBytes bytes = encode_import_settings(settings);
    return write_file_safely(path, std::span<const std::uint8_t>(bytes), error);
}

ImportSettingsRead read_import_settings_file(std::string_view path) {
    ImportSettingsRead result;
    std::FILE* file = std::fopen(std::string(path).c_str(), "rb");
    if (!file) {
        result.error = std::strerror(errno);
        return result;
    }
    // One byte more than a settings file holds tells a longer file from a complete one.
    std::array<std::uint8_t, zis::kFileSize + 1> bytes{};
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        result.error = "The file could not be read.";
        return result;
    }
    if (got != zis::kFileSize) {
        char text[160];
        if (got > zis::kFileSize)
            std::snprintf(text, sizeof text,
                          "An importer settings file is %zu bytes long; this file is longer.",
                          zis::kFileSize);
        else
            std::snprintf(text, sizeof text,
                          "An importer settings file is %zu bytes long; this file has %zu bytes.",
                          zis::kFileSize, got);
        result.error = text;
        return result;
    }
    result.ok = decode_import_settings(std::span<const std::uint8_t>(bytes.data(), got), result.settings);
    return result;
}

}  // namespace zorva
