#include "app/image_chooser.h"

#include "image/image_loader.h"
#include "prefs/preferences.h"

namespace zorva {

std::vector<FileFilter> image_file_filters(std::int32_t last_kind) {
    const auto count = static_cast<std::int32_t>(kImageKinds.size());
    if (last_kind < 0 || last_kind >= count) last_kind = 0;
    std::vector<FileFilter> filters;
    for (std::int32_t i = 0; i < count; ++i) {
        const ImageKindRow& row = kImageKinds[static_cast<std::size_t>((last_kind + i) % count)];
        filters.push_back({std::string(row.filter_name), {"*" + std::string(row.extension)}});
    }
    return filters;
}

std::optional<std::string> choose_image_file(Platform& platform, Preferences& preferences,
                                             PathText* first_folder, PathText* second_folder) {
    std::string start;
    if (first_folder && !first_folder->empty())
        start = first_folder->str();
    else if (second_folder && !second_folder->empty())
        start = second_folder->str();
    else
        start = preferences.last_image_folder();

    std::optional<std::string> chosen =
        platform.choose_open_file("Load Image", image_file_filters(preferences.last_image_kind()), start);
    if (!chosen || chosen->empty()) return std::nullopt;

    const ImageKind kind = image_kind_from_path(*chosen);
    if (kind != ImageKind::Empty) preferences.set_last_image_kind(static_cast<std::int32_t>(kind));
    const std::size_t slash = chosen->find_last_of("/\\");
    if (slash != std::string::npos) {
        const std::string folder = chosen->substr(0, slash + 1);
        preferences.set_last_image_folder(folder);
        if (first_folder) first_folder->set(folder);
        if (second_folder) second_folder->set(folder);
    }
    return chosen;
}

}  // namespace zorva
