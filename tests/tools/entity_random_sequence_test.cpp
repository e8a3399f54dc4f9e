// Long seeded sequences of entity operations made through the dispatch as the viewport, the menus and the
// Selected Entities window make them (placements with every brush, erase strokes, bands with Shift and
// Ctrl, Select All and None, cuts, deletes, copies and pastes, mouse moves with and without Z, cancelled
// moves, keypad moves, picks, window edits, custom variables, locked layers, layer and mode changes). A copy
// of both layers' entity lists is kept after every recorded step; every round is then undone to its start
// and redone to its end, passing through every copy.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "entity_test_support.h"

namespace zorva {
namespace {

using test::EntityBench;
using Lists = std::pair<std::vector<InstanceEntity>, std::vector<InstanceEntity>>;

bool same(const Lists& a, const Lists& b) {
    return test::same_entities(a.first, b.first) && test::same_entities(a.second, b.second);
}

class RandomEntityEditor {
public:
    explicit RandomEntityEditor(std::uint32_t seed) : random_(seed), e_(40, 30, 200) {
        second_ = &e_.b.t.add_layer(*e_.b.t.map, "Second", 20, 20, 2, -1);
        e_.b.t.select(*first_);
        e_.zone->default_rectangle_trigger_width = 40;
    }

    EntityBench& bench() { return e_; }
    Lists lists() const { return {copy_instance_entities(*first_), copy_instance_entities(*second_)}; }

    // One step: one action, or, while a float is active, its drop or cancel.
    void step() {
        if (e_.b.tools.floating_active()) {
            finish_float();
            return;
        }
        // Copies of copies would fill the layer: a crowded layer is cleared (one record).
        if (e_.project().selected_layer()->instance_entities.size() > 300) {
            e_.b.tools.run(ToolCommand::SelectAll);
            e_.b.tools.run(ToolCommand::Delete);
            return;
        }
        switch (pick(15)) {
            case 0:
            case 1:
            case 2:
                place();
                break;
            case 3:
                erase_stroke();
                break;
            case 4:
                band();
                break;
            case 5:
                e_.b.tools.run(pick(2) ? ToolCommand::SelectAll : ToolCommand::SelectNone);
                break;
            case 6:
                band(true);
                e_.b.tools.run(pick(2) ? ToolCommand::Delete : ToolCommand::Cut);
                break;
            case 7:
                band(true);
                e_.b.tools.run(ToolCommand::Copy);
                e_.b.tools.run(ToolCommand::Paste);
                break;
            case 8:
            case 9:
                mouse_move();
                break;
            case 10:
                keyboard_move();
                break;
            case 11:
                e_.right_click(x(), y());  // a pick: no record
                break;
            case 12:
                window_edit();
                break;
            case 13:
                custom_variables();
                break;
            case 14:
                other_layer_lock_or_mode();
                break;
        }
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    // Mostly on the layer, sometimes just off it.
    int x() { return pick(680) - 20; }
    int y() { return pick(520) - 20; }
    std::uint8_t modifiers() {
        const int which = pick(4);
        return which == 0 ? kModifierShift : which == 1 ? kModifierCtrl : 0;
    }

    void random_preferences() {
        Preferences& prefs = e_.b.prefs;
        prefs.set_flag(FlagA::SnapToGrid, pick(4) == 0);
        prefs.set_flag(FlagC::AllowEntitiesOnTopOfEachOther, pick(3) == 0);
        prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, pick(2) == 0);
        prefs.set_flag(FlagA::SwitchToMoveOverSelection, pick(3) == 0);
    }

    void place() {
        random_preferences();
        Project& project = e_.project();
        const ParentEntity* parents[] = {e_.sprite, e_.circle, e_.zone};
        project.select_parent_entity(parents[pick(3)]->unique_id);
        project.entity_brush = {pick(2) == 1, pick(2) == 1, pick(3) == 1};
        project.default_entity_trigger_radius = static_cast<std::uint32_t>(4 + pick(30));
        e_.b.tools.set_tool(Tool::Placement);
        e_.click(x(), y());
    }

    void erase_stroke() {
        e_.b.tools.set_tool(Tool::Eraser);
        int px = x(), py = y();
        e_.press(px, py);
        for (int n = pick(6); n > 0; --n) {
            px += pick(61) - 30;
            py += pick(61) - 30;
            e_.move(px, py);
        }
        e_.release(px, py);
    }

    // A band with the Select tool; with "Switch to Move tool when selecting" on, its press may select what is
    // under it and move that instead (one record of its own), so the steps that act on the selection
    // afterwards ask for a pure band.
    void band(bool pure = false) {
        random_preferences();
        if (pure) e_.b.prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, false);
        const std::uint8_t keys = modifiers();
        e_.b.tools.set_tool(Tool::Select);
        e_.press(x(), y(), MouseButton::Left, keys);
        const int ex = x(), ey = y();
        e_.move(ex, ey, keys);
        e_.release(ex, ey, MouseButton::Left, keys);
    }

    void mouse_move() {
        band(true);
        if (e_.b.tools.floating_active()) return;  // the band's press already began a move
        e_.b.tools.set_tool(Tool::Move);
        const int fx = x(), fy = y();
        e_.press(fx, fy, MouseButton::Left, pick(3) == 0 ? kModifierZ : 0);
    }

