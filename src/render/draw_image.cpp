#include "render/draw_image.h"

#include <QImage>

#include <algorithm>
#include <cstring>
#include <new>

#include "render/image_loader.h"

namespace zorva {

namespace {

// x * a / 255 for the four bytes of x at once, each rounded to nearest.
inline std::uint32_t byte_mul(std::uint32_t x, std::uint32_t a) {
    std::uint32_t rb = (x & 0x00FF00FFu) * a + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    std::uint32_t ag = ((x >> 8) & 0x00FF00FFu) * a + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

inline std::uint32_t over(std::uint32_t d, std::uint32_t s) {
    const std::uint32_t a = s >> 24;
    if (a == 255) return s;
    if (s == 0) return d;
    return s + byte_mul(d, 255 - a);
}

// One row of a blend at full opacity over contiguous source pixels.
inline void blend_run(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t s = src[i];
        const std::uint32_t a = s >> 24;
        if (a == 255) {
            dst[i] = s;
        } else if (s != 0) {
            dst[i] = s + byte_mul(dst[i], 255 - a);
        }
    }
}

inline void blend_run(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count, std::uint32_t opacity) {
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t s = src[i];
        if (s != 0) dst[i] = over(dst[i], byte_mul(s, opacity));
    }
}

enum class Mode { Copy, Blend };

constexpr std::int32_t kChunk = 256;  // screen columns mapped at a time

void draw_now(QImage& target, const Image& image, const DrawRegion& r, Mode mode) {
    const std::int32_t w = r.width;
    const std::int32_t h = r.height;
    const std::int32_t sw = r.source_width;
    const std::int32_t sh = r.source_height;
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    const std::int64_t ow = r.screen_width();
    const std::int64_t oh = r.screen_height();

    // The on-screen rectangle clipped to the target, in screen coordinates.
    const std::int64_t x0 = std::max<std::int64_t>(r.x, 0);
    const std::int64_t y0 = std::max<std::int64_t>(r.y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{r.x} + ow, target.width());
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{r.y} + oh, target.height());
    if (x0 >= x1 || y0 >= y1) return;

    const std::uint32_t opacity = r.opacity;
    if (mode == Mode::Blend && opacity == 0) return;
    const std::int64_t stride = image.stride;
    const std::uint8_t* const pixels = image.pixels();
    std::uint8_t* const bits = target.bits();
    const std::int64_t target_stride = target.bytesPerLine();

    // Screen pixel (i, j) relative to (r.x, r.y) shows unrotated destination pixel (u, v):
    // flips first undo the mirror, then the rotation maps u = j', v = h - 1 - i'.
    auto source_col = [&](std::int64_t u) { return r.source_x + u * sw / w; };
    auto source_row = [&](std::int64_t v) { return r.source_y + v * sh / h; };

    // Fast path: no rotation, no horizontal flip, no horizontal scaling, source columns inside the image.
    if (!r.rotate && !r.flip_horizontal && w == sw) {
        const std::int64_t first_col = r.source_x + (x0 - r.x);
        const std::int64_t last_col = first_col + (x1 - x0) - 1;
        if (first_col >= 0 && last_col < image.width) {
            const auto count = static_cast<std::int32_t>(x1 - x0);
            for (std::int64_t y = y0; y < y1; ++y) {
                std::int64_t j = y - r.y;
                if (r.flip_vertical) j = oh - 1 - j;
                const std::int64_t row = source_row(j);
                if (row < 0 || row >= image.height) continue;
                const auto* src = reinterpret_cast<const std::uint32_t*>(pixels + row * stride) + first_col;
                auto* dst = reinterpret_cast<std::uint32_t*>(bits + y * target_stride) + x0;
                if (mode == Mode::Copy) {
                    std::memcpy(dst, src, static_cast<std::size_t>(count) * 4);
                } else if (opacity == 255) {
                    blend_run(dst, src, count);
                } else {
                    blend_run(dst, src, count, opacity);
                }
            }
            return;
        }
    }

