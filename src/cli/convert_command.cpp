// zorva-cli convert INPUT OUTPUT: reads a project file by its extension (or imports a TMX map into a new
// project) and writes it again, as XML or, for a ".zvp" output name, as a binary project file.
#include <cstdio>
#include <string>

#include "base/ascii_text.h"
#include "cli/batch.h"
#include "cli/commands.h"
#include "import/tmx_import.h"
#include "projectfile/project_io.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

const char kConvertUsage[] =
    "Usage: zorva-cli convert INPUT OUTPUT\n"
    "       zorva-cli convert PROJECT... --output PATTERN [--jobs N] [--glob PATTERN]\n"
    "\n"
    "Reads the project file INPUT (.xml or .zvp) and writes it as OUTPUT: a binary project file for a\n"
    "name ending in .zvp, else an XML project file. With several projects, each is written to PATTERN with\n"
    "\"{name}\" standing for its file name without the extension (out/{name}.zvp).\n"
    "\n"
    "An INPUT ending in .tmx is a TMX map: it is imported into a new project, and what the import\n"
    "cannot carry over is listed on standard error.\n"
    "\n" ZORVA_CLI_BATCH_USAGE;

namespace {

int convert_one(const std::string& input_name, const std::string& output_name) {
    const std::string input = absolute_path(input_name);
    const std::string output = absolute_path(output_name);
    std::unique_ptr<Project> project;
    if (ends_with_ignoring_case(input, ".tmx")) {
        TmxImportResult imported = import_tmx_map(input, nullptr);
        for (const auto& note : imported.notes) std::fprintf(stderr, "%s\n", note.c_str());
        if (!imported.ok) {
            std::fprintf(stderr, "%s\n", imported.message.c_str());
            return 1;
        }
        project = std::move(imported.project);
    } else {
        LoadResult loaded = load_project_reporting(input);
        if (!loaded) return 1;
        project = std::move(loaded.project);
    }
    std::string error;
    if (!write_project(output, *project, false, &error)) {
        std::fprintf(stderr, "Failed to save the project:\n\n%s\n\n%s\n", output.c_str(), error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int run_convert(Arguments arguments) {
    BatchArguments batch;
    std::string error;
    if (!split_batch_arguments(arguments, {}, batch, error) || !batch.passed_on.empty()) {
        if (!error.empty()) std::fprintf(stderr, "zorva-cli convert: %s\n\n", error.c_str());
        std::fputs(kConvertUsage, stderr);
        return 2;
    }
    if (!batch.has_output) {
        // The classic form: exactly INPUT OUTPUT.
        if (batch.inputs.size() != 2 || batch.jobs_given || !batch.globs.empty()) {
            std::fputs(kConvertUsage, stderr);
            return 2;
        }
        return convert_one(batch.inputs[0], batch.inputs[1]);
    }
    if (batch.inputs.empty()) {
        std::fputs(kConvertUsage, stderr);
        return 2;
    }
    if (wants_batch(batch)) return run_child_batch("convert", batch);
    return convert_one(batch.inputs[0], batch.output);
}

}  // namespace zorva::cli
