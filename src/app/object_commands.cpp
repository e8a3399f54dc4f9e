#include "app/object_commands.h"

#include <string>

#include "app/project_session.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "tools/lock_rule.h"

namespace zorva {

namespace {

using namespace undo_op;

bool confirm_delete(Platform& platform, const char* noun, const NameText& name, const char* caption) {
    const std::string text = std::string("Do you want to delete the ") + noun + "\n" + name.str() + " ?";
    return platform.message_box(text, caption, MessageButtons::YesNo, MessageIcon::Question, Answer::Yes) ==
           Answer::Yes;
}

}  // namespace

ObjectCommands::ObjectCommands(ProjectSession& session, PropertiesDialogs& dialogs)
    : session_(session), dialogs_(dialogs) {}

void ObjectCommands::save_preferences() {
    session_.preferences().save(Preferences::settings_file(session_.data_folder()));
}

// --- New --------------------------------------------------------------------------------------------------

bool ObjectCommands::new_tile_set() {
    Project& project = session_.project();
    Preferences& preferences = session_.preferences();
    TileSetProperties edited = make_default_tile_set(project, preferences.project_defaults());
    if (!dialogs_.tile_set(edited, true)) return false;
    ProjectDefaults defaults = preferences.project_defaults();
    store_tile_set_defaults(defaults, edited);
    preferences.store_project_defaults(defaults);
    save_preferences();

    TileSet* tile_set = add_tile_set(project, edited, false, &session_.platform());
    if (!tile_set) return false;
    session_.histories().record_add_tile_set(project, *tile_set);
    project.select_tile_set(tile_set->unique_id);
    project.modified = true;
    return true;
}

bool ObjectCommands::new_map() {
    Project& project = session_.project();
    MapProperties edited = make_default_map(project);
    // The tile set chooser starts at the selected tile set (the first one when none is selected).
    if (TileSet* chosen = project.selected_tile_set())
        edited.use_tile_set_id = chosen->unique_id;
    else if (!project.tile_sets.empty())
        edited.use_tile_set_id = project.tile_sets.front()->unique_id;
    if (!dialogs_.map(edited, true)) return false;

    Map* map = add_map(project, edited, false, &session_.platform());
    if (!map) return false;
    session_.histories().record_add_map(project, *map);
    project.select_map(map->unique_id);
    project.modified = true;
    return true;
}

bool ObjectCommands::new_layer() {
    Project& project = session_.project();
    Platform& platform = session_.platform();
    Map* map = project.selected_map();
    if (!map) {
        platform.message_box("Layers can only be added to maps.\nPlease select a map first.\n", "No map",
                             MessageButtons::Ok, MessageIcon::Warning, Answer::Ok);
        return false;
    }
    // The dialogs of a locked map's layers answer with its lock message, the new layer's included.
    if (!map_change_allowed(*map, platform)) return false;
    const TileSet* tiles = find_tile_set(project, map->use_tile_set_id);
    if (ask_invalid_tile_set_ && (!tiles || count_tiles(*tiles).count == 0)) {
        bool dont_ask = false;
        const Answer answer = platform.ask_with_dont_ask_again(
            "The layer will only be drawn if the map uses a valid tile set (which has at least 1 "
            "tile).\n\nDo "
            "you want to add a layer anyway?",
            "Invalid Tile Set", MessageButtons::YesNo, dont_ask);
        if (dont_ask) ask_invalid_tile_set_ = false;
        if (answer != Answer::Yes) return false;
    }

    Preferences& preferences = session_.preferences();
    LayerProperties edited = make_default_layer(project, preferences.project_defaults(), map->unique_id);
    if (!dialogs_.layer(edited, true)) return false;
    ProjectDefaults defaults = preferences.project_defaults();
    store_layer_defaults(defaults, edited);
    preferences.store_project_defaults(defaults);
    save_preferences();

    Layer* layer = add_layer(project, edited, false, &platform);
    if (!layer) return false;
    session_.histories().record_add_layer(project, *layer);
    // The map keeps the layer it had selected; a map without one selects the new layer.
    if (!project.selected_layer()) project.select_layer(layer->unique_id);
    project.modified = true;
    return true;
}

bool ObjectCommands::new_parent_entity() {
    Project& project = session_.project();
    Preferences& preferences = session_.preferences();
    ParentEntityProperties edited = make_default_parent_entity(project, preferences.project_defaults());
    if (!dialogs_.parent_entity(edited, true)) return false;
    ProjectDefaults defaults = preferences.project_defaults();
    store_parent_entity_defaults(defaults, edited);
    preferences.store_project_defaults(defaults);
    save_preferences();

    ParentEntity* entity = add_parent_entity(project, edited, false, &session_.platform());
    if (!entity) return false;
    session_.histories().record_add_parent_entity(project, *entity);
    project.select_parent_entity(entity->unique_id);
    project.modified = true;
    return true;
}

bool ObjectCommands::add(ListKind kind) {
    switch (kind) {
        case ListKind::Maps:
            return new_map();
        case ListKind::Layers:
            return new_layer();
        case ListKind::Entities:
            return new_parent_entity();
        case ListKind::TileSets:
            return new_tile_set();
    }
    return false;
}

// --- Properties -------------------------------------------------------------------------------------------

bool ObjectCommands::tile_set_properties() {
    Project& project = session_.project();
    TileSet* tile_set = project.selected_tile_set();
    if (!tile_set) return false;
    if (!tile_set_change_allowed(*tile_set, session_.platform())) return false;
    TileSetProperties edited = tile_set->properties();
    if (!dialogs_.tile_set(edited, false)) return false;
    session_.histories().record_tile_set_properties(project, *tile_set);
    edit_tile_set(*tile_set, edited, &session_.platform());
    project.modified = true;
    return true;
}

bool ObjectCommands::map_properties() {
    Project& project = session_.project();
    Map* map = project.selected_map();
    if (!map) return false;
    if (!map_change_allowed(*map, session_.platform())) return false;
    MapProperties edited = map->properties();
    if (!dialogs_.map(edited, false)) return false;
    session_.histories().record_map_properties(project, *map);
    edit_map(*map, edited);
    project.modified = true;
    return true;
}

bool ObjectCommands::layer_properties() {
    Project& project = session_.project();
    Platform& platform = session_.platform();
    Layer* layer = project.selected_layer();
    if (!layer) return false;
    const Map* map = find_map(project, layer->map_id);
    if (!map) {
        platform.message_box("The layer is not attached to a map.", "Error", MessageButtons::Ok,
                             MessageIcon::Stop, Answer::Ok);
        return false;
    }
    if (!layer_properties_allowed(*map, *layer, platform)) return false;
    LayerProperties edited = layer->properties();
    if (!dialogs_.layer(edited, false)) return false;

    UndoHistories& histories = session_.histories();
    const bool recorded = histories.record_layer_properties(project, *layer);
    if (!resize_layer(project, *layer, edited, &platform)) {
        // The grid could not be had: the layer is as it was, and so is the history.
        if (recorded) histories.main().take_newest_undo();
        return false;
    }
    histories.settle(project);
    project.modified = true;
    return true;
}

bool ObjectCommands::parent_entity_properties() {
    Project& project = session_.project();
    ParentEntity* entity = project.selected_parent_entity();
    if (!entity) return false;
    if (!parent_entity_change_allowed(*entity, session_.platform())) return false;
    ParentEntityProperties edited = entity->properties();
    if (!dialogs_.parent_entity(edited, false)) return false;
    session_.histories().record_parent_entity_properties(project, *entity);
    edit_parent_entity(*entity, edited, &session_.platform());
    project.modified = true;
    return true;
}

bool ObjectCommands::properties(ListKind kind) {
    switch (kind) {
        case ListKind::Maps:
            return map_properties();
        case ListKind::Layers:
            return layer_properties();
        case ListKind::Entities:
            return parent_entity_properties();
        case ListKind::TileSets:
            return tile_set_properties();
    }
    return false;
}

// --- Delete -----------------------------------------------------------------------------------------------

bool ObjectCommands::remove(ListKind kind) {
    Project& project = session_.project();
    Platform& platform = session_.platform();
    UndoHistories& histories = session_.histories();
    switch (kind) {
        case ListKind::Maps: {
            Map* map = project.selected_map();
            if (!map || !confirm_delete(platform, "map", map->name, " Delete Map")) return false;
            const ObjectId selected = map->unique_id;
            histories.record_delete_map(project, remove_map(project, map, false), selected);
            break;
        }
        case ListKind::Layers: {
            Map* map = project.selected_map();
            Layer* layer = project.selected_layer();
            if (!map || !layer || !confirm_delete(platform, "layer", layer->name, " Delete Layer"))
                return false;
            const ObjectId selected = layer->unique_id;
            histories.record_delete_layer(project, map->unique_id, remove_layer(project, *map, layer, false),
                                          selected);
            break;
        }
        case ListKind::Entities: {
            ParentEntity* entity = project.selected_parent_entity();
            if (!entity || !confirm_delete(platform, "entity", entity->name, " Delete Entity")) return false;
            const ObjectId selected = entity->unique_id;
            histories.record_delete_parent_entity(project, remove_parent_entity(project, entity, false),
                                                  selected);
            break;
        }
        case ListKind::TileSets: {
            TileSet* tile_set = project.selected_tile_set();
            if (!tile_set || !confirm_delete(platform, "tile set", tile_set->name, " Delete Tile Set"))
                return false;
            const ObjectId selected = tile_set->unique_id;
            histories.record_delete_tile_set(project, remove_tile_set(project, tile_set, false), selected);
            break;
        }
    }
    project.modified = true;
    return true;
}

// --- Move, lock, visible, select --------------------------------------------------------------------------

bool ObjectCommands::move(ListKind kind, bool up) {
    Project& project = session_.project();
    Map* map = project.selected_map();
    if (!map) return false;
    if (kind == ListKind::Maps) {
        if (!(up ? move_up(project.maps, map) : move_down(project.maps, map))) return false;
        session_.histories().record_move(up ? kMoveMapUp : kMoveMapDown, project,
                                         {map->unique_id, kInvalidId});
    } else if (kind == ListKind::Layers) {
        Layer* layer = project.selected_layer();
        if (!layer || !(up ? move_up(map->layers, layer) : move_down(map->layers, layer))) return false;
        session_.histories().record_move(up ? kMoveLayerUp : kMoveLayerDown, project,
                                         {layer->unique_id, map->unique_id});
    } else {
        return false;
    }
    project.modified = true;
    return true;
}

bool ObjectCommands::toggle_lock(ListKind kind) {
    Project& project = session_.project();
    UndoHistories& histories = session_.histories();
    switch (kind) {
        case ListKind::Maps: {
            Map* map = project.selected_map();
            if (!map) return false;
            map->is_locked = !map->is_locked;
            histories.record_lock(map->is_locked ? kLockMap : kUnlockMap, project,
                                  {map->unique_id, kInvalidId});
            break;
        }
        case ListKind::Layers: {
            Layer* layer = project.selected_layer();
            if (!layer) return false;
            layer->is_locked = !layer->is_locked;
            histories.record_lock(layer->is_locked ? kLockLayer : kUnlockLayer, project,
                                  {layer->unique_id, layer->map_id});
            break;
        }
        case ListKind::Entities: {
            ParentEntity* entity = project.selected_parent_entity();
            if (!entity) return false;
            entity->is_locked = !entity->is_locked;
            histories.record_lock(entity->is_locked ? kLockParentEntity : kUnlockParentEntity, project,
                                  {entity->unique_id, kInvalidId});
            break;
        }
        case ListKind::TileSets: {
            TileSet* tile_set = project.selected_tile_set();
            if (!tile_set) return false;
            tile_set->is_locked = !tile_set->is_locked;
            histories.record_lock(tile_set->is_locked ? kLockTileSet : kUnlockTileSet, project,
                                  {tile_set->unique_id, kInvalidId});
            break;
        }
    }
    project.modified = true;
    return true;
}

bool ObjectCommands::toggle_visible() {
    Project& project = session_.project();
    Layer* layer = project.selected_layer();
    if (!layer) return false;
    session_.histories().record_layer_visibility(project, *layer);
    layer->is_visible = !layer->is_visible;
    project.modified = true;
    return true;
}

bool ObjectCommands::select(ListKind kind, ObjectId id) {
    Project& project = session_.project();
    if (id == selected_list_id(project, kind)) return false;
    UndoCode code = kSelectMap;
    switch (kind) {
        case ListKind::Maps:
            code = kSelectMap;
            break;
        case ListKind::Layers:
            code = kSelectLayer;
            break;
        case ListKind::Entities:
            code = kSelectParentEntity;
            break;
        case ListKind::TileSets:
            code = kSelectTileSet;
            break;
    }
    session_.histories().record_selection(code, project);
    select_list_id(project, kind, id);
    return true;
}

void ObjectCommands::set_entity_brush_flag(ListCommand which, bool on) {
    Project::EntityBrushFlags& brush = session_.project().entity_brush;
    if (which == ListCommand::FlipHorizontal) brush.flip_horizontal = on;
    if (which == ListCommand::FlipVertical) brush.flip_vertical = on;
    if (which == ListCommand::Rotate) brush.rotate = on;
}

bool ObjectCommands::run(ListKind kind, ListCommand command, bool checked) {
    switch (command) {
        case ListCommand::Properties:
            return properties(kind);
        case ListCommand::MoveUp:
            return move(kind, true);
        case ListCommand::MoveDown:
            return move(kind, false);
        case ListCommand::Visible:
            return kind == ListKind::Layers && toggle_visible();
        case ListCommand::Lock:
            return toggle_lock(kind);
        case ListCommand::New:
            return add(kind);
        case ListCommand::Delete:
            return remove(kind);
        case ListCommand::FlipHorizontal:
        case ListCommand::FlipVertical:
        case ListCommand::Rotate:
            set_entity_brush_flag(command, checked);
            return false;
    }
    return false;
}

}  // namespace zorva
