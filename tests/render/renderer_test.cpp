#include "render/renderer.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "image/builtin_pictures.h"
#include "prefs/preferences.h"
#include "render/draw_primitives.h"
#include "render_test_support.h"
#include "support/project_builder.h"

namespace zorva::test {
namespace {

// Text needs a QGuiApplication; the offscreen platform serves without a display.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "render_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};
const auto* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

constexpr std::uint32_t kBackground = pixel_from_colour(rgb(0, 0, 100));

const BuiltinPictures& pictures() {
    static const BuiltinPictures instance;
    return instance;
}

struct RenderTest : ::testing::Test {
    Preferences prefs;
    Renderer renderer{pictures()};

    RenderTest() {
        prefs.set_flag(FlagA::ViewGrid, false);
        prefs.set_flag(FlagA::ViewOriginMarker, false);
    }

    RenderRequest request(TestProject& t, int w, int h) {
        RenderRequest r;
        r.project = &t.project;
        r.preferences = &prefs;
        r.view = {w, h};
        return r;
    }
    // Pixel checks of layer content deselect the layer first: the current layer gets an outline.
    static void no_current_layer(TestProject& t) { t.project.select_layer(kInvalidId); }
    const QImage& draw(TestProject& t, int w, int h) {
        renderer.redraw(request(t, w, h));
        return renderer.frame();
    }
};

// Tile set colours: tile k (1-based) of a 16-pixel tile set whose image is one flat colour per tile.
std::uint32_t tile_colour(int k) { return argb(255, 40 * static_cast<std::uint32_t>(k), 7, 200); }
std::uint32_t flat_tiles(int x, int y) { return tile_colour(1 + x / 16 + (y / 16) * 4); }

TEST_F(RenderTest, CellsMeetWithoutGapsAtEveryZoom) {
    TestProject t = TestProject::with_tiles(16, 16, 4, 2, flat_tiles);
    Layer& layer = t.select(t.add_layer(20, 20));
    for (GridCell& cell : layer.grid) cell.tile = 1;
    t.map->camera_grid_position_x = -3;
    t.map->camera_grid_position_y = -2;
    no_current_layer(t);
    for (std::uint32_t zoom = 1; zoom <= 800; ++zoom) {
        t.project.zoom = zoom;
        const QImage& frame = draw(t, 120, 90);
        const double z = zoom_factor(zoom);
        // The layer covers [trunc(3 × 16 × z), trunc(23 × 16 × z)) and likewise down.
        const int left = static_cast<int>(48 * z), right = std::min(120, static_cast<int>(23 * 16 * z));
        const int top = static_cast<int>(32 * z), bottom = std::min(90, static_cast<int>(22 * 16 * z));
        int gaps = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) gaps += at(frame, x, y) != tile_colour(1);
        ASSERT_EQ(gaps, 0) << "zoom " << zoom;
        if (left > 0 && left <= 120 && top < 90) {
            ASSERT_EQ(at(frame, left - 1, std::max(top, 0)), kBackground) << zoom;
        }
    }
}

TEST_F(RenderTest, WrappedLayerFillsTheWidthIncludingLeftOfItsOrigin) {
    TestProject t = TestProject::with_tiles(16, 16, 4, 2, flat_tiles);
    Layer& layer = t.select(t.add_layer(3, 1));
    layer.wrap_x = true;
    layer.grid[0].tile = 1;
    layer.grid[1].tile = 2;
    layer.grid[2].tile = 3;
    t.map->camera_grid_position_x = -5;  // column -5 at the left edge
    no_current_layer(t);
    const QImage& frame = draw(t, 160, 32);
    for (int column = -5; column < 5; ++column) {
        const int expected = 1 + static_cast<int>(((column % 3) + 3) % 3);
        EXPECT_EQ(at(frame, (column + 5) * 16 + 8, 8), tile_colour(expected)) << column;
    }
    EXPECT_EQ(at(frame, 8, 16 + 8), kBackground);  // no vertical wrap
    layer.wrap_y = true;
    const QImage& both = draw(t, 160, 64);
    EXPECT_EQ(at(both, 8, 16 * 3 + 8), tile_colour(2));  // column -5 is index 1
}

TEST_F(RenderTest, RendererPassesCellFlipsAndRotationAndTheExchangedSourceOfNonSquareTiles) {
    // Tiles 4 wide and 2 tall; a rotated cell reads a source 2 wide and 4 tall at the tile's position.
    TestProject t = TestProject::with_tiles(4, 2, 2, 4, coded);
    Layer& layer = t.select(t.add_layer(2, 1));
    layer.grid[0] = {1, make_cell_flags(false, false, true, 0)};
    layer.grid[1] = {1, make_cell_flags(true, false, false, 0)};
    no_current_layer(t);
    const QImage& frame = draw(t, 8, 2);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(at(frame, i, j), coded(j, 3 - i)) << i << "," << j;      // rotated clockwise
            EXPECT_EQ(at(frame, 4 + i, j), coded(3 - i, j)) << i << "," << j;  // mirrored left-right
        }
}

