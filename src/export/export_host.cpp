#include "export/export_host.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "export/attribute_flip.h"
#include "export/export_feedback.h"
#include "export/export_message_log.h"
#include "model/project.h"

namespace zorva {
namespace {

// The host the table's slots forward to (see the header).
ExportHost* g_bound_host = nullptr;

template <std::size_t N>
void copy_text(char (&field)[N], std::string_view text) {
    const std::size_t length = std::min(text.size(), N - 1);
    if (length != 0) std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

void copy_text_variables(char (&fields)[kExportCustomVariableCount][kExportCustomTextSize],
                         const TextVariables& variables) {
    // FixedText keeps its bytes after the terminator zero, so the raw 51 bytes are the field as stored
    // (and the bit-mode flags in a text's first two bytes survive even when the first byte is zero).
    static_assert(sizeof(CustomText) == kExportCustomTextSize);
    for (std::size_t i = 0; i < variables.size(); ++i)
        std::memcpy(fields[i], variables[i].bytes().data(), kExportCustomTextSize);
}

// The numeric variables sit unaligned inside the packed records: copied by byte offset, never through a
// reference to the field.
template <class Record>
void copy_int_variables(Record& record, std::size_t offset, const IntVariables& variables) {
    static_assert(sizeof(IntVariables) == kExportCustomVariableCount * sizeof(std::int16_t));
    std::memcpy(reinterpret_cast<unsigned char*>(&record) + offset, variables.data(), sizeof(IntVariables));
}

void copy_colour(std::uint8_t (&field)[3], std::uint32_t colour) {
    field[0] = static_cast<std::uint8_t>(colour & 0xFF);
    field[1] = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
    field[2] = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
}

std::uint8_t byte_of(bool value) { return value ? 1 : 0; }

std::int64_t now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool copy_file_name(std::string_view name, char* buffer, std::uint32_t length) {
    const std::size_t count = std::min<std::size_t>(name.size(), length - 1);
    if (count != 0) std::memcpy(buffer, name.data(), count);
    buffer[count] = '\0';
    return true;
}

// The slots. Every one forwards to the bound host and fails without one.
extern "C" {

std::uint8_t slot_get_project_file_name(char* buffer, std::uint32_t length) {
    return byte_of(g_bound_host && g_bound_host->get_project_file_name(buffer, length));
}
std::uint8_t slot_get_output_file_name(char* buffer, std::uint32_t length) {
    return byte_of(g_bound_host && g_bound_host->get_output_file_name(buffer, length));
}
std::uint8_t slot_is_export_cancelled(std::uint8_t* out) {
    return byte_of(g_bound_host && g_bound_host->is_export_cancelled(out));
}
std::uint8_t slot_set_progress(float percent, std::uint8_t add, std::uint8_t force) {
    return byte_of(g_bound_host && g_bound_host->set_progress(percent, add != 0, force != 0));
}
std::uint8_t slot_add_message(const char* text, std::uint8_t force) {
    return byte_of(g_bound_host && g_bound_host->add_message(text, force != 0));
}
std::uint8_t slot_get_number_of_tile_sets(std::uint32_t* out) {
    return byte_of(g_bound_host && g_bound_host->get_number_of_tile_sets(out));
}
std::uint8_t slot_select_tile_set(std::uint32_t index) {
    return byte_of(g_bound_host && g_bound_host->select_tile_set(index));
}
std::uint8_t slot_get_tile_set_info(TileSetInfo* record, std::uint32_t) {
    return byte_of(g_bound_host && g_bound_host->get_tile_set_info(record));
}
std::uint8_t slot_get_number_of_parent_entities(std::uint32_t* out) {
    return byte_of(g_bound_host && g_bound_host->get_number_of_parent_entities(out));
}
std::uint8_t slot_select_parent_entity(std::uint32_t index) {
    return byte_of(g_bound_host && g_bound_host->select_parent_entity(index));
}
std::uint8_t slot_get_parent_entity_info(ParentEntityInfo* record, std::uint32_t) {
    return byte_of(g_bound_host && g_bound_host->get_parent_entity_info(record));
}
std::uint8_t slot_get_number_of_maps(std::uint32_t* out) {
    return byte_of(g_bound_host && g_bound_host->get_number_of_maps(out));
}
std::uint8_t slot_select_map(std::uint32_t index) {
    return byte_of(g_bound_host && g_bound_host->select_map(index));
}
std::uint8_t slot_get_map_info(MapInfo* record, std::uint32_t) {
    return byte_of(g_bound_host && g_bound_host->get_map_info(record));
}
std::uint8_t slot_select_layer(std::uint32_t index) {
    return byte_of(g_bound_host && g_bound_host->select_layer(index));
}
std::uint8_t slot_get_layer_info(LayerInfo* record, std::uint32_t) {
    return byte_of(g_bound_host && g_bound_host->get_layer_info(record));
}
std::uint8_t slot_get_grid_cell(GridCellInfo* record, std::uint32_t column, std::uint32_t row,
                                std::uint32_t) {
    return byte_of(g_bound_host && g_bound_host->get_grid_cell(record, column, row));
}
std::uint8_t slot_get_number_of_child_entities(std::uint32_t* out) {
    return byte_of(g_bound_host && g_bound_host->get_number_of_child_entities(out));
}
std::uint8_t slot_select_child_entity(std::uint32_t index) {
    return byte_of(g_bound_host && g_bound_host->select_child_entity(index));
}
std::uint8_t slot_get_child_entity_info(ChildEntityInfo* record, std::uint32_t) {
    return byte_of(g_bound_host && g_bound_host->get_child_entity_info(record));
}
std::uint8_t slot_select_path(std::uint32_t index) {
    return byte_of(g_bound_host && g_bound_host->select_path(index));
}
std::uint8_t slot_get_path_info(PathInfo* record, std::uint32_t) {
    return byte_of(g_bound_host && g_bound_host->get_path_info(record));
}
std::uint8_t slot_get_path_points(PathPointInfo* records, std::uint32_t capacity, std::uint32_t* written,
                                  std::uint32_t) {
    return byte_of(g_bound_host && g_bound_host->get_path_points(records, capacity, written));
}
std::uint8_t slot_is_quick_export(std::uint8_t* out) {
    return byte_of(g_bound_host && g_bound_host->is_quick_export(out));
}
std::uint8_t slot_get_custom_variable_descriptions(CustomVariableDescriptions* block) {
    return byte_of(g_bound_host && g_bound_host->get_custom_variable_descriptions(block));
}

}  // extern "C"

}  // namespace

ExportHost::ExportHost() { reset(); }

ExportHost::~ExportHost() {
    if (g_bound_host == this) g_bound_host = nullptr;
}

void ExportHost::reset(ExportMessageLog* log, bool quick, ExportFeedback* feedback) {
    std::memset(&api_, 0, sizeof api_);
    api_.GetProjectFileName = slot_get_project_file_name;
    api_.GetOutputFileName = slot_get_output_file_name;
    api_.IsExportCancelled = slot_is_export_cancelled;
    api_.SetProgress = slot_set_progress;
    api_.AddMessage = slot_add_message;
    api_.GetNumberOfTileSets = slot_get_number_of_tile_sets;
    api_.SelectTileSet = slot_select_tile_set;
    api_.GetTileSetInfo = slot_get_tile_set_info;
    api_.GetNumberOfParentEntities = slot_get_number_of_parent_entities;
    api_.SelectParentEntity = slot_select_parent_entity;
    api_.GetParentEntityInfo = slot_get_parent_entity_info;
    api_.GetNumberOfMaps = slot_get_number_of_maps;
    api_.SelectMap = slot_select_map;
    api_.GetMapInfo = slot_get_map_info;
    api_.SelectLayer = slot_select_layer;
    api_.GetLayerInfo = slot_get_layer_info;
    api_.GetGridCell = slot_get_grid_cell;
    api_.GetNumberOfChildEntities = slot_get_number_of_child_entities;
    api_.SelectChildEntity = slot_select_child_entity;
    api_.GetChildEntityInfo = slot_get_child_entity_info;
    api_.SelectPath = slot_select_path;
    api_.GetPathInfo = slot_get_path_info;
    api_.GetPathPoints = slot_get_path_points;
    api_.IsQuickExport = slot_is_quick_export;
    api_.GetCustomVariableDescriptions = slot_get_custom_variable_descriptions;

    log_ = log;
    quick_ = quick;
    feedback_ = feedback;
    project_ = nullptr;
    output_file_name_ = "";
    progress_ = 0;
    last_yield_ms_ = 0;
    parents_by_id_.clear();
    clear_selections();
    g_bound_host = this;
}

void ExportHost::clear_selections() {
    tile_set_ = nullptr;
    parent_entity_ = nullptr;
    map_ = nullptr;
    layer_ = nullptr;
    layer_map_ = nullptr;
    child_entity_ = nullptr;
    path_layer_ = nullptr;
    path_map_ = nullptr;
    has_path_ = false;
    child_cursor_layer_ = nullptr;
    path_ranges_layer_ = nullptr;
    path_ranges_.clear();
}

void ExportHost::attach(const Project& project, std::string_view output_file_name) {
    clear_selections();
    project_ = &project;
    output_file_name_ = output_file_name;
    parents_by_id_.clear();
    parents_by_id_.reserve(project.parent_entities.size());
    for (std::size_t i = 0; i < project.parent_entities.size(); ++i) {
        const ObjectId id = project.parent_entities[i]->unique_id;
        if (id != kInvalidId) parents_by_id_.push_back({id, static_cast<std::uint32_t>(i)});
    }
    std::stable_sort(parents_by_id_.begin(), parents_by_id_.end(),
                     [](const ParentKey& a, const ParentKey& b) { return a.id < b.id; });
}

const ParentEntity* ExportHost::find_parent(std::uint32_t id, std::uint32_t* index) const {
    const auto found =
        std::lower_bound(parents_by_id_.begin(), parents_by_id_.end(), id,
                         [](const ParentKey& key, std::uint32_t value) { return key.id < value; });
    if (found == parents_by_id_.end() || found->id != id) return nullptr;
    if (index) *index = found->index;
    return project_->parent_entities[found->index].get();
}

std::uint32_t ExportHost::child_entity_count(const Layer& layer) const {
    std::uint32_t count = 0;
    for (const auto& entity : layer.instance_entities)
        if (find_parent(entity->pid, nullptr)) ++count;
    return count;
}

const TileSet* ExportHost::tile_set_of(const Map* map, std::uint32_t* index) const {
    if (!map) return nullptr;
    int position = -1;
    const TileSet* tile_set = find_tile_set(*project_, map->use_tile_set_id, &position);
    if (tile_set && index) *index = static_cast<std::uint32_t>(position);
    return tile_set;
}

void ExportHost::world_shift(const Layer* layer, const Map* map, float& x, float& y) const {
    x = 0.0f;
    y = 0.0f;
    if (!layer) return;
    const TileSet* tile_set = tile_set_of(map);
    if (!tile_set) return;
    x = static_cast<float>(static_cast<std::int64_t>(layer->grid_offset_x) *
                           static_cast<std::uint32_t>(tile_set->single_tile_pixel_width));
    y = static_cast<float>(static_cast<std::int64_t>(layer->grid_offset_y) *
                           static_cast<std::uint32_t>(tile_set->single_tile_pixel_height));
}

// ---- Slots 0 to 4: file names and feedback ----

bool ExportHost::get_project_file_name(char* buffer, std::uint32_t length) const {
    if (!buffer || length < 2) return false;
    if (!project_) {
        buffer[0] = '\0';
        return false;
    }
    return copy_file_name(project_->path_and_file_name.view(), buffer, length);
}

bool ExportHost::get_output_file_name(char* buffer, std::uint32_t length) const {
    if (!buffer || length < 2) return false;
    if (!project_) {
        buffer[0] = '\0';
        return false;
    }
    return copy_file_name(output_file_name_.view(), buffer, length);
}

bool ExportHost::is_export_cancelled(std::uint8_t* out) const {
    if (!out || !project_) return false;
    *out = byte_of(feedback_ && feedback_->cancelled());
    return true;
}

bool ExportHost::set_progress(float percent, bool add, bool force) {
    if (!project_) return false;
    // Truncated toward zero; not-a-number counts as 0 and huge values are clamped before any conversion.
    double whole = std::isnan(percent) ? 0.0 : std::trunc(static_cast<double>(percent));
    if (add) whole += progress_;
    progress_ = static_cast<int>(std::clamp(whole, 0.0, 100.0));
    if (feedback_) {
        feedback_->progress(progress_);
        const std::int64_t now = now_ms();
        if (force || now - last_yield_ms_ >= 100) {
            last_yield_ms_ = now;
            feedback_->yield();
        }
    }
    return true;
}

bool ExportHost::add_message(const char* text, bool force) {
    if (!text || !project_) return false;
    // Plug-ins are trusted to terminate their text, but only the part a log line can hold is looked at.
    const std::string_view message(text, strnlen(text, kMaxExportMessageLength));
    if (log_) log_->add(message);
    if (feedback_) {
        feedback_->message(message);
        const std::int64_t now = now_ms();
        if (force || now - last_yield_ms_ >= 100) {
            last_yield_ms_ = now;
            feedback_->yield();
        }
    }
    return true;
}

// ---- Slots 5 to 7: tile sets ----

bool ExportHost::get_number_of_tile_sets(std::uint32_t* out) const {
    if (!out || !project_) return false;
    *out = static_cast<std::uint32_t>(project_->tile_sets.size());
    return true;
}

bool ExportHost::select_tile_set(std::uint32_t index) {
    tile_set_ = nullptr;
    if (!project_ || index >= project_->tile_sets.size()) return false;
    tile_set_ = project_->tile_sets[index].get();
    return true;
}

bool ExportHost::get_tile_set_info(TileSetInfo* record) const {
    if (!record) return false;
    std::memset(record, 0, sizeof *record);
    if (!project_ || !tile_set_) return false;
    const TileSet& t = *tile_set_;
    const TileCount tiles = count_tiles(t);
    record->UserID = t.user_supplied_id;
    copy_text(record->Name, t.name.view());
    copy_text(record->ImageFile, t.image_path_and_file_name.view());
    record->TileWidth = static_cast<std::uint32_t>(t.single_tile_pixel_width);
    record->TileHeight = static_cast<std::uint32_t>(t.single_tile_pixel_height);
    record->OffsetX = t.first_tile_offset_pixel_x;
    record->OffsetY = t.first_tile_offset_pixel_y;
    record->SpaceX = t.space_between_tiles_pixel_x;
    record->SpaceY = t.space_between_tiles_pixel_y;
    record->NumberOfTiles = tiles.count;
    record->NumberOfTilesAcross = tiles.across;
    record->NumberOfTilesDown = tiles.down;
    copy_text_variables(record->CustomVariables, t.custom_variables);
    record->UseTransparentColour = byte_of(t.use_transparent_colour);
    copy_colour(record->TransparentColour, t.transparent_colour);
    record->UniqueID = t.unique_id;
    return true;
}

// ---- Slots 8 to 10: parent entities ----

bool ExportHost::get_number_of_parent_entities(std::uint32_t* out) const {
    if (!out || !project_) return false;
    *out = static_cast<std::uint32_t>(project_->parent_entities.size());
    return true;
}

bool ExportHost::select_parent_entity(std::uint32_t index) {
    parent_entity_ = nullptr;
    if (!project_ || index >= project_->parent_entities.size()) return false;
    parent_entity_ = project_->parent_entities[index].get();
    return true;
}

bool ExportHost::get_parent_entity_info(ParentEntityInfo* record) const {
    if (!record) return false;
    std::memset(record, 0, sizeof *record);
    if (!project_ || !parent_entity_) return false;
    const ParentEntity& e = *parent_entity_;
    // Frames are counted from the loaded image; an entity without one reports none.
    TileCount frames;
    if (!e.image.empty()) {
        frames = count_tiles_in_area(
            static_cast<std::uint32_t>(e.image.width), static_cast<std::uint32_t>(e.image.height),
            e.single_frame_pixel_width, e.single_frame_pixel_height, e.first_frame_offset_pixel_x,
            e.first_frame_offset_pixel_y, static_cast<std::uint32_t>(e.space_between_frames_pixel_x),
            static_cast<std::uint32_t>(e.space_between_frames_pixel_y));
    }
    record->UserID = e.user_supplied_id;
    copy_text(record->Name, e.name.view());
    record->Width = e.pixel_width;
    record->Height = e.pixel_height;
    copy_text(record->ImageFile, e.image_path_and_file_name.view());
    copy_text_variables(record->CustomVariables, e.custom_variables);
    record->IsTrigger = byte_of(e.is_trigger);
    record->TriggerIsCircle = byte_of(e.trigger_is_a_circle);
    record->DefaultTriggerRadius = e.default_circle_trigger_radius;
    record->DefaultTriggerWidth = e.default_rectangle_trigger_width;
    record->DefaultTriggerHeight = e.default_rectangle_trigger_height;
    record->FrameWidth = static_cast<std::uint32_t>(e.single_frame_pixel_width);
    record->FrameHeight = static_cast<std::uint32_t>(e.single_frame_pixel_height);
    record->OffsetX = e.first_frame_offset_pixel_x;
    record->OffsetY = e.first_frame_offset_pixel_y;
    record->SpaceX = static_cast<std::uint32_t>(e.space_between_frames_pixel_x);
    record->SpaceY = static_cast<std::uint32_t>(e.space_between_frames_pixel_y);
    record->NumberOfFrames = frames.count;
    record->NumberOfFramesAcross = frames.across;
    record->NumberOfFramesDown = frames.down;
    record->PreviewFrame = static_cast<std::uint32_t>(e.preview_anima_frame);
    record->UseTransparentColour = byte_of(e.use_transparent_colour);
    copy_colour(record->TransparentColour, e.transparent_colour);
    record->UniqueID = e.unique_id;
    return true;
}

// ---- Slots 11 to 15: maps and layers ----

bool ExportHost::get_number_of_maps(std::uint32_t* out) const {
    if (!out || !project_) return false;
    *out = static_cast<std::uint32_t>(project_->maps.size());
    return true;
}

bool ExportHost::select_map(std::uint32_t index) {
    map_ = nullptr;
    if (!project_ || index >= project_->maps.size()) return false;
    map_ = project_->maps[index].get();
    return true;
}

bool ExportHost::get_map_info(MapInfo* record) const {
    if (!record) return false;
    std::memset(record, 0, sizeof *record);
    if (!project_ || !map_) return false;
    const Map& m = *map_;
    std::uint32_t tile_set_index = 0;
    const TileSet* tile_set = tile_set_of(map_, &tile_set_index);
    record->UserID = m.user_supplied_id;
    copy_text(record->Name, m.name.view());
    record->ExportThisMap = byte_of(m.export_this_map);
    record->NumberOfLayers = static_cast<std::uint32_t>(m.layers.size());
    copy_text_variables(record->CustomVariables, m.custom_variables);
    record->UniqueID = m.unique_id;
    record->TileSetUniqueID = m.use_tile_set_id;
    if (tile_set) {
        record->TileSetIndex = tile_set_index;
        record->TileSetUserID = tile_set->user_supplied_id;
        record->TileSetTileWidth = static_cast<std::uint32_t>(tile_set->single_tile_pixel_width);
        record->TileSetTileHeight = static_cast<std::uint32_t>(tile_set->single_tile_pixel_height);
        copy_text(record->TileSetName, tile_set->name.view());
    }
    return true;
}

bool ExportHost::select_layer(std::uint32_t index) {
    layer_ = nullptr;
    layer_map_ = nullptr;
    if (!project_ || !map_ || index >= map_->layers.size()) return false;
    layer_ = map_->layers[index].get();
    layer_map_ = map_;
    return true;
}

bool ExportHost::get_layer_info(LayerInfo* record) const {
    if (!record) return false;
    std::memset(record, 0, sizeof *record);
    if (!project_ || !map_ || !layer_) return false;
    const Layer& l = *layer_;
    record->UserID = l.user_supplied_id;
    copy_text(record->Name, l.name.view());
    record->NumberOfChildEntities = child_entity_count(l);
    record->NumberOfPaths = static_cast<std::uint32_t>(l.path_count());
    record->GridWidth = static_cast<std::uint32_t>(std::max(l.grid_width, 0));
    record->GridHeight = static_cast<std::uint32_t>(std::max(l.grid_height, 0));
    record->WrapX = byte_of(l.wrap_x);
    record->WrapY = byte_of(l.wrap_y);
    record->IsVisible = byte_of(l.is_visible);
    record->IsMainLayer = byte_of(l.is_main_layer);
    record->ScrollSpeedX = l.scroll_speed_x;
    record->ScrollSpeedY = l.scroll_speed_y;
    record->OffsetX = l.grid_offset_x;
    record->OffsetY = l.grid_offset_y;
    record->UseBackgroundColour = byte_of(l.use_background_colour);
    copy_colour(record->BackgroundColour, l.background_colour);
    record->Opacity = l.opacity;
    copy_text_variables(record->CustomVariables, l.custom_variables);
    record->UseBackgroundImage = byte_of(l.use_background_image);
    copy_text(record->BackgroundImageFile, l.background_image_path_and_file_name.view());
    record->UniqueID = l.unique_id;
    if (const TileSet* tile_set = tile_set_of(layer_map_)) {
        record->TileSetUniqueID = tile_set->unique_id;
        record->TileSetUserID = tile_set->user_supplied_id;
        record->TileSetTileWidth = static_cast<std::uint32_t>(tile_set->single_tile_pixel_width);
        record->TileSetTileHeight = static_cast<std::uint32_t>(tile_set->single_tile_pixel_height);
        copy_text(record->TileSetName, tile_set->name.view());
    }
    return true;
}

// ---- Slot 16: grid cells ----

bool ExportHost::get_grid_cell(GridCellInfo* record, std::uint32_t column, std::uint32_t row) const {
    if (!record) return false;
    std::memset(record, 0, sizeof *record);
    if (!project_ || !layer_) return false;
    const Layer& l = *layer_;
    if (l.grid_width <= 0 || l.grid_height <= 0 || l.grid.size() != l.cell_count()) return false;
    if (column >= static_cast<std::uint32_t>(l.grid_width) ||
        row >= static_cast<std::uint32_t>(l.grid_height))
        return false;
    const GridCell& cell =
        l.grid[static_cast<std::size_t>(row) * static_cast<std::size_t>(l.grid_width) + column];
    const bool h = cell.flip_horizontal();
    const bool v = cell.flip_vertical();
    const bool r = cell.rotate();
    record->TileIndex = cell.tile;
    record->FlipH = byte_of(h);
    record->FlipV = byte_of(v);
    record->Rotate = byte_of(r);
    record->Attribute = remap_attribute(cell.attribute(), h, v, r);
    return true;
}

// ---- Slots 17 to 19: child entities ----

bool ExportHost::get_number_of_child_entities(std::uint32_t* out) const {
    if (!out || !project_ || !layer_) return false;
    *out = child_entity_count(*layer_);
    return true;
}

bool ExportHost::select_child_entity(std::uint32_t index) {
    child_entity_ = nullptr;
    if (!project_ || !layer_) return false;
    const auto& entities = layer_->instance_entities;
    // Instances whose parent entity is gone are skipped. Walking in order resumes from the last hit.
    std::uint32_t counted = 0;
    std::size_t position = 0;
    if (child_cursor_layer_ == layer_ && child_cursor_index_ <= index) {
        counted = child_cursor_index_;
        position = child_cursor_position_;
    }
    for (; position < entities.size(); ++position) {
        if (!find_parent(entities[position]->pid, nullptr)) continue;
        if (counted == index) {
            child_entity_ = entities[position].get();
            child_cursor_layer_ = layer_;
            child_cursor_index_ = index;
            child_cursor_position_ = position;
            return true;
        }
        ++counted;
    }
    return false;
}

bool ExportHost::get_child_entity_info(ChildEntityInfo* record) const {
    if (!record) return false;
    std::memset(record, 0, sizeof *record);
    if (!project_ || !layer_ || !child_entity_) return false;
    const InstanceEntity& e = *child_entity_;
    std::uint32_t parent_index = 0;
    if (const ParentEntity* parent = find_parent(e.pid, &parent_index)) {
        record->ParentIndex = parent_index;
        record->ParentUserID = parent->user_supplied_id;
        copy_text(record->ParentName, parent->name.view());
    }
    float shift_x = 0.0f;
    float shift_y = 0.0f;
    world_shift(layer_, layer_map_, shift_x, shift_y);
    record->LayerPosX = e.px;
    record->LayerPosY = e.py;
    record->WorldPosX = e.px + shift_x;
    record->WorldPosY = e.py + shift_y;
    record->FlipH = byte_of(e.fh);
    record->FlipV = byte_of(e.fv);
    record->Rotate = byte_of(e.ro);
    copy_int_variables(*record, offsetof(ChildEntityInfo, CustomVariables), e.custom_variables);
    record->TriggerCircleRadius = e.tcr;
    record->TriggerRectangleWidth = e.trw;
    record->TriggerRectangleHeight = e.trh;
    record->UniqueID = e.uid;
    record->ParentUniqueID = e.pid;
    return true;
}

// ---- Slots 20 to 22: paths ----

bool ExportHost::select_path(std::uint32_t index) {
    has_path_ = false;
    path_layer_ = nullptr;
    path_map_ = nullptr;
    if (!project_ || !layer_) return false;
    if (path_ranges_layer_ != layer_) {
        path_ranges_ = path_ranges(*layer_);
        path_ranges_layer_ = layer_;
    }
    // An index past the last path succeeds and leaves no path current.
    if (index < path_ranges_.size()) {
        path_ = path_ranges_[index];
        path_layer_ = layer_;
        path_map_ = layer_map_;
        has_path_ = true;
    }
    return true;
}

bool ExportHost::get_path_info(PathInfo* record) const {
    if (!record) return false;
    std::memset(record, 0, sizeof *record);
    if (!project_ || !has_path_ || !path_layer_) return false;
    record->NumberOfPoints = static_cast<std::uint32_t>(3 * path_.size());
    record->IsClosed = byte_of(path_layer_->path_points[path_.first]->is_closed());
    return true;
}

bool ExportHost::get_path_points(PathPointInfo* records, std::uint32_t capacity,
                                 std::uint32_t* written) const {
    if (!records && !written) return false;
    if (records && capacity == 0) return false;
    if (!project_ || !has_path_ || !path_layer_) {
        if (records) std::memset(records, 0, sizeof *records);
        if (written) *written = 0;
        return false;
    }
    const std::uint32_t needed = static_cast<std::uint32_t>(3 * path_.size());
    if (!records) {
        *written = needed;
        return true;
    }
    // World positions use the layer (and its map) the path was selected on.
    float shift_x = 0.0f;
    float shift_y = 0.0f;
    world_shift(path_layer_, path_map_, shift_x, shift_y);
    const auto& points = path_layer_->path_points;
    std::uint32_t count = 0;
    for (std::size_t i = path_.first; i <= path_.last && count < capacity; ++i) {
        const PathPoint& node = *points[i];
        const float xs[3] = {node.cx1, node.px, node.cx2};
        const float ys[3] = {node.cy1, node.py, node.cy2};
        for (int part = 0; part < 3 && count < capacity; ++part) {
            PathPointInfo& record = records[count++];
            std::memset(&record, 0, sizeof record);
            record.LayerPosX = xs[part];
            record.LayerPosY = ys[part];
            record.WorldPosX = xs[part] + shift_x;
            record.WorldPosY = ys[part] + shift_y;
            record.IsControlPoint = byte_of(part != 1);
            if (part == 1) {
                record.IsFirstNode = byte_of(i == path_.first);
                // The end node, or the last node that fits when the capacity runs out right after it.
                record.IsLastNode = byte_of(i == path_.last || count == capacity);
            }
            copy_int_variables(record, offsetof(PathPointInfo, CustomVariables), node.custom_variables);
            record.UniqueID = node.uid;
        }
    }
    if (written) *written = count;
    return true;
}

// ---- Slots 23 and 24 ----

bool ExportHost::is_quick_export(std::uint8_t* out) const {
    if (!out || !project_) return false;
    *out = byte_of(quick_);
    return true;
}

bool ExportHost::get_custom_variable_descriptions(CustomVariableDescriptions* block) const {
    if (!block) return false;
    std::memset(block, 0, sizeof *block);
    if (!project_) return false;
    char(*blocks[kObjectKindCount])[kExportCustomTextSize] = {block->TileSet,        block->Map,
                                                              block->Layer,          block->ParentEntity,
                                                              block->InstanceEntity, block->PathPoint};
    for (int kind = 0; kind < kObjectKindCount; ++kind) {
        const DescriptionTable& table = project_->descriptions_for(static_cast<ObjectKind>(kind));
        for (std::size_t i = 0; i < table.size(); ++i)
            std::memcpy(blocks[kind][i], table[i].desc.bytes().data(), kExportCustomTextSize);
    }
    return true;
}

}  // namespace zorva
