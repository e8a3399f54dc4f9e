// Reading the project a command works on, with the editor's texts for what went wrong.
#include <cstdio>

#include "base/platform.h"
#include "cli/commands.h"
#include "projectfile/project_io.h"

namespace zorva::cli {

LoadResult load_project_reporting(const std::string& path) {
    HeadlessPlatform platform;
    LoadResult loaded = read_project(path, &platform);
    for (const auto& message : platform.messages) std::fprintf(stderr, "%s\n", message.text.c_str());
    if (loaded) return loaded;

    // The open command's texts for a failed read.
    if (loaded.newer_version)
        std::fprintf(stderr, "The file was created with a newer version of Zorva.\n\n%s\n\n", path.c_str());
    if (!loaded.message.empty()) {
        std::fputs(loaded.message.c_str(), stderr);
        if (!loaded.message.ends_with('\n')) std::fputc('\n', stderr);
    } else {
        std::fprintf(stderr, "Failed to load the project:\n\n%s\n\n", path.c_str());
    }
    return loaded;
}

}  // namespace zorva::cli
