#include "undo/grid_snapshot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace zorva {
namespace {

struct Grid {
    std::vector<GridCell> cells;
    std::int32_t width = 0;
    std::int32_t height = 0;

    Grid(std::int32_t w, std::int32_t h, std::uint32_t seed = 0)
        : cells(static_cast<std::size_t>(w) * h), width(w), height(h) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            cells[i] = {static_cast<std::uint32_t>(i * 7 + seed), seed};
    }
    GridView view() const { return {cells, width, height}; }
    GridCell& at(std::int32_t x, std::int32_t y) { return cells[static_cast<std::size_t>(y) * width + x]; }
};

// Applies the snapshot to `base` and checks that it becomes `target`; applies again and checks `base`.
void expect_round_trip(GridSnapshot& snapshot, const Grid& base, const Grid& target) {
    Grid grid = base;
    ASSERT_TRUE(snapshot.apply(grid.cells, grid.width, grid.height));
    EXPECT_EQ(grid.width, target.width);
    EXPECT_EQ(grid.height, target.height);
    EXPECT_EQ(grid.cells, target.cells);
    ASSERT_TRUE(snapshot.apply(grid.cells, grid.width, grid.height));
    EXPECT_EQ(grid.width, base.width);
    EXPECT_EQ(grid.height, base.height);
    EXPECT_EQ(grid.cells, base.cells);
}

TEST(GridSnapshot, KeepsOnlyTheCellsThatDiffer) {
    const Grid after(300, 200);
    Grid before = after;
    before.at(5, 7) = {99, 3};
    before.at(299, 199) = {1, 1};
    GridSnapshot snapshot = GridSnapshot::between(before.view(), after.view());
    EXPECT_EQ(snapshot.stored_cells(), 2u);
    EXPECT_EQ(snapshot.run_count(), 2u);
    EXPECT_LT(snapshot.memory_bytes(), 100u);
    expect_round_trip(snapshot, after, before);
}

TEST(GridSnapshot, EqualGridsCostNothingAndApplyAsNoChange) {
    const Grid grid(64, 64);
    GridSnapshot snapshot = GridSnapshot::between(grid.view(), grid.view());
    EXPECT_EQ(snapshot.stored_cells(), 0u);
    EXPECT_EQ(snapshot.memory_bytes(), 0u);
    expect_round_trip(snapshot, grid, grid);
}

TEST(GridSnapshot, NearbyDifferencesShareARunAndDistantOnesDoNot) {
    const Grid after(100, 1);
    Grid before = after;
    before.at(10, 0).tile = 0;
    before.at(13, 0).tile = 0;  // two equal cells between: joined
    before.at(60, 0).tile = 0;  // far away: a run of its own
    GridSnapshot snapshot = GridSnapshot::between(before.view(), after.view());
    EXPECT_EQ(snapshot.run_count(), 2u);
    EXPECT_EQ(snapshot.stored_cells(), 5u);
    expect_round_trip(snapshot, after, before);
}

TEST(GridSnapshot, DifferencesAtBlockBoundariesAndGridEnds) {
    // Differences straddling the compare blocks and touching the first and last cell.
    const Grid after(1031, 3);
    Grid before = after;
    for (std::size_t i : {0u, 511u, 512u, 513u, 1023u, 1024u, 2047u, 3092u}) before.cells[i].flags ^= 0x8u;
    GridSnapshot snapshot = GridSnapshot::between(before.view(), after.view());
    EXPECT_EQ(snapshot.stored_cells() >= 8u, true);
    expect_round_trip(snapshot, after, before);
}

