#include "render/draw_image.h"

#include <QImage>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <new>
#include <optional>

#include "image/image_loader.h"

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

enum class Mode { Copy, Blend, BlendOpacity };

constexpr std::int32_t kChunk = 256;  // screen columns mapped at a time
constexpr std::int64_t kPrefetchRows = 3;

// Nearest-neighbour mapping along one axis without divisions per pixel: destination index d (0..n-1)
// shows source index s0 + floor(d × sn / n). `step` moves d by +1 or -1.
class AxisWalker {
public:
    AxisWalker(std::int64_t s0, std::int64_t sn, std::int64_t n, std::int64_t d, int direction)
        : n_(n), direction_(direction) {
        // Divisions are slow next to the few pixels of a small tile: skip or narrow them where possible.
        divide(sn, whole_, part_);
        divide(d * sn, quotient_, remainder_);
        quotient_ += s0;
    }
    std::int64_t value() const { return quotient_; }
    void step() {
        if (direction_ > 0) {
            quotient_ += whole_;
            remainder_ += part_;
            if (remainder_ >= n_) {
                remainder_ -= n_;
                ++quotient_;
            }
        } else {
            quotient_ -= whole_;
            remainder_ -= part_;
            if (remainder_ < 0) {
                remainder_ += n_;
                --quotient_;
            }
        }
    }

private:
    void divide(std::int64_t value, std::int64_t& quotient, std::int64_t& remainder) const {
        if (value < n_) {
            quotient = 0;
            remainder = value;
        } else if (value == n_) {
            quotient = 1;
            remainder = 0;
        } else if (value <= 0xFFFFFFFF && n_ <= 0xFFFFFFFF) {
            const auto q = static_cast<std::uint32_t>(value) / static_cast<std::uint32_t>(n_);
            quotient = q;
            remainder = value - static_cast<std::int64_t>(q) * n_;
        } else {
            quotient = value / n_;
            remainder = value % n_;
        }
    }

    std::int64_t n_, whole_ = 0, part_ = 0;
    std::int64_t quotient_ = 0, remainder_ = 0;
    int direction_;
};

// An opaque copy leaves nothing of the target showing: every pixel it writes is opaque, so pixels
// keyed out (all zero) arrive as black.
constexpr std::uint32_t kOpaque = 0xFF000000u;

template <Mode mode>
inline void put(std::uint32_t& d, std::uint32_t s, std::uint32_t opacity) {
    if constexpr (mode == Mode::Copy) {
        d = s | kOpaque;
    } else if constexpr (mode == Mode::Blend) {
        const std::uint32_t a = s >> 24;
        if (a == 255)
            d = s;
        else if (s != 0)
            d = s + byte_mul(d, 255 - a);
    } else {
        if (s != 0) d = over(d, byte_mul(s, opacity));
    }
}

#if defined(__SSE2__)
// Source-over of four pixels at once; the same rounding as byte_mul, so results match the scalar path.
inline __m128i over4(__m128i d, __m128i s) {
    const __m128i zero = _mm_setzero_si128();
    __m128i inverse = _mm_sub_epi32(_mm_set1_epi32(255), _mm_srli_epi32(s, 24));
    inverse = _mm_or_si128(inverse, _mm_slli_epi32(inverse, 16));
    const __m128i inverse_lo = _mm_unpacklo_epi32(inverse, inverse);
    const __m128i inverse_hi = _mm_unpackhi_epi32(inverse, inverse);
    const __m128i half = _mm_set1_epi16(128);
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), inverse_lo), half);
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), inverse_hi), half);
    lo = _mm_srli_epi16(_mm_add_epi16(lo, _mm_srli_epi16(lo, 8)), 8);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, _mm_srli_epi16(hi, 8)), 8);
    return _mm_add_epi8(_mm_packus_epi16(lo, hi), s);
}

// Blends four source pixels into dst[0..3]: stores opaque groups, skips empty ones.
inline void blend4(std::uint32_t* dst, __m128i s) {
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alpha), alpha)) == 0xFFFF) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), s);
    } else if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, _mm_setzero_si128())) != 0xFFFF) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), over4(d, s));
    }
}

inline __m128i gather4(const std::uint32_t* src, std::int64_t step) {
    return _mm_set_epi32(static_cast<int>(src[3 * step]), static_cast<int>(src[2 * step]),
                         static_cast<int>(src[step]), static_cast<int>(src[0]));
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define ZORVA_HAS_AVX2_PATH 1
#include <immintrin.h>

// The same blend, eight pixels at a time, for processors with AVX2 (chosen at run time).
__attribute__((target("avx2"))) inline __m256i over8(__m256i d, __m256i s) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i inverse = _mm256_sub_epi32(_mm256_set1_epi32(255), _mm256_srli_epi32(s, 24));
    inverse = _mm256_or_si256(inverse, _mm256_slli_epi32(inverse, 16));
    const __m256i inverse_lo = _mm256_unpacklo_epi32(inverse, inverse);
    const __m256i inverse_hi = _mm256_unpackhi_epi32(inverse, inverse);
    const __m256i half = _mm256_set1_epi16(128);
    __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), inverse_lo), half);
    __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), inverse_hi), half);
    lo = _mm256_srli_epi16(_mm256_add_epi16(lo, _mm256_srli_epi16(lo, 8)), 8);
    hi = _mm256_srli_epi16(_mm256_add_epi16(hi, _mm256_srli_epi16(hi, 8)), 8);
    return _mm256_add_epi8(_mm256_packus_epi16(lo, hi), s);
}

