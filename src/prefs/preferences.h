// The preferences record: one fixed 6112-byte record of flags, colours, counts, remembered folders and
// new-object defaults, stored byte for byte (little-endian, no header) in "Settings.cfg" in the data folder.
//
// The record is held as raw bytes so that values this editor does not know survive a load and a save
// unchanged; every known value has a named offset below and a typed accessor.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/colour.h"
#include "model/project_defaults.h"

namespace zorva {

inline constexpr std::size_t kPreferencesSize = 6112;
inline constexpr std::size_t kPreferencesTextSize = 260;  // NUL-terminated, at most 259 characters
inline constexpr std::size_t kRecentProjectsMax = 10;
inline constexpr std::size_t kToolWindowCount = 7;
inline constexpr const char* kSettingsFileName = "Settings.cfg";

// Byte offsets of the known values.
namespace pref_offset {
inline constexpr std::size_t kFlagsA = 0;
inline constexpr std::size_t kBackgroundColour = 68;
inline constexpr std::size_t kGridColour = 72;
inline constexpr std::size_t kUndoCount = 76;
inline constexpr std::size_t kTileWidth = 80;
inline constexpr std::size_t kTileHeight = 84;
inline constexpr std::size_t kTileOffsetX = 88;
inline constexpr std::size_t kTileOffsetY = 92;
inline constexpr std::size_t kTileSpacingX = 96;
inline constexpr std::size_t kTileSpacingY = 100;
inline constexpr std::size_t kTilesDialogSelectionColour = 104;
inline constexpr std::size_t kLayerGridWidth = 108;
inline constexpr std::size_t kLayerGridHeight = 112;
inline constexpr std::size_t kLayerScrollSpeedX = 116;
inline constexpr std::size_t kLayerScrollSpeedY = 120;
inline constexpr std::size_t kFlagsB = 124;
inline constexpr std::size_t kLastProjectFolder = 388;
inline constexpr std::size_t kLastImageFolder = 648;
inline constexpr std::size_t kSelectionColour = 908;
inline constexpr std::size_t kLayerGridOffsetX = 912;
inline constexpr std::size_t kLayerGridOffsetY = 916;
inline constexpr std::size_t kTilesDialogBackgroundColour = 920;
inline constexpr std::size_t kLastImageKind = 924;
inline constexpr std::size_t kExporterInFolder = 928;
inline constexpr std::size_t kExporterOutsideFolder = 1188;
inline constexpr std::size_t kExportOutputFile = 1448;
inline constexpr std::size_t kPathsColour = 1708;
inline constexpr std::size_t kSelectedPathsColour = 1712;
inline constexpr std::size_t kPathPointsColour = 1716;
inline constexpr std::size_t kSelectedPathPointsColour = 1720;
inline constexpr std::size_t kPathControlLinesColour = 1724;
inline constexpr std::size_t kCustomVariablesEditorIndex = 1728;
inline constexpr std::size_t kToolWindowRects = 1732;  // 7 × {left, top, right, bottom}
inline constexpr std::size_t kFlagsC = 1844;
inline constexpr std::size_t kTileSetTransparentColour = 1848;
inline constexpr std::size_t kPathNormalsColour = 1852;
inline constexpr std::size_t kPathNormalsLength = 1856;
inline constexpr std::size_t kTriggersColour = 2640;
inline constexpr std::size_t kLastRotationAngle = 2644;
inline constexpr std::size_t kLastScalePercent = 2648;
inline constexpr std::size_t kRecentProjects = 2652;  // 10 × 260 bytes
inline constexpr std::size_t kImportMapFolder = 5252;
inline constexpr std::size_t kImportSettingsFolder = 5512;
inline constexpr std::size_t kImportValues = 5772;  // 11 × 32-bit, owned by the binary MAP import
inline constexpr std::size_t kImportValueCount = 11;
inline constexpr std::size_t kImportSaveSettingsFolder = 5816;
inline constexpr std::size_t kImportLastValue = 6076;
inline constexpr std::size_t kFrameWidth = 6080;
inline constexpr std::size_t kFrameHeight = 6084;
inline constexpr std::size_t kFrameOffsetX = 6088;
inline constexpr std::size_t kFrameOffsetY = 6092;
inline constexpr std::size_t kFrameSpacingX = 6096;
inline constexpr std::size_t kFrameSpacingY = 6100;
inline constexpr std::size_t kEntityTransparentColour = 6104;
inline constexpr std::size_t kEntitiesCustomVariablesColour = 6108;

static_assert(kToolWindowRects + kToolWindowCount * 16 <= kFlagsC);
static_assert(kRecentProjects + kRecentProjectsMax * kPreferencesTextSize == kImportMapFolder);
static_assert(kImportMapFolder + kPreferencesTextSize == kImportSettingsFolder);
static_assert(kImportSettingsFolder + kPreferencesTextSize == kImportValues);
static_assert(kImportValues + kImportValueCount * 4 == kImportSaveSettingsFolder);
static_assert(kImportSaveSettingsFolder + kPreferencesTextSize == kImportLastValue);
static_assert(kLastProjectFolder + kPreferencesTextSize == kLastImageFolder);
static_assert(kLastImageFolder + kPreferencesTextSize == kSelectionColour);
static_assert(kExporterInFolder + kPreferencesTextSize == kExporterOutsideFolder);
static_assert(kExportOutputFile + kPreferencesTextSize == kPathsColour);
static_assert(kEntitiesCustomVariablesColour + 4 == kPreferencesSize);
}  // namespace pref_offset

// Flags A (offset 0): bit numbers.
enum class FlagA : unsigned {
    ViewGrid = 0,
    ShowMapsWindow = 1,
    ShowLayersWindow = 2,
    ShowEntitiesWindow = 3,
    ShowTileSetsWindow = 4,
    AllowDialogsOffScreen = 5,  // "Allow dialogs to move off screen"
    // bits 6 to 7: grid type, see grid_type()
    ShowTilesWindow = 8,
    InvertCursorKeys = 9,  // "Invert cursor keys for view movement"
    ViewOriginMarker = 10,
    SnapToGrid = 11,
    ViewTileAttributes = 12,
    ViewEntities = 13,
    ShowSelectedEntitiesWindow = 14,
    ShowMosaicsWindow = 15,
    AskWhenDeletingMosaics = 16,  // "Ask when deleting mosaics"
    UseExporterFromExportersFolder = 17,
    ViewPaths = 18,
    DisableTransparentImages = 19,  // "Disable transparent images (faster)"
    ViewObjectsBeneathCursor = 20,
    AskWhenDiscardingPathChanges = 21,  // "Ask when discarding changes to a path"
    TileSetUseTransparentColour = 22,   // new tile set
    AskWhenChangingMultipleCustomVariables = 23,
    ViewPathPointNormals = 24,
    ViewPathPointVorelNormals = 25,
    SwitchToMoveOverSelection = 26,  // "Switch to Move tool when cursor moves over a selection"
    ProjectDialogsOfferXmlFirst = 27,
    EnableAutoBackup = 28,      // "Enable auto backup"
    EnableMouseWheelZoom = 29,  // "Enable mouse wheel zoom"
    ShowExportMessagesWhenDone = 30,
    SwitchToMoveWhenSelecting = 31,  // "Switch to Move tool when selecting"
};

// Flags C (offset 1844): the single bits (bits 0 to 6 are the stored-rectangle marks, bits 7 to 24 counts).
enum class FlagC : unsigned {
    SortWhenDrawingEntities = 25,  // "So&rt When Drawing Entities (significantly slower)"
    AllowEntitiesOnTopOfEachOther = 26,
    ZoomChangePromptsSave = 27,       // "Changing view zoom prompts project to save"
    ViewPathLineNormals = 28,         // "Path &Line Normals"
    EntityUseTransparentColour = 29,  // new parent entity
};

enum class GridType : std::uint32_t { Dots = 0, DottedLines = 1, SolidLines = 2 };

// The thirteen user colours (the new-object transparent colours belong to ProjectDefaults).
enum class PrefColour {
    Background,
    Grid,
    TilesDialogSelection,
    Selection,
    TilesDialogBackground,
    Paths,
    SelectedPaths,
    PathPoints,
    SelectedPathPoints,
    PathControlLines,
    PathNormals,
    Triggers,
    EntitiesCustomVariables,
};
inline constexpr std::size_t kPrefColourCount = 13;

enum class ToolWindow { Maps, Layers, Entities, TileSets, Tiles, SelectedEntities, Mosaics };

struct WindowRect {
    std::int32_t left = -1;
    std::int32_t top = -1;
    std::int32_t right = -1;
    std::int32_t bottom = -1;
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

class Preferences {
public:
    using Bytes = std::array<std::uint8_t, kPreferencesSize>;

