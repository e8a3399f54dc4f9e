// The viewport puts the renderer's frame on screen as it is: it replaces what the widget showed before,
// so nothing of an older picture shows through the frame.
#include "app/windows/viewport_widget.h"

#include <gtest/gtest.h>

#include <QImage>

#include "image/builtin_pictures.h"
#include "prefs/preferences.h"
#include "support/project_builder.h"
#include "support/qt_test_app.h"

namespace zorva::test {
namespace {

constexpr QRgb kOlderPicture = 0xFFFF0000u;  // opaque red, what the target held before the paint

// The widget painted onto a target that already holds an opaque red picture.
QImage painted_over_red(ViewportWidget& view) {
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    target.fill(kOlderPicture);
    view.render(&target);
    return target;
}

TEST(ViewportWidget, KeyedPixelsOfOpaqueCopiesShowBlackNotWhatWasThereBefore) {
    qt_app();
    const BuiltinPictures pictures;
    Renderer renderer(pictures);
    Preferences prefs;
    prefs.set_flag(FlagA::ViewGrid, false);
    prefs.set_flag(FlagA::ViewOriginMarker, false);
    prefs.set_flag(FlagA::DisableTransparentImages, true);
    // One 16-pixel tile keyed out on its left half.
    TestProject t = TestProject::with_tiles(
        16, 16, 1, 1, [](int x, int) { return x < 8 ? argb(0, 0, 0, 0) : argb(255, 9, 99, 9); });
    t.tile_set->image.colour_key_on = true;
    Layer& layer = t.select(t.add_layer(1, 1));
    layer.grid[0].tile = 1;
    t.project.select_layer(kInvalidId);  // no layer outline
    FrameKind kind = FrameKind::View;
    ViewportWidget view(renderer, [&] {
        RenderRequest request;
        request.project = &t.project;
        request.preferences = &prefs;
        request.kind = kind;
        return request;
    });
    view.resize(64, 64);

    const QImage shown = painted_over_red(view);
    EXPECT_EQ(shown.pixel(2, 2), 0xFF000000u);  // keyed out: black
    EXPECT_EQ(shown.pixel(12, 2), 0xFF096309u);

    // A frame with transparent pixels (a picture of the map has a transparent backdrop) is still put
    // down as it is, not blended over the older picture.
    kind = FrameKind::Picture;
    EXPECT_EQ(painted_over_red(view).pixelColor(40, 40).alpha(), 0);
}

}  // namespace
}  // namespace zorva::test