    void keyboard_move() {
        band(true);
        if (e_.b.tools.floating_active()) return;
        const Key keys[] = {Key::Keypad4, Key::Keypad6, Key::Keypad8, Key::Keypad2};
        const std::uint8_t z = pick(3) == 0 ? kModifierZ : 0;
        for (int n = 1 + pick(4); n > 0; --n) e_.key(keys[pick(4)], z);
    }

    void finish_float() {
        switch (pick(6)) {
            case 0:
                e_.key(Key::Escape);
                break;
            case 1:
                e_.key(Key::Keypad0);
                break;
            case 2: {
                // Released where it began (within 3 pixels): a mouse move is cancelled.
                const ViewPoint start = e_.b.tools.floating().start_cursor;
                e_.release(start.x + pick(7) - 3, start.y + pick(7) - 3);
                break;
            }
            default: {
                const int px = x(), py = y();
                e_.move(px, py);
                if (pick(2)) {
                    e_.release(px, py);
                } else {
                    e_.press(px, py, pick(4) == 0 ? MouseButton::Right : MouseButton::Left);
                    e_.release(px, py);
                }
                break;
            }
        }
    }

    void window_edit() {
        band(true);
        if (e_.b.tools.floating_active()) return;
        EntityTool& tools = e_.entities;
        switch (pick(4)) {
            case 0:
                tools.set_panel_field(pick(2) ? PanelField::X : PanelField::Y,
                                      pick(900) - 100 + 0.5 * pick(2));
                break;
            case 1:
                tools.set_panel_field(static_cast<PanelField>(2 + pick(3)), pick(70));
                break;
            default:
                tools.set_panel_flag(static_cast<PanelFlag>(pick(3)), pick(2) == 1);
                break;
        }
    }

    void custom_variables() {
        band(true);
        if (e_.b.tools.floating_active()) return;
        const std::optional<SelectionVariables> variables = e_.entities.selection_variables();
        if (!variables) return;
        std::array<bool, kCustomVariableCount> changed{};
        IntVariables values = variables->values;
        for (int n = 1 + pick(3); n > 0; --n) {
            const auto i = static_cast<std::size_t>(pick(kCustomVariableCount));
            changed[i] = true;
            values[i] = static_cast<std::int16_t>(pick(65536) - 32768);
        }
        e_.entities.apply_selection_variables(changed, values);
    }

    void other_layer_lock_or_mode() {
        switch (pick(3)) {
            case 0:
                e_.b.t.select(pick(2) ? *first_ : *second_);
                e_.b.tools.end_action(EndStrength::Light);  // as the Layers window does
                break;
            case 1: {
                // A locked layer refuses the change with its message and records nothing.
                Layer* current = e_.project().selected_layer();
                current->is_locked = true;
                pick(2) ? place() : erase_stroke();
                current->is_locked = false;
                break;
            }
            default:
                e_.b.tools.set_mode(EditMode::Tiles);
                e_.b.tools.set_mode(EditMode::Entities);
                break;
        }
    }

    std::mt19937 random_;
    EntityBench e_;
    Layer* first_ = e_.b.layer;
    Layer* second_ = nullptr;
};

TEST(EntityRandomSequence, EveryRoundUndoesToItsStartAndRedoesToItsEnd) {
    for (std::uint32_t seed : {11u, 12u, 13u}) {
        RandomEntityEditor editor(seed);
        EntityBench& e = editor.bench();
        std::size_t steps = 0;
        std::size_t records = 0;
        for (int round = 0; round < 8; ++round) {
            while (e.b.tools.floating_active()) editor.step();
            // The histories keep at most 200 records: each round starts them afresh.
            e.b.histories.clear_all();
            std::vector<Lists> copies{editor.lists()};
            while (copies.size() < 120) {
                const std::size_t count = e.b.histories.main().undo_count();
                editor.step();
                ++steps;
                const std::size_t now = e.b.histories.main().undo_count();
                ASSERT_LE(now, count + 1) << "seed " << seed << " step " << steps;
                if (now == count + 1)
                    copies.push_back(editor.lists());
                else
                    ASSERT_TRUE(same(editor.lists(), copies.back()))
                        << "an unrecorded change, seed " << seed << " step " << steps;
            }
            while (e.b.tools.floating_active()) {
                const std::size_t count = e.b.histories.main().undo_count();
                editor.step();
                if (e.b.histories.main().undo_count() == count + 1) copies.push_back(editor.lists());
            }
            const std::size_t made = e.b.histories.main().undo_count();
            ASSERT_EQ(made + 1, copies.size());

            records += made;
            for (std::size_t k = made; k > 0; --k) {
                ASSERT_EQ(e.b.histories.undo(&e.project()), UndoResult::Done);
                ASSERT_TRUE(same(editor.lists(), copies[k - 1]))
                    << "undo, seed " << seed << " round " << round << " k " << k;
            }
            for (std::size_t k = 1; k <= made; ++k) {
                ASSERT_EQ(e.b.histories.redo(&e.project()), UndoResult::Done);
                ASSERT_TRUE(same(editor.lists(), copies[k]))
                    << "redo, seed " << seed << " round " << round << " k " << k;
            }
        }
        EXPECT_GT(steps, 900u);
        EXPECT_GT(records, 900u);
        // The layers did fill up and empty out along the way.
        EXPECT_GT(e.b.histories.main().undo_count(), 0u);
    }
}

}  // namespace
}  // namespace zorva
