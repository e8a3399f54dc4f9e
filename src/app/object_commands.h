// The object commands of the list windows and the New menu: new, properties, delete, move up and down,
// lock, visible and select for tile sets, maps, layers and parent entities, and the entity brush's flags.
//
// Qt-free: questions and messages go through the platform seam and the properties dialogs through
// PropertiesDialogs, so tests run every command with scripted answers. Every change takes one road: the
// lock rule, the question, the dialog on a copy, the model's one change function of the kind, one undo
// record, the modified mark. Each command returns true when it changed the project; the caller then
// refreshes the list windows and redraws.
#pragma once

#include "app/object_lists.h"
#include "model/entity.h"
#include "model/layer.h"
#include "model/map.h"
#include "model/tile_set.h"

namespace zorva {

class ProjectSession;

// The controls of a list window, each forwarded to its command.
enum class ListCommand {
    Properties,  // also a double-click on a line
    MoveUp,
    MoveDown,
    Visible,
    Lock,
    New,
    Delete,
    FlipHorizontal,  // the entities window's check buttons
    FlipVertical,
    Rotate,
};

// The four properties dialogs. Each runs on `edited`, a copy, and returns true when the user confirmed
// with OK; `edited` then holds the result. `is_new` gives the "New ..." title. The editor runs Qt dialogs;
// tests script them.
class PropertiesDialogs {
public:
    virtual ~PropertiesDialogs() = default;
    virtual bool tile_set(TileSetProperties& edited, bool is_new) = 0;
    virtual bool map(MapProperties& edited, bool is_new) = 0;
    virtual bool layer(LayerProperties& edited, bool is_new) = 0;
    virtual bool parent_entity(ParentEntityProperties& edited, bool is_new) = 0;
};

class ObjectCommands {
public:
    ObjectCommands(ProjectSession& session, PropertiesDialogs& dialogs);
    ObjectCommands(const ObjectCommands&) = delete;
    ObjectCommands& operator=(const ObjectCommands&) = delete;

    // --- New -----------------------------------------------------------------------------------------------
    // The dialog runs on a template with the new-object defaults of the preferences; confirming it writes
    // them back (and saves "Settings.cfg"), adds the object, records "Add ..." and selects the new tile
    // set, map or parent entity. A new layer is selected only when its map had no selected layer.
    // New Layer without a selected map says "Layers can only be added to maps.\nPlease select a map
    // first.\n"; on a map without a usable tile set it asks first ("Invalid Tile Set"; its box stops the
    // question until the editor closes).
    bool new_tile_set();
    bool new_map();
    bool new_layer();
    bool new_parent_entity();
    bool add(ListKind kind);

    // --- The selected object of a kind -------------------------------------------------------------------
    // Properties: a locked object (for layers: or a locked map) shows its lock message instead of the
    // dialog; OK records "... properties" and applies the copy through the model's change function.
    bool properties(ListKind kind);
    // Delete asks "Do you want to delete the <kind>\n<name> ?"; Yes removes the object (kept by its
    // "Delete ..." record) and the first of the list becomes selected.
    bool remove(ListKind kind);
    // Maps and layers: one place towards the start (up) or the end of the list; "Move map" / "Move layer".
    bool move(ListKind kind, bool up);
    // "Lock ..." or "Unlock ..." as the object's new state says.
    bool toggle_lock(ListKind kind);
    // The selected layer is shown or hidden; "Layer visibility".
    bool toggle_visible();
    // The user chose the line of `id` (kInvalidId: none) in a list window: the object becomes the selected
    // one of its kind, recorded as "Select ..." when the selection changed.
    bool select(ListKind kind, ObjectId id);
    // The entities window's H, V and R buttons set the entity brush's flags to their check state.
    void set_entity_brush_flag(ListCommand which, bool on);

    // Runs a list window's control (`checked`: the state of a check button).
    bool run(ListKind kind, ListCommand command, bool checked = false);

    // False once the user ticked "Do not ask me this again" in the "Invalid Tile Set" question.
    bool asks_about_invalid_tile_set() const { return ask_invalid_tile_set_; }

private:
    bool tile_set_properties();
    bool map_properties();
    bool layer_properties();
    bool parent_entity_properties();
    void save_preferences();

    ProjectSession& session_;
    PropertiesDialogs& dialogs_;
    bool ask_invalid_tile_set_ = true;
};

}  // namespace zorva