TEST_F(RenderTest, LayerOpacityAndColourKeyBlendOverWhatIsBelow) {
    // Tile 1 opaque, tile 2 keyed out on its left half.
    TestProject t = TestProject::with_tiles(16, 16, 4, 2, [](int x, int y) {
        if (x >= 16 && x < 24) return argb(0, 0, 0, 0);
        return flat_tiles(x, y);
    });
    t.tile_set->image.colour_key_on = true;
    Layer& bottom = t.select(t.add_layer(1, 1));
    bottom.grid[0].tile = 1;
    Layer& top = t.select(t.add_layer(1, 1));
    top.grid[0].tile = 2;
    top.opacity = 128;
    no_current_layer(t);
    const QImage& frame = draw(t, 16, 16);
    EXPECT_EQ(at(frame, 2, 2), tile_colour(1));  // keyed out: the layer below shows
    EXPECT_EQ(at(frame, 12, 2), blend_pixel(tile_colour(1), tile_colour(2), 128));
    // With transparent images disabled the layer opacity is ignored and copies are opaque.
    prefs.set_flag(FlagA::DisableTransparentImages, true);
    const QImage& opaque = draw(t, 16, 16);
    EXPECT_EQ(at(opaque, 12, 2), tile_colour(2));
    EXPECT_EQ(at(opaque, 2, 2), argb(255, 0, 0, 0));  // the keyed pixel copied as opaque black
}

TEST_F(RenderTest, LayersDrawnTogetherBandByBandGiveTheSameFrame) {
    TestProject t = TestProject::with_tiles(16, 16, 4, 2, [](int x, int y) {
        return (x + y) % 5 == 0 ? argb(0, 0, 0, 0) : argb(200, 150 - x, 100 + y, 20);
    });
    std::uint32_t seed = 1;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int i = 0; i < 4; ++i) {
        Layer& layer = t.add_layer(9 + i, 7 + 2 * i, i - 2, 1 - i);
        layer.wrap_x = i == 1;
        layer.wrap_y = i == 2;
        layer.opacity = static_cast<std::uint8_t>(255 - 40 * i);
        layer.use_background_colour = i == 3;
        layer.background_colour = rgb(5, 90, 7);
        for (GridCell& cell : layer.grid)
            cell = {next() % 9,
                    make_cell_flags(next() % 2, next() % 2, next() % 3 == 0, next() % 4 == 0 ? 240 : 0)};
    }
    no_current_layer(t);
    for (std::uint32_t zoom : {100u, 150u, 37u, 400u}) {
        t.project.zoom = zoom;
        t.map->camera_grid_position_x = -1;
        t.map->camera_grid_position_y = -3;
        const QImage together = draw(t, 150, 230).copy();
        // A lone path point on every layer (it draws nothing) makes each layer draw on its own.
        for (const auto& layer : t.map->layers) {
            PathPoint point;
            point.map_id = t.map->unique_id;
            point.layer_id = layer->unique_id;
            point.set_starts_path(true);
            add_path_point(t.project, point, false, &t.platform);
        }
        EXPECT_EQ(draw(t, 150, 230), together) << zoom;
        for (const auto& layer : t.map->layers) layer->path_points.clear();
    }
}

