// Long seeded sequences of tile operations made through the dispatch as the viewport and the menus make
// them (strokes, Extra Placement, fills, cuts, deletes, pastes, floats, mouse and keypad moves with and
// without Z, cancelled moves, locked layers, layer changes). A copy of both layers' grids is kept after
// every recorded step; every round is then undone to its start and redone to its end, passing through
// every copy.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "tool_test_support.h"

namespace zorva {
namespace {

using test::ToolBench;
using Grids = std::pair<std::vector<GridCell>, std::vector<GridCell>>;

class RandomTileEditor {
public:
    explicit RandomTileEditor(std::uint32_t seed) : random_(seed), b_(16, 12, 200) {
        second_ = &b_.t.add_layer(*b_.t.map, "Second", 9, 14, 2, -1);
        b_.t.select(*first_);
    }

    ToolBench& bench() { return b_; }
    Grids grids() const { return {first_->grid, second_->grid}; }

    // One step: one action, or, while a float is active, its drop or cancel.
    void step() {
        if (b_.tools.floating_active()) {
            finish_float();
            return;
        }
        switch (pick(12)) {
            case 0:
            case 1:
                stroke();
                break;
            case 2:
                extra_placement();
                break;
            case 3:
                select_band();
                fill();
                break;
            case 4:
                select_band();
                b_.tools.run(pick(2) ? ToolCommand::Delete : ToolCommand::Cut);
                break;
            case 5:
                select_band();
                b_.tools.run(ToolCommand::Copy);
                b_.tools.run(ToolCommand::Paste);
                break;
            case 6:
                select_band();
                b_.tools.run(ToolCommand::Float);
                break;
            case 7:
            case 8:
                mouse_move();
                break;
            case 9:
                keyboard_move();
                break;
            case 10:
                b_.press(column(), row(), MouseButton::Right);  // pick: no record
                break;
            case 11:
                other_layer_or_lock();
                break;
        }
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    // Mostly on the layers, sometimes just off them.
    int column() { return pick(20) - 2; }
    int row() { return pick(18) - 2; }

    void random_brush() {
        Map& map = b_.map();
        map.selected_tile_index = static_cast<std::uint32_t>(pick(13));
        map.place_tile_horizontal_flip = pick(2) == 1;
        map.place_tile_vertical_flip = pick(2) == 1;
        map.place_tile_rotate = pick(4) == 1;
        map.place_tile_attribute = static_cast<std::uint8_t>(pick(3) == 0 ? pick(256) : 0);
    }

    void stroke() {
        random_brush();
        b_.tools.set_tool(pick(3) == 0 ? Tool::Eraser : Tool::Placement);
        int c = column(), r = row();
        b_.press(c, r);
        for (int n = pick(6); n > 0; --n) {
            c += pick(5) - 2;
            r += pick(5) - 2;
            b_.move(c, r);
        }
        b_.release(c, r);
    }

    void extra_placement() {
        random_brush();
        b_.tools.set_tool(Tool::ExtraPlacement);
        b_.press(column(), row());
        const int c = column(), r = row();
        b_.move(c, r);
        b_.release(c, r);
    }

    void select_band() {
        b_.tools.set_tool(Tool::Select);
        b_.press(column(), row());
        const int c = column(), r = row();
        b_.move(c, r);
        b_.release(c, r);
    }

    void fill() {
        random_brush();
        const ToolCommand commands[] = {ToolCommand::FillTiles, ToolCommand::FillTileAttributes,
                                        ToolCommand::ClearTileAttributes};
        b_.tools.run(commands[pick(3)]);
    }

    void mouse_move() {
        select_band();
        b_.tools.set_tool(Tool::Move);
        const ViewPoint from = ToolBench::centre(column(), row());
        b_.press_at(from, MouseButton::Left, pick(3) == 0 ? kModifierZ : 0);
        // Now and then released within the three pixels that cancel it.
        const ViewPoint to = pick(6) == 0 ? ViewPoint{from.x + pick(7) - 3, from.y + pick(7) - 3}
                                          : ToolBench::centre(column(), row());
        b_.move_to(to);
        b_.release_at(to);
    }

    void keyboard_move() {
        select_band();
        const Key keys[] = {Key::Keypad4, Key::Keypad6, Key::Keypad8, Key::Keypad2};
        const std::uint8_t z = pick(3) == 0 ? kModifierZ : 0;
        for (int n = 1 + pick(4); n > 0; --n) b_.key(keys[pick(4)], z);
        b_.key(pick(5) == 0 ? Key::Escape : Key::Keypad0);
    }

    void finish_float() {
        switch (pick(5)) {
            case 0:
                b_.key(Key::Escape);
                break;
            default: {
                const int c = column(), r = row();
                b_.move(c, r);
                b_.press(c, r);
                b_.release(c, r);
                break;
            }
        }
    }

    void other_layer_or_lock() {
        switch (pick(3)) {
            case 0:
                b_.t.select(pick(2) ? *first_ : *second_);
                break;
            case 1: {
                // A locked layer refuses the stroke with its message and records nothing.
                Layer* current = b_.t.project.selected_layer();
                current->is_locked = true;
                stroke();
                current->is_locked = false;
                break;
            }
            default:
                b_.tools.set_mode(EditMode::Entities);
                b_.tools.set_mode(EditMode::Tiles);
                break;
        }
    }

    std::mt19937 random_;
    ToolBench b_;
    Layer* first_ = b_.layer;
    Layer* second_ = nullptr;
};

TEST(TileRandomSequence, EveryRoundUndoesToItsStartAndRedoesToItsEnd) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        RandomTileEditor editor(seed);
        ToolBench& b = editor.bench();
        std::size_t steps = 0;
        std::size_t records = 0;
        for (int round = 0; round < 10; ++round) {
            // Leave no float from the last round, so the round starts on a still layer.
            while (b.tools.floating_active()) editor.step();
            // The histories keep at most 200 records: each round starts them afresh.
            b.histories.clear_all();
            std::vector<Grids> copies{editor.grids()};
            const std::size_t start_count = b.histories.main().undo_count();
            while (copies.size() < 120) {
                const std::size_t count = b.histories.main().undo_count();
                editor.step();
                ++steps;
                const std::size_t now = b.histories.main().undo_count();
                ASSERT_LE(now, count + 1) << "seed " << seed << " step " << steps;
                if (now == count + 1)
                    copies.push_back(editor.grids());
                else
                    ASSERT_EQ(editor.grids(), copies.back())
                        << "an unrecorded change, seed " << seed << " step " << steps;
            }
            while (b.tools.floating_active()) {
                const std::size_t count = b.histories.main().undo_count();
                editor.step();
                if (b.histories.main().undo_count() == count + 1) copies.push_back(editor.grids());
            }
            const std::size_t made = b.histories.main().undo_count() - start_count;
            ASSERT_EQ(made + 1, copies.size());
            records += made;
            for (std::size_t k = made; k > 0; --k) {
                ASSERT_EQ(b.histories.undo(&b.project()), UndoResult::Done);
                ASSERT_EQ(editor.grids(), copies[k - 1])
                    << "undo, seed " << seed << " round " << round << " k " << k;
            }
            for (std::size_t k = 1; k <= made; ++k) {
                ASSERT_EQ(b.histories.redo(&b.project()), UndoResult::Done);
                ASSERT_EQ(editor.grids(), copies[k])
                    << "redo, seed " << seed << " round " << round << " k " << k;
            }
        }
        EXPECT_GT(steps, 1000u);
        EXPECT_GT(records, 1000u);
    }
}

}  // namespace
}  // namespace zorva
