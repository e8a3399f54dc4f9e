#include "cli/project_check.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "base/ascii_text.h"
#include "model/project.h"

namespace zorva::cli {

std::string_view severity_name(Severity severity) {
    return severity == Severity::Warning ? "warning" : "error";
}

std::string problem_line(const Problem& problem) {
    std::string line(severity_name(problem.severity));
    line += ": ";
    line += problem.object.text();
    line += ": ";
    line += problem.message;
    line += " [";
    line += problem.code;
    line += ']';
    return line;
}

namespace {

std::string number_text(float value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

ListedObject listed(std::size_t index, ObjectId id, std::string_view name) {
    return {static_cast<std::int64_t>(index), id, std::string(name)};
}

// Why an image named by an object is not there: a file that is missing, or one that is not a picture the
// loaders read.
std::string image_failure(std::string_view owner, std::string_view path) {
    std::error_code error;
    const bool exists = std::filesystem::exists(std::filesystem::path(path), error);
    return std::string(owner) + " image " + quote_name(path) +
           (exists ? " did not load: it is not a TGA, BMP or PNG picture the editor reads"
                   : " did not load: there is no such file");
}

// The first object of a list with each name, letter case ignored.
class NameRegister {
public:
    // The index of an earlier object with the same name, or -1 (and the name is registered).
    std::int64_t earlier(std::string_view name, std::size_t index) {
        std::string key;
        for (const char c : name) key += ascii_lower(c);
        const auto [at, inserted] = first_.emplace(std::move(key), static_cast<std::int64_t>(index));
        return inserted ? -1 : at->second;
    }

private:
    std::map<std::string, std::int64_t> first_;
};

class Checker {
public:
    Checker(const Project& project, const std::vector<SkippedInstance>& skipped, const CheckOptions& options,
            CheckReport& report)
        : project_(project), skipped_(skipped), options_(options), report_(report) {}

    void run() {
        NameRegister entity_names;
        for (std::size_t i = 0; i < project_.tile_sets.size(); ++i) check_tile_set(i);
        for (std::size_t i = 0; i < project_.parent_entities.size(); ++i)
            check_parent_entity(i, entity_names);
        NameRegister map_names;
        for (std::size_t i = 0; i < project_.maps.size(); ++i) check_map(i, map_names);
    }

private:
    void add(Severity severity, std::string_view code, const ObjectPath& object, std::string message) {
        (severity == Severity::Warning ? report_.warnings : report_.errors) += 1;
        report_.problems.push_back({severity, std::string(code), object, std::move(message), 0});
    }

    // A problem of which a layer may hold very many (cells, instances, points): listed up to the limit,
    // counted beyond it.
    void add_capped(Severity severity, std::string_view code, const ObjectPath& object, std::string message) {
        std::size_t& listed_so_far = capped_[std::string(code)];
        if (options_.max_per_layer == 0 || listed_so_far < options_.max_per_layer) {
            ++listed_so_far;
            add(severity, code, object, std::move(message));
            return;
        }
        (severity == Severity::Warning ? report_.warnings : report_.errors) += 1;
        ++report_.omitted;
        Omitted& omitted = omitted_[std::string(code)];
        omitted.severity = severity;
        ++omitted.count;
    }

    // The line for the problems of the layer left out of the list, and a fresh count for the next layer.
    void end_layer(const ObjectPath& layer_path) {
        for (const auto& [code, omitted] : omitted_) {
            report_.problems.push_back(
                {omitted.severity, code, layer_path,
                 "... and " + std::to_string(omitted.count) + " more problems of this kind on this layer",
                 omitted.count});
        }
        omitted_.clear();
        capped_.clear();
    }

    void check_tile_set(std::size_t index) {
        const TileSet& tile_set = *project_.tile_sets[index];
        ObjectPath path;
        path.tile_set = listed(index, tile_set.unique_id, tile_set.name.view());
        if (!tile_set.image_path_and_file_name.empty() && tile_set.image.empty()) {
            add(Severity::Error, "image-not-loaded", path,
                image_failure("the tile set's", tile_set.image_path_and_file_name.view()));
        }
        if (tile_set.is_locked) add(Severity::Warning, "object-locked", path, "the tile set is locked");
    }

    void check_parent_entity(std::size_t index, NameRegister& names) {
        const ParentEntity& entity = *project_.parent_entities[index];
        ObjectPath path;
        path.parent_entity = listed(index, entity.unique_id, entity.name.view());
        if (const std::int64_t earlier = names.earlier(entity.name.view(), index); earlier >= 0) {
            const ParentEntity& first = *project_.parent_entities[static_cast<std::size_t>(earlier)];
            add(Severity::Error, "duplicate-name", path,
                "the name is already used by parent entity " + std::to_string(earlier) + " " +
                    quote_name(first.name.view()) +
                    "; exporters that name files after parent entities would write both to one file");
        }
        if (!entity.image_path_and_file_name.empty() && entity.image.empty()) {
            add(Severity::Error, "image-not-loaded", path,
                image_failure("the parent entity's", entity.image_path_and_file_name.view()));
        }
        if (entity.is_locked) add(Severity::Warning, "object-locked", path, "the parent entity is locked");
    }

    void check_map(std::size_t index, NameRegister& names) {
        const Map& map = *project_.maps[index];
        ObjectPath path;
        path.map = listed(index, map.unique_id, map.name.view());
        if (const std::int64_t earlier = names.earlier(map.name.view(), index); earlier >= 0) {
            add(Severity::Error, "duplicate-name", path,
                "the name is already used by map " + std::to_string(earlier) + " " +
                    quote_name(project_.maps[static_cast<std::size_t>(earlier)]->name.view()) +
                    "; exporters that name files after maps would write both to one file");
        }
        const TileSet* tile_set = find_tile_set(project_, map.use_tile_set_id);
        if (map.use_tile_set_id == kInvalidId) {
            add(Severity::Error, "map-without-tile-set", path, "the map uses no tile set");
        } else if (!tile_set) {
            add(Severity::Error, "map-without-tile-set", path,
                "the map uses tile set id " + std::to_string(map.use_tile_set_id) +
                    ", which the project does not have");
        }
        if (map.is_locked) add(Severity::Warning, "object-locked", path, "the map is locked");

        NameRegister layer_names;
        for (std::size_t i = 0; i < map.layers.size(); ++i) {
            const Layer& layer = *map.layers[i];
            ObjectPath layer_path = path;
            layer_path.layer = listed(i, layer.unique_id, layer.name.view());
            if (const std::int64_t earlier = layer_names.earlier(layer.name.view(), i); earlier >= 0) {
                add(Severity::Error, "duplicate-name", layer_path,
                    "the name is already used by layer " + std::to_string(earlier) + " " +
                        quote_name(map.layers[static_cast<std::size_t>(earlier)]->name.view()) +
                        " of this map; exporters that name files after layers would write both to one file");
            }
            if (layer.is_locked) add(Severity::Warning, "object-locked", layer_path, "the layer is locked");
            if (layer.use_background_image && !layer.background_image_path_and_file_name.empty() &&
                layer.background_image.empty()) {
                add(Severity::Error, "image-not-loaded", layer_path,
                    image_failure("the layer's background",
                                  layer.background_image_path_and_file_name.view()));
            }
            check_cells(layer, layer_path, tile_set);
            check_instances(map, layer, layer_path, tile_set);
            check_paths(layer, layer_path);
            end_layer(layer_path);
        }
    }

    void check_cells(const Layer& layer, const ObjectPath& layer_path, const TileSet* tile_set) {
        if (!tile_set || tile_set->image.empty()) return;
        const std::uint32_t tiles = count_tiles(*tile_set).count;
        const std::size_t width = static_cast<std::size_t>(layer.grid_width > 0 ? layer.grid_width : 0);
        if (width == 0) return;
        for (std::size_t i = 0; i < layer.grid.size(); ++i) {
            const std::uint32_t tile = layer.grid[i].tile;
            if (tile <= tiles) continue;
            ObjectPath path = layer_path;
            path.cell =
                CellCoordinates{static_cast<std::int64_t>(i % width), static_cast<std::int64_t>(i / width)};
            add_capped(Severity::Error, "tile-index-out-of-range", path,
                       "tile " + std::to_string(tile) + " is beyond the " + std::to_string(tiles) +
                           " tiles of the map's tile set " + quote_name(tile_set->name.view()));
        }
    }

    void check_instances(const Map& map, const Layer& layer, const ObjectPath& layer_path,
                         const TileSet* tile_set) {
        for (const SkippedInstance& skipped : skipped_) {
            if (skipped.map_id != map.unique_id || skipped.layer_id != layer.unique_id) continue;
            ObjectPath path = layer_path;
            path.instance = skipped.uid;
            add_capped(Severity::Error, "instance-without-parent", path,
                       "the instance's parent entity (id " + std::to_string(skipped.pid) +
                           ") is not in the project; the editor leaves the instance out when it opens the "
                           "project");
        }
        // The layer's size in pixels, with the tile size of the map's tile set.
        const double width = tile_set ? static_cast<double>(layer.grid_width) *
                                            static_cast<double>(tile_set->single_tile_pixel_width)
                                      : 0.0;
        const double height = tile_set ? static_cast<double>(layer.grid_height) *
                                             static_cast<double>(tile_set->single_tile_pixel_height)
                                       : 0.0;
        for (const auto& instance : layer.instance_entities) {
            ObjectPath path = layer_path;
            path.instance = instance->uid;
            if (!find_parent_entity(project_, instance->pid)) {
                add_capped(Severity::Error, "instance-without-parent", path,
                           "the instance's parent entity (id " + std::to_string(instance->pid) +
                               ") is not in the project");
            }
            if (!tile_set) continue;
            const double x = instance->px;
            const double y = instance->py;
            // Written so that a position that is not a number counts as outside.
            if (!(x >= 0.0 && x < width && y >= 0.0 && y < height)) {
                char size[64];
                std::snprintf(size, sizeof size, "%.0f x %.0f", width, height);
                add_capped(Severity::Error, "instance-outside-layer", path,
                           "the instance at (" + number_text(instance->px) + ", " +
                               number_text(instance->py) + ") lies outside the layer's " + size + " pixels");
            }
        }
    }

    void check_paths(const Layer& layer, const ObjectPath& layer_path) {
        const std::vector<PathRange> ranges = path_ranges(layer);
        std::size_t next_point = 0;  // the first point not yet seen in a path
        const auto stray_points = [&](std::size_t up_to) {
            for (; next_point < up_to; ++next_point) {
                ObjectPath path = layer_path;
                path.point = layer.path_points[next_point]->uid;
                std::string why = ranges.empty() ? "no point of the layer starts a path"
                                  : next_point < ranges.front().first
                                      ? "the point comes before the first path's start"
                                      : "the point follows the end of a path without starting a new one";
                add_capped(Severity::Error, "point-outside-path", path, why + ", so it belongs to no path");
            }
        };
        for (std::size_t k = 0; k < ranges.size(); ++k) {
            const PathRange& range = ranges[k];
            stray_points(range.first);
            next_point = range.last + 1;
            ObjectPath path = layer_path;
            path.path = static_cast<std::int64_t>(k);
            const PathPoint& last = *layer.path_points[range.last];
            if (!last.ends_path()) {
                const bool at_list_end = range.last + 1 == layer.path_points.size();
                add_capped(Severity::Error, "path-without-end", path,
                           "the path's last point (point " + std::to_string(last.uid) +
                               ") has no end mark; the path runs into " +
                               (at_list_end ? std::string("the end of the layer's points")
                                            : "the start of the next path"));
            }
            if (range.size() < 2) {
                add_capped(Severity::Error, "path-too-short", path,
                           "the path has 1 point; a path needs at least two");
            }
        }
        stray_points(layer.path_points.size());
    }

    struct Omitted {
        Severity severity = Severity::Error;
        std::size_t count = 0;
    };

    const Project& project_;
    const std::vector<SkippedInstance>& skipped_;
    const CheckOptions& options_;
    CheckReport& report_;
    std::map<std::string, std::size_t> capped_;  // problems listed per code on the current layer
    std::map<std::string, Omitted> omitted_;     // and left out
};

}  // namespace

CheckReport check_project(const Project& project, const std::vector<SkippedInstance>& skipped,
                          const CheckOptions& options) {
    CheckReport report;
    Checker(project, skipped, options, report).run();
    return report;
}

}  // namespace zorva::cli