    static constexpr std::int32_t kUndoCountMin = 5;
    static constexpr std::int32_t kUndoCountMax = 200;
    static constexpr std::uint32_t kPathNormalsLengthMin = 8;
    static constexpr std::uint32_t kPathNormalsLengthMax = 65535;
    static constexpr std::uint32_t kRecentCountMin = 1;
    static constexpr std::uint32_t kRecentCountMax = 10;
    static constexpr std::uint32_t kBackupIntervalMin = 1;
    static constexpr std::uint32_t kBackupIntervalMax = 120;
    static constexpr std::uint32_t kMaxBackupFilesMin = 5;
    static constexpr std::uint32_t kMaxBackupFilesMax = 100;

    // A record holding every default.
    Preferences();

    // full: zero the record and write every default. Not full ("Restore Default Settings"): reset only the
    // colours, the undo count, the path normals' length, the grid type, the behaviour switches and the
    // three counts; view options, tool windows, remembered folders, recent projects, new-object defaults
    // and import values are kept.
    void reset(bool full);

    // Full reset, then the file's bytes over the record (at most 6112; a shorter file replaces only its
    // length), then the load corrections. A missing or unreadable file leaves the defaults (returns false).
    bool load(const std::filesystem::path& file);
    // The same from bytes already in memory (never fails).
    void load_bytes(const std::uint8_t* data, std::size_t size);
    // View tile attributes, entities and paths on; recent count, backup interval and maximum backup
    // files into their ranges.
    void apply_load_corrections();

