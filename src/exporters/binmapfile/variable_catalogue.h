// The catalogue of export variables: every value of the project the binary exporter can write.
//
// 74 entries in id order. Entries with an empty name mark the start and end of each category's id range
// and are never offered. A custom-variable entry (ids 6, 1020, 3010, 5008) stands for 100 values and
// reserves 100 ids of which only the first is used.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace zorva::binmap {

// Categories in the order the export list is grouped by; None for ids outside every range.
enum class Category : int {
    None = -1,
    Map = 0,
    Layer = 1,
    LayerGrid = 2,
    ChildEntity = 3,
    Path = 4,
    PathNode = 5
};

inline constexpr std::uint32_t kNoDataType = 0xFFFFFFFFu;

struct CatalogueEntry {
    std::uint32_t id;
    const char* name;  // empty for the range markers
    bool is_string;
    std::uint32_t default_type;  // kNoDataType for the markers
    Category category;           // derived from the id
};

enum VariableId : std::uint32_t {
    kMapUserId = 1,
    kMapName = 2,
    kMapTileSetIndex = 3,
    kMapTileSetUserId = 4,
    kMapNumberOfLayers = 5,
    kMapCustomVariables = 6,
    kMapFirstLayerWidth = 106,
    kMapFirstLayerHeight = 107,
    kLayerUserId = 1001,
    kLayerName = 1002,
    kLayerNumberOfEntities = 1003,
    kLayerNumberOfPaths = 1004,
    kLayerWidth = 1005,
    kLayerHeight = 1006,
    kLayerWrapX = 1007,
    kLayerWrapY = 1008,
    kLayerIsVisible = 1009,
    kLayerIsMain = 1010,
    kLayerScrollX = 1011,
    kLayerScrollY = 1012,
    kLayerOffsetX = 1013,
    kLayerOffsetY = 1014,
    kLayerUseBackgroundColour = 1015,
    kLayerBackgroundRed = 1016,
    kLayerBackgroundGreen = 1017,
    kLayerBackgroundBlue = 1018,
    kLayerOpacity = 1019,
    kLayerCustomVariables = 1020,
    kLayerUseBackgroundImage = 1120,
    kLayerBackgroundImageFile = 1121,
    kGridTileIndex = 2001,
    kGridFlipH = 2002,
    kGridFlipV = 2003,
    kGridRotate = 2004,
    kGridAttribute = 2005,
    kEntityParentIndex = 3001,
    kEntityParentUserId = 3002,
    kEntityLayerPosX = 3003,
    kEntityLayerPosY = 3004,
    kEntityWorldPosX = 3005,
    kEntityWorldPosY = 3006,
    kEntityFlipH = 3007,
    kEntityFlipV = 3008,
    kEntityRotate = 3009,
    kEntityCustomVariables = 3010,
    kEntityTriggerRadius = 3110,
    kEntityTriggerWidth = 3111,
    kEntityTriggerHeight = 3112,
    kPathNumberOfNodes = 4001,
    kPathIsClosed = 4002,
    kNodeLayerPosX = 5001,
    kNodeLayerPosY = 5002,
    kNodeWorldPosX = 5003,
    kNodeWorldPosY = 5004,
    kNodeIsFirst = 5005,
    kNodeIsLast = 5006,
    kNodeIsControlPoint = 5007,
    kNodeCustomVariables = 5008,
};

inline constexpr std::size_t kCatalogueSize = 74;
inline constexpr std::uint32_t kCustomVariableValues = 100;

// The category of a variable id: its id range, or None.
constexpr Category category_of(std::uint32_t id) {
    if (id >= 1 && id <= 107) return Category::Map;
    if (id >= 1001 && id <= 1121) return Category::Layer;
    if (id >= 2001 && id <= 2005) return Category::LayerGrid;
    if (id >= 3001 && id <= 3112) return Category::ChildEntity;
    if (id >= 4001 && id <= 4002) return Category::Path;
    if (id >= 5001 && id <= 5107) return Category::PathNode;
    return Category::None;
}

// The whole catalogue, markers included, in id order.
std::span<const CatalogueEntry> variable_catalogue();

// The named entry with this id, or nullptr (markers and unknown ids).
const CatalogueEntry* find_variable(std::uint32_t id);

// True for the four custom-variable entries, which write 100 values.
constexpr bool is_custom_variables(std::uint32_t id) {
    return id == kMapCustomVariables || id == kLayerCustomVariables || id == kEntityCustomVariables ||
           id == kNodeCustomVariables;
}

// The name shown for a variable id: its catalogue name, or "Unknown variable N" for ids the catalogue
// does not name (they can come from a settings file).
std::string variable_display_name(std::uint32_t id);

}  // namespace zorva::binmap
