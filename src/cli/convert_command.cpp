// zorva-cli convert INPUT OUTPUT: reads a project file by its extension and writes it again, as XML or,
// for a ".zvp" output name, as a binary project file.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "projectfile/project_io.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

const char kConvertUsage[] =
    "Usage: zorva-cli convert INPUT OUTPUT\n"
    "\n"
    "Reads the project file INPUT (.xml or .zvp) and writes it as OUTPUT: a binary project file for a\n"
    "name ending in .zvp, else an XML project file.\n";

int run_convert(Arguments arguments) {
    if (arguments.size() != 2) {
        std::fputs(kConvertUsage, stderr);
        return 2;
    }
    const std::string input = absolute_path(arguments[0]);
    const std::string output = absolute_path(arguments[1]);
    LoadResult loaded = load_project_reporting(input);
    if (!loaded) return 1;
    std::string error;
    if (!write_project(output, *loaded.project, false, &error)) {
        std::fprintf(stderr, "Failed to save the project:\n\n%s\n\n%s\n", output.c_str(), error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace zorva::cli