TEST_F(RenderTest, LayerBackgroundColourCoversTheGridOnly) {
    TestProject t = TestProject::with_tiles(16, 16);
    Layer& layer = t.select(t.add_layer(2, 2, 1, 1));
    layer.use_background_colour = true;
    layer.background_colour = rgb(10, 200, 30);
    no_current_layer(t);
    const QImage& frame = draw(t, 80, 80);
    EXPECT_EQ(at(frame, 16, 16), pixel_from_colour(rgb(10, 200, 30)));
    EXPECT_EQ(at(frame, 47, 47), pixel_from_colour(rgb(10, 200, 30)));
    EXPECT_EQ(at(frame, 48, 40), kBackground);
    EXPECT_EQ(at(frame, 15, 20), kBackground);
}

TEST_F(RenderTest, AttributeMarksAreIconsFrom227AndNumbersBelow) {
    TestProject t = TestProject::with_tiles(16, 16);
    Layer& layer = t.select(t.add_layer(3, 1));
    layer.grid[0].set_attribute(227);
    layer.grid[2].set_attribute(226);
    prefs.set_colour(PrefColour::Background, rgb(0, 0, 0));
    no_current_layer(t);
    const QImage& frame = draw(t, 48, 16);
    // The icon, 16 × 16, blended unscaled over the background.
    const Image& icon = pictures().attribute_icon(227);
    int icon_pixels = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t source = reinterpret_cast<const std::uint32_t*>(icon.row(y))[x];
            EXPECT_EQ(at(frame, x, y), blend_pixel(argb(255, 0, 0, 0), source, 255));
            icon_pixels += source != 0;
        }
    EXPECT_GT(icon_pixels, 0);
    // The number: white text (with a black shadow) and nothing red around the cell centre.
    int white = 0, red = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 48; ++x) {
            white += at(frame, x, y) == argb(255, 255, 255, 255);
            red += (at(frame, x, y) & 0x00FF0000u) != 0 && (at(frame, x, y) & 0x0000FF00u) == 0;
        }
    EXPECT_GT(white, 5);
    EXPECT_EQ(red, 0);
    // Switched off: nothing.
    prefs.set_flag(FlagA::ViewTileAttributes, false);
    const QImage& off = draw(t, 48, 16);
    for (int x = 0; x < 48; ++x) EXPECT_EQ(at(off, x, 8), argb(255, 0, 0, 0));
}

TEST_F(RenderTest, WarningFramesForLockedAndHiddenLayers) {
    TestProject t = TestProject::with_tiles(16, 16);
    Layer& layer = t.select(t.add_layer(2, 2));
    const std::uint32_t red = pixel_from_colour(rgb(255, 0, 0));
    const std::uint32_t yellow = pixel_from_colour(rgb(255, 255, 0));
    auto frame_at = [&](int x, int y) { return at(draw(t, 40, 30), x, y); };

    EXPECT_NE(frame_at(39, 29), red);
    layer.is_visible = false;
    EXPECT_EQ(frame_at(0, 0), yellow);
    EXPECT_EQ(frame_at(39, 29), yellow);
    EXPECT_TRUE(renderer.results().current_hidden);
    layer.is_locked = true;
    EXPECT_EQ(frame_at(0, 0), red);
    EXPECT_EQ(frame_at(39, 15), red);
    EXPECT_EQ(frame_at(1, 1), yellow);
    EXPECT_EQ(frame_at(38, 28), yellow);
    layer.is_visible = true;
    EXPECT_EQ(frame_at(0, 0), red);
    EXPECT_NE(frame_at(1, 1), yellow);
    layer.is_locked = false;
    t.map->is_locked = true;
    EXPECT_EQ(frame_at(20, 29), red);
}

