// zorva-cli convert INPUT OUTPUT: reads a project file by its extension and writes it again, as XML or,
// for a ".zvp" output name, as a binary project file.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "model/platform.h"
#include "projectfile/project_io.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

namespace {

void print_platform_messages(const HeadlessPlatform& platform) {
    for (const auto& message : platform.messages) std::fprintf(stderr, "%s\n", message.text.c_str());
}

}  // namespace

// The open command's texts for a failed read, on standard error.
void report_load_failure(const LoadResult& result, const std::string& path) {
    if (result.newer_version)
        std::fprintf(stderr, "The file was created with a newer version of Zorva.\n\n%s\n\n", path.c_str());
    if (!result.message.empty()) {
        std::fputs(result.message.c_str(), stderr);
        if (!result.message.ends_with('\n')) std::fputc('\n', stderr);
    } else {
        std::fprintf(stderr, "Failed to load the project:\n\n%s\n\n", path.c_str());
    }
}

int run_convert(Arguments arguments) {
    if (arguments.size() != 2) {
        std::fputs("Usage: zorva-cli convert INPUT OUTPUT\n", stderr);
        return 2;
    }
    const std::string input = absolute_path(arguments[0]);
    const std::string output = absolute_path(arguments[1]);
    HeadlessPlatform platform;
    LoadResult loaded = read_project(input, &platform);
    print_platform_messages(platform);
    if (!loaded) {
        report_load_failure(loaded, input);
        return 1;
    }
    std::string error;
    if (!write_project(output, *loaded.project, false, &error)) {
        std::fprintf(stderr, "Failed to save the project:\n\n%s\n\n%s\n", output.c_str(), error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace zorva::cli
