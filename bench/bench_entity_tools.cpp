// The entity tools on a crowded layer: a rubber band over 10,000 entities (ms per band, with the selection
// it makes) and a mouse move of all of them (ms per move from the press to the drop and its undo record),
// and the 1920 × 1080 frame with the 10,000 selected entities floating (ms per frame).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "base/platform.h"
#include "image/builtin_pictures.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "render/renderer.h"
#include "tools/entity_tool.h"
#include "tools/tool_dispatch.h"
#include "undo/undo_histories.h"
#include "view/edit_state.h"

namespace {

using namespace zorva;

constexpr int kTile = 16;
constexpr int kAcross = 100;  // 100 × 100 entities, 20 pixels apart
constexpr int kSpacing = 20;

// One map with one 125 × 125-cell layer holding 10,000 entities of two kinds, and the entity tools.
struct Bench {
    Project project;
    HeadlessPlatform platform;
    Preferences prefs;
    UndoHistories histories{50, &platform};
    EditState edit;
    Map* map = nullptr;
    Layer* layer = nullptr;
    ToolDispatch tools{EditingContext{&project, histories, prefs, platform, edit, [] { return 0; }, nullptr}};
    EntityTool entities{tools.shared()};

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
        lp.grid_width = lp.grid_height = kAcross * kSpacing / kTile;
        layer = add_layer(project, lp, false, &platform);
        project.select_layer(layer->unique_id);

        ParentEntityProperties sprite;
        sprite.single_frame_pixel_width = sprite.single_frame_pixel_height = 16;
        ParentEntityProperties trigger;
        trigger.is_trigger = trigger.trigger_is_a_circle = true;
        const ParentEntity* kinds[] = {add_parent_entity(project, sprite, false, &platform),
                                       add_parent_entity(project, trigger, false, &platform)};
        for (int row = 0; row < kAcross; ++row)
            for (int column = 0; column < kAcross; ++column) {
                InstanceEntity e = make_instance_entity(
                    *kinds[(row + column) % 2], map->unique_id, layer->unique_id,
                    static_cast<float>(column * kSpacing), static_cast<float>(row * kSpacing));
                e.tcr = 8;
                add_instance_entity(project, e, false, &platform);
            }
        prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
        prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, false);
        tools.set_mode_tools(EditMode::Entities, &entities);
        tools.set_mode(EditMode::Entities);
    }

    bool at(InputKind kind, float x, float y, std::uint8_t modifiers = 0) {
        ToolInput input;
        input.kind = kind;
        input.view = ViewPoint{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
        input.pixel = LayerPixel{x, y};
        input.button = kind == InputKind::Move ? MouseButton::None : MouseButton::Left;
        input.modifiers = modifiers;
        return tools.handle(input);
    }
    void band(float x0, float y0, float x1, float y1) {
        at(InputKind::Press, x0, y0);
        at(InputKind::Move, x1, y1);
        at(InputKind::Release, x1, y1);
    }
};

void BM_BandOver10000Entities(benchmark::State& state) {
    Bench b;
    b.tools.set_tool(Tool::Select);
    for (auto _ : state) {
        b.band(-5, -5, kAcross * kSpacing + 5, kAcross * kSpacing + 5);
        if (b.entities.selected_count() != kAcross * kAcross) state.SkipWithError("not all selected");
        state.PauseTiming();
        b.tools.run(ToolCommand::SelectNone);
        state.ResumeTiming();
    }
    state.counters["entities"] = kAcross * kAcross;
}
BENCHMARK(BM_BandOver10000Entities)->Unit(benchmark::kMillisecond);

void BM_MoveOf10000Entities(benchmark::State& state) {
    Bench b;
    b.tools.run(ToolCommand::SelectAll);
    b.tools.set_tool(Tool::Move);
    float offset = 37;
    for (auto _ : state) {
        b.at(InputKind::Press, 100, 100);
        b.at(InputKind::Move, 100 + offset, 120);
        b.at(InputKind::Release, 100 + offset, 120);
        offset = -offset;
    }
    if (b.layer->instance_entities.front()->py <= 0.0f) state.SkipWithError("nothing moved");
    state.counters["undo MB"] = static_cast<double>(b.histories.memory_bytes()) / 1.0e6;
}
BENCHMARK(BM_MoveOf10000Entities)->Unit(benchmark::kMillisecond);

void BM_FrameWith10000FloatingEntities(benchmark::State& state) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "bench_entity_tools";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    Bench b;
    b.tools.run(ToolCommand::SelectAll);
    b.tools.set_tool(Tool::Move);
    b.at(InputKind::Press, 100, 100);
    b.at(InputKind::Move, 140, 130);
    static const BuiltinPictures pictures;
    Renderer renderer(pictures);
    RenderRequest request;
    request.project = &b.project;
    request.preferences = &b.prefs;
    request.view = {1920, 1080};
    request.mode = EditMode::Entities;
    request.overlay = &b.tools.overlay();
    for (auto _ : state) renderer.redraw(request);
    // The lifted entities are hidden on the layer and drawn where a drop would put them.
    const auto& floating = b.tools.overlay().floating_entities;
    if (!floating || !floating->at) state.SkipWithError("nothing floats");
    state.counters["floating"] = floating ? static_cast<double>(floating->entities.size()) : 0.0;
}
BENCHMARK(BM_FrameWith10000FloatingEntities)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
