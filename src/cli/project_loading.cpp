#include "cli/project_loading.h"

#include "base/platform.h"
#include "projectfile/project_io.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

LoadResult load_project(const std::string& path, std::string& messages) {
    const std::string absolute = absolute_path(path);
    HeadlessPlatform platform;
    LoadResult loaded = read_project(absolute, &platform);
    for (const auto& message : platform.messages) messages += message.text + "\n";
    if (loaded) return loaded;

    // The open command's texts for a failed read.
    if (loaded.newer_version)
        messages += "The file was created with a newer version of Zorva.\n\n" + absolute + "\n\n";
    if (!loaded.message.empty()) {
        messages += loaded.message;
        if (!loaded.message.ends_with('\n')) messages += '\n';
    } else {
        messages += "Failed to load the project:\n\n" + absolute + "\n\n";
    }
    return loaded;
}

}  // namespace zorva::cli
