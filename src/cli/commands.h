// The commands of zorva-cli. Each lives in its own file and returns the process exit status.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "projectfile/load_result.h"

namespace zorva::cli {

// The arguments after the command name.
using Arguments = std::span<char* const>;

struct Command {
    std::string_view name;
    std::string_view synopsis;  // one line for --help
    int (*run)(Arguments arguments);
    const char* usage;  // the command's own help, for COMMAND --help and for wrong arguments
};

// Every command, in the order --help lists them.
std::span<const Command> commands();

int run_convert(Arguments arguments);         // convert_command.cpp
int run_info(Arguments arguments);            // info_command.cpp
int run_export_command(Arguments arguments);  // export_command.cpp
int run_import(Arguments arguments);          // import_command.cpp
int run_render(Arguments arguments);          // render_command.cpp (built with the Qt parts)

extern const char kConvertUsage[];
extern const char kInfoUsage[];
extern const char kExportUsage[];
extern const char kImportUsage[];
extern const char kRenderUsage[];

// Keeps Qt's own messages (warnings about the session, fonts and the like) off standard error, where only
// the tool's own messages belong. Built with the Qt parts; a no-op without them.
void quiet_qt_messages();

// The images of `project` that are named but failed to load (tile sets, parent entities, then layer
// backgrounds in use), as their file names.
std::vector<std::string> failed_images(const Project& project);

// Reads the project at `path` (absolute). Messages of the readers go to standard error, and so does
// the open command's text for a failed read; the result is then empty.
LoadResult load_project_reporting(const std::string& path);

}  // namespace zorva::cli
