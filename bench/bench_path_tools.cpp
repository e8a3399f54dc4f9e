// The path tools on a busy layer: a rubber band selecting among 2,000 Paths of 20 points each (ms per band,
// from the press to the release with the selection it makes), and a click that selects one of them.
#include <benchmark/benchmark.h>

#include "base/platform.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "tools/path_tool.h"
#include "tools/tool_dispatch.h"
#include "undo/undo_histories.h"
#include "view/edit_state.h"

namespace {

using namespace zorva;

constexpr int kTile = 16;
constexpr int kColumns = 40;  // 40 × 50 Paths, each a wave of 20 points 10 pixels apart
constexpr int kRows = 50;
constexpr int kPoints = 20;

struct Bench {
    Project project;
    HeadlessPlatform platform;
    Preferences prefs;
    UndoHistories histories{50, &platform};
    EditState edit;
    Map* map = nullptr;
    Layer* layer = nullptr;
    ToolDispatch tools{EditingContext{&project, histories, prefs, platform, edit, [] { return 0; }, nullptr}};
    PathTool paths{tools.shared()};

    Bench() {
        TileSetProperties ts;
        ts.single_tile_pixel_width = ts.single_tile_pixel_height = kTile;
        TileSet* tile_set = add_tile_set(project, ts, false, &platform);
        tile_set->image.allocate(kTile * 4, kTile * 4);
        MapProperties mp;
        mp.use_tile_set_id = tile_set->unique_id;
        map = add_map(project, mp, false, &platform);
        project.select_map(map->unique_id);
        LayerProperties lp;
        lp.map_id = map->unique_id;
        lp.grid_width = kColumns * 220 / kTile;
        lp.grid_height = kRows * 40 / kTile;
        layer = add_layer(project, lp, false, &platform);
        project.select_layer(layer->unique_id);
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column)
                for (int i = 0; i < kPoints; ++i) {
                    PathPoint p;
                    p.map_id = map->unique_id;
                    p.layer_id = layer->unique_id;
                    p.px = static_cast<float>(column * 220 + i * 10);
                    p.py = static_cast<float>(row * 40 + (i % 2) * 8);
                    p.cx1 = p.px - 3;
                    p.cy1 = p.py + 4;
                    p.cx2 = p.px + 3;
                    p.cy2 = p.py - 4;
                    p.set_ucp(true);
                    p.set_starts_path(i == 0);
                    p.set_ends_path(i == kPoints - 1);
                    add_path_point(project, p, false, &platform);
                }
        prefs.set_flag(FlagA::ViewPaths, true);
        tools.set_mode_tools(EditMode::Paths, &paths);
        tools.set_mode(EditMode::Paths);
        tools.set_tool(Tool::Select);
    }

    void at(InputKind kind, int x, int y) {
        ToolInput input;
        input.kind = kind;
        input.view = ViewPoint{x, y};
        input.pixel = LayerPixel{static_cast<float>(x), static_cast<float>(y)};
        input.button = kind == InputKind::Move ? MouseButton::None : MouseButton::Left;
        tools.handle(input);
    }
    void band(int x0, int y0, int x1, int y1) {
        at(InputKind::Press, x0, y0);
        at(InputKind::Move, x1, y1);
        at(InputKind::Release, x1, y1);
    }
};

void BM_BandOver2000Paths(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        // Half the Paths: the left 20 columns.
        b.band(-5, -5, 20 * 220 - 30, kRows * 40);
        if (b.paths.selected_paths().size() != kColumns * kRows / 2) state.SkipWithError("wrong selection");
    }
    state.counters["paths"] = kColumns * kRows;
}
BENCHMARK(BM_BandOver2000Paths)->Unit(benchmark::kMillisecond);

void BM_ClickSelectsOneOf2000Paths(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.band(20 * 220 + 95, 25 * 40 + 4, 20 * 220 + 95, 25 * 40 + 4);
        if (b.paths.selected_paths().size() != 1) state.SkipWithError("not one selected");
    }
}
BENCHMARK(BM_ClickSelectsOneOf2000Paths)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
