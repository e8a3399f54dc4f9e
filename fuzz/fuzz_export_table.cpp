// The ExportApi table under a hostile plug-in: the input is a script of slot calls with arbitrary indexes,
// columns, capacities, null pointers and detach/attach steps, run against a small fixed project. Every
// call must stay inside the project and inside the buffers it is given.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "export/export_feedback.h"
#include "export/export_host.h"
#include "export/export_message_log.h"
#include "model/project.h"

namespace {

using namespace zorva;

Project& fixture() {
    static Project* project = [] {
        auto* p = new Project();
        TileSetProperties tiles;
        tiles.single_tile_pixel_width = 16;
        tiles.single_tile_pixel_height = 8;
        const TileSet* tile_set = add_tile_set(*p, tiles, false, nullptr);
        const ParentEntity* parent = add_parent_entity(*p, ParentEntityProperties{}, false, nullptr);
        const ParentEntity* doomed = add_parent_entity(*p, ParentEntityProperties{}, false, nullptr);
        for (int m = 0; m < 2; ++m) {
            MapProperties map_properties;
            map_properties.use_tile_set_id = m == 0 ? tile_set->unique_id : 77;
            Map* map = add_map(*p, map_properties, false, nullptr);
            for (int l = 0; l < 2; ++l) {
                LayerProperties layer_properties;
                layer_properties.map_id = map->unique_id;
                layer_properties.grid_width = 3 + l;
                layer_properties.grid_height = 2 + m;
                layer_properties.grid_offset_x = -1;
                Layer* layer = add_layer(*p, layer_properties, false, nullptr);
                for (std::size_t c = 0; c < layer->grid.size(); ++c) {
                    layer->grid[c].tile = static_cast<std::uint32_t>(c);
                    layer->grid[c].flags = static_cast<std::uint32_t>(c * 977) & kCellFlagsMask;
                }
                for (int e = 0; e < 3; ++e) {
                    add_instance_entity(*p,
                                        make_instance_entity(e == 1 ? *doomed : *parent, map->unique_id,
                                                             layer->unique_id, 1.5f * e, 2.0f),
                                        false, nullptr);
                }
                for (int i = 0; i < 5; ++i) {
                    PathPoint point;
                    point.map_id = map->unique_id;
                    point.layer_id = layer->unique_id;
                    point.px = static_cast<float>(i);
                    // Runs with and without end marks, and a start inside a run.
                    point.set_starts_path(i == 0 || i == 2 || i == 4);
                    point.set_ends_path(i == 1 || (l == 0 && i == 4));
                    point.set_is_closed(i == 0);
                    add_path_point(*p, point, false, nullptr);
                }
            }
        }
        remove_parent_entity(*p, doomed, true);
        return p;
    }();
    return *project;
}

class Feedback : public ExportFeedback {
public:
    void message(std::string_view) override {}
    void progress(int) override {}
};

class Script {
public:
    Script(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint32_t word() {
        // Small values are the interesting ones; the top bit of the first byte asks for a huge one.
        const std::uint8_t first = byte();
        if (first & 0x80) return 0xFFFFFFF0u | (first & 0x0F);
        return first;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Project& project = fixture();
    ExportMessageLog log;
    Feedback feedback;
    ExportHost host;
    host.reset(&log, true, &feedback);
    host.attach(project, "out.txt");
    ExportApi* api = host.api();

    Script script(data, size);
    char text[64];
    std::uint32_t count = 0;
    std::uint8_t flag = 0;
    TileSetInfo tile_set;
    ParentEntityInfo parent;
    MapInfo map;
    LayerInfo layer;
    GridCellInfo cell;
    ChildEntityInfo child;
    PathInfo path;
    std::vector<PathPointInfo> points(48);
    static CustomVariableDescriptions descriptions;
    const char message[] = "message";

    while (!script.done()) {
        const std::uint8_t op = script.byte();
        const bool null = (op & 0x80) != 0;
        switch (op % 27) {
            case 0:
                api->GetProjectFileName(null ? nullptr : text, script.byte() % (sizeof text + 1));
                break;
            case 1:
                api->GetOutputFileName(null ? nullptr : text, script.byte() % (sizeof text + 1));
                break;
            case 2:
                api->IsExportCancelled(null ? nullptr : &flag);
                break;
            case 3: {
                float percent = 0;
                const std::uint32_t bits = static_cast<std::uint32_t>(script.byte()) << 24 | script.word();
                std::memcpy(&percent, &bits, sizeof percent);
                api->SetProgress(percent, script.byte() & 1, script.byte() & 1);
                break;
            }
            case 4:
                api->AddMessage(null ? nullptr : message, 0);
                break;
            case 5:
                api->GetNumberOfTileSets(null ? nullptr : &count);
                break;
            case 6:
                api->SelectTileSet(script.word());
                break;
            case 7:
                api->GetTileSetInfo(null ? nullptr : &tile_set, sizeof tile_set);
                break;
            case 8:
                api->GetNumberOfParentEntities(null ? nullptr : &count);
                break;
            case 9:
                api->SelectParentEntity(script.word());
                break;
            case 10:
                api->GetParentEntityInfo(null ? nullptr : &parent, sizeof parent);
                break;
            case 11:
                api->GetNumberOfMaps(null ? nullptr : &count);
                break;
            case 12:
                api->SelectMap(script.word());
                break;
            case 13:
                api->GetMapInfo(null ? nullptr : &map, sizeof map);
                break;
            case 14:
                api->SelectLayer(script.word());
                break;
            case 15:
                api->GetLayerInfo(null ? nullptr : &layer, sizeof layer);
                break;
            case 16: {
                const std::uint32_t column = script.word();
                api->GetGridCell(null ? nullptr : &cell, column, script.word(), sizeof cell);
                break;
            }
            case 17:
                api->GetNumberOfChildEntities(null ? nullptr : &count);
                break;
            case 18:
                api->SelectChildEntity(script.word());
                break;
            case 19:
                api->GetChildEntityInfo(null ? nullptr : &child, sizeof child);
                break;
            case 20:
                api->SelectPath(script.word());
                break;
            case 21:
                api->GetPathInfo(null ? nullptr : &path, sizeof path);
                break;
            case 22: {
                const std::uint32_t capacity = script.byte() % (points.size() + 1);
                const bool no_written = (script.byte() & 1) != 0;
                api->GetPathPoints(null ? nullptr : points.data(), capacity, no_written ? nullptr : &count,
                                   sizeof(PathPointInfo));
                break;
            }
            case 23:
                api->IsQuickExport(null ? nullptr : &flag);
                break;
            case 24:
                api->GetCustomVariableDescriptions(null ? nullptr : &descriptions);
                break;
            case 25:
                host.reset(&log, false, &feedback);
                break;  // the run ends: every later call fails
            case 26:
                host.attach(project, "again.txt");
                break;
        }
    }
    return 0;
}
