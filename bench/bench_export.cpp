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

#include "export/export_host.h"
#include "export/export_run.h"
#include "model/project.h"
#include "projectfile/project_io.h"

namespace {

// Processor seconds used so far by this process (self) or by its finished children. On a shared, busy
// machine the wall clock also counts the time spent waiting for a processor; the cpu_MB/s counters do not.
double cpu_seconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

constexpr int kLayers = 4;
constexpr int kSide = 1000;
constexpr int kEntitiesPerLayer = 500;
constexpr int kPathsPerLayer = 50;
constexpr int kPointsPerPath = 10;

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

zorva::Project make_big_project() {
    zorva::Project project;
    zorva::TileSetProperties tiles = zorva::make_default_tile_set(project, zorva::ProjectDefaults{});
    tiles.name = "Tiles";
    zorva::add_tile_set(project, tiles, false, nullptr);
    zorva::ParentEntityProperties entity =
        zorva::make_default_parent_entity(project, zorva::ProjectDefaults{});
    entity.name = "Enemy";
    const zorva::ParentEntity* parent = zorva::add_parent_entity(project, entity, false, nullptr);
    zorva::Map* map = zorva::add_map(project, zorva::make_default_map(project), false, nullptr);
    std::uint32_t seed = 12345;
    auto random = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int l = 0; l < kLayers; ++l) {
        zorva::LayerProperties properties =
            zorva::make_default_layer(project, zorva::ProjectDefaults{}, map->unique_id);
        properties.grid_width = kSide;
        properties.grid_height = kSide;
        zorva::Layer* layer = zorva::add_layer(project, properties, false, nullptr);
        for (auto& cell : layer->grid) {
            const std::uint32_t r = random();
            cell.tile = r % 8 == 0 ? 0 : 1 + r % 200;
            if (r % 16 == 1)
                cell.flags = zorva::make_cell_flags(true, false, (r & 64) != 0, static_cast<std::uint8_t>(r));
        }
        for (int e = 0; e < kEntitiesPerLayer; ++e) {
            zorva::InstanceEntity instance = zorva::make_instance_entity(
                *parent, map->unique_id, layer->unique_id, static_cast<float>(random() % 32000) / 1.25f,
                static_cast<float>(random() % 32000) / 3.0f);
            instance.custom_variables[0] = static_cast<std::int16_t>(random());
            zorva::add_instance_entity(project, instance, false, nullptr);
        }
        for (int p = 0; p < kPathsPerLayer; ++p) {
            for (int i = 0; i < kPointsPerPath; ++i) {
                zorva::PathPoint point;
                point.map_id = map->unique_id;
                point.layer_id = layer->unique_id;
                point.px = static_cast<float>(random() % 32000) * 0.5f;
                point.py = static_cast<float>(random() % 32000) * 0.5f;
                point.cx1 = point.px - 10.0f;
                point.cy2 = point.py + 10.0f;
                point.set_ucp(i % 2 == 0);
                point.set_starts_path(i == 0);
                point.set_ends_path(i + 1 == kPointsPerPath);
                point.set_is_closed(i == 0 && p % 2 == 0);
                zorva::add_path_point(project, point, false, nullptr);
            }
        }
    }
    return project;
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
    const std::string command = "'" + (bin_folder() / "zorva-cli").string() + "' export '" + project_file +
                                "' --exporter Scrivo --output '" + output + "' > /dev/null";
    std::uintmax_t bytes = 0;
    const double cpu_start = cpu_seconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("zorva-cli export failed");
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