    // Writes the whole record through a temporary file in the same folder renamed over the target; the
    // folder is created when missing. Returns false on any failure, leaving an existing file untouched.
    bool save(const std::filesystem::path& file) const;

    static std::filesystem::path settings_file(const std::filesystem::path& data_folder) {
        return data_folder / kSettingsFileName;
    }

    const Bytes& bytes() const { return bytes_; }
    Bytes& bytes() { return bytes_; }
    friend bool operator==(const Preferences&, const Preferences&) = default;

    // Raw little-endian access at any offset (the value must fit in the record).
    std::uint32_t u32(std::size_t offset) const;
    void set_u32(std::size_t offset, std::uint32_t value);
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
    void set_i32(std::size_t offset, std::int32_t value) {
        set_u32(offset, static_cast<std::uint32_t>(value));
    }
    float f32(std::size_t offset) const;
    void set_f32(std::size_t offset, float value);
    // Text fields of 260 bytes: read up to the first NUL (at most 259 characters); writing cuts to 259 and
    // fills the rest with zeros.
    std::string text(std::size_t offset) const;
    void set_text(std::size_t offset, std::string_view value);

    // Flags.
    bool flag(FlagA bit) const;
    void set_flag(FlagA bit, bool on);
    bool flag(FlagC bit) const;
    void set_flag(FlagC bit, bool on);
    GridType grid_type() const;  // an unused value 3 reads as Dots
    void set_grid_type(GridType type);
    bool view_entities_custom_variables() const;  // flags B bit 9
    void set_view_entities_custom_variables(bool on);
    std::uint32_t bezier_smoothness() const;  // flags B bits 2 to 8, raw
    void set_bezier_smoothness(std::uint32_t value);

