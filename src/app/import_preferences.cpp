#include "app/import_preferences.h"

namespace zorva {

namespace {

namespace off = pref_offset;

constexpr std::size_t kTileWidth = off::kImportValues + 0;
constexpr std::size_t kTileHeight = off::kImportValues + 4;
constexpr std::size_t kMapWidth = off::kImportValues + 8;
constexpr std::size_t kMapHeight = off::kImportValues + 12;
constexpr std::size_t kAdjuster = off::kImportValues + 16;
constexpr std::size_t kTransparentColour = off::kImportValues + 20;
constexpr std::size_t kPacked = off::kImportValues + 24;
constexpr std::size_t kWidthPosition = off::kImportValues + 28;
constexpr std::size_t kHeightPosition = off::kImportValues + 32;
constexpr std::size_t kMapArrayPosition = off::kImportValues + 36;
constexpr std::size_t kSkipAfterCell = off::kImportValues + 40;
static_assert(kSkipAfterCell + 4 == off::kImportSaveSettingsFolder);
constexpr std::size_t kSkipAfterLayer = off::kImportLastValue;

constexpr unsigned kWidthFieldShift = 0;
constexpr unsigned kHeightFieldShift = 5;
constexpr unsigned kCellSizeShift = 10;
constexpr std::uint32_t kSizeMask = 0x1F;
enum Switch : unsigned {
    kWidthFromFile = 15,
    kHeightFromFile,
    kUseWidthPosition,
    kUseHeightPosition,
    kUseMapArrayPosition,
    kUseTransparentColour,
    kInvertLayerOrder,
    kMerge,
};

bool bit(std::uint32_t word, unsigned number) { return (word >> number & 1u) != 0; }
std::uint32_t bit_if(bool on, unsigned number) { return on ? 1u << number : 0u; }
// A size field holds 0 to 31; the lists offer 1 to 4.
std::uint32_t size_field(std::uint32_t size) { return size > kSizeMask ? kSizeMask : size; }

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

ImportSettings import_settings_from_preferences(const Preferences& p) {
    ImportSettings s;
    s.map_file = p.text(off::kImportMapFolder);
    s.tile_width = p.u32(kTileWidth);
    s.tile_height = p.u32(kTileHeight);
    s.map_width = p.u32(kMapWidth);
    s.map_height = p.u32(kMapHeight);
    s.tile_index_adjuster = p.i32(kAdjuster);
    s.transparent_colour = p.u32(kTransparentColour) & 0x00FFFFFFu;
    const std::uint32_t packed = p.u32(kPacked);
    s.width_field_size = packed >> kWidthFieldShift & kSizeMask;
    s.height_field_size = packed >> kHeightFieldShift & kSizeMask;
    s.cell_size = packed >> kCellSizeShift & kSizeMask;
    s.width_from_file = bit(packed, kWidthFromFile);
    s.height_from_file = bit(packed, kHeightFromFile);
    s.use_width_position = bit(packed, kUseWidthPosition);
    s.use_height_position = bit(packed, kUseHeightPosition);
    s.use_map_array_position = bit(packed, kUseMapArrayPosition);
    s.use_transparent_colour = bit(packed, kUseTransparentColour);
    s.invert_layer_order = bit(packed, kInvertLayerOrder);
    s.merge = bit(packed, kMerge);
    s.width_position = p.i32(kWidthPosition);
    s.height_position = p.i32(kHeightPosition);
    s.map_array_position = p.i32(kMapArrayPosition);
    s.skip_after_cell = p.u32(kSkipAfterCell);
    s.skip_after_layer = p.u32(kSkipAfterLayer);
    return s;
}

void store_import_settings(Preferences& p, const ImportSettings& s) {
    p.set_text(off::kImportMapFolder, s.map_file.view());
    p.set_u32(kTileWidth, s.tile_width);
    p.set_u32(kTileHeight, s.tile_height);
    p.set_u32(kMapWidth, s.map_width);
    p.set_u32(kMapHeight, s.map_height);
    p.set_i32(kAdjuster, s.tile_index_adjuster);
    p.set_u32(kTransparentColour, s.transparent_colour & 0x00FFFFFFu);
    p.set_u32(kPacked, size_field(s.width_field_size) << kWidthFieldShift |
                           size_field(s.height_field_size) << kHeightFieldShift |
                           size_field(s.cell_size) << kCellSizeShift |
                           bit_if(s.width_from_file, kWidthFromFile) |
                           bit_if(s.height_from_file, kHeightFromFile) |
                           bit_if(s.use_width_position, kUseWidthPosition) |
                           bit_if(s.use_height_position, kUseHeightPosition) |
                           bit_if(s.use_map_array_position, kUseMapArrayPosition) |
                           bit_if(s.use_transparent_colour, kUseTransparentColour) |
                           bit_if(s.invert_layer_order, kInvertLayerOrder) | bit_if(s.merge, kMerge));
    p.set_i32(kWidthPosition, s.width_position);
    p.set_i32(kHeightPosition, s.height_position);
    p.set_i32(kMapArrayPosition, s.map_array_position);
    p.set_u32(kSkipAfterCell, s.skip_after_cell);
    p.set_u32(kSkipAfterLayer, s.skip_after_layer);
}

std::string remembered_import_settings_file(const Preferences& p) {
    return p.text(off::kImportSettingsFolder);
}

void remember_import_settings_file(Preferences& p, std::string_view path, bool saved) {
    p.set_text(off::kImportSettingsFolder, path);
    if (saved) p.set_text(off::kImportSaveSettingsFolder, folder_of(std::string(path)));
}

std::string import_settings_save_folder(const Preferences& p) {
    const std::string saved = p.text(off::kImportSaveSettingsFolder);
    return saved.empty() ? folder_of(remembered_import_settings_file(p)) : saved;
}

}  // namespace zorva