    // General path: per screen column a byte offset into the source (-1 outside the image), per row
    // another; their sum addresses the source pixel.
    std::int64_t column_offset[kChunk];
    for (std::int64_t chunk = x0; chunk < x1; chunk += kChunk) {
        const std::int64_t chunk_end = std::min<std::int64_t>(chunk + kChunk, x1);
        for (std::int64_t x = chunk; x < chunk_end; ++x) {
            std::int64_t i = x - r.x;
            if (r.flip_horizontal) i = ow - 1 - i;
            std::int64_t offset = -1;
            if (r.rotate) {
                const std::int64_t row = source_row(h - 1 - i);
                if (row >= 0 && row < image.height) offset = row * stride;
            } else {
                const std::int64_t col = source_col(i);
                if (col >= 0 && col < image.width) offset = col * 4;
            }
            column_offset[x - chunk] = offset;
        }
        for (std::int64_t y = y0; y < y1; ++y) {
            std::int64_t j = y - r.y;
            if (r.flip_vertical) j = oh - 1 - j;
            std::int64_t row_offset = -1;
            if (r.rotate) {
                const std::int64_t col = source_col(j);
                if (col >= 0 && col < image.width) row_offset = col * 4;
            } else {
                const std::int64_t row = source_row(j);
                if (row >= 0 && row < image.height) row_offset = row * stride;
            }
            if (row_offset < 0) continue;
            auto* dst = reinterpret_cast<std::uint32_t*>(bits + y * target_stride);
            for (std::int64_t x = chunk; x < chunk_end; ++x) {
                const std::int64_t offset = column_offset[x - chunk];
                if (offset < 0) continue;
                std::uint32_t s;
                std::memcpy(&s, pixels + row_offset + offset, 4);
                if (mode == Mode::Copy) {
                    dst[x] = s;
                } else {
                    if (opacity != 255) s = byte_mul(s, opacity);
                    dst[x] = over(dst[x], s);
                }
            }
        }
    }
}

}  // namespace

std::uint32_t blend_pixel(std::uint32_t destination, std::uint32_t source, std::uint32_t opacity) {
    if (opacity > 255) opacity = 255;
    if (opacity != 255) source = byte_mul(source, opacity);
    return over(destination, source);
}

bool draw_blends(const Image& image, const DrawRegion& region, const DrawOptions& options) {
    if (region.opacity == 255 && image.stored_depth < 32 && !image.colour_key_on && !image.has_transparency)
        return false;
    return image.depth == 32 && image.needs_blending &&
           (!options.disable_transparent_images || region.force_blending);
}

std::int32_t draw_image_region(QImage& target, const Image& image, const DrawRegion& region,
                               const DrawOptions& options, DrawQueue* queue) {
    if (image.empty() || image.depth != 32) return kImageFailed;
    if (queue && queue->active() && region.may_defer && queue->append(image, region)) return kImageLoaded;
    if (target.format() != QImage::Format_ARGB32_Premultiplied || target.isNull()) return kImageFailed;
    draw_now(target, image, region, draw_blends(image, region, options) ? Mode::Blend : Mode::Copy);
    return kImageLoaded;
}

std::int32_t draw_whole_image(QImage& target, const Image& image, std::int32_t x, std::int32_t y,
                              std::uint8_t opacity, const DrawOptions& options, DrawQueue* queue) {
    DrawRegion region;
    region.x = x;
    region.y = y;
    region.width = region.source_width = image.width;
    region.height = region.source_height = image.height;
    region.opacity = opacity;
    return draw_image_region(target, image, region, options, queue);
}

void DrawQueue::begin(bool clear) {
    if (clear) entries_.clear();
    if (entries_.capacity() < kInitialCapacity) {
        try {
            entries_.reserve(kInitialCapacity);
        } catch (const std::bad_alloc&) {
            // A queue that cannot grow draws directly.
        }
    }
    enabled_ = true;
}

bool DrawQueue::append(const Image& image, const DrawRegion& region) {
    try {
        entries_.push_back({&image, region});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void DrawQueue::flush(QImage& target, const DrawOptions& options, bool disable, bool free_memory) {
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.region.y != b.region.y ? a.region.y < b.region.y : a.region.x < b.region.x;
    });
    const bool was_enabled = enabled_;
    enabled_ = false;  // the queued calls draw now
    for (const Entry& entry : entries_) draw_image_region(target, *entry.image, entry.region, options, nullptr);
    entries_.clear();
    enabled_ = was_enabled && !disable;
    if (free_memory) entries_.shrink_to_fit();
}

void DrawQueue::release() {
    enabled_ = false;
    std::vector<Entry>().swap(entries_);
}

}  // namespace zorva
