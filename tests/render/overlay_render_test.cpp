// The editing tools' overlays in the frame: the tile selection's two dotted outlines, floating tiles at
// their cell with their flags and three outlines, and the Extra Placement preview on the current layer,
// under the layers above it.
#include <gtest/gtest.h>

#include "image/builtin_pictures.h"
#include "prefs/preferences.h"
#include "render/draw_primitives.h"
#include "render/renderer.h"
#include "render_test_support.h"
#include "support/project_builder.h"

namespace zorva::test {
namespace {

constexpr std::uint32_t kBackground = pixel_from_colour(rgb(0, 0, 100));
constexpr std::uint32_t kSelection = pixel_from_colour(rgb(255, 255, 255));

std::uint32_t tile_colour(int k) { return argb(255, 30 * static_cast<std::uint32_t>(k), 9, 150); }
// Four tiles across, three down, each one flat colour, except tile 1 whose left half is black.
std::uint32_t flat_tiles(int x, int y) {
    const int k = 1 + x / 16 + (y / 16) * 4;
    if (k == 1 && x % 16 < 8) return argb(255, 0, 0, 0);
    return tile_colour(k);
}

const BuiltinPictures& pictures() {
    static const BuiltinPictures instance;
    return instance;
}

struct OverlayRender : ::testing::Test {
    OverlayRender() {
        prefs.set_flag(FlagA::ViewGrid, false);
        prefs.set_flag(FlagA::ViewOriginMarker, false);
        t.select(layer);
    }
    const QImage& draw() {
        RenderRequest r;
        r.project = &t.project;
        r.preferences = &prefs;
        r.view = {200, 160};
        r.overlay = &overlay;
        renderer.redraw(r);
        return renderer.frame();
    }

    TestProject t = TestProject::with_tiles(16, 16, 4, 3, flat_tiles);
    Layer& layer = t.add_layer(10, 8, 1, 1);  // cell (0, 0) sits at pixel (16, 16)
    Preferences prefs;
    Renderer renderer{pictures()};
    ToolOverlay overlay;
};

TEST_F(OverlayRender, SelectionHasTwoNestedDottedOutlines) {
    overlay.tile_selection = CellRect{1, 1, 2, 1};  // pixels 32..63 across, 32..47 down
    const QImage& frame = draw();
    EXPECT_EQ(at(frame, 32, 32), kSelection);  // even pixels of the dotted lines
    EXPECT_EQ(at(frame, 34, 33), kSelection);  // the inner outline, 1 pixel in
    EXPECT_EQ(at(frame, 62, 40), kSelection);
    EXPECT_EQ(at(frame, 63, 40), kSelection);
    EXPECT_EQ(at(frame, 40, 40), kBackground);
    // Not in the Entities mode.
    RenderRequest r;
    r.project = &t.project;
    r.preferences = &prefs;
    r.view = {200, 160};
    r.overlay = &overlay;
    r.mode = EditMode::Entities;
    renderer.redraw(r);
    EXPECT_EQ(at(renderer.frame(), 32, 32), kBackground);
}

TEST_F(OverlayRender, FloatingTilesFollowTheirCellWithFlagsAndThreeOutlines) {
    FloatingTilesOverlay floating;
    floating.at = CellPosition{2, 3};  // pixels (48, 64)
    floating.width = 2;
    floating.height = 1;
    floating.cells = {GridCell{1, kCellFlipHorizontal}, GridCell{6, 0}};
    overlay.floating_tiles = floating;
    const QImage& frame = draw();
    // Tile 1 mirrored: its black half is now on the right.
    EXPECT_EQ(at(frame, 52, 72), tile_colour(1));
    EXPECT_EQ(at(frame, 60, 72), argb(255, 0, 0, 0));
    EXPECT_EQ(at(frame, 72, 72), tile_colour(6));
    // The outlines at insets 0, 1 and 2.
    EXPECT_EQ(at(frame, 48, 70), kSelection);
    EXPECT_EQ(at(frame, 49, 70), kSelection);
    EXPECT_EQ(at(frame, 50, 70), kSelection);
    EXPECT_EQ(at(frame, 79, 70), kSelection);
    // An unknown cell (cursor outside the layer's basis) draws nothing.
    overlay.floating_tiles->at.reset();
    EXPECT_EQ(at(draw(), 72, 72), kBackground);
}

TEST_F(OverlayRender, ExtraPlacementPreviewShowsTheTilesAndLiesUnderLaterLayers) {
    t.map->selected_tile_index = 6;  // column 1, row 1
    ExtraPlacementOverlay preview;
    preview.rect = CellRect{0, 0, 2, 0};
    preview.pressed = CellPosition{2, 0};
    preview.brush_tile = 6;
    overlay.extra_placement = preview;
    const QImage& frame = draw();
    EXPECT_EQ(at(frame, 24 + 32, 24), tile_colour(6));  // the pressed cell: the brush tile
    EXPECT_EQ(at(frame, 24 + 16, 24), tile_colour(5));  // one left
    EXPECT_EQ(at(frame, 28, 24), tile_colour(8));       // two left wraps to the far column
    // A layer above the current one covers the preview.
    Layer& above = t.add_layer(10, 8, 1, 1);
    above.grid[0] = GridCell{3, 0};
    t.select(layer);
    EXPECT_EQ(at(draw(), 28, 24), tile_colour(3));
    EXPECT_EQ(at(draw(), 24 + 16, 24), tile_colour(5));
}

}  // namespace
}  // namespace zorva::test