    // Colours, 0x00BBGGRR.
    std::uint32_t colour(PrefColour which) const;
    void set_colour(PrefColour which, std::uint32_t bgr);
    static std::size_t colour_offset(PrefColour which);

    // Counts kept in flags C. The getters return the value corrected into its range, the setters store it
    // clamped.
    std::uint32_t recent_count() const;
    void set_recent_count(std::uint32_t count);
    std::uint32_t backup_interval_minutes() const;
    void set_backup_interval_minutes(std::uint32_t minutes);
    std::uint32_t max_backup_files() const;
    void set_max_backup_files(std::uint32_t count);
    // The stored fields, unchecked.
    std::uint32_t recent_count_raw() const;
    std::uint32_t backup_interval_raw() const;
    std::uint32_t max_backup_files_raw() const;

    // Numbers clamped at the point of use.
    std::int32_t undo_count() const { return i32(pref_offset::kUndoCount); }
    void set_undo_count(std::int32_t count) { set_i32(pref_offset::kUndoCount, count); }
    std::int32_t undo_count_clamped() const;  // 5..200
    std::uint32_t path_normals_length() const { return u32(pref_offset::kPathNormalsLength); }
    void set_path_normals_length(std::uint32_t length) { set_u32(pref_offset::kPathNormalsLength, length); }
    std::uint32_t path_normals_length_clamped() const;  // 8..65535

    // Tool windows' remembered rectangles and their "stored" marks (flags C bits 0 to 6).
    WindowRect tool_window_rect(ToolWindow window) const;
    void set_tool_window_rect(ToolWindow window, const WindowRect& rect);
    bool tool_window_rect_stored(ToolWindow window) const;
    void set_tool_window_rect_stored(ToolWindow window, bool stored);

    // Remembered values.
    // The folder project dialogs open in; when none is remembered, "Examples/SampleProjects/" in the data
    // folder.
    std::string last_project_folder(const std::filesystem::path& data_folder) const;
    void set_last_project_folder(std::string_view folder) {
        set_text(pref_offset::kLastProjectFolder, folder);
    }
    std::string last_image_folder() const { return text(pref_offset::kLastImageFolder); }
    void set_last_image_folder(std::string_view folder) { set_text(pref_offset::kLastImageFolder, folder); }
    std::int32_t last_image_kind() const { return i32(pref_offset::kLastImageKind); }  // raw; 0..2 valid
    void set_last_image_kind(std::int32_t kind) { set_i32(pref_offset::kLastImageKind, kind); }
    std::int32_t custom_variables_editor_index() const {  // clamped to 0..99
        std::int32_t index = i32(pref_offset::kCustomVariablesEditorIndex);
        return index < 0 ? 0 : (index > 99 ? 99 : index);
    }
    void set_custom_variables_editor_index(std::int32_t index) {
        set_i32(pref_offset::kCustomVariablesEditorIndex, index);
    }
    float last_rotation_angle() const { return f32(pref_offset::kLastRotationAngle); }
    void set_last_rotation_angle(float degrees) { set_f32(pref_offset::kLastRotationAngle, degrees); }
    float last_scale_percent() const { return f32(pref_offset::kLastScalePercent); }
    void set_last_scale_percent(float percent) { set_f32(pref_offset::kLastScalePercent, percent); }

    // New tile set, layer and parent entity values.
    ProjectDefaults project_defaults() const;
    void store_project_defaults(const ProjectDefaults& defaults);

    // Recent projects. add_recent moves an entry already among the first recent_count() entries (compared
    // ignoring ASCII letter case) to the front, else drops the last of them and puts the path first.
    void add_recent(std::string_view path);
    std::string recent_entry(std::size_t index) const;  // 0..9, raw
    // The first recent_count() entries that are not empty, most recent first.
    std::vector<std::string> recent_projects() const;

private:
    void write_defaults();

    Bytes bytes_{};
};

}  // namespace zorva
