// The drawing primitive: copies a region of an Image onto a 32-bit premultiplied QImage, with a
// quarter-turn rotation, flips in screen space, nearest-neighbour scaling and a constant opacity.
//
// The pixels are written straight into the target's buffer (Format_ARGB32_Premultiplied), so the
// result is exact and identical on every platform: blending is source-over with the rounded
// division by 255 of `blend_pixel`, scaling picks source column sx + i * sw / w (no averaging).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/image.h"

class QImage;

namespace zorva {

// Every argument of one draw besides the image and the target.
struct DrawRegion {
    // Destination. With `rotate` the width and height are passed exchanged: `width` becomes the
    // on-screen height and `height` the on-screen width; the on-screen rectangle starts at (x, y).
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Source rectangle in image pixels (rows counted from the top). Parts outside the image draw nothing.
    std::int32_t source_x = 0;
    std::int32_t source_y = 0;
    std::int32_t source_width = 0;
    std::int32_t source_height = 0;
    std::uint8_t opacity = 255;
    bool flip_horizontal = false;  // mirrors the on-screen result left-right (after the rotation)
    bool flip_vertical = false;    // mirrors it top-bottom
    bool rotate = false;           // a quarter turn clockwise: the source's top row becomes the right column
    bool force_blending = false;   // blend even when transparent images are disabled
    bool may_defer = false;        // may go into an active DrawQueue

    // The on-screen size.
    std::int32_t screen_width() const { return rotate ? height : width; }
    std::int32_t screen_height() const { return rotate ? width : height; }
};

// How the primitive chooses between an opaque copy and a blend.
struct DrawOptions {
    bool disable_transparent_images = false;  // "Disable transparent images (faster)"
};

// Source-over of one premultiplied pixel (0xAARRGGBB as stored in memory) at constant `opacity`:
// s' = s * opacity / 255, result = s' + d * (255 - alpha(s')) / 255, each division rounded.
std::uint32_t blend_pixel(std::uint32_t destination, std::uint32_t source, std::uint32_t opacity);

// True when the draw would be a blend rather than an opaque copy. An opaque copy writes every pixel with
// alpha 255, so pixels keyed out or transparent in the image show black.
bool draw_blends(const Image& image, const DrawRegion& region, const DrawOptions& options);

class DrawQueue;

// Draws `region` of `image` onto `target` (Format_ARGB32_Premultiplied; other formats draw nothing),
// clipped to the target. With an active `queue` and `region.may_defer` the call is queued instead.
// Returns kImageLoaded (0), or kImageFailed for an empty image or an unsuitable target.
std::int32_t draw_image_region(QImage& target, const Image& image, const DrawRegion& region,
                               const DrawOptions& options, DrawQueue* queue = nullptr);

// The whole image, unscaled, at (x, y).
std::int32_t draw_whole_image(QImage& target, const Image& image, std::int32_t x, std::int32_t y,
                              std::uint8_t opacity, const DrawOptions& options, DrawQueue* queue = nullptr);

// Draw calls held back while sorted drawing is on, drawn later ordered by the top edge and then the
// left edge of their destination (equal keys keep queue order).
class DrawQueue {
public:
    static constexpr std::size_t kInitialCapacity = 1000;

    // Enables the queue; `clear` empties it first.
    void begin(bool clear = true);
    bool active() const { return enabled_; }
    // Queues a call. False when the queue could not grow (the caller then draws directly).
    bool append(const Image& image, const DrawRegion& region);
    // Sorts and draws every queued call, then empties the queue. `disable` switches it off, `free_memory`
    // also gives its storage back.
    void flush(QImage& target, const DrawOptions& options, bool disable = true, bool free_memory = false);
    // Empties and disables the queue and frees its storage.
    void release();

    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        const Image* image;
        DrawRegion region;
    };
    std::vector<Entry> entries_;
    bool enabled_ = false;
};

}  // namespace zorva
