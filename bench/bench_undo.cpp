// Undo of tile strokes on a large layer: 200 one-cell strokes on a 2000 x 2000 layer (32 MB of cells).
// Reports the undo memory per record and the time to record and to undo one stroke.
//   build/bin/bench_undo --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "model/project.h"
#include "undo/undo_histories.h"

namespace zorva {
namespace {

constexpr std::int32_t kSide = 2000;
constexpr int kStrokes = 200;

struct BigLayer {
    Project project;
    Layer* layer = nullptr;
    std::uint32_t next = 0;

    BigLayer() {
        Map* map = add_map(project, make_default_map(project), false, nullptr);
        LayerProperties tmpl = make_default_layer(project, ProjectDefaults{}, map->unique_id);
        tmpl.grid_width = kSide;
        tmpl.grid_height = kSide;
        layer = add_layer(project, tmpl, false, nullptr);
        for (std::size_t i = 0; i < layer->grid.size(); ++i)
            layer->grid[i] = {static_cast<std::uint32_t>(i % 97), static_cast<std::uint32_t>(i % 5)};
    }

    // The placement tool's stroke: snapshot on press, one cell painted, one record on release.
    bool stroke(UndoHistories& histories) {
        layer->take_snapshot();
        const std::uint32_t n = next++ * 7919u;
        GridCell* cell =
            layer->cell(static_cast<std::int32_t>(n % kSide), static_cast<std::int32_t>((n / kSide) % kSide));
        cell->tile += 1000;
        return histories.record_tile_edit(undo_op::kPlaceTiles, project, *layer, *layer->snapshot());
    }
};

BigLayer& big_layer() {
    static BigLayer setup;
    return setup;
}

void report_memory(benchmark::State& state, const UndoHistories& histories) {
    const double records = static_cast<double>(histories.main().undo_count() + histories.main().redo_count());
    if (records > 0)
        state.counters["undo_bytes_per_record"] = static_cast<double>(histories.memory_bytes()) / records;
    state.counters["records"] = records;
}

// Snapshot, paint and record: what one stroke costs with undo.
void BM_RecordOneCellStroke(benchmark::State& state) {
    BigLayer& setup = big_layer();
    UndoHistories histories(kStrokes);
    for (auto _ : state) benchmark::DoNotOptimize(setup.stroke(histories));
    report_memory(state, histories);
}
BENCHMARK(BM_RecordOneCellStroke)->Unit(benchmark::kMillisecond);

// Only the record: the grid snapshot is already taken by the tool when the button goes down.
void BM_RecordOnly(benchmark::State& state) {
    BigLayer& setup = big_layer();
    UndoHistories histories(kStrokes);
    for (auto _ : state) {
        state.PauseTiming();
        setup.layer->take_snapshot();
        setup.layer->cell(5, 5)->tile ^= 1u;
        state.ResumeTiming();
        benchmark::DoNotOptimize(histories.record_tile_edit(undo_op::kPlaceTiles, setup.project, *setup.layer,
                                                            *setup.layer->snapshot()));
    }
    report_memory(state, histories);
}
BENCHMARK(BM_RecordOnly)->Unit(benchmark::kMillisecond);

// Undo of one stroke out of a full history of 200; when all are undone they are redone untimed.
void BM_UndoOneStroke(benchmark::State& state) {
    BigLayer& setup = big_layer();
    UndoHistories histories(kStrokes);
    for (int i = 0; i < kStrokes; ++i) setup.stroke(histories);
    report_memory(state, histories);
    for (auto _ : state) {
        if (histories.main().undo_count() == 0) {
            state.PauseTiming();
            while (histories.redo(&setup.project) == UndoResult::Done) {
            }
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(histories.undo(&setup.project));
    }
}
BENCHMARK(BM_UndoOneStroke)->Unit(benchmark::kMicrosecond);

void BM_RedoOneStroke(benchmark::State& state) {
    BigLayer& setup = big_layer();
    UndoHistories histories(kStrokes);
    for (int i = 0; i < kStrokes; ++i) setup.stroke(histories);
    for (auto _ : state) {
        if (histories.main().redo_count() == 0) {
            state.PauseTiming();
            while (histories.undo(&setup.project) == UndoResult::Done) {
            }
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(histories.redo(&setup.project));
    }
}
BENCHMARK(BM_RedoOneStroke)->Unit(benchmark::kMicrosecond);

// The memory of a full history of 200 one-cell strokes, measured once.
void BM_HistoryOf200Strokes(benchmark::State& state) {
    BigLayer& setup = big_layer();
    std::size_t bytes = 0;
    for (auto _ : state) {
        UndoHistories histories(kStrokes);
        for (int i = 0; i < kStrokes; ++i) setup.stroke(histories);
        bytes = histories.memory_bytes();
    }
    state.counters["history_bytes"] = static_cast<double>(bytes);
    state.counters["undo_bytes_per_record"] = static_cast<double>(bytes) / kStrokes;
    state.counters["whole_grid_bytes_per_record"] = static_cast<double>(kSide) * kSide * sizeof(GridCell);
}
BENCHMARK(BM_HistoryOf200Strokes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace zorva

BENCHMARK_MAIN();
