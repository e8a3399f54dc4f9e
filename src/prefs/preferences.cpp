#include "prefs/preferences.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "base/ascii_text.h"
#include "base/safe_file.h"

namespace zorva {

namespace {

namespace off = pref_offset;

constexpr std::uint32_t kFlagsADefault = 0xFCB7F73Fu;
constexpr std::uint32_t kFlagsCDefault = 0x00142A00u;

constexpr unsigned kGridTypeShift = 6;
constexpr std::uint32_t kGridTypeMask = 0x3u << kGridTypeShift;

constexpr unsigned kRecentShift = 7;
constexpr std::uint32_t kRecentMask = 0xFu << kRecentShift;
constexpr unsigned kBackupIntervalShift = 11;
constexpr std::uint32_t kBackupIntervalMask = 0x7Fu << kBackupIntervalShift;
constexpr unsigned kMaxBackupFilesShift = 18;
constexpr std::uint32_t kMaxBackupFilesMask = 0x7Fu << kMaxBackupFilesShift;

constexpr unsigned kBezierShift = 2;
constexpr std::uint32_t kBezierMask = 0x7Fu << kBezierShift;
constexpr std::uint32_t kEntitiesCustomVariablesBit = 1u << 9;

constexpr std::uint32_t bit(unsigned n) { return 1u << n; }

// What "Restore Default Settings" puts back in flags A and flags C.
constexpr std::uint32_t kFlagsAPartialMask = bit(5) | bit(9) | bit(16) | bit(19) | bit(21) | bit(23) |
                                             bit(26) | bit(28) | bit(29) | bit(31) | kGridTypeMask;
constexpr std::uint32_t kFlagsCPartialMask =
    kRecentMask | kBackupIntervalMask | kMaxBackupFilesMask | bit(26) | bit(27);

static_assert((kFlagsCDefault & kRecentMask) >> kRecentShift == 4);
static_assert((kFlagsCDefault & kBackupIntervalMask) >> kBackupIntervalShift == 5);
static_assert((kFlagsCDefault & kMaxBackupFilesMask) >> kMaxBackupFilesShift == 5);

struct ColourSlot {
    std::size_t offset;
    std::uint32_t fallback;
};

constexpr std::array<ColourSlot, kPrefColourCount> kColours = {{
    {off::kBackgroundColour, rgb(0, 0, 100)},
    {off::kGridColour, rgb(255, 255, 0)},
    {off::kTilesDialogSelectionColour, rgb(0, 255, 0)},
    {off::kSelectionColour, rgb(255, 255, 255)},
    {off::kTilesDialogBackgroundColour, rgb(0, 0, 0)},
    {off::kPathsColour, rgb(200, 200, 100)},
    {off::kSelectedPathsColour, rgb(240, 50, 50)},
    {off::kPathPointsColour, rgb(100, 100, 200)},
    {off::kSelectedPathPointsColour, rgb(200, 200, 255)},
    {off::kPathControlLinesColour, rgb(0, 0, 0)},
    {off::kPathNormalsColour, rgb(0, 200, 0)},
    {off::kTriggersColour, rgb(220, 220, 220)},
    {off::kEntitiesCustomVariablesColour, rgb(255, 255, 255)},
}};

constexpr std::uint32_t kUndoCountDefault = 50;
constexpr std::uint32_t kPathNormalsLengthDefault = 32;

std::uint32_t clamp_u32(std::uint32_t value, std::uint32_t low, std::uint32_t high) {
    return std::min(std::max(value, low), high);
}

}  // namespace

Preferences::Preferences() { reset(true); }

void Preferences::write_defaults() {
    set_u32(off::kFlagsA, kFlagsADefault);
    for (const ColourSlot& slot : kColours) set_u32(slot.offset, slot.fallback);
    set_u32(off::kUndoCount, kUndoCountDefault);
    store_project_defaults(ProjectDefaults{});
    set_u32(off::kFlagsB, 0);
    set_i32(off::kLastImageKind, 1);
    for (std::size_t i = 0; i < kToolWindowCount; ++i) {
        set_tool_window_rect(static_cast<ToolWindow>(i), WindowRect{});
    }
    set_u32(off::kFlagsC, kFlagsCDefault);
    set_u32(off::kPathNormalsLength, kPathNormalsLengthDefault);
    set_f32(off::kLastRotationAngle, 0.0f);
    set_f32(off::kLastScalePercent, 100.0f);
    set_u32(off::kImportValues + 0, 16);
    set_u32(off::kImportValues + 4, 16);
    set_u32(off::kImportValues + 8, 100);
    set_u32(off::kImportValues + 12, 100);
    set_u32(off::kImportValues + 24, 0x1084);
}

void Preferences::reset(bool full) {
    if (full) {
        bytes_.fill(0);
        write_defaults();
        return;
    }
    for (const ColourSlot& slot : kColours) set_u32(slot.offset, slot.fallback);
    set_u32(off::kUndoCount, kUndoCountDefault);
    set_u32(off::kPathNormalsLength, kPathNormalsLengthDefault);
    set_u32(off::kFlagsA, (u32(off::kFlagsA) & ~kFlagsAPartialMask) | (kFlagsADefault & kFlagsAPartialMask));
    set_u32(off::kFlagsC, (u32(off::kFlagsC) & ~kFlagsCPartialMask) | (kFlagsCDefault & kFlagsCPartialMask));
}

// ---- load and save ----

void Preferences::load_bytes(const std::uint8_t* data, std::size_t size) {
    reset(true);
    if (data != nullptr && size > 0) std::memcpy(bytes_.data(), data, std::min(size, kPreferencesSize));
    apply_load_corrections();
}

bool Preferences::load(const std::filesystem::path& file) {
    reset(true);
    bool read = false;
    if (std::FILE* in = std::fopen(file.c_str(), "rb")) {
        Bytes buffer{};
        std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        // A read error (a folder, a device that fails) counts as unreadable: the defaults stand.
        if (!std::ferror(in)) {
            std::memcpy(bytes_.data(), buffer.data(), got);
            read = true;
        }
        std::fclose(in);
    }
    apply_load_corrections();
    return read;
}

void Preferences::apply_load_corrections() {
    set_flag(FlagA::ViewTileAttributes, true);
    set_flag(FlagA::ViewEntities, true);
    set_flag(FlagA::ViewPaths, true);
    set_recent_count(recent_count_raw());
    set_backup_interval_minutes(backup_interval_raw());
    set_max_backup_files(max_backup_files_raw());
}

bool Preferences::save(const std::filesystem::path& file) const {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    const std::string_view bytes(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
    return write_file_safely(file.string(), bytes);
}

// ---- raw access ----

std::uint32_t Preferences::u32(std::size_t offset) const {
    assert(offset + 4 <= kPreferencesSize);
    const std::uint8_t* p = bytes_.data() + offset;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Preferences::set_u32(std::size_t offset, std::uint32_t value) {
    assert(offset + 4 <= kPreferencesSize);
    std::uint8_t* p = bytes_.data() + offset;
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
    p[3] = static_cast<std::uint8_t>(value >> 24);
}

float Preferences::f32(std::size_t offset) const { return std::bit_cast<float>(u32(offset)); }

void Preferences::set_f32(std::size_t offset, float value) {
    set_u32(offset, std::bit_cast<std::uint32_t>(value));
}

std::string Preferences::text(std::size_t offset) const {
    assert(offset + kPreferencesTextSize <= kPreferencesSize);
    const char* p = reinterpret_cast<const char*>(bytes_.data() + offset);
    // A field without a terminator (a foreign file) is cut to 259 characters.
    std::size_t length = 0;
    while (length < kPreferencesTextSize - 1 && p[length] != '\0') ++length;
    return std::string(p, length);
}

void Preferences::set_text(std::size_t offset, std::string_view value) {
    assert(offset + kPreferencesTextSize <= kPreferencesSize);
    std::uint8_t* p = bytes_.data() + offset;
    std::fill(p, p + kPreferencesTextSize, std::uint8_t{0});
    std::size_t length = std::min(value.size(), kPreferencesTextSize - 1);
    // An embedded NUL ends the text just as it would when read back.
    length = std::min(length, value.substr(0, length).find('\0'));
    std::memcpy(p, value.data(), length);
}

// ---- flags ----

bool Preferences::flag(FlagA which) const {
    return (u32(off::kFlagsA) & bit(static_cast<unsigned>(which))) != 0;
}

void Preferences::set_flag(FlagA which, bool on) {
    std::uint32_t mask = bit(static_cast<unsigned>(which));
    set_u32(off::kFlagsA, on ? (u32(off::kFlagsA) | mask) : (u32(off::kFlagsA) & ~mask));
}

bool Preferences::flag(FlagC which) const {
    return (u32(off::kFlagsC) & bit(static_cast<unsigned>(which))) != 0;
}

void Preferences::set_flag(FlagC which, bool on) {
    std::uint32_t mask = bit(static_cast<unsigned>(which));
    set_u32(off::kFlagsC, on ? (u32(off::kFlagsC) | mask) : (u32(off::kFlagsC) & ~mask));
}

GridType Preferences::grid_type() const {
    std::uint32_t value = (u32(off::kFlagsA) & kGridTypeMask) >> kGridTypeShift;
    return value > 2 ? GridType::Dots : static_cast<GridType>(value);
}

void Preferences::set_grid_type(GridType type) {
    std::uint32_t value = static_cast<std::uint32_t>(type) & 0x3u;
    set_u32(off::kFlagsA, (u32(off::kFlagsA) & ~kGridTypeMask) | (value << kGridTypeShift));
}

bool Preferences::view_entities_custom_variables() const {
    return (u32(off::kFlagsB) & kEntitiesCustomVariablesBit) != 0;
}

void Preferences::set_view_entities_custom_variables(bool on) {
    std::uint32_t flags = u32(off::kFlagsB);
    set_u32(off::kFlagsB,
            on ? (flags | kEntitiesCustomVariablesBit) : (flags & ~kEntitiesCustomVariablesBit));
}

std::uint32_t Preferences::bezier_smoothness() const {
    return (u32(off::kFlagsB) & kBezierMask) >> kBezierShift;
}

void Preferences::set_bezier_smoothness(std::uint32_t value) {
    set_u32(off::kFlagsB, (u32(off::kFlagsB) & ~kBezierMask) | ((value << kBezierShift) & kBezierMask));
}

// ---- colours ----

std::size_t Preferences::colour_offset(PrefColour which) {
    return kColours[static_cast<std::size_t>(which)].offset;
}

std::uint32_t Preferences::colour(PrefColour which) const { return u32(colour_offset(which)); }

void Preferences::set_colour(PrefColour which, std::uint32_t bgr) {
    set_u32(colour_offset(which), bgr & 0x00FFFFFFu);
}

// ---- counts in flags C ----

std::uint32_t Preferences::recent_count_raw() const {
    return (u32(off::kFlagsC) & kRecentMask) >> kRecentShift;
}

std::uint32_t Preferences::backup_interval_raw() const {
    return (u32(off::kFlagsC) & kBackupIntervalMask) >> kBackupIntervalShift;
}

std::uint32_t Preferences::max_backup_files_raw() const {
    return (u32(off::kFlagsC) & kMaxBackupFilesMask) >> kMaxBackupFilesShift;
}

std::uint32_t Preferences::recent_count() const {
    return clamp_u32(recent_count_raw(), kRecentCountMin, kRecentCountMax);
}

void Preferences::set_recent_count(std::uint32_t count) {
    count = clamp_u32(count, kRecentCountMin, kRecentCountMax);
    set_u32(off::kFlagsC, (u32(off::kFlagsC) & ~kRecentMask) | (count << kRecentShift));
}

std::uint32_t Preferences::backup_interval_minutes() const {
    return clamp_u32(backup_interval_raw(), kBackupIntervalMin, kBackupIntervalMax);
}

void Preferences::set_backup_interval_minutes(std::uint32_t minutes) {
    minutes = clamp_u32(minutes, kBackupIntervalMin, kBackupIntervalMax);
    set_u32(off::kFlagsC, (u32(off::kFlagsC) & ~kBackupIntervalMask) | (minutes << kBackupIntervalShift));
}

std::uint32_t Preferences::max_backup_files() const {
    return clamp_u32(max_backup_files_raw(), kMaxBackupFilesMin, kMaxBackupFilesMax);
}

void Preferences::set_max_backup_files(std::uint32_t count) {
    count = clamp_u32(count, kMaxBackupFilesMin, kMaxBackupFilesMax);
    set_u32(off::kFlagsC, (u32(off::kFlagsC) & ~kMaxBackupFilesMask) | (count << kMaxBackupFilesShift));
}

// ---- numbers clamped where used ----

std::int32_t Preferences::undo_count_clamped() const {
    return std::clamp(undo_count(), kUndoCountMin, kUndoCountMax);
}

std::uint32_t Preferences::path_normals_length_clamped() const {
    return clamp_u32(path_normals_length(), kPathNormalsLengthMin, kPathNormalsLengthMax);
}

// ---- tool windows ----

WindowRect Preferences::tool_window_rect(ToolWindow window) const {
    std::size_t base = off::kToolWindowRects + static_cast<std::size_t>(window) * 16;
    return WindowRect{i32(base), i32(base + 4), i32(base + 8), i32(base + 12)};
}

void Preferences::set_tool_window_rect(ToolWindow window, const WindowRect& rect) {
    std::size_t base = off::kToolWindowRects + static_cast<std::size_t>(window) * 16;
    set_i32(base, rect.left);
    set_i32(base + 4, rect.top);
    set_i32(base + 8, rect.right);
    set_i32(base + 12, rect.bottom);
}

bool Preferences::tool_window_rect_stored(ToolWindow window) const {
    return (u32(off::kFlagsC) & bit(static_cast<unsigned>(window))) != 0;
}

void Preferences::set_tool_window_rect_stored(ToolWindow window, bool stored) {
    std::uint32_t mask = bit(static_cast<unsigned>(window));
    set_u32(off::kFlagsC, stored ? (u32(off::kFlagsC) | mask) : (u32(off::kFlagsC) & ~mask));
}

// ---- remembered values ----

std::string Preferences::last_project_folder(const std::filesystem::path& data_folder) const {
    std::string folder = text(off::kLastProjectFolder);
    if (!folder.empty()) return folder;
    std::string fallback = data_folder.string();
    if (!fallback.empty() && fallback.back() != '/') fallback += '/';
    return fallback + "Examples/SampleProjects/";
}

ProjectDefaults Preferences::project_defaults() const {
    ProjectDefaults d;
    d.tile_width = i32(off::kTileWidth);
    d.tile_height = i32(off::kTileHeight);
    d.tile_offset_x = i32(off::kTileOffsetX);
    d.tile_offset_y = i32(off::kTileOffsetY);
    d.tile_spacing_x = i32(off::kTileSpacingX);
    d.tile_spacing_y = i32(off::kTileSpacingY);
    d.tile_set_use_transparent_colour = flag(FlagA::TileSetUseTransparentColour);
    d.tile_set_transparent_colour = u32(off::kTileSetTransparentColour);
    d.layer_grid_width = i32(off::kLayerGridWidth);
    d.layer_grid_height = i32(off::kLayerGridHeight);
    d.layer_scroll_speed_x = f32(off::kLayerScrollSpeedX);
    d.layer_scroll_speed_y = f32(off::kLayerScrollSpeedY);
    d.layer_grid_offset_x = i32(off::kLayerGridOffsetX);
    d.layer_grid_offset_y = i32(off::kLayerGridOffsetY);
    d.frame_width = i32(off::kFrameWidth);
    d.frame_height = i32(off::kFrameHeight);
    d.frame_offset_x = i32(off::kFrameOffsetX);
    d.frame_offset_y = i32(off::kFrameOffsetY);
    d.frame_spacing_x = i32(off::kFrameSpacingX);
    d.frame_spacing_y = i32(off::kFrameSpacingY);
    d.entity_use_transparent_colour = flag(FlagC::EntityUseTransparentColour);
    d.entity_transparent_colour = u32(off::kEntityTransparentColour);
    return d;
}

void Preferences::store_project_defaults(const ProjectDefaults& d) {
    set_i32(off::kTileWidth, d.tile_width);
    set_i32(off::kTileHeight, d.tile_height);
    set_i32(off::kTileOffsetX, d.tile_offset_x);
    set_i32(off::kTileOffsetY, d.tile_offset_y);
    set_i32(off::kTileSpacingX, d.tile_spacing_x);
    set_i32(off::kTileSpacingY, d.tile_spacing_y);
    set_flag(FlagA::TileSetUseTransparentColour, d.tile_set_use_transparent_colour);
    set_u32(off::kTileSetTransparentColour, d.tile_set_transparent_colour);
    set_i32(off::kLayerGridWidth, d.layer_grid_width);
    set_i32(off::kLayerGridHeight, d.layer_grid_height);
    set_f32(off::kLayerScrollSpeedX, d.layer_scroll_speed_x);
    set_f32(off::kLayerScrollSpeedY, d.layer_scroll_speed_y);
    set_i32(off::kLayerGridOffsetX, d.layer_grid_offset_x);
    set_i32(off::kLayerGridOffsetY, d.layer_grid_offset_y);
    set_i32(off::kFrameWidth, d.frame_width);
    set_i32(off::kFrameHeight, d.frame_height);
    set_i32(off::kFrameOffsetX, d.frame_offset_x);
    set_i32(off::kFrameOffsetY, d.frame_offset_y);
    set_i32(off::kFrameSpacingX, d.frame_spacing_x);
    set_i32(off::kFrameSpacingY, d.frame_spacing_y);
    set_flag(FlagC::EntityUseTransparentColour, d.entity_use_transparent_colour);
    set_u32(off::kEntityTransparentColour, d.entity_transparent_colour);
}

// ---- recent projects ----

std::string Preferences::recent_entry(std::size_t index) const {
    if (index >= kRecentProjectsMax) return {};
    return text(off::kRecentProjects + index * kPreferencesTextSize);
}

void Preferences::add_recent(std::string_view path) {
    if (path.empty()) return;
    const std::size_t n = recent_count();
    // Compare with the text as it will be stored (cut to 259 characters).
    const std::string_view stored = path.substr(0, std::min(path.size(), kPreferencesTextSize - 1));
    std::size_t last = n - 1;  // the entry that goes: the matching one, else the last of n
    for (std::size_t i = 0; i < n; ++i) {
        if (equal_ignoring_case(recent_entry(i), stored)) {
            last = i;
            break;
        }
    }
    std::uint8_t* base = bytes_.data() + off::kRecentProjects;
    std::memmove(base + kPreferencesTextSize, base, last * kPreferencesTextSize);
    set_text(off::kRecentProjects, stored);
}

std::vector<std::string> Preferences::recent_projects() const {
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < recent_count(); ++i) {
        std::string entry = recent_entry(i);
        if (!entry.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace zorva
