#include "app/properties_rules.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <new>

#include "image/image_loader.h"
#include "model/layer.h"

namespace zorva {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string printed(const char* format, long long value) {
    char text[96];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

long long parse_clamped(std::string_view text, long long min, long long max, long long fallback) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return fallback;
    // Digits only; a number too long for 64 bits is simply as far out of range as it can be.
    long long value = 0;
    bool saturated = false;
    for (char c : text) {
        if (c < '0' || c > '9') return fallback;
        if (!saturated) {
            if (value > (std::numeric_limits<long long>::max() - (c - '0')) / 10)
                saturated = true;
            else
                value = value * 10 + (c - '0');
        }
    }
    if (saturated) return negative ? min : max;
    if (negative) value = -value;
    return std::clamp(value, min, max);
}

float parse_float(std::string_view text, float fallback) {
    std::string copy(trimmed(text));
    std::replace(copy.begin(), copy.end(), ',', '.');
    if (copy.empty()) return fallback;
    float value = 0.0f;
    const char* begin = copy.data();
    if (*begin == '+') ++begin;
    const auto [end, error] = std::from_chars(begin, copy.data() + copy.size(), value);
    if (error != std::errc() || end != copy.data() + copy.size()) return fallback;
    if (value != value) return fallback;  // not a number
    return value;
}

std::string format_float(float value) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    if (error != std::errc()) return "0";
    return std::string(text, end);
}

std::int32_t layer_dimension(long long typed) {
    if (typed < 1) return 1;
    if (typed > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(typed);
}

bool layer_size_is_big(long long width, long long height) {
    if (width <= 0 || height <= 0) return false;
    // Either side alone beyond the limit makes the product exceed it (and keeps it from overflowing).
    if (width > kLargeLayerCells || height > kLargeLayerCells) return true;
    return width * height > kLargeLayerCells;
}

std::string frame_size_warning(const ParentEntityProperties& entity, const Image& image) {
    if (image.empty()) return {};
    std::string text;
    if (entity.single_frame_pixel_width > image.width)
        text += "The frame width is greater than the image width.\n\n";
    if (entity.single_frame_pixel_height > image.height)
        text += "The frame height is greater than the image height.\n\n";
    return text;
}

ImageFacts image_facts(const Image& image, const TileCount& count, std::string_view noun) {
    ImageFacts facts;
    const bool loaded = !image.empty();
    char text[96];
    std::snprintf(text, sizeof text, "Image size:  %d x %d", loaded ? image.stored_width : 0,
                  loaded ? image.stored_height : 0);
    facts.size = text;
    facts.depth = printed("Colour Depth: %lld", loaded ? image.stored_depth : 0);
    const std::string head = "Number of " + std::string(noun);
    facts.count = printed((head + ":  %lld").c_str(), count.count);
    facts.across = printed((head + " across:  %lld").c_str(), count.across);
    facts.down = printed((head + " down:  %lld").c_str(), count.down);
    return facts;
}

PreviewRect fit_preview(int image_width, int image_height, int area_width, int area_height) {
    PreviewRect drawn;
    if (image_width <= 0 || image_height <= 0 || area_width <= 0 || area_height <= 0) return drawn;
    if (image_width <= area_width && image_height <= area_height) {
        drawn.width = image_width;
        drawn.height = image_height;
    } else {
        // The side that overflows most sets the scale.
        const double scale = std::min(static_cast<double>(area_width) / image_width,
                                      static_cast<double>(area_height) / image_height);
        drawn.width = std::max(1, static_cast<int>(image_width * scale));
        drawn.height = std::max(1, static_cast<int>(image_height * scale));
    }
    drawn.x = (area_width - drawn.width) / 2;
    drawn.y = (area_height - drawn.height) / 2;
    return drawn;
}

std::optional<std::uint32_t> colour_at_preview_point(const Image& image, const PreviewRect& drawn, int x,
                                                     int y) {
    if (image.empty() || drawn.width <= 0 || drawn.height <= 0 || !drawn.contains(x, y)) return std::nullopt;
    const long long px = static_cast<long long>(x - drawn.x) * image.width / drawn.width;
    const long long py = static_cast<long long>(y - drawn.y) * image.height / drawn.height;
    if (px < 0 || py < 0 || px >= image.width || py >= image.height) return std::nullopt;
    const std::uint8_t* pixel = image.row(static_cast<int>(py)) + 4 * px;
    unsigned blue = pixel[0];
    unsigned green = pixel[1];
    unsigned red = pixel[2];
    const unsigned alpha = pixel[3];
    if (alpha != 0 && alpha != 255) {
        blue = std::min(255u, blue * 255 / alpha);
        green = std::min(255u, green * 255 / alpha);
        red = std::min(255u, red * 255 / alpha);
    }
    return red | (green << 8) | (blue << 16);
}

ImageFieldResult leave_image_field(std::string_view previous, std::string_view typed, Image& image,
                                   bool key_on, std::uint32_t key_colour, Platform& platform) {
    ImageFieldResult result;
    // A path field holds at most 259 characters.
    const std::string text(typed.substr(0, std::min(typed.size(), kPathLength)));
    if (text.empty() || text == previous) {
        result.text = text.empty() ? std::string(previous) : text;
        return result;
    }
    Image loaded;
    std::int32_t outcome = kImageFailed;
    try {
        outcome = load_image(loaded, text, ImageKind::Empty, &platform, false, key_on, key_colour);
    } catch (const std::bad_alloc&) {
        outcome = kImageFailed;
    }
    if (outcome != kImageLoaded || loaded.empty()) {
        // The loader has said why an unsupported type fails; every other failure is said here.
        if (outcome != kImageUnsupportedType)
            platform.message_box("Failed to load the image:\n\n" + text + "\n\n", "Error", MessageButtons::Ok,
                                 MessageIcon::Stop, Answer::Ok);
        result.text = std::string(previous);
        return result;
    }
    copy_image(image, loaded);
    result.text = text;
    result.loaded = true;
    return result;
}

}  // namespace zorva
