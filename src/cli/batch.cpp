#include "cli/batch.h"

#include <charconv>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "cli/job_runner.h"
#include "cli/project_list.h"

namespace zorva::cli {

bool split_batch_arguments(std::span<char* const> arguments, std::span<const std::string_view> value_options,
                           BatchArguments& batch, std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        // "--name VALUE" or "--name=VALUE": the value, or false when `argument` is not that option.
        std::string value;
        const auto take = [&](std::string_view option) {
            if (argument == option) {
                if (i + 1 >= arguments.size()) {
                    error = "a value is missing after " + std::string(option);
                    return false;
                }
                value = arguments[++i];
                return true;
            }
            if (argument.size() > option.size() + 1 && argument.starts_with(option) &&
                argument[option.size()] == '=') {
                value = std::string(argument.substr(option.size() + 1));
                return true;
            }
            return false;
        };
        if (take("--jobs") || take("-j")) {
            if (!error.empty()) return false;
            unsigned jobs = 0;
            const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), jobs);
            if (failure != std::errc() || end != value.data() + value.size() || jobs > 1024) {
                error = "--jobs takes a number of projects to work on at once (0: one per processor), not '" +
                        value + "'";
                return false;
            }
            batch.jobs = jobs == 0 ? available_processors() : jobs;
            batch.jobs_given = true;
            continue;
        }
        if (take("--glob")) {
            batch.globs.push_back(value);
            continue;
        }
        if (take("--output")) {
            batch.output = value;
            batch.has_output = true;
            continue;
        }
        if (!error.empty()) return false;
        bool kept = false;
        for (const std::string_view option : value_options) {
            if (take(option)) {
                batch.passed_on.push_back(std::string(option));
                batch.passed_on.push_back(value);
                kept = true;
                break;
            }
            if (!error.empty()) return false;
        }
        if (kept) continue;
        if (argument.starts_with("-") && argument.size() > 1) {
            batch.passed_on.emplace_back(argument);
            continue;
        }
        batch.inputs.emplace_back(argument);
    }
    return true;
}

bool wants_batch(const BatchArguments& batch) {
    if (batch.inputs.size() > 1 || batch.jobs_given || !batch.globs.empty()) return true;
    if (batch.has_output && batch.output.find("{name}") != std::string::npos) return true;
    std::error_code ignored;
    return batch.inputs.size() == 1 && std::filesystem::is_directory(batch.inputs[0], ignored);
}

void write_prefixed(std::FILE* stream, std::string_view prefix, std::string_view text) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        out += prefix;
        out += text.substr(start, end - start);
        out += '\n';
        start = end + 1;
    }
    std::fwrite(out.data(), 1, out.size(), stream);
    std::fflush(stream);
}

std::string batch_summary(std::string_view command, std::size_t projects,
                          const std::vector<std::string>& failed, double seconds, unsigned jobs) {
    char timing[64];
    std::snprintf(timing, sizeof timing, " in %.2f s with %u job%s", seconds, jobs, jobs == 1 ? "" : "s");
    std::string line = "zorva-cli " + std::string(command) + ": " + std::to_string(projects) + " project" +
                       (projects == 1 ? "" : "s") + ", " + std::to_string(projects - failed.size()) +
                       " succeeded, " + std::to_string(failed.size()) + " failed" + timing;
    constexpr std::size_t kNamed = 10;
    for (std::size_t i = 0; i < failed.size() && i < kNamed; ++i) line += (i == 0 ? ": " : ", ") + failed[i];
    if (failed.size() > kNamed) line += " and " + std::to_string(failed.size() - kNamed) + " more";
    return line;
}

int run_child_batch(std::string_view command, const BatchArguments& batch) {
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::string> projects;
    std::string error;
    if (!expand_project_inputs(batch.inputs, batch.globs, projects, error)) {
        std::fprintf(stderr, "zorva-cli %.*s: %s\n", static_cast<int>(command.size()), command.data(),
                     error.c_str());
        return 2;
    }
    std::vector<std::string> outputs;
    if (batch.has_output && !outputs_for(batch.output, projects, outputs, error)) {
        std::fprintf(stderr, "zorva-cli %.*s: %s\n", static_cast<int>(command.size()), command.data(),
                     error.c_str());
        return 2;
    }
    std::vector<std::string> failed;
    run_jobs(
        projects.size(), batch.jobs,
        [&](std::size_t i) {
            std::vector<std::string> arguments = {std::string(command), projects[i]};
            arguments.insert(arguments.end(), batch.passed_on.begin(), batch.passed_on.end());
            if (batch.has_output) {
                arguments.emplace_back("--output");
                arguments.push_back(outputs[i]);
            }
            return run_self(arguments);
        },
        [&](std::size_t i, JobOutput& output) {
            const std::string prefix = projects[i] + ": ";
            write_prefixed(stdout, prefix, output.out);
            write_prefixed(stderr, prefix, output.err);
            if (output.status != 0) failed.push_back(projects[i]);
        });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::string summary = batch_summary(command, projects.size(), failed, seconds, batch.jobs);
    std::printf("%s\n", summary.c_str());
    return failed.empty() ? 0 : 1;
}

}  // namespace zorva::cli
