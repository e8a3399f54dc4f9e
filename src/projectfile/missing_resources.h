// The missing-resources check after a project was read: images named by tile sets, parent entities and
// layer backgrounds that did not load, the search for them by file name in a folder the user names, and
// the three outcomes the callers act on. Qt-free; the dialog (missing_resources_dialog.h) only binds
// widgets to MissingResourcesSearch.
//
// An object is missing when its image is not loaded and its stored path is not empty. A layer background
// counts only while the layer uses its background image (without that the image is never loaded).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "model/project.h"

namespace zorva {

// The message-box codes of the three outcomes. Cancelled: the caller destroys the read project and keeps
// the open one. Accepted: the read project replaces the open one and is marked modified at once (stored
// paths may have changed). NoneMissing: it replaces the open one unmodified.
enum class ResourceCheckOutcome { NoneMissing = 7, Cancelled = 2, Accepted = 6 };

inline constexpr std::size_t kSearchFolderMaxLength = 259;

// `folder` with a "/" appended unless it is empty or already ends in "/" or "\".
std::string with_trailing_separator(std::string_view folder);
// The file name and extension of `stored_path` (after the last "/" or "\") joined to `folder`, which
// ends in a separator.
std::string search_path_for(std::string_view folder, std::string_view stored_path);

// The number of missing images, without touching the project.
std::size_t count_missing_resources(const Project& project);

class MissingResourcesSearch {
public:
    // `start_folder`, when not empty, becomes the search folder (cut to 259 characters).
    // `browse_start` is where the folder chooser opens while the search folder is empty.
    MissingResourcesSearch(Project& project, Platform& platform, std::string_view start_folder = {},
                           std::string browse_start = {});

    // The scan behind the dialog: with `reload`, each missing image is loaded from the search folder by its
    // file name (tile sets with their own transparent colour, entity and layer images without a colour key)
    // and a found image's path replaces the stored one. With `reset_list` the list is rebuilt: a header per
    // group with missing objects ("Tile Sets:", "Entities:", "Layer backgrounds:"), one line per object
    // ("[name] path", "[map:layer] path") and a line " " after each group. Returns the number still missing.
    // An empty search folder switches reloading off.
    std::size_t scan(bool reset_list, bool reload);

    const std::vector<std::string>& lines() const { return lines_; }
    const std::string& folder() const { return folder_; }
    // Sets the search folder as typed (cut to 259 characters), without any question.
    void set_folder(std::string_view folder);

    // "Browse...": the folder chooser "Search for resources:"; a chosen folder gets its separator, becomes
    // the search folder and, after "Search again?" (caption "Search?", Yes/No) is answered Yes, is searched.
    // True when a folder was chosen.
    bool browse();
    // "Refresh / Search Again": "Select a valid path to search." when the folder is empty, else a scan with
    // reload. Returns the number still missing.
    std::size_t refresh();
    // The folder field was read back with `text`: when it differs from the search folder and is not empty,
    // it gets its separator, becomes the search folder, and "Search again?" is asked. True when the folder
    // changed. An empty field empties the search folder without a question.
    bool folder_edited(std::string_view text);

    // Called after the search folder changed through browse() or folder_edited() (the dialog updates its
    // field and moves the focus to the refresh button), and after the list was rebuilt.
    std::function<void()> on_folder_changed;
    std::function<void()> on_list_changed;

private:
    void ask_search_again();

    Project& project_;
    Platform& platform_;
    std::string folder_;
    std::string browse_start_;
    std::vector<std::string> lines_;
};

// The check: scans without reloading; nothing missing gives NoneMissing and shows nothing; else
// `show_dialog` runs with the search (true for OK) and the outcome is Accepted or Cancelled.
ResourceCheckOutcome check_missing_resources(Project& project, Platform& platform,
                                             std::string_view project_file,
                                             const std::function<bool(MissingResourcesSearch&)>& show_dialog);

}  // namespace zorva
