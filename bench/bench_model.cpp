// Model benchmarks: memory of a large layer before any edit, and the speed of the grid operations.
//
// Before the benchmarks run, the program builds a project with one 2000 x 2000 layer and prints the
// process's peak resident size (VmHWM): the grid takes 32 MB and the grid snapshot is not allocated
// until an edit needs it, so the peak stays below 1.2 x 32 MB.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "model/project.h"

namespace zorva {
namespace {

// A field of /proc/self/status in kB, or -1.
long status_kb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
    return -1;
}

Layer* add_big_layer(Project& project, std::int32_t width, std::int32_t height) {
    Map* map = project.maps.empty() ? add_map(project, make_default_map(project), false, nullptr)
                                    : project.maps.front().get();
    LayerProperties layer = make_default_layer(project, ProjectDefaults{}, map->unique_id);
    layer.grid_width = width;
    layer.grid_height = height;
    return add_layer(project, layer, false, nullptr);
}

void report_large_layer_memory() {
    const long before = status_kb("VmHWM");
    long peak = 0;
    {
        Project project;
        Layer* layer = add_big_layer(project, 2000, 2000);
        for (GridCell& cell : layer->grid) cell.tile = 1;  // every page of the grid is touched
        peak = status_kb("VmHWM");
    }
    const double grid_mb = 2000.0 * 2000.0 * sizeof(GridCell) / (1024.0 * 1024.0);
    std::printf(
        "Large layer (2000 x 2000, %.1f MiB of cells): peak RSS %.1f MiB (%.1f MiB before), "
        "ratio %.2f of the cells; limit 1.20\n",
        grid_mb, peak / 1024.0, before / 1024.0, (peak / 1024.0) / grid_mb);
}

void BM_AddLayer(benchmark::State& state) {
    const auto side = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        Project project;
        benchmark::DoNotOptimize(add_big_layer(project, side, side));
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_AddLayer)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_TakeSnapshot(benchmark::State& state) {
    Project project;
    Layer* layer = add_big_layer(project, 2000, 2000);
    for (auto _ : state) benchmark::DoNotOptimize(layer->take_snapshot());
    state.SetItemsProcessed(state.iterations() * 2000 * 2000);
    state.SetBytesProcessed(state.iterations() * 2000 * 2000 * static_cast<long>(sizeof(GridCell)));
}
BENCHMARK(BM_TakeSnapshot)->Unit(benchmark::kMillisecond);

void BM_ResizeLayer(benchmark::State& state) {
    Project project;
    Layer* layer = add_big_layer(project, 2000, 2000);
    bool wide = false;
    for (auto _ : state) {
        LayerProperties edited = layer->properties();
        edited.grid_width = wide ? 2000 : 1999;
        edited.grid_height = wide ? 2000 : 2001;
        wide = !wide;
        benchmark::DoNotOptimize(resize_layer(project, *layer, edited, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * 2000 * 2000);
}
BENCHMARK(BM_ResizeLayer)->Unit(benchmark::kMillisecond);

// Adding instance entities one by one to a layer that already holds many; after an overflow each add
// searches the layer for a free id.
void BM_AddInstanceEntities(benchmark::State& state) {
    const bool overflowed = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        Project project;
        Layer* layer = add_big_layer(project, 10, 10);
        ParentEntity* parent = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
        project.did_instance_entity_id_overflow = overflowed;
        const InstanceEntity tmpl = make_instance_entity(*parent, layer->map_id, layer->unique_id, 0, 0);
        state.ResumeTiming();
        for (int i = 0; i < 5000; ++i)
            benchmark::DoNotOptimize(add_instance_entity(project, tmpl, false, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_AddInstanceEntities)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorva

int main(int argc, char** argv) {
    zorva::report_large_layer_memory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
