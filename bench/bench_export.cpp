// Export throughput with Scrivo on a generated project of 4 layers of 1000 x 1000 cells (500 instance
// entities and 50 paths of 10 points per layer), in MB/s of text written:
//   BM_ScrivoThroughTheTable  the plug-in loaded and run in-process through the real table (export only)
//   BM_ZorvaCliExport         zorva-cli export on the project saved as .zvp (load + export, as a pipeline
//                             runs it)
// Both report wall-clock throughput. Run from the build tree: build/bin/bench_export (it finds zorva-cli
// and Exporters/ beside itself).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "big_project.h"
#include "export/export_host.h"
#include "export/export_run.h"
#include "model/project.h"
#include "projectfile/project_io.h"
#include "support/cli_runner.h"

using zorva::bench::kLayers;
using zorva::bench::kSide;
using zorva::bench::make_big_project;

namespace {

// Processor seconds used so far by this process (self) or by its finished children. On a shared, busy
// machine the wall clock also counts the time spent waiting for a processor; the cpu_MB/s counters do not.
double cpu_seconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::filesystem::path bin_folder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

// Output goes to $ZORVA_BENCH_DIR, else to memory-backed /dev/shm when there is one (so the figure is the
// exporter's, not the disk's), else to the temporary folder.
std::filesystem::path scratch(const std::string& name) {
    std::filesystem::path folder = std::filesystem::temp_directory_path();
    std::error_code error;
    if (const char* chosen = std::getenv("ZORVA_BENCH_DIR"); chosen && *chosen) {
        folder = chosen;
    } else if (std::filesystem::is_directory("/dev/shm", error)) {
        folder = "/dev/shm";
    }
    return folder / ("zorva-bench-export-" + std::to_string(getpid()) + "-" + name);
}

void BM_ScrivoThroughTheTable(benchmark::State& state) {
    const zorva::Project project = make_big_project();
    const std::string scrivo = (bin_folder() / "Exporters" / "Scrivo.so").string();
    const std::string output = scratch("dump.txt").string();
    zorva::ExportHost host;
    std::uintmax_t bytes = 0;
    const double cpu_start = cpu_seconds(RUSAGE_SELF);
    for (auto _ : state) {
        zorva::ExportRequest request;
        request.exporter_path = scrivo;
        request.output_file_name = output;
        request.quick = true;
        const zorva::ExporterResult result = zorva::run_export(host, project, request);
        if (!result.ok) {
            state.SkipWithError(result.message.c_str());
            break;
        }
        bytes = std::filesystem::file_size(output);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["output_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["cpu_MB/s"] = static_cast<double>(bytes) * static_cast<double>(state.iterations()) / 1e6 /
                                 (cpu_seconds(RUSAGE_SELF) - cpu_start);
    state.counters["cells/s"] = benchmark::Counter(
        static_cast<double>(kLayers) * kSide * kSide * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
    std::filesystem::remove(output);
}
BENCHMARK(BM_ScrivoThroughTheTable)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ZorvaCliExport(benchmark::State& state) {
    const std::string project_file = scratch("project.zvp").string();
    {
        zorva::Project project = make_big_project();
        if (!zorva::write_project(project_file, project)) {
            state.SkipWithError("could not write the project");
            return;
        }
    }
    const std::string output = scratch("cli-dump.txt").string();
    const std::string cli = (bin_folder() / "zorva-cli").string();
    std::vector<std::string> args = {"export", project_file, "--exporter", "Scrivo", "--output", output};
    std::uintmax_t bytes = 0;
    const double cpu_start = cpu_seconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        const zorva::test::CliRun run = zorva::test::run_program(cli, args);
        if (run.exit_code != 0) {
            state.SkipWithError(("zorva-cli export failed: " + run.err).c_str());
            break;
        }
        bytes = std::filesystem::file_size(output);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["output_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["cpu_MB/s"] = static_cast<double>(bytes) * static_cast<double>(state.iterations()) / 1e6 /
                                 (cpu_seconds(RUSAGE_CHILDREN) - cpu_start);
    state.counters["project_MB"] = static_cast<double>(std::filesystem::file_size(project_file)) / 1e6;
    std::filesystem::remove(output);
    std::filesystem::remove(project_file);
}
BENCHMARK(BM_ZorvaCliExport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
