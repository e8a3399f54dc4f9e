#include "fake_export_api.h"

#include <cstring>

namespace zorva::binmap::test {
namespace {

FakeExportHost* g_host = nullptr;

FakeMap* current_map() {
    if (g_host->map < 0 || g_host->map >= static_cast<long>(g_host->maps.size())) return nullptr;
    return &g_host->maps[static_cast<std::size_t>(g_host->map)];
}

FakeLayer* current_layer() {
    FakeMap* map = current_map();
    if (map == nullptr || g_host->layer < 0 || g_host->layer >= static_cast<long>(map->layers.size()))
        return nullptr;
    return &map->layers[static_cast<std::size_t>(g_host->layer)];
}

void copy_text(char* into, std::size_t capacity, const std::string& text) {
    std::memset(into, 0, capacity);
    std::memcpy(into, text.data(), std::min(text.size(), capacity - 1));
}

std::uint8_t get_output(char* buffer, std::uint32_t length) {
    if (buffer == nullptr || length < 2) return 0;
    copy_text(buffer, length, g_host->output_file);
    return 1;
}
std::uint8_t is_cancelled(std::uint8_t* out) {
    const long check = g_host->cancel_checks++;
    *out = g_host->cancel_at_check >= 0 && check >= g_host->cancel_at_check;
    return 1;
}
std::uint8_t set_progress(float percent, std::uint8_t, std::uint8_t) {
    g_host->progress.push_back(percent);
    return 1;
}
std::uint8_t add_message(const char* text, std::uint8_t) {
    if (text == nullptr) return 0;
    g_host->messages.emplace_back(text);
    return 1;
}
std::uint8_t number_of_maps(std::uint32_t* out) {
    *out = static_cast<std::uint32_t>(g_host->maps.size());
    return 1;
}
std::uint8_t select_map(std::uint32_t index) {
    g_host->map = index < g_host->maps.size() ? static_cast<long>(index) : -1;
    return g_host->map >= 0;
}
std::uint8_t map_info(MapInfo* record, std::uint32_t) {
    std::memset(record, 0, sizeof *record);
    FakeMap* map = current_map();
    if (map == nullptr) return 0;
    *record = map->info;
    record->NumberOfLayers = static_cast<std::uint32_t>(map->layers.size());
    return 1;
}
std::uint8_t select_layer(std::uint32_t index) {
    g_host->layer = -1;
    FakeMap* map = current_map();
    if (map == nullptr || index >= map->layers.size()) return 0;
    g_host->layer = static_cast<long>(index);
    return 1;
}
std::uint8_t layer_info(LayerInfo* record, std::uint32_t) {
    std::memset(record, 0, sizeof *record);
    FakeLayer* layer = current_layer();
    if (layer == nullptr) return 0;
    *record = layer->info;
    record->NumberOfChildEntities = static_cast<std::uint32_t>(layer->entities.size());
    record->NumberOfPaths = static_cast<std::uint32_t>(layer->paths.size());
    return 1;
}
std::uint8_t grid_cell(GridCellInfo* record, std::uint32_t column, std::uint32_t row, std::uint32_t) {
    std::memset(record, 0, sizeof *record);
    FakeLayer* layer = current_layer();
    if (layer == nullptr) return 0;
    const std::uint32_t width = layer->info.GridWidth;
    if (column >= width || row >= layer->info.GridHeight) return 0;
    *record = layer->cells[static_cast<std::size_t>(row) * width + column];
    return 1;
}
std::uint8_t number_of_entities(std::uint32_t* out) {
    FakeLayer* layer = current_layer();
    if (layer == nullptr) return 0;
    *out = static_cast<std::uint32_t>(layer->entities.size());
    return 1;
}
std::uint8_t select_entity(std::uint32_t index) {
    g_host->entity = -1;
    FakeLayer* layer = current_layer();
    if (layer == nullptr || index >= layer->entities.size()) return 0;
    g_host->entity = static_cast<long>(index);
    return 1;
}
std::uint8_t entity_info(ChildEntityInfo* record, std::uint32_t) {
    std::memset(record, 0, sizeof *record);
    FakeLayer* layer = current_layer();
    if (layer == nullptr || g_host->entity < 0 || g_host->entity >= static_cast<long>(layer->entities.size()))
        return 0;
    *record = layer->entities[static_cast<std::size_t>(g_host->entity)];
    return 1;
}
FakePath* current_path() {
    FakeLayer* layer = current_layer();
    if (layer == nullptr || g_host->path < 0 || g_host->path >= static_cast<long>(layer->paths.size()))
        return nullptr;
    return &layer->paths[static_cast<std::size_t>(g_host->path)];
}
std::uint8_t select_path(std::uint32_t index) {
    g_host->path = -1;
    FakeLayer* layer = current_layer();
    if (layer == nullptr) return 0;
    if (index < layer->paths.size()) g_host->path = static_cast<long>(index);
    return 1;
}
std::uint8_t path_info(PathInfo* record, std::uint32_t) {
    std::memset(record, 0, sizeof *record);
    FakePath* path = current_path();
    if (path == nullptr) return 0;
    record->NumberOfPoints = static_cast<std::uint32_t>(3 * path->nodes.size());
    record->IsClosed = path->closed;
    return 1;
}
std::uint8_t path_points(PathPointInfo* records, std::uint32_t capacity, std::uint32_t* written,
                         std::uint32_t) {
    FakePath* path = current_path();
    if (path == nullptr || (records == nullptr && written == nullptr)) return 0;
    const std::uint32_t needed = static_cast<std::uint32_t>(3 * path->nodes.size());
    if (records == nullptr) {
        *written = needed;
        return 1;
    }
    if (capacity == 0) return 0;
    std::uint32_t count = 0;
    for (std::size_t n = 0; n < path->nodes.size() && count < capacity; ++n) {
        const PathPointInfo& node = path->nodes[n];
        for (int part = 0; part < 3 && count < capacity; ++part) {
            PathPointInfo point = node;
            point.IsFirstNode = part == 1 && n == 0;
            point.IsLastNode = part == 1 && n + 1 == path->nodes.size();
            point.IsControlPoint = part != 1;
            if (part != 1) {
                const float shift = part == 0 ? -1.0f : 1.0f;
                point.LayerPosX = node.LayerPosX + shift;
                point.WorldPosX = node.WorldPosX + shift;
            }
            if (part == 1 && count + 1 == capacity) point.IsLastNode = 1;
            records[count++] = point;
        }
    }
    if (written) *written = count;
    return 1;
}
std::uint8_t is_quick(std::uint8_t* out) {
    *out = g_host->quick_export;
    return 1;
}

}  // namespace

FakeExportHost::FakeExportHost() {
    g_host = this;
    table_.GetOutputFileName = get_output;
    table_.IsExportCancelled = is_cancelled;
    table_.SetProgress = set_progress;
    table_.AddMessage = add_message;
    table_.GetNumberOfMaps = number_of_maps;
    table_.SelectMap = select_map;
    table_.GetMapInfo = map_info;
    table_.SelectLayer = select_layer;
    table_.GetLayerInfo = layer_info;
    table_.GetGridCell = grid_cell;
    table_.GetNumberOfChildEntities = number_of_entities;
    table_.SelectChildEntity = select_entity;
    table_.GetChildEntityInfo = entity_info;
    table_.SelectPath = select_path;
    table_.GetPathInfo = path_info;
    table_.GetPathPoints = path_points;
    table_.IsQuickExport = is_quick;
}

FakeExportHost::~FakeExportHost() {
    if (g_host == this) g_host = nullptr;
}

FakeMap& FakeExportHost::add_map(const std::string& name, bool exported) {
    FakeMap& map = maps.emplace_back();
    copy_text(map.info.Name, sizeof map.info.Name, name);
    map.info.ExportThisMap = exported;
    map.info.UserID = static_cast<std::uint32_t>(maps.size());
    return map;
}

FakeLayer& FakeExportHost::add_layer(FakeMap& map, std::uint32_t width, std::uint32_t height) {
    FakeLayer& layer = map.layers.emplace_back();
    layer.info.GridWidth = width;
    layer.info.GridHeight = height;
    layer.cells.resize(static_cast<std::size_t>(width) * height);
    return layer;
}

FakePath& FakeExportHost::add_path(FakeLayer& layer, std::uint32_t nodes, bool closed) {
    FakePath& path = layer.paths.emplace_back();
    path.closed = closed;
    for (std::uint32_t k = 0; k < nodes; ++k) {
        PathPointInfo node{};
        node.LayerPosX = node.WorldPosX = 10.0f * static_cast<float>(k);
        node.LayerPosY = node.WorldPosY = 20.0f * static_cast<float>(k);
        node.UniqueID = k + 1;
        path.nodes.push_back(node);
    }
    return path;
}

}  // namespace zorva::binmap::test