struct EntityFixture : RenderTest {
    TestProject t = TestProject::with_tiles(16, 16);
    Layer* layer = nullptr;
    ParentEntity* red = nullptr;
    ParentEntity* green = nullptr;

    EntityFixture() {
        layer = &t.select(t.add_layer(10, 10));
        red = parent(argb(255, 255, 0, 0));
        green = parent(argb(255, 0, 255, 0));
    }
    ParentEntity* parent(std::uint32_t colour) {
        ParentEntity& e = t.add_parent({}, 8, 8, [colour](int, int) { return colour; });
        e.single_frame_pixel_width = e.single_frame_pixel_height = 8;
        return &e;
    }
    InstanceEntity* place(const ParentEntity* p, float x, float y) {
        return &t.add_instance(*t.map, *layer, *p, x, y);
    }
};

TEST_F(EntityFixture, SortedDrawingPutsLowerEntitiesOnTopAndEqualTopsLeftToRight) {
    place(red, 0, 4);    // lower
    place(green, 0, 0);  // higher, later in the list
    place(green, 30, 0);
    place(red, 26, 0);  // same top, left of the green one, later in the list
    EXPECT_EQ(at(draw(t, 64, 32), 2, 6), argb(255, 0, 255, 0));   // list order: green last
    EXPECT_EQ(at(draw(t, 64, 32), 31, 2), argb(255, 255, 0, 0));  // list order: red last
    prefs.set_flag(FlagC::SortWhenDrawingEntities, true);
    EXPECT_EQ(at(draw(t, 64, 32), 2, 6), argb(255, 255, 0, 0));   // lower one covers
    EXPECT_EQ(at(draw(t, 64, 32), 31, 2), argb(255, 0, 255, 0));  // right one covers
}

TEST_F(EntityFixture, PositionsRoundHalfAwayAndSizesScale) {
    place(red, 2.5f, 0.0f);
    no_current_layer(t);
    t.project.zoom = 200;
    const QImage& frame = draw(t, 64, 32);
    EXPECT_EQ(at(frame, 4, 0), kBackground);  // 2.5 × 2 = 5
    EXPECT_EQ(at(frame, 5, 0), argb(255, 255, 0, 0));
    EXPECT_EQ(at(frame, 20, 15), argb(255, 255, 0, 0));
    EXPECT_EQ(at(frame, 21, 0), kBackground);
    EXPECT_EQ(at(frame, 5, 16), kBackground);
}

TEST_F(EntityFixture, UnderCursorCountsHoverAndHitRectangles) {
    place(red, 10, 10);
    InstanceEntity* second = place(green, 14, 14);
    place(red, 100, 100);
    RenderRequest r = request(t, 120, 120);
    r.mode = EditMode::Entities;
    r.cursor = ViewPoint{16, 16};
    ToolOverlay overlay;
    overlay.hovered_entity = second->uid;
    overlay.hovered_ms = 1000;
    r.overlay = &overlay;
    r.now_ms = 1200;
    renderer.redraw(r);
    const FrameResults& results = renderer.results();
    EXPECT_EQ(results.entities_under_cursor, 2);
    EXPECT_EQ(results.topmost_entity_under_cursor, second->uid);
    ASSERT_EQ(results.entities.size(), 3u);
    EXPECT_EQ(results.entities[1].rect.x, 14);
    EXPECT_EQ(results.entities[1].rect.width, 8);
    EXPECT_FALSE(results.entities[2].under_cursor);
    // The hovered entity gets an outline one pixel outside its rectangle in (255, 20, 20).
    EXPECT_EQ(at(renderer.frame(), 13, 13), pixel_from_colour(rgb(255, 20, 20)));
    // 300 ms after the entity was touched the highlight is gone.
    r.now_ms = 1301;
    renderer.redraw(r);
    EXPECT_NE(at(renderer.frame(), 13, 13), pixel_from_colour(rgb(255, 20, 20)));
    // Only counted in the Entities mode.
    r.mode = EditMode::Tiles;
    renderer.redraw(r);
    EXPECT_EQ(renderer.results().entities_under_cursor, 0);
}

