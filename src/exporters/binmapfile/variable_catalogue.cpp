#include "exporters/binmapfile/variable_catalogue.h"

#include <algorithm>

namespace zorva::binmap {
namespace {

constexpr CatalogueEntry named(std::uint32_t id, const char* name, bool is_string, std::uint32_t type) {
    return {id, name, is_string, type, category_of(id)};
}
constexpr CatalogueEntry marker(std::uint32_t id) { return {id, "", false, kNoDataType, category_of(id)}; }

constexpr std::array<CatalogueEntry, kCatalogueSize> kCatalogue = {{
    marker(0),
    named(1, "Map: User ID", false, 6),
    named(2, "Map: Name", true, 2),
    named(3, "Map: TileSet Index", false, 6),
    named(4, "Map: TileSet User ID", false, 6),
    named(5, "Map: Number of Layers", false, 6),
    named(6, "Map: Custom Variables", true, 2),
    marker(105),
    named(106, "Map: Width of first Layer", false, 6),
    named(107, "Map: Height of first Layer", false, 6),
    marker(108),
    marker(1000),
    named(1001, "Layer: User ID", false, 6),
    named(1002, "Layer: Name", true, 2),
    named(1003, "Layer: Number of Entities", false, 6),
    named(1004, "Layer: Number of Paths", false, 6),
    named(1005, "Layer: Width", false, 6),
    named(1006, "Layer: Height", false, 6),
    named(1007, "Layer: Wrap X", false, 0),
    named(1008, "Layer: Wrap Y", false, 0),
    named(1009, "Layer: Is Visible", false, 0),
    named(1010, "Layer: Is Main", false, 0),
    named(1011, "Layer: Scroll X", false, 7),
    named(1012, "Layer: Scroll Y", false, 7),
    named(1013, "Layer: Offset X", false, 5),
    named(1014, "Layer: Offset Y", false, 5),
    named(1015, "Layer: Use Background Colour", false, 0),
    named(1016, "Layer: Background Colour Red", false, 2),
    named(1017, "Layer: Background Colour Green", false, 2),
    named(1018, "Layer: Background Colour Blue", false, 2),
    named(1019, "Layer: Alpha/Opacity", false, 2),
    named(1020, "Layer: Custom Variables", true, 2),
    marker(1119),
    named(1120, "Layer: Use Background Image", false, 0),
    named(1121, "Layer: Background Image File", true, 2),
    marker(1122),
    marker(2000),
    named(2001, "Layer-Grid: Tile Index", false, 6),
    named(2002, "Layer-Grid: Horizontal Flip", false, 0),
    named(2003, "Layer-Grid: Vertical Flip", false, 0),
    named(2004, "Layer-Grid: Rotate", false, 0),
    named(2005, "Layer-Grid: Attribute Value", false, 2),
    marker(2006),
    marker(3000),
    named(3001, "Entity: Parent Index", false, 6),
    named(3002, "Entity: Parent User ID", false, 6),
    named(3003, "Entity: Layer Pos X", false, 7),
    named(3004, "Entity: Layer Pos Y", false, 7),
    named(3005, "Entity: World Pos X", false, 7),
    named(3006, "Entity: World Pos Y", false, 7),
    named(3007, "Entity: Horizontal Flip", false, 0),
    named(3008, "Entity: Vertical Flip", false, 0),
    named(3009, "Entity: Rotate", false, 0),
    named(3010, "Entity: Custom Variables", false, 3),
    marker(3109),
    named(3110, "Entity: Circle Trigger Radius", false, 6),
    named(3111, "Entity: Rectangle Trigger Width", false, 6),
    named(3112, "Entity: Rectangle Trigger Height", false, 6),
    marker(3113),
    marker(4000),
    named(4001, "Path: Number of nodes", false, 6),
    named(4002, "Path: Is Closed", false, 0),
    marker(4003),
    marker(5000),
    named(5001, "Path-Node: Layer Pos X", false, 7),
    named(5002, "Path-Node: Layer Pos Y", false, 7),
    named(5003, "Path-Node: World Pos X", false, 7),
    named(5004, "Path-Node: World Pos Y", false, 7),
    named(5005, "Path-Node: Is First Node", false, 0),
    named(5006, "Path-Node: Is Last Node", false, 0),
    named(5007, "Path-Node: Is Contrl Point", false, 0),
    named(5008, "Path-Node: Custom Variables", false, 3),
    marker(5107),
    marker(5108),
}};

constexpr bool catalogue_sorted() {
    for (std::size_t i = 1; i < kCatalogue.size(); ++i) {
        if (kCatalogue[i - 1].id >= kCatalogue[i].id) return false;
    }
    return true;
}
static_assert(catalogue_sorted(), "the catalogue is kept in id order");

}  // namespace

std::span<const CatalogueEntry> variable_catalogue() { return kCatalogue; }

const CatalogueEntry* find_variable(std::uint32_t id) {
    const auto it =
        std::lower_bound(kCatalogue.begin(), kCatalogue.end(), id,
                         [](const CatalogueEntry& entry, std::uint32_t key) { return entry.id < key; });
    if (it == kCatalogue.end() || it->id != id || it->name[0] == '\0') return nullptr;
    return &*it;
}

std::string variable_display_name(std::uint32_t id) {
    if (const CatalogueEntry* entry = find_variable(id)) return entry->name;
    return "Unknown variable " + std::to_string(id);
}

}  // namespace zorva::binmap
