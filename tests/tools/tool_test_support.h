// The tile tools without any window: a project with a 4 × 3-tile tile set of 16-pixel tiles, a map and a
// 12 × 10 layer, the histories, the preferences, a scripted platform, a navigator with a 640 × 480 view at
// 100 %, and the dispatch the viewport would feed. Inputs are made at the centre of a cell, as the viewport
// makes them.
#pragma once

#include <cstdint>
#include <vector>

#include "model/project.h"
#include "prefs/preferences.h"
#include "support/project_builder.h"
#include "support/scripted_platform.h"
#include "tools/tool_dispatch.h"
#include "undo/undo_histories.h"
#include "view/edit_state.h"
#include "view/view_navigation.h"

namespace zorva::test {

inline constexpr int kTile = 16;

struct ToolBench {
    explicit ToolBench(int width = 12, int height = 10, int undo_limit = 50)
        : t(TestProject::with_tiles(kTile, kTile, 4, 3)),
          layer(&t.add_layer(width, height)),
          histories(undo_limit, &platform),
          navigator(&t.project, &prefs),
          tools(EditingContext{&t.project, histories, prefs, platform, edit, [this] { return now; },
                               &navigator}) {
        t.select(*layer);
        navigator.set_view_size({640, 480});
        histories.set_busy_query([this] {
            ViewBusyState busy;
            busy.dragging = tools.dragging();
            busy.floating_selection = tools.floating_active();
            return busy;
        });
        map().selected_tile_index = 1;
    }

    Project& project() { return t.project; }
    Map& map() { return *t.map; }

    static ViewPoint centre(int column, int row) {
        return {column * kTile + kTile / 2, row * kTile + kTile / 2};
    }

    ToolInput input(InputKind kind, ViewPoint at, MouseButton button = MouseButton::None,
                    std::uint8_t modifiers = 0) const {
        ToolInput in;
        in.kind = kind;
        in.view = at;
        in.cell = navigator.cell_under(at);
        in.pixel = navigator.layer_pixel_under(at);
        in.button = button;
        in.modifiers = modifiers;
        return in;
    }
    bool press_at(ViewPoint at, MouseButton button = MouseButton::Left, std::uint8_t modifiers = 0) {
        return tools.handle(input(InputKind::Press, at, button, modifiers));
    }
    bool move_to(ViewPoint at, std::uint8_t modifiers = 0) {
        return tools.handle(input(InputKind::Move, at, MouseButton::None, modifiers));
    }
    bool release_at(ViewPoint at, MouseButton button = MouseButton::Left) {
        return tools.handle(input(InputKind::Release, at, button));
    }
    bool press(int c, int r, MouseButton button = MouseButton::Left, std::uint8_t modifiers = 0) {
        return press_at(centre(c, r), button, modifiers);
    }
    bool move(int c, int r, std::uint8_t modifiers = 0) { return move_to(centre(c, r), modifiers); }
    bool release(int c, int r, MouseButton button = MouseButton::Left) {
        return release_at(centre(c, r), button);
    }
    bool key(Key k, std::uint8_t modifiers = 0) {
        ToolInput in = input(InputKind::KeyDown, centre(0, 0), MouseButton::None, modifiers);
        in.key = k;
        return tools.handle(in);
    }
    // A band with the Select tool from one cell to another.
    void select(int c0, int r0, int c1, int r1) {
        tools.set_tool(Tool::Select);
        press(c0, r0);
        move(c1, r1);
        release(c1, r1);
    }

    GridCell& cell(int c, int r) { return *layer->cell(c, r); }
    void set(int c, int r, std::uint32_t tile, std::uint32_t flags = 0) {
        cell(c, r) = GridCell{tile, flags};
    }
    std::vector<GridCell> grid() const { return layer->grid; }

    TestProject t;
    Layer* layer;
    ScriptedPlatform platform;
    Preferences prefs;
    UndoHistories histories;
    EditState edit;
    std::int64_t now = 1000;
    ViewNavigator navigator;
    ToolDispatch tools;
};

}  // namespace zorva::test