TEST_F(EntityFixture, CustomVariableLabelsAndTheBeneathCursorCount) {
    InstanceEntity* e = place(red, 10, 10);
    e->custom_variables[2] = -7;
    place(green, 12, 12);
    t.project.descriptions_for(ObjectKind::InstanceEntity)[2].show_in_view = true;
    prefs.set_colour(PrefColour::Background, rgb(0, 0, 0));
    auto white_in = [](const QImage& frame, int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) count += at(frame, x, y) == argb(255, 255, 255, 255);
        return count;
    };
    RenderRequest r = request(t, 200, 100);
    r.mode = EditMode::Entities;
    r.cursor = ViewPoint{150, 40};  // over nothing
    renderer.redraw(r);
    EXPECT_EQ(white_in(renderer.frame(), 19, 10, 120, 30), 0);  // labels are off by default
    prefs.set_view_entities_custom_variables(true);
    renderer.redraw(r);
    EXPECT_GT(white_in(renderer.frame(), 19, 10, 120, 30), 5);  // "03: -7" right of the entity

    // Two entities under the cursor: " (x2) " in white on black, right-aligned left of the cursor.
    prefs.set_view_entities_custom_variables(false);
    r.cursor = ViewPoint{15, 15};
    renderer.redraw(r);
    EXPECT_EQ(renderer.results().entities_under_cursor, 2);
    EXPECT_GT(white_in(renderer.frame(), 0, 15, 12, 40), 3);
    prefs.set_flag(FlagA::ViewObjectsBeneathCursor, false);
    renderer.redraw(r);
    EXPECT_EQ(white_in(renderer.frame(), 0, 15, 12, 40), 0);
}

TEST_F(EntityFixture, TriggersAndEntitiesWithoutImage) {
    ParentEntityProperties p;
    p.is_trigger = true;
    p.trigger_is_a_circle = false;
    ParentEntity* trigger = add_parent_entity(t.project, p, false, &t.platform);
    InstanceEntity* box = place(trigger, 2, 2);
    box->trw = 10;
    box->trh = 6;
    ParentEntityProperties q;
    q.single_frame_pixel_width = q.single_frame_pixel_height = 16;
    ParentEntity* plain = add_parent_entity(t.project, q, false, &t.platform);
    place(plain, 40, 0);
    const QImage& frame = draw(t, 64, 32);
    const std::uint32_t trigger_colour = pixel_from_colour(rgb(220, 220, 220));
    EXPECT_EQ(at(frame, 2, 2), trigger_colour);
    EXPECT_EQ(at(frame, 11, 7), trigger_colour);
    EXPECT_EQ(at(frame, 5, 5), kBackground);  // no fill
    // The default picture, stretched to 16 × 16, covers something of its square.
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 40; x < 56; ++x) drawn += at(frame, x, y) != kBackground;
    EXPECT_GT(drawn, 0);
}

