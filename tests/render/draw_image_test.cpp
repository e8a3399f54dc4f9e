#include "render/draw_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "image/image_loader.h"
#include "render_test_support.h"
#include "support/image_files.h"

namespace zorva::test {
namespace {

// The 3 × 2 source "abc / def": letter k is coded(k % 3, k / 3).
const Image& letters() {
    static const Image image = make_image(3, 2, coded);
    return image;
}

// The frame region (0, 0, w, h) as rows of letters ('.' for a pixel no letter matches).
std::vector<std::string> read_letters(const QImage& frame, int w, int h) {
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            char c = '.';
            for (int k = 0; k < 6; ++k)
                if (at(frame, x, y) == coded(k % 3, k / 3)) c = static_cast<char>('a' + k);
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

DrawRegion region(int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
    DrawRegion r;
    r.x = x;
    r.y = y;
    r.width = w;
    r.height = h;
    r.source_x = sx;
    r.source_y = sy;
    r.source_width = sw;
    r.source_height = sh;
    return r;
}

struct Orientation {
    bool rotate, flip_h, flip_v;
    std::vector<std::string> expected;
};

TEST(DrawImageRegion, EveryFlipAndRotationOfAnAsymmetricNonSquareRegion) {
    // Rotation turns clockwise: the top row "abc" becomes the right column, the left column "ad"
    // the top row; flips then mirror the on-screen result.
    const std::vector<Orientation> cases = {
        {false, false, false, {"abc", "def"}},    {false, true, false, {"cba", "fed"}},
        {false, false, true, {"def", "abc"}},     {false, true, true, {"fed", "cba"}},
        {true, false, false, {"da", "eb", "fc"}}, {true, true, false, {"ad", "be", "cf"}},
        {true, false, true, {"fc", "eb", "da"}},  {true, true, true, {"cf", "be", "ad"}},
    };
    for (const Orientation& c : cases) {
        QImage frame = make_frame(4, 4);
        DrawRegion r = region(0, 0, 3, 2, 0, 0, 3, 2);  // with rotation the passed size is exchanged
        r.rotate = c.rotate;
        r.flip_horizontal = c.flip_h;
        r.flip_vertical = c.flip_v;
        ASSERT_EQ(draw_image_region(frame, letters(), r, {}), kImageLoaded);
        const int w = c.rotate ? 2 : 3;
        const int h = c.rotate ? 3 : 2;
        EXPECT_EQ(read_letters(frame, w, h), c.expected)
            << "rotate " << c.rotate << " flip h " << c.flip_h << " flip v " << c.flip_v;
        // Nothing outside the on-screen rectangle is touched.
        EXPECT_EQ(at(frame, w, 0), argb(255, 0, 0, 0));
        EXPECT_EQ(at(frame, 0, h), argb(255, 0, 0, 0));
    }
}

TEST(DrawImageRegion, EveryFlipAndRotationOfASquareTileKeepsItsCorners) {
    const Image tile = make_image(2, 2, coded);  // "ab / de" in letter terms
    const std::vector<Orientation> cases = {
        {false, false, false, {"ab", "de"}}, {false, true, false, {"ba", "ed"}},
        {false, false, true, {"de", "ab"}},  {false, true, true, {"ed", "ba"}},
        {true, false, false, {"da", "eb"}},  {true, true, false, {"ad", "be"}},
        {true, false, true, {"eb", "da"}},   {true, true, true, {"be", "ad"}},
    };
    for (const Orientation& c : cases) {
        QImage frame = make_frame(6, 6);
        DrawRegion r = region(2, 3, 2, 2, 0, 0, 2, 2);
        r.rotate = c.rotate;
        r.flip_horizontal = c.flip_h;
        r.flip_vertical = c.flip_v;
        draw_image_region(frame, tile, r, {});
        QImage corner = frame.copy(2, 3, 2, 2);
        EXPECT_EQ(read_letters(corner, 2, 2), c.expected) << c.rotate << c.flip_h << c.flip_v;
    }
}

TEST(DrawImageRegion, NearestNeighbourScalingRepeatsAndDropsPixels) {
    QImage frame = make_frame(8, 8);
    draw_image_region(frame, letters(), region(0, 0, 6, 4, 0, 0, 3, 2), {});
    EXPECT_EQ(read_letters(frame, 6, 4), (std::vector<std::string>{"aabbcc", "aabbcc", "ddeeff", "ddeeff"}));

    const Image wide = make_image(4, 4, coded);
    QImage small = make_frame(2, 2);
    draw_image_region(small, wide, region(0, 0, 2, 2, 0, 0, 4, 4), {});
    EXPECT_EQ(at(small, 0, 0), coded(0, 0));
    EXPECT_EQ(at(small, 1, 0), coded(2, 0));
    EXPECT_EQ(at(small, 1, 1), coded(2, 2));

    // Scaled and rotated: the 3 × 2 source at twice the size, rotated, fills 4 × 6 on screen.
    QImage rotated = make_frame(8, 8);
    DrawRegion r = region(0, 0, 6, 4, 0, 0, 3, 2);
    r.rotate = true;
    draw_image_region(rotated, letters(), r, {});
    EXPECT_EQ(read_letters(rotated, 4, 6),
              (std::vector<std::string>{"ddaa", "ddaa", "eebb", "eebb", "ffcc", "ffcc"}));
}

std::uint32_t reference_blend(std::uint32_t d, std::uint32_t s, std::uint32_t opacity) {
    auto channel = [](std::uint32_t v, int shift) { return (v >> shift) & 0xFF; };
    auto div255 = [](double v) { return static_cast<std::uint32_t>(std::lround(v / 255.0)); };
    const std::uint32_t sa = div255(channel(s, 24) * double(opacity));
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t sc = div255(channel(s, shift) * double(opacity));
        out |= (sc + div255(channel(d, shift) * double(255 - sa))) << shift;
    }
    return out;
}

TEST(DrawImageRegion, BlendIsSourceOverWithConstantOpacityRoundedExactly) {
    const std::vector<std::uint32_t> sources = {argb(255, 200, 100, 50), argb(128, 100, 50, 0),
                                                argb(1, 1, 0, 1), argb(0, 0, 0, 0), argb(77, 77, 12, 0)};
    const std::vector<std::uint32_t> destinations = {argb(255, 0, 0, 100), argb(255, 255, 255, 255),
                                                     argb(0, 0, 0, 0), argb(90, 30, 60, 90)};
    for (std::uint32_t opacity : {255u, 254u, 128u, 1u, 0u})
        for (std::uint32_t s : sources)
            for (std::uint32_t d : destinations)
                EXPECT_EQ(blend_pixel(d, s, opacity), reference_blend(d, s, opacity))
                    << std::hex << d << " " << s << " " << opacity;

    // Through the primitive, on both the fast and the general path.
    const Image half = make_image(2, 1, [](int, int) { return argb(128, 128, 0, 0); });
    for (bool flip : {false, true}) {
        QImage frame = make_frame(2, 1, argb(255, 0, 0, 200));
        DrawRegion r = region(0, 0, 2, 1, 0, 0, 2, 1);
        r.opacity = 100;
        r.flip_horizontal = flip;
        draw_image_region(frame, half, r, {});
        EXPECT_EQ(at(frame, 0, 0), reference_blend(argb(255, 0, 0, 200), argb(128, 128, 0, 0), 100));
        EXPECT_EQ(at(frame, 1, 0), at(frame, 0, 0));
    }
}

TEST(DrawImageRegion, WideRunsBlendExactlyInEveryOrientationAndScale) {
    // Long runs take the vector paths (four and eight pixels at a time); every pixel must still equal
    // the scalar blend of the source pixel the mapping picks.
    std::uint32_t seed = 99;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
    auto random_pixel = [&](bool premultiplied) {
        const std::uint32_t kind = next() % 4;
        const std::uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : next() % 256;
        auto c = [&] { return premultiplied ? (a == 0 ? 0 : next() % (a + 1)) : next() % 256; };
        return argb(premultiplied ? a : 255, c(), c(), c());
    };
    const int sw = 40, sh = 24;
    std::vector<std::uint32_t> source(sw * sh);
    for (auto& p : source) p = random_pixel(true);
    const Image image = make_image(sw, sh, [&](int x, int y) { return source[y * sw + x]; });
    for (int scale : {1, 2, -2}) {  // -2: half size
        const int w = scale > 0 ? sw * scale : sw / 2;
        const int h = scale > 0 ? sh * scale : sh / 2;
        for (int orientation = 0; orientation < 8; ++orientation) {
            const bool rotate = orientation & 4, fh = orientation & 1, fv = orientation & 2;
            QImage frame = make_frame(120, 120);
            for (int y = 0; y < 120; ++y)
                for (int x = 0; x < 120; ++x)
                    reinterpret_cast<std::uint32_t*>(frame.scanLine(y))[x] = random_pixel(false);
            const QImage before = frame.copy();
            DrawRegion r = region(3, 5, w, h, 0, 0, sw, sh);
            r.rotate = rotate;
            r.flip_horizontal = fh;
            r.flip_vertical = fv;
            draw_image_region(frame, image, r, {});
            const int ow = rotate ? h : w, oh = rotate ? w : h;
            int wrong = 0;
            for (int j = 0; j < oh; ++j)
                for (int i = 0; i < ow; ++i) {
                    const int fi = fh ? ow - 1 - i : i, fj = fv ? oh - 1 - j : j;
                    const int u = rotate ? fj : fi, v = rotate ? h - 1 - fi : fj;
                    const std::uint32_t s = source[(v * sh / h) * sw + u * sw / w];
                    wrong += at(frame, 3 + i, 5 + j) != blend_pixel(at(before, 3 + i, 5 + j), s, 255);
                }
            EXPECT_EQ(wrong, 0) << "scale " << scale << " orientation " << orientation;
            EXPECT_EQ(at(frame, 3 + ow, 5), at(before, 3 + ow, 5));
        }
    }
}

TEST(DrawImageRegion, ChoosesOpaqueCopyOrBlend) {
    // A keyed-out (all zero) pixel shows whether the draw blended (destination stays) or copied.
    auto keyed = [](int x, int) { return x == 0 ? argb(0, 0, 0, 0) : argb(255, 9, 9, 9); };
    const std::uint32_t backdrop = argb(255, 0, 0, 100);
    struct Case {
        int stored_depth;
        bool colour_key, transparency;
        std::uint8_t opacity;
        bool disable, force;
        bool blends;
    };
    const std::vector<Case> cases = {
        {24, false, false, 255, false, false, false},  // opaque file: plain copy
        {24, true, false, 255, false, false, true},    // colour key: blended
        {8, false, true, 255, false, false, true},     // transparency chunk: blended
        {24, false, false, 200, false, false, true},   // layer opacity: blended
        {32, false, false, 255, false, false, true},   // alpha channel: blended
        {32, false, false, 255, true, false, false},   // transparent images disabled: copied
        {32, false, false, 255, true, true, true},     // ... unless blending is forced
        {24, true, false, 255, true, false, false},
    };
    for (const Case& c : cases) {
        Image image = make_image(2, 1, keyed, c.stored_depth);
        image.colour_key_on = c.colour_key;
        image.has_transparency = c.transparency;
        DrawRegion r = region(0, 0, 2, 1, 0, 0, 2, 1);
        r.opacity = c.opacity;
        r.force_blending = c.force;
        DrawOptions options;
        options.disable_transparent_images = c.disable;
        EXPECT_EQ(draw_blends(image, r, options), c.blends)
            << c.stored_depth << c.colour_key << int(c.opacity);
        QImage frame = make_frame(2, 1, backdrop);
        draw_image_region(frame, image, r, options);
        // A copied keyed pixel reads opaque black: nothing of what lay below may show through it.
        EXPECT_EQ(at(frame, 0, 0), c.blends ? backdrop : argb(255, 0, 0, 0));
    }
    // The same for copies that are mirrored or scaled (other pixel runs than the straight one).
    Image image = make_image(2, 1, keyed);
    DrawOptions disabled;
    disabled.disable_transparent_images = true;
    for (bool flip : {false, true}) {
        DrawRegion r = region(0, 0, 4, 1, 0, 0, 2, 1);
        r.flip_horizontal = flip;
        QImage frame = make_frame(4, 1, backdrop);
        draw_image_region(frame, image, r, disabled);
        EXPECT_EQ(at(frame, flip ? 3 : 0, 0), argb(255, 0, 0, 0)) << flip;
        EXPECT_EQ(at(frame, flip ? 0 : 3, 0), argb(255, 9, 9, 9)) << flip;
    }
}

TEST(DrawImageRegion, GreyPicturesWithAlphaBlendThoughStoredInSixteenBits) {
    // An 8-bit grey-with-alpha PNG: grey 200 opaque, half transparent, fully transparent.
    PngSpec spec;
    spec.width = 3;
    spec.colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
    spec.rows = {{200, 255, 200, 128, 200, 0}};
    const Bytes file = png_file(spec);
    Image image;
    ASSERT_EQ(load_image_from_memory(image, ImageKind::Png, file.data(), file.size(), false, 0),
              kImageLoaded);
    const std::uint32_t backdrop = argb(255, 0, 0, 100);
    QImage frame = make_frame(3, 1, backdrop);
    ASSERT_EQ(draw_image_region(frame, image, region(0, 0, 3, 1, 0, 0, 3, 1), {}), kImageLoaded);
    EXPECT_EQ(at(frame, 0, 0), argb(255, 200, 200, 200));
    EXPECT_EQ(at(frame, 1, 0), blend_pixel(backdrop, argb(128, 100, 100, 100), 255));
    EXPECT_EQ(at(frame, 2, 0), backdrop);
}

TEST(DrawImageRegion, ClipsToTheTargetAndTheImage) {
    QImage frame = make_frame(4, 4);
    // Hanging over every edge of the target.
    for (int x : {-5, -2, 2, 3, 10})
        for (bool rotate : {false, true}) {
            DrawRegion r = region(x, x, 6, 4, 0, 0, 3, 2);
            r.rotate = rotate;
            r.flip_horizontal = true;
            EXPECT_EQ(draw_image_region(frame, letters(), r, {}), kImageLoaded);
        }
    // A source rectangle reaching past the image draws only the pixels that exist.
    QImage clean = make_frame(4, 4);
    draw_image_region(clean, letters(), region(0, 0, 4, 3, 1, 0, 4, 3), {});
    EXPECT_EQ(read_letters(clean, 4, 3), (std::vector<std::string>{"bc..", "ef..", "...."}));
    QImage negative = make_frame(4, 4);
    draw_image_region(negative, letters(), region(0, 0, 2, 2, -1, -1, 2, 2), {});
    EXPECT_EQ(read_letters(negative, 2, 2), (std::vector<std::string>{"..", ".a"}));
}

TEST(DrawImageRegion, RefusesEmptyImagesAndOtherTargetFormats) {
    QImage frame = make_frame(4, 4);
    EXPECT_EQ(draw_image_region(frame, Image{}, region(0, 0, 2, 2, 0, 0, 2, 2), {}), kImageFailed);
    QImage rgb(4, 4, QImage::Format_RGB888);
    EXPECT_EQ(draw_image_region(rgb, letters(), region(0, 0, 2, 2, 0, 0, 2, 2), {}), kImageFailed);
    // Degenerate sizes draw nothing.
    EXPECT_EQ(draw_image_region(frame, letters(), region(0, 0, 0, 2, 0, 0, 2, 2), {}), kImageLoaded);
    EXPECT_EQ(draw_image_region(frame, letters(), region(0, 0, 2, 2, 0, 0, 0, 2), {}), kImageLoaded);
    EXPECT_EQ(at(frame, 0, 0), argb(255, 0, 0, 0));
}

TEST(DrawQueue, DrawsByTopEdgeThenLeftEdgeKeepingQueueOrderForEqualKeys) {
    const Image red = make_image(2, 2, [](int, int) { return argb(255, 255, 0, 0); });
    const Image green = make_image(2, 2, [](int, int) { return argb(255, 0, 255, 0); });
    const Image blue = make_image(2, 2, [](int, int) { return argb(255, 0, 0, 255); });
    QImage frame = make_frame(4, 4);
    DrawQueue queue;
    queue.begin();
    auto queued = [](int x, int y) {
        DrawRegion r = region(x, y, 2, 2, 0, 0, 2, 2);
        r.may_defer = true;
        return r;
    };
    draw_image_region(frame, red, queued(1, 1), {}, &queue);    // lowest: drawn last, covers the others
    draw_image_region(frame, green, queued(0, 0), {}, &queue);  // same top as blue, left of it
    draw_image_region(frame, blue, queued(1, 0), {}, &queue);
    DrawRegion direct = region(0, 0, 1, 1, 0, 0, 1, 1);  // not deferrable: drawn at once
    draw_image_region(frame, blue, direct, {}, &queue);
    EXPECT_EQ(queue.size(), 3u);
    EXPECT_EQ(at(frame, 1, 1), argb(255, 0, 0, 0));
    queue.flush(frame, {});
    EXPECT_FALSE(queue.active());
    EXPECT_EQ(queue.size(), 0u);
    EXPECT_EQ(at(frame, 0, 0), argb(255, 0, 255, 0));  // green over the direct blue pixel
    EXPECT_EQ(at(frame, 1, 0), argb(255, 0, 0, 255));  // blue after green (further right)
    EXPECT_EQ(at(frame, 1, 1), argb(255, 255, 0, 0));  // red last (lower)
    EXPECT_EQ(at(frame, 0, 1), argb(255, 0, 255, 0));

    // Equal keys keep their order: the second one queued ends on top.
    QImage same = make_frame(2, 2);
    queue.begin();
    draw_image_region(same, green, queued(0, 0), {}, &queue);
    draw_image_region(same, red, queued(0, 0), {}, &queue);
    queue.flush(same, {}, false);
    EXPECT_TRUE(queue.active());
    EXPECT_EQ(at(same, 0, 0), argb(255, 255, 0, 0));
    queue.release();
    EXPECT_FALSE(queue.active());
}

}  // namespace
}  // namespace zorva::test
