#include "projectfile/missing_resources.h"

#include <utility>

#include "model/entity.h"
#include "model/layer.h"
#include "model/map.h"
#include "model/tile_set.h"

namespace zorva {

namespace {

bool ends_with_separator(std::string_view text) {
    return !text.empty() && (text.back() == '/' || text.back() == '\\');
}

// Tries the image of one object at the joined path. `reload` loads from the object's stored path (quietly)
// and leaves the image empty when that fails. A path too long to be stored is not tried. True when found.
template <class Object, class Reload>
bool try_from_folder(Object& object, PathText& stored_path, std::string_view folder, Reload reload) {
    const std::string candidate = search_path_for(folder, stored_path.view());
    if (candidate.size() > PathText::kMaxLength) return false;
    const PathText previous = stored_path;
    stored_path = candidate;
    if (reload(object)) return true;
    stored_path = previous;
    return false;
}

}  // namespace

std::string with_trailing_separator(std::string_view folder) {
    std::string result(folder);
    if (!result.empty() && !ends_with_separator(result)) result += '/';
    return result;
}

std::string search_path_for(std::string_view folder, std::string_view stored_path) {
    const std::size_t slash = stored_path.find_last_of("/\\");
    const std::string_view file_name =
        slash == std::string_view::npos ? stored_path : stored_path.substr(slash + 1);
    std::string result(folder);
    result += file_name;
    return result;
}

std::size_t count_missing_resources(const Project& project) {
    std::size_t count = 0;
    for (const auto& tile_set : project.tile_sets)
        if (tile_set->image.empty() && !tile_set->image_path_and_file_name.empty()) ++count;
    for (const auto& entity : project.parent_entities)
        if (entity->image.empty() && !entity->image_path_and_file_name.empty()) ++count;
    for (const auto& map : project.maps)
        for (const auto& layer : map->layers)
            if (layer->use_background_image && layer->background_image.empty() &&
                !layer->background_image_path_and_file_name.empty())
                ++count;
    return count;
}

MissingResourcesSearch::MissingResourcesSearch(Project& project, Platform& platform,
                                               std::string_view start_folder, std::string browse_start)
    : project_(project), platform_(platform), browse_start_(std::move(browse_start)) {
    set_folder(start_folder);
}

void MissingResourcesSearch::set_folder(std::string_view folder) {
    folder_.assign(folder.substr(0, std::min(folder.size(), kSearchFolderMaxLength)));
}

std::size_t MissingResourcesSearch::scan(bool reset_list, bool reload) {
    if (reset_list) lines_.clear();
    std::string folder;
    if (reload) {
        if (folder_.empty())
            reload = false;
        else
            folder = with_trailing_separator(folder_);
    }
    Platform* platform = &platform_;
    std::size_t missing = 0;

    // One group: `still_missing(object)` tries the object (when reloading) and says whether it stays missing.
    const auto group = [&](const char* header, auto&& each) {
        bool header_written = false;
        each([&](std::string line) {
            ++missing;
            if (!reset_list) return;
            if (!header_written) {
                lines_.emplace_back(header);
                header_written = true;
            }
            lines_.push_back(std::move(line));
        });
        if (header_written) lines_.emplace_back(" ");
    };

    group("Tile Sets:", [&](auto&& add) {
        for (const auto& tile_set : project_.tile_sets) {
            if (!tile_set->image.empty() || tile_set->image_path_and_file_name.empty()) continue;
            if (reload &&
                try_from_folder(*tile_set, tile_set->image_path_and_file_name, folder, [&](TileSet& t) {
                    reload_tile_set_image(t, platform);
                    return !t.image.empty();
                }))
                continue;
            add("[" + tile_set->name.str() + "] " + tile_set->image_path_and_file_name.str());
        }
    });
    group("Entities:", [&](auto&& add) {
        for (const auto& entity : project_.parent_entities) {
            if (!entity->image.empty() || entity->image_path_and_file_name.empty()) continue;
            if (reload &&
                try_from_folder(*entity, entity->image_path_and_file_name, folder, [&](ParentEntity& e) {
                    reload_parent_entity_image(e, platform);
                    return !e.image.empty();
                }))
                continue;
            add("[" + entity->name.str() + "] " + entity->image_path_and_file_name.str());
        }
    });
    group("Layer backgrounds:", [&](auto&& add) {
        for (const auto& map : project_.maps) {
            for (const auto& layer : map->layers) {
                if (!layer->use_background_image || !layer->background_image.empty() ||
                    layer->background_image_path_and_file_name.empty())
                    continue;
                if (reload && try_from_folder(*layer, layer->background_image_path_and_file_name, folder,
                                              [&](Layer& l) {
                                                  reload_layer_background(l, platform);
                                                  return !l.background_image.empty();
                                              }))
                    continue;
                add("[" + map->name.str() + ":" + layer->name.str() + "] " +
                    layer->background_image_path_and_file_name.str());
            }
        }
    });

    if (reset_list && on_list_changed) on_list_changed();
    return missing;
}

void MissingResourcesSearch::ask_search_again() {
    if (platform_.message_box("Search again?", "Search?", MessageButtons::YesNo, MessageIcon::Question,
                              Answer::Yes) == Answer::Yes)
        refresh();
}

bool MissingResourcesSearch::browse() {
    const std::string start = folder_.empty() ? browse_start_ : folder_;
    const std::optional<std::string> chosen = platform_.choose_folder("Search for resources:", start);
    if (!chosen) return false;
    set_folder(with_trailing_separator(*chosen));
    if (on_folder_changed) on_folder_changed();
    if (!folder_.empty()) ask_search_again();
    return true;
}

std::size_t MissingResourcesSearch::refresh() {
    if (folder_.empty()) {
        platform_.message_box("Select a valid path to search.", "Missing resources", MessageButtons::Ok,
                              MessageIcon::Warning, Answer::Ok);
        return count_missing_resources(project_);
    }
    return scan(true, true);
}

bool MissingResourcesSearch::folder_edited(std::string_view text) {
    if (text.empty()) {
        folder_.clear();
        return false;
    }
    if (with_trailing_separator(text) == with_trailing_separator(folder_)) return false;
    set_folder(with_trailing_separator(text));
    if (on_folder_changed) on_folder_changed();
    ask_search_again();
    return true;
}

ResourceCheckOutcome check_missing_resources(
    Project& project, Platform& platform, std::string_view project_file,
    const std::function<bool(MissingResourcesSearch&)>& show_dialog) {
    if (count_missing_resources(project) == 0) return ResourceCheckOutcome::NoneMissing;
    // The folder chooser starts in the project file's folder.
    std::string browse_start;
    if (const std::size_t slash = project_file.find_last_of("/\\"); slash != std::string_view::npos)
        browse_start.assign(project_file.substr(0, slash + 1));
    MissingResourcesSearch search(project, platform, {}, std::move(browse_start));
    search.scan(true, false);
    return show_dialog && show_dialog(search) ? ResourceCheckOutcome::Accepted
                                              : ResourceCheckOutcome::Cancelled;
}

}  // namespace zorva