TEST_F(EntityFixture, FloatingEntitiesThePlacementPreviewAndPositionsFarOffTheLayer) {
    InstanceEntity* moved = place(red, 10, 10);
    InstanceEntity* far = place(green, 20, 20);
    far->px = 1.0e30f;  // typed into the Selected Entities window: drawn nowhere, without overflow
    place(green, -3.0e38f, 1.0e38f);
    ToolOverlay overlay;
    overlay.selected_entities.insert(far->uid);
    // A move: the lifted entity is hidden and drawn where a drop would put it, its box outlined thrice.
    overlay.hidden_entities.insert(moved->uid);
    FloatingEntitiesOverlay floating;
    floating.serial = 1;
    floating.entities = {*moved};
    floating.box_left = 10;
    floating.box_top = 10;
    floating.box_width = 9;
    floating.box_height = 9;
    floating.at = std::pair{50.4, 60.0};
    overlay.floating_entities = floating;
    overlay.entity_preview = make_instance_entity(*green, t.map->unique_id, layer->unique_id, 90, 90);
    RenderRequest r = request(t, 120, 120);
    r.mode = EditMode::Entities;
    r.overlay = &overlay;
    renderer.redraw(r);
    const QImage& frame = renderer.frame();
    const std::uint32_t white = pixel_from_colour(rgb(255, 255, 255));
    EXPECT_EQ(at(frame, 14, 14), kBackground);           // hidden where it was
    EXPECT_EQ(at(frame, 54, 64), argb(255, 255, 0, 0));  // 50.4 rounds to 50
    EXPECT_EQ(at(frame, 50, 60), white);                 // the outlines, insets 0 ...
    EXPECT_EQ(at(frame, 52, 62), white);                 // ... to 2
    EXPECT_EQ(at(frame, 92, 92), argb(255, 0, 255, 0));  // the placement preview
    EXPECT_EQ(renderer.results().entities.size(), 0u);   // nothing of the layer itself is drawn
    // The preview belongs to the Entities mode.
    r.mode = EditMode::Tiles;
    renderer.redraw(r);
    EXPECT_EQ(at(renderer.frame(), 92, 92), kBackground);
}

TEST_F(RenderTest, GridIsSuppressedBelowEightScaledPixels) {
    TestProject t = TestProject::with_tiles(16, 16);
    t.select(t.add_layer(20, 20));
    for (GridType type : {GridType::Dots, GridType::DottedLines, GridType::SolidLines}) {
        prefs.set_grid_type(type);
        t.project.zoom = 25;  // 4-pixel cells
        prefs.set_flag(FlagA::ViewGrid, false);
        const QImage without = draw(t, 64, 64).copy();
        prefs.set_flag(FlagA::ViewGrid, true);
        EXPECT_EQ(draw(t, 64, 64), without);
        t.project.zoom = 50;  // 8 pixels: drawn
        prefs.set_flag(FlagA::ViewGrid, false);
        const QImage without_50 = draw(t, 64, 64).copy();
        prefs.set_flag(FlagA::ViewGrid, true);
        const QImage& with_50 = draw(t, 64, 64);
        EXPECT_NE(with_50, without_50);
        EXPECT_EQ(at(with_50, 16, 16), pixel_from_colour(rgb(255, 255, 0)));  // a corner
        EXPECT_EQ(at(with_50, 17, 17), kBackground);                          // inside a cell
    }
}

TEST_F(RenderTest, CameraIsClampedAndWrittenBack) {
    TestProject t = TestProject::with_tiles(16, 16);
    t.select(t.add_layer(10, 10, -5, 0));
    t.map->camera_grid_position_x = 50000;
    t.map->camera_grid_position_y = -50000;
    draw(t, 32, 32);
    EXPECT_EQ(t.map->camera_grid_position_x, 10 - 5 + 9999);  // the far edge is column 5
    EXPECT_EQ(t.map->camera_grid_position_y, -10000);
}

TEST_F(RenderTest, NoLayerContentWithoutTheTileSetImage) {
    TestProject t = TestProject::with_tiles(16, 16, 0, 0);  // a tile set without a picture
    Layer& layer = t.select(t.add_layer(2, 2));
    layer.grid[0].tile = 1;
    prefs.set_flag(FlagA::ViewGrid, true);
    t.project.zoom = 100;
    const QImage& frame = draw(t, 40, 40);
    EXPECT_FALSE(renderer.results().layer_content_drawn);
    EXPECT_EQ(at(frame, 8, 8), kBackground);
    EXPECT_EQ(at(frame, 16, 16), pixel_from_colour(rgb(255, 255, 0)));  // the grid still is
}

