#include "undo/operation_table.h"

#include <array>

namespace zorva {

namespace {

using K = SnapshotKind;
using T = UndoTargetKind;

constexpr OperationRow kReserved{};

// Indexed by code - 1. Rows that nothing records (4, 11, 15, 19, 53) carry SnapshotKind::None.
constexpr std::array<OperationRow, kLastUndoCode> kOperations{{
    {1, 8, "Add map", T::Map, K::KeptObject},
    {2, 9, "Add layer", T::Layer, K::KeptObject},
    {3, 10, "Add entity", T::ParentEntity, K::KeptObject},
    {4, 11, "Add entity", T::None, K::None},
    {5, 12, "Add tile set", T::TileSet, K::KeptObject},
    kReserved,
    kReserved,
    {8, 1, "Delete map", T::Map, K::KeptObject},
    {9, 2, "Delete layer", T::Layer, K::KeptObject},
    {10, 3, "Delete entity", T::ParentEntity, K::KeptObject},
    {11, 4, "Delete entity", T::None, K::None},
    {12, 5, "Delete tile set", T::TileSet, K::KeptObject},
    kReserved,
    kReserved,
    {15, 15, "Project settings", T::None, K::None},
    {16, 16, "Map properties", T::Map, K::Properties},
    {17, 17, "Layer properties", T::Layer, K::Properties},
    {18, 18, "Entity properties", T::ParentEntity, K::Properties},
    {19, 19, "Entity properties", T::None, K::None},
    {20, 20, "Tile set properties", T::TileSet, K::Properties},
    {21, 21, "Place tiles", T::Layer, K::Grid},
    {22, 22, "Erase tiles", T::Layer, K::Grid},
    {23, 23, "Tile attributes", T::Layer, K::Grid},
    {24, 24, "Flip tiles", T::Layer, K::Grid},
    {25, 25, "Rotate tiles", T::Layer, K::Grid},
    {26, 26, "Layer visibility", T::Layer, K::Visibility},
    {27, 28, "Lock tile set", T::TileSet, K::Lock},
    {28, 27, "Unlock tile set", T::TileSet, K::Lock},
    {29, 30, "Lock map", T::Map, K::Lock},
    {30, 29, "Unlock map", T::Map, K::Lock},
    {31, 32, "Lock layer", T::Layer, K::Lock},
    {32, 31, "Unlock layer", T::Layer, K::Lock},
    {33, 34, "Lock entity", T::ParentEntity, K::Lock},
    {34, 33, "Unlock entity", T::ParentEntity, K::Lock},
    {35, 35, "Place entities", T::Layer, K::InstanceEntities},
    {36, 36, "Erase entities", T::Layer, K::InstanceEntities},
    {37, 37, "Entity properties", T::Layer, K::InstanceEntities},
    {38, 38, "Flip entities", T::Layer, K::InstanceEntities},
    {39, 39, "Rotate entities", T::Layer, K::InstanceEntities},
    {40, 40, "Edit paths", T::Layer, K::PathPoints},
    {41, 41, "Erase paths", T::Layer, K::PathPoints},
    {42, 42, "Reverse paths", T::Layer, K::PathPoints},
    {43, 43, "Erase path points", T::Layer, K::PathPoints},
    {44, 44, "Move path points", T::Layer, K::PathPoints},
    {45, 45, "Flip paths", T::Layer, K::PathPoints},
    {46, 46, "Rotate paths", T::Layer, K::PathPoints},
    {47, 47, "Scale paths", T::Layer, K::PathPoints},
    kReserved,
    kReserved,
    {50, 50, "Select map", T::Map, K::Selection},
    {51, 51, "Select layer", T::Layer, K::Selection},
    {52, 52, "Select entity", T::ParentEntity, K::Selection},
    {53, 53, "Select entity", T::None, K::None},
    {54, 54, "Select tile set", T::TileSet, K::Selection},
    kReserved,
    kReserved,
    {57, 58, "Move map", T::Map, K::ListMove},
    {58, 57, "Move map", T::Map, K::ListMove},
    {59, 60, "Move layer", T::Layer, K::ListMove},
    {60, 59, "Move layer", T::Layer, K::ListMove},
    kReserved,
}};

constexpr bool table_is_consistent() {
    for (std::size_t i = 0; i < kOperations.size(); ++i) {
        const OperationRow& row = kOperations[i];
        if (row.code == 0) continue;
        if (row.code != static_cast<UndoCode>(i + 1)) return false;
        if (row.inverse < kFirstUndoCode || row.inverse > kLastUndoCode) return false;
        if (kOperations[static_cast<std::size_t>(row.inverse - 1)].inverse != row.code) return false;
    }
    return true;
}
static_assert(table_is_consistent(), "every row sits at its code and its inverse points back");

}  // namespace

const OperationRow* find_operation(UndoCode code) {
    if (code < kFirstUndoCode || code > kLastUndoCode) return nullptr;
    const OperationRow& row = kOperations[static_cast<std::size_t>(code - 1)];
    return row.code == 0 ? nullptr : &row;
}

UndoCode inverse_operation(UndoCode code) {
    const OperationRow* row = find_operation(code);
    return row ? row->inverse : code;
}

std::string_view operation_name(UndoCode code) {
    const OperationRow* row = find_operation(code);
    return row ? row->name : std::string_view();
}

bool is_recordable(UndoCode code) {
    const OperationRow* row = find_operation(code);
    return row && row->snapshot != SnapshotKind::None;
}

}  // namespace zorva