__attribute__((target("avx2"))) inline void blend8(std::uint32_t* dst, __m256i s) {
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const int opaque = _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(s, alpha), alpha));
    if (opaque == -1) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), s);
    } else if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(s, _mm256_setzero_si256())) != -1) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), over8(d, s));
    }
}

// Blends whole groups of eight; returns how many pixels it did.
__attribute__((target("avx2"))) std::int64_t blend_run_avx2(std::uint32_t* dst, const std::uint32_t* src,
                                                            std::int64_t step, std::int64_t count) {
    std::int64_t i = 0;
    if (step == 1) {
        for (; i + 8 <= count; i += 8)
            blend8(dst + i, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)));
    } else if (step == -1) {
        // A mirrored run: eight neighbours loaded at once and put in reverse order, instead of a gather.
        const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
        for (; i + 8 <= count; i += 8) {
            const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src - i - 7));
            blend8(dst + i, _mm256_permutevar8x32_epi32(s, reverse));
        }
    } else {
        const __m256i index = _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7),
                                                 _mm256_set1_epi32(static_cast<int>(step)));
        if (step * 7 <= INT32_MAX && step * 7 >= INT32_MIN) {
            for (; i + 8 <= count; i += 8)
                blend8(dst + i,
                       _mm256_i32gather_epi32(reinterpret_cast<const int*>(src + i * step), index, 4));
        }
    }
    return i;
}

__attribute__((target("avx2"))) std::int64_t blend_mapped_avx2(std::uint32_t* dst, const std::uint32_t* base,
                                                               const std::int64_t* offsets,
                                                               std::int64_t count) {
    std::int64_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offsets + i));
        const __m256i index_hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offsets + i + 4));
        const __m128i lo = _mm256_i64gather_epi32(reinterpret_cast<const int*>(base), index, 4);
        const __m128i hi = _mm256_i64gather_epi32(reinterpret_cast<const int*>(base), index_hi, 4);
        blend8(dst + i, _mm256_set_m128i(hi, lo));
    }
    return i;
}

bool has_avx2() {
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
}
#endif