TEST_F(RenderTest, PathsAreDrawnAndCountedUnderTheCursor) {
    TestProject t = TestProject::with_tiles(16, 16);
    Layer& layer = t.select(t.add_layer(10, 10));
    PathPoint a;
    a.map_id = t.map->unique_id;
    a.layer_id = layer.unique_id;
    a.px = 4;
    a.py = 10;
    a.set_starts_path(true);
    PathPoint b = a;
    b.px = 40;
    b.set_starts_path(false);
    b.set_ends_path(true);
    add_path_point(t.project, a, false, &t.platform);
    add_path_point(t.project, b, false, &t.platform);
    RenderRequest r = request(t, 64, 32);
    r.mode = EditMode::Paths;
    r.cursor = ViewPoint{20, 10};
    renderer.redraw(r);
    EXPECT_EQ(at(renderer.frame(), 20, 10), pixel_from_colour(rgb(200, 200, 100)));
    EXPECT_EQ(at(renderer.frame(), 20, 12), kBackground);
    EXPECT_EQ(renderer.results().paths_under_cursor, 1);
    prefs.set_flag(FlagA::ViewPaths, false);
    renderer.redraw(r);
    EXPECT_EQ(at(renderer.frame(), 20, 10), kBackground);
}

TEST_F(RenderTest, ClosedPathsDrawNoSegmentFromTheLastPointBackToTheFirst) {
    // A path closed smoothly: its last point lies on its first, each with its own control points.
    // Every control point of the drawn segments lies at y >= 16, so nothing may appear above row 16;
    // a segment from the last point (outgoing control point above) back to the first would loop there.
    TestProject t = TestProject::with_tiles(16, 16);
    Layer& layer = t.select(t.add_layer(10, 10));
    no_current_layer(t);
    auto add = [&](float x, float y, float cx1, float cy1, float cx2, float cy2, bool start, bool end) {
        PathPoint p;
        p.map_id = t.map->unique_id;
        p.layer_id = layer.unique_id;
        p.px = x;
        p.py = y;
        p.cx1 = cx1;
        p.cy1 = cy1;
        p.cx2 = cx2;
        p.cy2 = cy2;
        p.set_ucp(true);
        p.set_starts_path(start);
        p.set_is_closed(start);
        p.set_ends_path(end);
        add_path_point(t.project, p, false, &t.platform);
    };
    add(40, 16, 10, 16, 70, 16, true, false);
    add(40, 48, 70, 48, 10, 48, false, false);
    add(40, 16, 10, 30, 70, 2, false, true);
    const QImage& frame = draw(t, 80, 64);
    const std::uint32_t path = pixel_from_colour(rgb(200, 200, 100));
    EXPECT_EQ(at(frame, 40, 48), path);
    int above = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 80; ++x) above += at(frame, x, y) != kBackground;
    EXPECT_EQ(above, 0);
}

TEST_F(RenderTest, PictureFramesHaveNoDecorationsAndATransparentBackdrop) {
    TestProject t = TestProject::with_tiles(16, 16, 4, 2, flat_tiles);
    Layer& layer = t.select(t.add_layer(2, 1));
    layer.grid[0].tile = 1;
    layer.is_locked = true;
    prefs.set_flag(FlagA::ViewGrid, true);
    prefs.set_flag(FlagA::ViewOriginMarker, true);
    t.map->camera_grid_position_x = 99999;
    RenderRequest r = request(t, 32, 16);
    r.kind = FrameKind::Picture;
    r.camera = CellPosition{0, 0};
    QImage picture = make_frame(32, 16);
    renderer.draw(picture, r);
    EXPECT_EQ(at(picture, 0, 0), tile_colour(1));
    EXPECT_EQ(at(picture, 15, 15), tile_colour(1));
    EXPECT_EQ(at(picture, 16, 0), 0u);
    EXPECT_EQ(at(picture, 31, 15), 0u);
    EXPECT_EQ(t.map->camera_grid_position_x, 99999);  // the map is left alone
    // A band further down the picture starts at its origin.
    r.origin_y = 8;
    QImage band = make_frame(32, 8);
    renderer.draw(band, r);
    EXPECT_EQ(at(band, 0, 7), tile_colour(1));
}

}  // namespace
}  // namespace zorva::test
