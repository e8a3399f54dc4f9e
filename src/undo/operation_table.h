// The operation table of the undo histories: one row per operation code (1 to 61) with the code of its
// inverse operation and the name shown in the Edit menu.
#pragma once

#include <cstdint>
#include <string_view>

namespace zorva {

using UndoCode = std::int32_t;

inline constexpr UndoCode kNoInverse = -1;
inline constexpr UndoCode kFirstUndoCode = 1;
inline constexpr UndoCode kLastUndoCode = 61;

// The operation codes. Codes 6, 7, 13, 14, 48, 49, 55, 56 and 61 are reserved.
namespace undo_op {
inline constexpr UndoCode kAddMap = 1;
inline constexpr UndoCode kAddLayer = 2;
inline constexpr UndoCode kAddParentEntity = 3;
inline constexpr UndoCode kAddInstanceEntity = 4;  // has a row, nothing records it
inline constexpr UndoCode kAddTileSet = 5;
inline constexpr UndoCode kDeleteMap = 8;
inline constexpr UndoCode kDeleteLayer = 9;
inline constexpr UndoCode kDeleteParentEntity = 10;
inline constexpr UndoCode kDeleteInstanceEntity = 11;  // has a row, nothing records it
inline constexpr UndoCode kDeleteTileSet = 12;
inline constexpr UndoCode kProjectSettings = 15;  // has a row, nothing records it
inline constexpr UndoCode kMapProperties = 16;
inline constexpr UndoCode kLayerProperties = 17;
inline constexpr UndoCode kParentEntityProperties = 18;
inline constexpr UndoCode kInstanceEntityProperties = 19;  // has a row, nothing records it
inline constexpr UndoCode kTileSetProperties = 20;
inline constexpr UndoCode kPlaceTiles = 21;
inline constexpr UndoCode kEraseTiles = 22;
inline constexpr UndoCode kTileAttributes = 23;
inline constexpr UndoCode kFlipTiles = 24;
inline constexpr UndoCode kRotateTiles = 25;
inline constexpr UndoCode kLayerVisibility = 26;
inline constexpr UndoCode kLockTileSet = 27;
inline constexpr UndoCode kUnlockTileSet = 28;
inline constexpr UndoCode kLockMap = 29;
inline constexpr UndoCode kUnlockMap = 30;
inline constexpr UndoCode kLockLayer = 31;
inline constexpr UndoCode kUnlockLayer = 32;
inline constexpr UndoCode kLockParentEntity = 33;
inline constexpr UndoCode kUnlockParentEntity = 34;
inline constexpr UndoCode kPlaceEntities = 35;
inline constexpr UndoCode kEraseEntities = 36;
inline constexpr UndoCode kInstanceEntitiesProperties = 37;
inline constexpr UndoCode kFlipEntities = 38;
inline constexpr UndoCode kRotateEntities = 39;
inline constexpr UndoCode kEditPaths = 40;
inline constexpr UndoCode kErasePaths = 41;
inline constexpr UndoCode kReversePaths = 42;
inline constexpr UndoCode kErasePathPoints = 43;
inline constexpr UndoCode kMovePathPoints = 44;
inline constexpr UndoCode kFlipPaths = 45;
inline constexpr UndoCode kRotatePaths = 46;
inline constexpr UndoCode kScalePaths = 47;
inline constexpr UndoCode kSelectMap = 50;
inline constexpr UndoCode kSelectLayer = 51;
inline constexpr UndoCode kSelectParentEntity = 52;
inline constexpr UndoCode kSelectInstanceEntity = 53;  // has a row, nothing records it
inline constexpr UndoCode kSelectTileSet = 54;
inline constexpr UndoCode kMoveMapUp = 57;    // one place towards the start of the map list
inline constexpr UndoCode kMoveMapDown = 58;  // one place towards the end
inline constexpr UndoCode kMoveLayerUp = 59;
inline constexpr UndoCode kMoveLayerDown = 60;
}  // namespace undo_op

// What a record acts on, and so which selection undo and redo restore.
enum class UndoTargetKind { None, Map, Layer, ParentEntity, TileSet };

// How a record keeps what it needs to put the project back.
enum class SnapshotKind {
    None,              // reserved codes and rows that nothing records
    KeptObject,        // add and delete: the object itself
    Properties,        // map, layer, parent entity and tile set records
    Grid,              // tile edits: the layer's grid
    Visibility,        // layer visibility toggle
    Lock,              // lock and unlock
    InstanceEntities,  // deep copy of a layer's instance entity list
    PathPoints,        // deep copy of a layer's path point list
    Selection,         // the selected id only
    ListMove,          // a map or layer moved one place in its list
};

struct OperationRow {
    UndoCode code = 0;
    UndoCode inverse = kNoInverse;
    std::string_view name;  // empty for reserved codes
    UndoTargetKind target = UndoTargetKind::None;
    SnapshotKind snapshot = SnapshotKind::None;
};

// The row of `code`, or null for a code outside 1 ... 61 or a reserved one.
const OperationRow* find_operation(UndoCode code);
// The inverse code; codes without an inverse (and unknown ones) give themselves.
UndoCode inverse_operation(UndoCode code);
// The menu name of `code`, empty when it has no row.
std::string_view operation_name(UndoCode code);
// True for codes that something may record (a row with a snapshot kind).
bool is_recordable(UndoCode code);

}  // namespace zorva
