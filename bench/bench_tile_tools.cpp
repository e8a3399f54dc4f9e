// The tile tools on big layers: Fill Tiles over a 2000 × 2000 selection and its undo (ms each), a
// 1,000-event Placement stroke across a 2000 × 2000 layer (model work per event, undo memory per stroke),
// and the 1920 × 1080 frame with a floating 100 × 100 block (ms per frame, against the same frame without
// it).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <random>

#include "base/platform.h"
#include "image/builtin_pictures.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "render/renderer.h"
#include "tools/tool_dispatch.h"
#include "undo/undo_histories.h"
#include "view/edit_state.h"

namespace {

using namespace zorva;

constexpr int kTile = 32;
constexpr int kTilesAcross = 8;  // a 256 × 256 tile set of 64 tiles

// One map with one layer of `width` × `height` cells over a tile set with a picture, and the tools.
struct Bench {
    Project project;
    HeadlessPlatform platform;
    Preferences prefs;
    UndoHistories histories{50, &platform};
    EditState edit;
    Map* map = nullptr;
    Layer* layer = nullptr;
    ToolDispatch tools{EditingContext{&project, histories, prefs, platform, edit, [] { return 0; }, nullptr}};

    Bench(int width, int height) {
        TileSetProperties ts;
        ts.single_tile_pixel_width = ts.single_tile_pixel_height = kTile;
        TileSet* tile_set = add_tile_set(project, ts, false, &platform);
        Image image;
        image.allocate(kTile * kTilesAcross, kTile * kTilesAcross);
        image.kind = ImageKind::Png;
        image.stored_depth = 24;
        image.stored_width = image.width;
        image.stored_height = image.height;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                reinterpret_cast<std::uint32_t*>(image.row(y))[x] =
                    0xFF000000u | static_cast<std::uint32_t>((x * 7) << 16 | (y * 5) << 8 | ((x + y) & 0xFF));
        copy_image(tile_set->image, image);
        MapProperties mp;
        mp.use_tile_set_id = tile_set->unique_id;
        map = add_map(project, mp, false, &platform);
        project.select_map(map->unique_id);
        LayerProperties lp;
        lp.map_id = map->unique_id;
        lp.grid_width = width;
        lp.grid_height = height;
        layer = add_layer(project, lp, false, &platform);
        project.select_layer(layer->unique_id);
        map->selected_tile_index = 1;
    }

    bool at(InputKind kind, CellPosition cell) {
        ToolInput input;
        input.kind = kind;
        input.cell = cell;
        input.button = kind == InputKind::Move ? MouseButton::None : MouseButton::Left;
        return tools.handle(input);
    }
};

void BM_FillTiles2000(benchmark::State& state) {
    Bench b(2000, 2000);
    b.tools.run(ToolCommand::SelectAll);
    std::uint32_t tile = 1;
    for (auto _ : state) {
        b.map->selected_tile_index = tile = tile % 64 + 1;
        if (!b.tools.run(ToolCommand::FillTiles)) state.SkipWithError("no fill");
        state.PauseTiming();
        b.histories.clear_all();
        state.ResumeTiming();
    }
    state.counters["cells/s"] =
        benchmark::Counter(4e6 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FillTiles2000)->Unit(benchmark::kMillisecond);

void BM_FillTiles2000Undo(benchmark::State& state) {
    Bench b(2000, 2000);
    b.tools.run(ToolCommand::SelectAll);
    std::uint32_t tile = 1;
    for (auto _ : state) {
        state.PauseTiming();
        b.histories.clear_all();
        b.map->selected_tile_index = tile = tile % 64 + 1;
        b.tools.run(ToolCommand::FillTiles);
        state.ResumeTiming();
        if (b.histories.undo(&b.project) != UndoResult::Done) state.SkipWithError("no undo");
    }
}
BENCHMARK(BM_FillTiles2000Undo)->Unit(benchmark::kMillisecond);

void BM_PlacementStroke1000Events(benchmark::State& state) {
    Bench b(2000, 2000);
    std::mt19937 random(5);
    std::size_t undo_bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.histories.clear_all();
        const std::size_t before = b.histories.memory_bytes();
        b.map->selected_tile_index = 1 + random() % 64;
        state.ResumeTiming();
        // Down, 998 moves across the layer, up: 1,000 events.
        b.at(InputKind::Press, {0, 0});
        for (int i = 1; i < 999; ++i) b.at(InputKind::Move, {2 * i, (i * 7919) % 2000});
        b.at(InputKind::Release, {1998, 1998});
        state.PauseTiming();
        undo_bytes = b.histories.memory_bytes() - before;
        state.ResumeTiming();
    }
    // The time of one iteration in milliseconds is the time of one event in microseconds.
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1000);
    state.counters["undo_KB"] = static_cast<double>(undo_bytes) / 1024.0;
}
BENCHMARK(BM_PlacementStroke1000Events)->Unit(benchmark::kMillisecond);

QGuiApplication& gui() {
    static int argc = 1;
    static char name[] = "bench_tile_tools";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(argc, argv);
    return app;
}

void frames(benchmark::State& state, bool floating) {
    gui();
    Bench b(256, 256);
    std::mt19937 random(3);
    for (GridCell& cell : b.layer->grid) cell.tile = 1 + random() % 64;
    ToolOverlay overlay;
    if (floating) {
        FloatingTilesOverlay block;
        block.serial = 1;
        block.at = CellPosition{10, 5};
        block.width = block.height = 100;
        block.cells.resize(100 * 100);
        for (GridCell& cell : block.cells)
            cell = GridCell{1 + static_cast<std::uint32_t>(random() % 64),
                            make_cell_flags(random() % 2 == 0, random() % 4 == 0, random() % 4 == 0, 0)};
        overlay.floating_tiles = std::move(block);
        overlay.tile_selection = CellRect{10, 5, 109, 104};
    }
    BuiltinPictures pictures;
    Renderer renderer(pictures);
    RenderRequest request;
    request.project = &b.project;
    request.preferences = &b.prefs;
    request.view = {1920, 1080};
    request.cursor = ViewPoint{960, 540};
    request.overlay = &overlay;
    for (auto _ : state) {
        renderer.redraw(request);
        benchmark::DoNotOptimize(renderer.frame().constBits());
    }
}

void BM_FrameWithFloating100x100(benchmark::State& state) { frames(state, true); }
BENCHMARK(BM_FrameWithFloating100x100)->Unit(benchmark::kMillisecond);

void BM_FrameWithoutFloating(benchmark::State& state) { frames(state, false); }
BENCHMARK(BM_FrameWithoutFloating)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