// A run of `count` screen pixels whose source pixels lie `step` pixels apart (contiguous when 1).
template <Mode mode>
void draw_run(std::uint32_t* dst, const std::uint32_t* src, std::int64_t step, std::int64_t count,
              std::uint32_t opacity) {
    std::int64_t i = 0;
    if constexpr (mode == Mode::Copy) {
        if (step == 1) {
            for (; i < count; ++i) dst[i] = src[i] | kOpaque;
            return;
        }
    }
#if defined(__SSE2__)
    if constexpr (mode == Mode::Blend) {
#if defined(ZORVA_HAS_AVX2_PATH)
        if (has_avx2()) i = blend_run_avx2(dst, src, step, count);
#endif
        if (step == 1) {
            for (; i + 4 <= count; i += 4)
                blend4(dst + i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
        } else {
            for (; i + 4 <= count; i += 4) blend4(dst + i, gather4(src + i * step, step));
        }
    }
#endif
    for (; i < count; ++i) put<mode>(dst[i], src[i * step], opacity);
}

// A run through a table of source offsets (in pixels from the row's base; -1 outside the image).
template <Mode mode, bool checked>
void draw_mapped(std::uint32_t* dst, const std::uint32_t* base, const std::int64_t* offsets,
                 std::int64_t count, std::uint32_t opacity) {
    std::int64_t i = 0;
#if defined(__SSE2__)
    if constexpr (mode == Mode::Blend && !checked) {
#if defined(ZORVA_HAS_AVX2_PATH)
        if (has_avx2()) i = blend_mapped_avx2(dst, base, offsets, count);
#endif
        for (; i + 4 <= count; i += 4) {
            const __m128i s =
                _mm_set_epi32(static_cast<int>(base[offsets[i + 3]]), static_cast<int>(base[offsets[i + 2]]),
                              static_cast<int>(base[offsets[i + 1]]), static_cast<int>(base[offsets[i]]));
            blend4(dst + i, s);
        }
    }
#endif
    for (; i < count; ++i) {
        const std::int64_t offset = offsets[i];
        if (checked && offset < 0) continue;
        put<mode>(dst[i], base[offset], opacity);
    }
}

template <Mode mode>
void draw_now(QImage& target, const Image& image, const DrawRegion& r) {
    const std::int64_t w = r.width;
    const std::int64_t h = r.height;
    const std::int64_t sw = r.source_width;
    const std::int64_t sh = r.source_height;
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
    const std::int64_t stride = image.stride / 4;  // in pixels
    const auto* const pixels = reinterpret_cast<const std::uint32_t*>(image.pixels());
    std::uint8_t* const bits = target.bits();
    const std::int64_t target_stride = target.bytesPerLine();

    // Screen pixel (i, j) relative to (r.x, r.y), after undoing the flips (i', j'), shows unrotated
    // destination pixel (u, v) = (i', j'), or with the rotation (j', h - 1 - i').
    // Along screen x: the index i' at x0 and its direction; likewise along y.
    const std::int64_t i_start = r.flip_horizontal ? ow - 1 - (x0 - r.x) : x0 - r.x;
    const int i_dir = r.flip_horizontal ? -1 : 1;
    const std::int64_t j_start = r.flip_vertical ? oh - 1 - (y0 - r.y) : y0 - r.y;
    const int j_dir = r.flip_vertical ? -1 : 1;

    // The axis of the source walked along screen x (columns, or rows when rotated) and along screen y.
    std::int64_t x_limit, x_unit, y_limit, y_unit;
    std::optional<AxisWalker> along_x, along_y;
    if (r.rotate) {
        along_x.emplace(r.source_y, sh, h, h - 1 - i_start, -i_dir);
        along_y.emplace(r.source_x, sw, w, j_start, j_dir);
        x_limit = image.height;
        x_unit = stride;
        y_limit = image.width;
        y_unit = 1;
    } else {
        along_x.emplace(r.source_x, sw, w, i_start, i_dir);
        along_y.emplace(r.source_y, sh, h, j_start, j_dir);
        x_limit = image.width;
        x_unit = 1;
        y_limit = image.height;
        y_unit = stride;
    }
    const std::int64_t count = x1 - x0;

    // Unscaled along x: the source pixels of a screen row lie a constant step apart.
    const bool unscaled_x = r.rotate ? sh == h : sw == w;
    if (unscaled_x) {
        const std::int64_t first = along_x->value();
        const std::int64_t direction = r.rotate ? -i_dir : i_dir;  // of the source index per screen pixel
        const std::int64_t step = direction * x_unit;
        const std::int64_t last = first + (count - 1) * direction;
        if (std::min(first, last) >= 0 && std::max(first, last) < x_limit) {
            for (std::int64_t y = y0; y < y1; ++y, along_y->step()) {
                const std::int64_t source = along_y->value();
                if (source < 0 || source >= y_limit) continue;
                const std::uint32_t* src = pixels + source * y_unit + first * x_unit;
                auto* dst = reinterpret_cast<std::uint32_t*>(bits + y * target_stride) + x0;
#if defined(__SSE2__)
                // Rows of the target lie far apart; ask for the destination a few rows ahead.
                if (y + kPrefetchRows < y1) {
                    const auto* ahead = reinterpret_cast<const char*>(dst) + kPrefetchRows * target_stride;
                    for (std::int64_t b = 0; b < count * 4; b += 64) _mm_prefetch(ahead + b, _MM_HINT_T0);
                }
#endif
                draw_run<mode>(dst, src, step, count, opacity);
            }
            return;
        }
    }

    // General case: a table of source offsets per chunk of screen columns.
    std::int64_t offsets[kChunk];
    for (std::int64_t chunk = x0; chunk < x1; chunk += kChunk) {
        const std::int64_t chunk_count = std::min<std::int64_t>(kChunk, x1 - chunk);
        bool all_inside = true;
        for (std::int64_t k = 0; k < chunk_count; ++k, along_x->step()) {
            const std::int64_t source = along_x->value();
            if (source >= 0 && source < x_limit) {
                offsets[k] = source * x_unit;
            } else {
                offsets[k] = -1;
                all_inside = false;
            }
        }
        AxisWalker rows = *along_y;
        for (std::int64_t y = y0; y < y1; ++y, rows.step()) {
            const std::int64_t source = rows.value();
            if (source < 0 || source >= y_limit) continue;
            const std::uint32_t* base = pixels + source * y_unit;
            auto* dst = reinterpret_cast<std::uint32_t*>(bits + y * target_stride) + chunk;
            if (all_inside)
                draw_mapped<mode, false>(dst, base, offsets, chunk_count, opacity);
            else
                draw_mapped<mode, true>(dst, base, offsets, chunk_count, opacity);
        }
    }
}

void draw_region(QImage& target, const Image& image, const DrawRegion& r, bool blend) {
    if (!blend)
        draw_now<Mode::Copy>(target, image, r);
    else if (r.opacity == 255)
        draw_now<Mode::Blend>(target, image, r);
    else if (r.opacity != 0)
        draw_now<Mode::BlendOpacity>(target, image, r);
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
    draw_region(target, image, region, draw_blends(image, region, options));
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
    for (const Entry& entry : entries_)
        draw_image_region(target, *entry.image, entry.region, options, nullptr);
    entries_.clear();
    enabled_ = was_enabled && !disable;
    if (free_memory) entries_.shrink_to_fit();
}

void DrawQueue::release() {
    enabled_ = false;
    std::vector<Entry>().swap(entries_);
}

}  // namespace zorva
