#include "exporters/binmapfile/map_file_writer.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

#include "exporters/binmapfile/data_types.h"
#include "exporters/binmapfile/value_encoding.h"

namespace zorva::binmap {
namespace {

constexpr std::size_t kFlushSize = 1 << 16;

std::string format_exported(const std::string& name) {
    std::error_code error;
    const auto size = std::filesystem::file_size(name, error);
    if (error) return "Exported:  " + name;
    char text[64];
    std::snprintf(text, sizeof text, "   (%lu bytes)", static_cast<unsigned long>(size));
    return "Exported:  " + name + text;
}

}  // namespace

MapFileWriter::MapFileWriter(const ExportApi& api, const ExportList& list, std::uint32_t flags)
    : api_(api), flags_(flags) {
    items_.reserve(list.size());
    for (const ExportVariable& variable : list.items())
        items_.push_back({variable, category_of(variable.variable_id)});
}

void MapFileWriter::message(const std::string& text) const {
    if (api_.AddMessage) api_.AddMessage(text.c_str(), 1);
}

void MapFileWriter::report_unknown_variables() {
    std::set<std::uint32_t> unknown_ids;
    std::set<std::uint32_t> unknown_types;
    for (const Item& item : items_) {
        const ExportVariable& variable = item.variable;
        if (find_variable(variable.variable_id) == nullptr) {
            if (unknown_ids.insert(variable.variable_id).second) {
                message("WARNING: Unknown variable id " + std::to_string(variable.variable_id) +
                        " in the export list; nothing is written for it.");
            }
        } else if (find_data_type(variable.data_type) == nullptr) {
            if (unknown_types.insert(variable.data_type).second) {
                message("WARNING: Unknown data type id " + std::to_string(variable.data_type) +
                        " in the export list; nothing is written for variables of this type.");
            }
        }
    }
}

bool MapFileWriter::run() {
    if (items_.empty()) {
        message("ERROR: No variables specified to export.");
        return false;
    }
    report_unknown_variables();

    char output_name[kExportPathSize] = {};
    if (api_.GetOutputFileName) api_.GetOutputFileName(output_name, sizeof output_name);
    const OutputParts output = split_output_name(std::string(fixed_text(output_name, sizeof output_name)));
    std::uint32_t map_count = 0;
    if (!api_.GetNumberOfMaps || !api_.GetNumberOfMaps(&map_count)) map_count = 0;
    const double product = static_cast<double>(map_count) * static_cast<double>(items_.size());
    step_ = product > 0 ? static_cast<float>(100.0 / product) : 0.0f;
    progress_ = 0.0f;

    for (std::uint32_t i = 0; i < map_count && !stopped_; ++i) export_map(i, map_count, output);

    if (!stopped_) {
        message("Success");
        if (api_.SetProgress) api_.SetProgress(100.0f, 0, 1);
    }
    file_.abandon();
    points_.clear();
    points_.shrink_to_fit();
    return result_;
}

void MapFileWriter::export_map(std::uint32_t index, std::uint32_t map_count, const OutputParts& output) {
    std::memset(&map_, 0, sizeof map_);
    if (!api_.SelectMap || !api_.SelectMap(index)) return;
    if (!api_.GetMapInfo || !api_.GetMapInfo(&map_, kMapInfoSize)) return;
    if (map_.ExportThisMap == 0) return;

    const std::string name =
        map_file_name(output, map_count, index, std::string(fixed_text(map_.Name, sizeof map_.Name)), flags_);
    if (!file_.open(name)) {
        message("ERROR: Failed to create file [" + name + "]");
        return;
    }
    first_layer_width_ = first_layer_height_ = 0;
    if (map_.NumberOfLayers > 0 && api_.SelectLayer && api_.SelectLayer(0) && api_.GetLayerInfo) {
        std::memset(&layer_, 0, sizeof layer_);
        if (api_.GetLayerInfo(&layer_, kLayerInfoSize)) {
            first_layer_width_ = layer_.GridWidth;
            first_layer_height_ = layer_.GridHeight;
        }
    }
    pending_.clear();
    write_variables();
    flush();
    // A cancelled file is closed with what it holds, like a finished one.
    if (!file_.commit()) {
        message("ERROR: Failed to write file [" + name + "]");
        return;
    }
    if (stopped_) return;
    message(format_exported(name));
}

void MapFileWriter::write_variables() {
    std::size_t i = 0;
    while (i < items_.size() && items_[i].category == Category::Map && !stopped_) {
        write_map_variable(items_[i].variable);
        if (!cancel_check()) return;
        ++i;
    }
    if (i >= items_.size() || stopped_) return;
    if (map_.NumberOfLayers == 0) {
        pass_over(i, items_.size());
        return;
    }
    for (std::uint32_t j = 0; j < map_.NumberOfLayers && !stopped_; ++j) {
        std::memset(&layer_, 0, sizeof layer_);
        if (api_.SelectLayer) api_.SelectLayer(j);
        if (api_.GetLayerInfo) api_.GetLayerInfo(&layer_, kLayerInfoSize);
        write_layer_part(i);
    }
}

std::size_t MapFileWriter::run_end(std::size_t first, Category a, Category b) const {
    std::size_t end = first;
    while (end < items_.size() && (items_[end].category == a || items_[end].category == b)) ++end;
    return end;
}

void MapFileWriter::pass_over(std::size_t first, std::size_t end) {
    for (std::size_t k = first; k < end && !stopped_; ++k) cancel_check();
}

void MapFileWriter::write_layer_part(std::size_t start) {
    std::size_t k = start;
    while (k < items_.size() && !stopped_) {
        const Category category = items_[k].category;
        if (category == Category::Layer) {
            write_layer_variable(items_[k].variable);
            cancel_check();
            ++k;
        } else if (category == Category::LayerGrid) {
            const std::size_t end = run_end(k, Category::LayerGrid, Category::LayerGrid);
            if (layer_.GridWidth == 0 || layer_.GridHeight == 0) {
                pass_over(k, end);
            } else {
                for (std::uint32_t row = 0; row < layer_.GridHeight; ++row) {
                    for (std::uint32_t column = 0; column < layer_.GridWidth; ++column) {
                        std::memset(&cell_, 0, sizeof cell_);
                        if (api_.GetGridCell) api_.GetGridCell(&cell_, column, row, kGridCellInfoSize);
                        for (std::size_t v = k; v < end; ++v) write_grid_variable(items_[v].variable);
                    }
                }
                cancel_check();
            }
            k = end;
        } else if (category == Category::ChildEntity) {
            const std::size_t end = run_end(k, Category::ChildEntity, Category::ChildEntity);
            if (layer_.NumberOfChildEntities == 0) {
                pass_over(k, end);
            } else {
                for (std::uint32_t e = 0; e < layer_.NumberOfChildEntities; ++e) {
                    std::memset(&entity_, 0, sizeof entity_);
                    if (api_.SelectChildEntity) api_.SelectChildEntity(e);
                    if (api_.GetChildEntityInfo) api_.GetChildEntityInfo(&entity_, kChildEntityInfoSize);
                    for (std::size_t v = k; v < end; ++v) write_entity_variable(items_[v].variable);
                }
                cancel_check();
            }
            k = end;
        } else if (category == Category::Path || category == Category::PathNode) {
            const std::size_t end = run_end(k, Category::Path, Category::PathNode);
            if (layer_.NumberOfPaths == 0) {
                pass_over(k, end);
            } else {
                for (std::uint32_t p = 0; p < layer_.NumberOfPaths && !stopped_; ++p) {
                    std::memset(&path_, 0, sizeof path_);
                    if (api_.SelectPath) api_.SelectPath(p);
                    if (api_.GetPathInfo) api_.GetPathInfo(&path_, kPathInfoSize);
                    write_path_run(k, end);
                }
                if (!stopped_) cancel_check();
            }
            k = end;
        } else {
            // Map variables inside the per-layer part, and unknown ids, write nothing.
            cancel_check();
            ++k;
        }
    }
}

void MapFileWriter::write_path_run(std::size_t first, std::size_t end) {
    std::size_t m = first;
    while (m < end && !stopped_) {
        if (items_[m].category == Category::Path) {
            write_path_variable(items_[m].variable);
            ++m;
            continue;
        }
        const std::size_t nodes_end = run_end(m, Category::PathNode, Category::PathNode);
        std::uint32_t needed = 0;
        if (!api_.GetPathPoints || !api_.GetPathPoints(nullptr, 0, &needed, kPathPointInfoSize)) needed = 0;
        if (points_.size() < needed) {
            try {
                if (needed > point_limit_) throw std::bad_alloc();
                points_.resize(needed);
            } catch (const std::bad_alloc&) {
                message("ERROR: Not enough memory to export the paths.");
                result_ = false;
                stopped_ = true;
                return;
            }
        }
        std::uint32_t written = 0;
        if (needed > 0) {
            std::memset(static_cast<void*>(points_.data()), 0, sizeof(PathPointInfo) * needed);
            if (!api_.GetPathPoints(points_.data(), needed, &written, kPathPointInfoSize)) written = 0;
            if (written > needed) written = needed;
        }
        const bool control_points = (flags_ & kFlagControlPoints) != 0;
        for (std::uint32_t p = 0; p < written; ++p) {
            if (!control_points && points_[p].IsControlPoint) continue;
            for (std::size_t v = m; v < nodes_end; ++v) write_node_variable(items_[v].variable, points_[p]);
        }
        m = nodes_end;
    }
}

bool MapFileWriter::cancel_check() {
    if (stopped_) return false;
    std::uint8_t cancelled = 0;
    if (api_.IsExportCancelled) api_.IsExportCancelled(&cancelled);
    if (cancelled) {
        stopped_ = true;
        return false;
    }
    progress_ += step_;
    if (api_.SetProgress) api_.SetProgress(progress_, 0, 1);
    return true;
}

void MapFileWriter::flush() {
    if (pending_.empty()) return;
    file_.write(pending_.data(), pending_.size());
    pending_.clear();
}

void MapFileWriter::put(const EncodedValue& value) {
    pending_.insert(pending_.end(), value.bytes, value.bytes + value.size);
    if (pending_.size() >= kFlushSize) flush();
}

void MapFileWriter::put_string(const char* array, std::size_t capacity, const ExportVariable& variable) {
    append_string(pending_, fixed_text(array, capacity), variable.string_length, variable.data_type);
    if (pending_.size() >= kFlushSize) flush();
}

void MapFileWriter::put_strings(const char (*strings)[kExportCustomTextSize],
                                const ExportVariable& variable) {
    for (std::uint32_t k = 0; k < kExportCustomVariableCount; ++k) {
        put_string(strings[k], kExportCustomTextSize, variable);
    }
}

void MapFileWriter::put_shorts(const std::uint8_t* values, const ExportVariable& variable) {
    for (std::uint32_t k = 0; k < kExportCustomVariableCount; ++k) {
        const auto value = static_cast<std::int16_t>(values[2 * k] | values[2 * k + 1] << 8);
        put(encode_signed16(value, variable.data_type));
    }
}

void MapFileWriter::write_map_variable(const ExportVariable& v) {
    const std::uint32_t t = v.data_type;
    switch (v.variable_id) {
        case kMapUserId:
            put(encode_unsigned32(map_.UserID, t));
            break;
        case kMapName:
            put_string(map_.Name, sizeof map_.Name, v);
            break;
        case kMapTileSetIndex:
            put(encode_unsigned32(map_.TileSetIndex, t));
            break;
        case kMapTileSetUserId:
            put(encode_unsigned32(map_.TileSetUserID, t));
            break;
        case kMapNumberOfLayers:
            put(encode_unsigned32(map_.NumberOfLayers, t));
            break;
        case kMapCustomVariables:
            put_strings(map_.CustomVariables, v);
            break;
        case kMapFirstLayerWidth:
            put(encode_unsigned32(first_layer_width_, t));
            break;
        case kMapFirstLayerHeight:
            put(encode_unsigned32(first_layer_height_, t));
            break;
        default:
            break;
    }
}

void MapFileWriter::write_layer_variable(const ExportVariable& v) {
    const std::uint32_t t = v.data_type;
    const LayerInfo& l = layer_;
    switch (v.variable_id) {
        case kLayerUserId:
            put(encode_unsigned32(l.UserID, t));
            break;
        case kLayerName:
            put_string(l.Name, sizeof l.Name, v);
            break;
        case kLayerNumberOfEntities:
            put(encode_unsigned32(l.NumberOfChildEntities, t));
            break;
        case kLayerNumberOfPaths:
            put(encode_unsigned32(l.NumberOfPaths, t));
            break;
        case kLayerWidth:
            put(encode_unsigned32(l.GridWidth, t));
            break;
        case kLayerHeight:
            put(encode_unsigned32(l.GridHeight, t));
            break;
        case kLayerWrapX:
            put(encode_flag(l.WrapX, t));
            break;
        case kLayerWrapY:
            put(encode_flag(l.WrapY, t));
            break;
        case kLayerIsVisible:
            put(encode_flag(l.IsVisible, t));
            break;
        case kLayerIsMain:
            put(encode_flag(l.IsMainLayer, t));
            break;
        case kLayerScrollX:
            put(encode_float(l.ScrollSpeedX, t));
            break;
        case kLayerScrollY:
            put(encode_float(l.ScrollSpeedY, t));
            break;
        case kLayerOffsetX:
            put(encode_signed32(l.OffsetX, t));
            break;
        case kLayerOffsetY:
            put(encode_signed32(l.OffsetY, t));
            break;
        case kLayerUseBackgroundColour:
            put(encode_flag(l.UseBackgroundColour, t));
            break;
        case kLayerBackgroundRed:
            put(encode_unsigned8(l.BackgroundColour[0], t));
            break;
        case kLayerBackgroundGreen:
            put(encode_unsigned8(l.BackgroundColour[1], t));
            break;
        case kLayerBackgroundBlue:
            put(encode_unsigned8(l.BackgroundColour[2], t));
            break;
        case kLayerOpacity:
            put(encode_unsigned8(l.Opacity, t));
            break;
        case kLayerCustomVariables:
            put_strings(l.CustomVariables, v);
            break;
        case kLayerUseBackgroundImage:
            put(encode_flag(l.UseBackgroundImage, t));
            break;
        case kLayerBackgroundImageFile:
            put_string(l.BackgroundImageFile, sizeof l.BackgroundImageFile, v);
            break;
        default:
            break;
    }
}

void MapFileWriter::write_grid_variable(const ExportVariable& v) {
    const std::uint32_t t = v.data_type;
    switch (v.variable_id) {
        case kGridTileIndex:
            put(encode_unsigned32(cell_.TileIndex, t));
            break;
        case kGridFlipH:
            put(encode_flag(cell_.FlipH, t));
            break;
        case kGridFlipV:
            put(encode_flag(cell_.FlipV, t));
            break;
        case kGridRotate:
            put(encode_flag(cell_.Rotate, t));
            break;
        case kGridAttribute:
            put(encode_unsigned8(cell_.Attribute, t));
            break;
        default:
            break;
    }
}

void MapFileWriter::write_entity_variable(const ExportVariable& v) {
    const std::uint32_t t = v.data_type;
    const ChildEntityInfo& e = entity_;
    switch (v.variable_id) {
        case kEntityParentIndex:
            put(encode_unsigned32(e.ParentIndex, t));
            break;
        case kEntityParentUserId:
            put(encode_unsigned32(e.ParentUserID, t));
            break;
        case kEntityLayerPosX:
            put(encode_float(e.LayerPosX, t));
            break;
        case kEntityLayerPosY:
            put(encode_float(e.LayerPosY, t));
            break;
        case kEntityWorldPosX:
            put(encode_float(e.WorldPosX, t));
            break;
        case kEntityWorldPosY:
            put(encode_float(e.WorldPosY, t));
            break;
        case kEntityFlipH:
            put(encode_flag(e.FlipH, t));
            break;
        case kEntityFlipV:
            put(encode_flag(e.FlipV, t));
            break;
        case kEntityRotate:
            put(encode_flag(e.Rotate, t));
            break;
        case kEntityCustomVariables:
            put_shorts(reinterpret_cast<const std::uint8_t*>(&e) + offsetof(ChildEntityInfo, CustomVariables),
                       v);
            break;
        case kEntityTriggerRadius:
            put(encode_unsigned32(e.TriggerCircleRadius, t));
            break;
        case kEntityTriggerWidth:
            put(encode_unsigned32(e.TriggerRectangleWidth, t));
            break;
        case kEntityTriggerHeight:
            put(encode_unsigned32(e.TriggerRectangleHeight, t));
            break;
        default:
            break;
    }
}

void MapFileWriter::write_path_variable(const ExportVariable& v) {
    const std::uint32_t t = v.data_type;
    switch (v.variable_id) {
        case kPathNumberOfNodes: {
            const std::uint32_t points = path_.NumberOfPoints;
            put(encode_unsigned32((flags_ & kFlagControlPoints) ? points : points / 3, t));
            break;
        }
        case kPathIsClosed:
            put(encode_flag(path_.IsClosed, t));
            break;
        default:
            break;
    }
}

void MapFileWriter::write_node_variable(const ExportVariable& v, const PathPointInfo& point) {
    const std::uint32_t t = v.data_type;
    switch (v.variable_id) {
        case kNodeLayerPosX:
            put(encode_float(point.LayerPosX, t));
            break;
        case kNodeLayerPosY:
            put(encode_float(point.LayerPosY, t));
            break;
        case kNodeWorldPosX:
            put(encode_float(point.WorldPosX, t));
            break;
        case kNodeWorldPosY:
            put(encode_float(point.WorldPosY, t));
            break;
        case kNodeIsFirst:
            put(encode_flag(point.IsFirstNode, t));
            break;
        case kNodeIsLast:
            put(encode_flag(point.IsLastNode, t));
            break;
        case kNodeIsControlPoint:
            put(encode_flag(point.IsControlPoint, t));
            break;
        case kNodeCustomVariables:
            put_shorts(
                reinterpret_cast<const std::uint8_t*>(&point) + offsetof(PathPointInfo, CustomVariables), v);
            break;
        default:
            break;
    }
}

}  // namespace zorva::binmap
