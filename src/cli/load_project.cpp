// Reading the project a command works on, with the editor's texts for what went wrong.
#include <cstdio>

#include "cli/commands.h"
#include "cli/project_loading.h"

namespace zorva::cli {

LoadResult load_project_reporting(const std::string& path) {
    std::string messages;
    LoadResult loaded = load_project(path, messages);
    std::fputs(messages.c_str(), stderr);
    return loaded;
}

}  // namespace zorva::cli