TEST(GridSnapshot, ResizedGridsRestoreBothWays) {
    struct Size {
        std::int32_t w, h;
    };
    const Size sizes[] = {{10, 10}, {15, 10}, {10, 15}, {4, 3}, {1, 1}, {20, 2}, {2, 20}};
    for (const Size& a : sizes)
        for (const Size& b : sizes) {
            SCOPED_TRACE(testing::Message() << a.w << "x" << a.h << " -> " << b.w << "x" << b.h);
            const Grid before(a.w, a.h, 1);
            Grid after(b.w, b.h, 1);
            // The editor keeps the top-left block on a resize; the shared part then matches.
            for (std::int32_t y = 0; y < std::min(a.h, b.h); ++y)
                for (std::int32_t x = 0; x < std::min(a.w, b.w); ++x)
                    after.at(x, y) = before.cells[static_cast<std::size_t>(y) * a.w + x];
            if (b.w > 2 && b.h > 2) after.at(1, 1) = {4242, 0};
            GridSnapshot snapshot = GridSnapshot::between(before.view(), after.view());
            expect_round_trip(snapshot, after, before);
        }
}

TEST(GridSnapshot, AGrownGridStoresOnlyTheChangedCellsOfTheOldOne) {
    const Grid before(100, 100);
    Grid after(200, 200);
    for (std::int32_t y = 0; y < 100; ++y)
        for (std::int32_t x = 0; x < 100; ++x)
            after.at(x, y) = before.cells[static_cast<std::size_t>(y) * 100 + x];
    GridSnapshot snapshot = GridSnapshot::between(before.view(), after.view());
    EXPECT_EQ(snapshot.stored_cells(), 0u);  // the old grid is the top-left of the new one
    expect_round_trip(snapshot, after, before);
}

TEST(GridSnapshot, WholeSnapshotAppliesToAnyBaseAndRebasesToTheDifference) {
    const Grid before(50, 40, 3);
    Grid after = before;
    after.at(49, 39) = {7, 7};
    GridSnapshot snapshot = GridSnapshot::whole(before.view());
    EXPECT_TRUE(snapshot.is_whole());
    EXPECT_EQ(snapshot.stored_cells(), before.cells.size());
    snapshot.rebase(after.view());
    EXPECT_FALSE(snapshot.is_whole());
    EXPECT_EQ(snapshot.stored_cells(), 1u);
    expect_round_trip(snapshot, after, before);

    GridSnapshot whole = GridSnapshot::whole(before.view());
    const Grid other(7, 9);
    Grid grid = other;
    ASSERT_TRUE(whole.apply(grid.cells, grid.width, grid.height));
    EXPECT_EQ(grid.cells, before.cells);
    EXPECT_FALSE(whole.is_whole());  // now describes `other` against `before`
    ASSERT_TRUE(whole.apply(grid.cells, grid.width, grid.height));
    EXPECT_EQ(grid.cells, other.cells);
}

TEST(GridSnapshot, RefusesAGridOfAnotherSizeThanItsBase) {
    const Grid base(10, 10);
    Grid target = base;
    target.at(0, 0).tile = 77;
    GridSnapshot snapshot = GridSnapshot::between(target.view(), base.view());
    Grid wrong(10, 11);
    const std::vector<GridCell> untouched = wrong.cells;
    EXPECT_FALSE(snapshot.apply(wrong.cells, wrong.width, wrong.height));
    EXPECT_EQ(wrong.cells, untouched);
    // A grid whose cell count does not match its size is refused too.
    Grid broken = base;
    broken.cells.pop_back();
    EXPECT_FALSE(snapshot.apply(broken.cells, broken.width, broken.height));
}

TEST(GridSnapshot, RandomEditsRoundTrip) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const std::int32_t w = 1 + static_cast<std::int32_t>(random() % 40);
        const std::int32_t h = 1 + static_cast<std::int32_t>(random() % 40);
        const Grid base(w, h, static_cast<std::uint32_t>(round));
        Grid target = base;
        const int edits = static_cast<int>(random() % 50);
        for (int i = 0; i < edits; ++i)
            target.cells[random() % target.cells.size()] = {static_cast<std::uint32_t>(random() % 5),
                                                            static_cast<std::uint32_t>(random() % 3)};
        GridSnapshot snapshot = GridSnapshot::between(target.view(), base.view());
        EXPECT_LE(snapshot.stored_cells(), static_cast<std::size_t>(edits) * 3);
        expect_round_trip(snapshot, base, target);
    }
}

}  // namespace
}  // namespace zorva
