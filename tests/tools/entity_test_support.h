// The entity tools without any window: the tile tools' bench (16-pixel tiles, a 640 × 480 view at 100 %, so a
// view point is the same layer pixel) on a 40 × 30 layer, with the entity tools plugged into its dispatch,
// EditMode Entities, and three parent entities: a 32 × 32 sprite, a circle trigger and a rectangle trigger.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "tool_test_support.h"
#include "tools/entity_tool.h"

namespace zorva::test {

struct EntityBench {
    explicit EntityBench(int width = 40, int height = 30, int undo_limit = 50)
        : b(width, height, undo_limit), entities(b.tools.shared()) {
        b.tools.set_mode_tools(EditMode::Entities, &entities);
        // Bands stay bands unless a test asks for the automatic Move tool.
        b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
        b.prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, false);
        sprite = &b.t.add_parent("Sprite");
        circle = &b.t.add_parent("Circle");
        circle->is_trigger = true;
        circle->trigger_is_a_circle = true;
        zone = &b.t.add_parent("Zone");
        zone->is_trigger = true;
        b.project().select_parent_entity(sprite->unique_id);
        EXPECT_TRUE(b.tools.set_mode(EditMode::Entities));
    }

    Project& project() { return b.project(); }
    Layer& layer() { return *b.layer; }
    InstanceEntity& add(const ParentEntity& parent, float x, float y) {
        return b.t.add_instance(b.map(), *b.layer, parent, x, y);
    }
    InstanceEntity* find(ObjectId uid) { return find_instance_entity(*b.layer, uid); }
    std::size_t count() const { return b.layer->instance_entities.size(); }
    std::vector<InstanceEntity> list() const { return copy_instance_entities(*b.layer); }

    bool press(int x, int y, MouseButton button = MouseButton::Left, std::uint8_t modifiers = 0) {
        return b.tools.handle(b.input(InputKind::Press, {x, y}, button, modifiers));
    }
    bool move(int x, int y, std::uint8_t modifiers = 0) {
        return b.tools.handle(b.input(InputKind::Move, {x, y}, MouseButton::None, modifiers));
    }
    bool release(int x, int y, MouseButton button = MouseButton::Left, std::uint8_t modifiers = 0) {
        return b.tools.handle(b.input(InputKind::Release, {x, y}, button, modifiers));
    }
    bool click(int x, int y, MouseButton button = MouseButton::Left, std::uint8_t modifiers = 0) {
        const bool pressed = press(x, y, button, modifiers);
        release(x, y, button, modifiers);
        return pressed;
    }
    bool right_click(int x, int y) { return click(x, y, MouseButton::Right); }
    // A band with the Select tool, the modifiers held throughout.
    void band(int x0, int y0, int x1, int y1, std::uint8_t modifiers = 0) {
        b.tools.set_tool(Tool::Select);
        press(x0, y0, MouseButton::Left, modifiers);
        move(x1, y1, modifiers);
        release(x1, y1, MouseButton::Left, modifiers);
    }
    bool key(Key k, std::uint8_t modifiers = 0) { return b.key(k, modifiers); }
    std::size_t records() const { return b.histories.main().undo_count(); }
    std::string undo_text() const { return b.histories.undo_text(); }

    ToolBench b;
    EntityTool entities;
    ParentEntity* sprite = nullptr;
    ParentEntity* circle = nullptr;
    ParentEntity* zone = nullptr;
};

// Two entity lists hold the same entities, field by field, in the same order.
inline bool same_entities(const std::vector<InstanceEntity>& a, const std::vector<InstanceEntity>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const InstanceEntity& x = a[i];
        const InstanceEntity& y = b[i];
        if (x.uid != y.uid || x.pid != y.pid || x.map_id != y.map_id || x.layer_id != y.layer_id ||
            std::memcmp(&x.px, &y.px, sizeof x.px) != 0 || std::memcmp(&x.py, &y.py, sizeof x.py) != 0 ||
            x.fh != y.fh || x.fv != y.fv || x.ro != y.ro || x.tcr != y.tcr || x.trw != y.trw ||
            x.trh != y.trh || x.custom_variables != y.custom_variables)
            return false;
    }
    return true;
}

}  // namespace zorva::test
