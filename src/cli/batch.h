// Batch runs: a command given several projects, or folders of them, works on each in turn or, with
// --jobs N, on N at once. A failure in one project does not stop the others; each project's messages
// come out whole, in the order of the projects, with the project's name in front of every line, and one
// summary line ends the run.
//
// convert, export and render run each project as a child process of zorva-cli (the same command with
// that one project), so that a plug-in or picture that brings one run down cannot take the others with
// it, and plug-ins, which keep state of their own for the run, never share a process. check works on
// its projects in threads of its own process (see check_command.cpp).
#pragma once

#include <cstddef>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorva::cli {

struct BatchArguments {
    std::vector<std::string> inputs;  // project files and folders
    std::vector<std::string> globs;   // --glob, for the folders
    unsigned jobs = 1;                // --jobs
    bool jobs_given = false;
    bool has_output = false;  // --output PATTERN
    std::string output;
    std::vector<std::string> passed_on;  // every other option, with its value, in order
};

// The help text of the batch options, for the commands' usage texts (a literal, to be joined to them).
#define ZORVA_CLI_BATCH_USAGE                                                                            \
    "Several projects: PROJECT may be given more than once, and a folder stands for the project files\n" \
    "below it (.xml and .zvp; folders starting with \".\" are passed over):\n"                           \
    "  --glob PATTERN     only the files below the folders that match PATTERN (may be given more than\n" \
    "                     once); a pattern without \"/\" is matched against the file name\n"             \
    "  --jobs N, -j N     work on N projects at once (0: one per processor; default 1)\n"                \
    "Each project's messages come out whole, every line starting with the project's name, and a\n"       \
    "summary line ends the run; a project that fails does not stop the others.\n"

// Splits a command's arguments: --jobs N (-j N; 0 is one per processor), --glob PATTERN (repeatable) and
// --output are taken out, the options named in `value_options` are kept with their values (as "--name
// VALUE" or "--name=VALUE"), other options are kept alone, and everything else is an input. False with
// `error` set when an option lacks its value or --jobs is not a number.
bool split_batch_arguments(std::span<char* const> arguments, std::span<const std::string_view> value_options,
                           BatchArguments& batch, std::string& error);

// True when the arguments ask for a batch run: several inputs, a folder, --jobs, --glob, or an output
// pattern with "{name}".
bool wants_batch(const BatchArguments& batch);

// Runs `command` once per project as a child process: the command, the project, the passed-on options,
// and "--output" with the project's output name (when the batch has an --output pattern). Returns the
// exit status of the batch: 0 when every project succeeded, 1 when any failed, 2 when the batch itself
// cannot start (no projects, clashing output names).
int run_child_batch(std::string_view command, const BatchArguments& batch);

// Writes `text` to `stream` with `prefix` in front of every line (a missing last line break is added).
void write_prefixed(std::FILE* stream, std::string_view prefix, std::string_view text);

// "zorva-cli COMMAND: N projects, N succeeded, N failed in S s with J jobs[: FAILED, ...]".
std::string batch_summary(std::string_view command, std::size_t projects,
                          const std::vector<std::string>& failed, double seconds, unsigned jobs);

}  // namespace zorva::cli
