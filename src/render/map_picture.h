// A whole map as a picture: the union of its layers' grids with their offsets, drawn at a zoom onto a
// transparent backdrop without grid, origin marker, layer outline, warning frames or counts, and
// written as PNG band by band. For documentation, previews and build pipelines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "image/png_writer.h"
#include "view/view_geometry.h"

namespace zorva {

class BuiltinPictures;
class Preferences;
class Project;
struct Map;

// The largest picture drawn: 32768 pixels a side and 268,435,456 pixels (1 GB of pixels) in all.
inline constexpr std::int64_t kMaxPictureSide = 32768;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 28;

// The text for a refused size.
std::string picture_size_refusal(std::int64_t width, std::int64_t height);
bool picture_size_allowed(std::int64_t width, std::int64_t height);

struct PictureGeometry {
    CellPosition camera;  // the extent's top-left cell
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The picture of `map` at `zoom_percent` (clamped to 1..800); width or height 0 when there is nothing.
PictureGeometry map_picture_geometry(const Project& project, const Map& map, std::uint32_t zoom_percent);

struct PictureOptions {
    std::uint32_t zoom_percent = 100;
    std::int64_t band_rows = 256;
    PngSettings png;
};

struct PictureResult {
    bool ok = false;
    std::string message;  // why it failed
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// Draws `map` whole and writes it to `path` as PNG. The project's zoom and selection are left as
// they were. Refuses sizes above the limit.
PictureResult write_map_picture(Project& project, Map& map, const Preferences& preferences,
                                const BuiltinPictures& pictures, const PictureOptions& options,
                                std::string_view path);

}  // namespace zorva
