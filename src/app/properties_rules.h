// The rules of the properties dialogs that need no widgets: numbers typed into fields, the layer size and
// its warning, the entity's frame-size warning, the lines that describe an image and its tiles or frames,
// where a preview is drawn and which colour a click on it picks, and what leaving an image path field does.
// The Qt dialogs only put these on screen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/platform.h"
#include "image/image.h"
#include "model/entity.h"
#include "model/tile_set.h"

namespace zorva {

// --- Numbers typed into fields ---------------------------------------------------------------------------

// A whole number typed into a field (an optional sign, then digits; blanks around are allowed), clamped
// into [min, max]. Anything else gives `fallback`.
long long parse_clamped(std::string_view text, long long min, long long max, long long fallback);
// A decimal number such as "1.5" (a comma counts as the decimal point); anything else gives `fallback`.
float parse_float(std::string_view text, float fallback);
// The shortest text that reads back as `value` ("1", "1.5", "0.25").
std::string format_float(float value);

// --- Layers ----------------------------------------------------------------------------------------------

// Above this many cells the layer dialog warns (the warning does not block).
inline constexpr std::string_view kLayerSizeWarning =
    "Warning: The layer size is big. It may use up all your\ncomputer's memory and cause your computer to "
    "slow down\nsignificantly.\n";
// A typed width or height: 0 or less becomes 1; more than the largest 32-bit number is cut to it.
std::int32_t layer_dimension(long long typed);
// True when width * height exceeds 4,000,000 cells.
bool layer_size_is_big(long long width, long long height);

// --- Parent entities -------------------------------------------------------------------------------------

// The question asked when an entity is confirmed with a frame larger than its loaded image:
// "The frame width is greater than the image width.\n\n" and/or the same for the height; empty when the
// frame fits or no image is loaded.
std::string frame_size_warning(const ParentEntityProperties& entity, const Image& image);

// --- Image facts -----------------------------------------------------------------------------------------

// The lines a dialog shows about its image and the tiles (or frames) cut from it:
// "Image size:  %d x %d", "Colour Depth: %d", "Number of <noun>:  %d", "Number of <noun> across:  %d",
// "Number of <noun> down:  %d". Without an image the size and depth read 0.
struct ImageFacts {
    std::string size;
    std::string depth;
    std::string count;
    std::string across;
    std::string down;
};
ImageFacts image_facts(const Image& image, const TileCount& count, std::string_view noun);

// --- Previews --------------------------------------------------------------------------------------------

// Where an image is drawn in a preview area: whole, at its own size when it fits, otherwise scaled down
// (keeping its proportions) into the area; centred.
struct PreviewRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};
PreviewRect fit_preview(int image_width, int image_height, int area_width, int area_height);

// The colour (0x00BBGGRR) of the image pixel under the preview point (x, y): the point is mapped from the
// drawn rectangle to image pixels (x scaled by image width / drawn width, y by image height / drawn height,
// both truncated; rows from the top). None when the point is outside the drawn image. Partly transparent
// pixels give their colour before premultiplication.
std::optional<std::uint32_t> colour_at_preview_point(const Image& image, const PreviewRect& drawn, int x,
                                                     int y);

// --- Image path fields -----------------------------------------------------------------------------------

// What leaving an image path field did.
struct ImageFieldResult {
    std::string text;     // what the field shows now
    bool loaded = false;  // `image` holds the newly named picture
};

// The image path field was left with `typed` after showing `previous`. An empty field, or one that names
// an image that cannot be loaded, gets `previous` back (and `image` keeps what it held); an unsupported
// type is reported by the loader, any other failure with "Failed to load the image:\n\n%s\n\n" (caption
// "Error"). An unchanged text loads nothing. Otherwise the named picture replaces `image`, with the colour
// key when `key_on`.
ImageFieldResult leave_image_field(std::string_view previous, std::string_view typed, Image& image,
                                   bool key_on, std::uint32_t key_colour, Platform& platform);

}  // namespace zorva
