#include "undo/operation_table.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

TEST(OperationTable, SixtyOneCodesWithReservedGaps) {
    int rows = 0;
    for (UndoCode code = kFirstUndoCode; code <= kLastUndoCode; ++code)
        if (find_operation(code)) ++rows;
    EXPECT_EQ(rows, 52);
    for (UndoCode reserved : {6, 7, 13, 14, 48, 49, 55, 56, 61}) {
        EXPECT_EQ(find_operation(reserved), nullptr) << reserved;
        EXPECT_EQ(operation_name(reserved), "");
        EXPECT_EQ(inverse_operation(reserved), reserved);
    }
    EXPECT_EQ(find_operation(0), nullptr);
    EXPECT_EQ(find_operation(62), nullptr);
    EXPECT_EQ(find_operation(-1), nullptr);
}

TEST(OperationTable, InversesAndNames) {
    struct Row {
        UndoCode code, inverse;
        const char* name;
    };
    const Row rows[] = {
        {1, 8, "Add map"},
        {2, 9, "Add layer"},
        {3, 10, "Add entity"},
        {4, 11, "Add entity"},
        {5, 12, "Add tile set"},
        {8, 1, "Delete map"},
        {9, 2, "Delete layer"},
        {10, 3, "Delete entity"},
        {11, 4, "Delete entity"},
        {12, 5, "Delete tile set"},
        {15, 15, "Project settings"},
        {16, 16, "Map properties"},
        {17, 17, "Layer properties"},
        {18, 18, "Entity properties"},
        {19, 19, "Entity properties"},
        {20, 20, "Tile set properties"},
        {21, 21, "Place tiles"},
        {22, 22, "Erase tiles"},
        {23, 23, "Tile attributes"},
        {24, 24, "Flip tiles"},
        {25, 25, "Rotate tiles"},
        {26, 26, "Layer visibility"},
        {27, 28, "Lock tile set"},
        {28, 27, "Unlock tile set"},
        {29, 30, "Lock map"},
        {30, 29, "Unlock map"},
        {31, 32, "Lock layer"},
        {32, 31, "Unlock layer"},
        {33, 34, "Lock entity"},
        {34, 33, "Unlock entity"},
        {35, 35, "Place entities"},
        {36, 36, "Erase entities"},
        {37, 37, "Entity properties"},
        {38, 38, "Flip entities"},
        {39, 39, "Rotate entities"},
        {40, 40, "Edit paths"},
        {41, 41, "Erase paths"},
        {42, 42, "Reverse paths"},
        {43, 43, "Erase path points"},
        {44, 44, "Move path points"},
        {45, 45, "Flip paths"},
        {46, 46, "Rotate paths"},
        {47, 47, "Scale paths"},
        {50, 50, "Select map"},
        {51, 51, "Select layer"},
        {52, 52, "Select entity"},
        {53, 53, "Select entity"},
        {54, 54, "Select tile set"},
        {57, 58, "Move map"},
        {58, 57, "Move map"},
        {59, 60, "Move layer"},
        {60, 59, "Move layer"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(inverse_operation(row.code), row.inverse);
        EXPECT_EQ(operation_name(row.code), row.name);
    }
}

TEST(OperationTable, RowsThatNothingRecords) {
    for (UndoCode code : {4, 11, 15, 19, 53}) EXPECT_FALSE(is_recordable(code)) << code;
    for (UndoCode code : {1, 8, 16, 21, 26, 27, 35, 40, 50, 57}) EXPECT_TRUE(is_recordable(code)) << code;
}

}  // namespace
}  // namespace zorva
