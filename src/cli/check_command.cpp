// zorva-cli check PROJECT...: the problems a game build would trip over, one line each, for CI.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "cli/commands.h"
#include "cli/job_runner.h"
#include "cli/project_check.h"
#include "cli/project_list.h"
#include "cli/project_loading.h"
#include "cli/report_json.h"

namespace zorva::cli {

const char kCheckUsage[] =
    "Usage: zorva-cli check PROJECT... [--werror] [--json] [--max-per-layer N] [--jobs N] [--glob PATTERN]\n"
    "\n"
    "Reads each project and lists every problem a game build would trip over, one line each:\n"
    "  PROJECT: error: map 0 \"World\" / layer 1 \"Ground\" / cell (12, 3): tile 300 is beyond ... "
    "[tile-index-out-of-range]\n"
    "The code in brackets stays the same from version to version:\n"
    "  image-not-loaded          an image of a tile set, parent entity or layer background did not load\n"
    "  map-without-tile-set      the map uses no tile set, or one the project does not have\n"
    "  tile-index-out-of-range   a cell's tile is beyond the tile count of the map's tile set\n"
    "  instance-without-parent   an instance entity whose parent entity is gone\n"
    "  instance-outside-layer    an instance entity placed outside its layer\n"
    "  path-without-end          a path without its end mark\n"
    "  path-too-short            a path of fewer than two points\n"
    "  point-outside-path        a path point that belongs to no path\n"
    "  duplicate-name            a map, layer (in its map) or parent entity named like an earlier one,\n"
    "                            letter case ignored (exporters that name files after them clash)\n"
    "  object-locked             (warning) a tile set, parent entity, map or layer left locked\n"
    "Options:\n"
    "  --werror             warnings count as problems for the exit status\n"
    "  --json               one JSON document on standard output (docs/zorva-cli.schema.json)\n"
    "  --max-per-layer N    list at most N problems of one code per layer, count the rest (default 20;\n"
    "                       0 lists all)\n"
    "Exit status: 0 no problems, 1 problems, 2 a project could not be read (or wrong arguments).\n"
    "\n" ZORVA_CLI_BATCH_USAGE;

namespace {

struct ProjectCheck {
    bool readable = false;
    std::string messages;  // the reader's
    CheckReport report;
};

enum class Status { Clean, Warnings, Problems, Unreadable };

Status status_of(const ProjectCheck& check, bool werror) {
    if (!check.readable) return Status::Unreadable;
    if (check.report.errors > 0 || (werror && check.report.warnings > 0)) return Status::Problems;
    return check.report.warnings > 0 ? Status::Warnings : Status::Clean;
}

std::string_view status_name(Status status) {
    switch (status) {
        case Status::Clean:
            return "clean";
        case Status::Warnings:
            return "warnings";
        case Status::Problems:
            return "problems";
        case Status::Unreadable:
            return "unreadable";
    }
    return "problems";
}

}  // namespace

int run_check(Arguments arguments) {
    static constexpr std::string_view kValueOptions[] = {"--max-per-layer"};
    BatchArguments batch;
    std::string error;
    const auto refuse = [](const std::string& why) {
        std::fprintf(stderr, "zorva-cli check: %s\n\n%s", why.c_str(), kCheckUsage);
        return 2;
    };
    if (!split_batch_arguments(arguments, kValueOptions, batch, error)) return refuse(error);
    if (batch.has_output) return refuse("check writes no files: --output is not one of its options");
    bool json = false;
    bool werror = false;
    CheckOptions options;
    for (std::size_t i = 0; i < batch.passed_on.size(); ++i) {
        const std::string& option = batch.passed_on[i];
        if (option == "--json") {
            json = true;
        } else if (option == "--werror") {
            werror = true;
        } else if (option == "--max-per-layer") {
            const std::string& value = batch.passed_on[++i];
            std::size_t limit = 0;
            const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), limit);
            if (failure != std::errc() || end != value.data() + value.size())
                return refuse("--max-per-layer takes a number, not '" + value + "'");
            options.max_per_layer = limit;
        } else {
            return refuse("unknown option '" + option + "'");
        }
    }
    if (batch.inputs.empty()) return refuse("no project given");
    std::vector<std::string> projects;
    if (!expand_project_inputs(batch.inputs, batch.globs, projects, error)) {
        std::fprintf(stderr, "zorva-cli check: %s\n", error.c_str());
        return 2;
    }

    // Projects are read and checked in threads of this process: the readers, the image loaders and the
    // model keep no state outside the objects of one read.
    std::vector<ProjectCheck> checks(projects.size());
    run_jobs(
        projects.size(), batch.jobs,
        [&](std::size_t i) {
            ProjectCheck& check = checks[i];
            const LoadResult loaded = load_project(projects[i], check.messages);
            check.readable = static_cast<bool>(loaded);
            if (loaded) check.report = check_project(*loaded.project, loaded.skipped_instances, options);
            return JobOutput{};
        },
        [&](std::size_t i, JobOutput& output) {
            ProjectCheck& check = checks[i];
            check.messages += output.err;  // a check that threw is unreadable, and says why
            if (json) return;
            const std::string prefix = projects[i] + ": ";
            write_prefixed(stderr, prefix, check.messages);
            if (!check.readable) {
                std::fprintf(stderr, "%sthe project could not be read\n", prefix.c_str());
                return;
            }
            std::string lines;
            for (const Problem& problem : check.report.problems) lines += problem_line(problem) + "\n";
            write_prefixed(stdout, prefix, lines);
        });

    std::size_t counts[4] = {};
    std::size_t errors = 0;
    std::size_t warnings = 0;
    for (const ProjectCheck& check : checks) {
        ++counts[static_cast<int>(status_of(check, werror))];
        errors += check.report.errors;
        warnings += check.report.warnings;
    }
    const int exit_status = counts[static_cast<int>(Status::Unreadable)] > 0 ? 2
                            : counts[static_cast<int>(Status::Problems)] > 0 ? 1
                                                                             : 0;
    if (!json) {
        std::printf(
            "zorva-cli check: %zu project%s, %zu clean, %zu with warnings only, %zu with problems, %zu "
            "unreadable; %zu error%s, %zu warning%s%s\n",
            projects.size(), projects.size() == 1 ? "" : "s", counts[static_cast<int>(Status::Clean)],
            counts[static_cast<int>(Status::Warnings)], counts[static_cast<int>(Status::Problems)],
            counts[static_cast<int>(Status::Unreadable)], errors, errors == 1 ? "" : "s", warnings,
            warnings == 1 ? "" : "s",
            werror && warnings > 0 ? " (warnings count as problems: --werror)" : "");
        return exit_status;
    }

    JsonWriter out;
    begin_document(out, "check", ZORVA_VERSION);
    out.member("werror", werror);
    out.key("projects").begin_array();
    for (std::size_t i = 0; i < projects.size(); ++i) {
        const ProjectCheck& check = checks[i];
        out.begin_object();
        out.member("project", SystemText{projects[i]});
        out.member("status", status_name(status_of(check, werror)));
        write_lines(out, "messages", check.messages);
        out.member("errors", static_cast<std::uint64_t>(check.report.errors));
        out.member("warnings", static_cast<std::uint64_t>(check.report.warnings));
        out.member("omitted", static_cast<std::uint64_t>(check.report.omitted));
        out.key("problems").begin_array();
        for (const Problem& problem : check.report.problems) write_problem(out, problem);
        out.end_array();
        out.end_object();
    }
    out.end_array();
    out.key("summary").begin_object();
    out.member("projects", static_cast<std::uint64_t>(projects.size()));
    out.member("clean", static_cast<std::uint64_t>(counts[static_cast<int>(Status::Clean)]));
    out.member("with_warnings", static_cast<std::uint64_t>(counts[static_cast<int>(Status::Warnings)]));
    out.member("with_problems", static_cast<std::uint64_t>(counts[static_cast<int>(Status::Problems)]));
    out.member("unreadable", static_cast<std::uint64_t>(counts[static_cast<int>(Status::Unreadable)]));
    out.member("errors", static_cast<std::uint64_t>(errors));
    out.member("warnings", static_cast<std::uint64_t>(warnings));
    out.end_object();
    out.member("exit_status", exit_status);
    out.end_object();
    std::fputs(out.text().c_str(), stdout);
    return exit_status;
}

}  // namespace zorva::cli
