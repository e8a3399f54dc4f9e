// The TMX import: reads an orthogonal TMX map (and its external ".tsx" tile set) into one new map of a new
// project or of an open one.
//
// - The map's one tile set becomes a new tile set: image, tile size, margin as the first tile offset,
//   spacing, and "trans" as the transparent colour. Several tile sets are refused (their names are given),
//   unless they all cut the same image the same way.
// - Every tile layer becomes a layer with its name, visibility, opacity, parallax as scroll speed and
//   offsets (in whole cells; other offsets are rounded and noted). Groups are flattened. Layer data may be
//   CSV, XML tiles, or base64, uncompressed or compressed with zlib, gzip or zstd (when built with it).
//   Infinite maps' chunks are joined into one grid per layer covering the chunks that hold tiles.
// - The flip bits of a cell become H, V and R so that it draws the same: without the anti-diagonal bit
//   H = h and V = v; with it R is set, H = not h and V = v.
// - Objects go to the tile layer before their object group (the first tile layer when none comes before):
//   tile objects become instance entities of generated parent entities (one per tile), rectangles and
//   ellipses become triggers, polylines and polygons become paths. Points, texts, templates and rotations
//   cannot be represented: they are noted and left out.
// - Properties become custom variables: the first 100, texts cut to 50 characters; on entities and path
//   points numbers (clamped to 16 bits). In a new project the property names label the variables.
//
// XML entities are never expanded. Cell data is bounded by the declared sizes and by the memory limit, and
// a declared size the data cannot fill is refused before anything of it is allocated. Files are only ever
// opened for reading, and only regular files of bounded size are read.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/map_import.h"
#include "model/project.h"

namespace zorva {

struct TmxImportOptions {
    // Bytes the cells of all layers may take together; 0 takes default_import_memory_limit().
    std::uint64_t memory_limit = 0;
};

struct TmxImportResult : ImportResult {
    // What the import could not carry over, one line each, for the user.
    std::vector<std::string> notes;
};

// Reads a file that the map refers to (an external tile set); nullopt when it cannot be read.
using TmxFileReader = std::function<std::optional<std::string>(const std::string& path)>;

// Imports the TMX file at `path` into a new project (`target` null) or into `target`.
TmxImportResult import_tmx_map(const std::string& path, Project* target,
                               const TmxImportOptions& options = {});

// Imports TMX text that was read from `path` (relative file names are resolved against its folder);
// external tile sets are read through `read_file`.
TmxImportResult import_tmx_text(std::string_view text, const std::string& path,
                                const TmxFileReader& read_file, Project* target,
                                const TmxImportOptions& options = {});

// Reads a regular file of at most `limit` bytes, opened for reading only; nullopt otherwise.
std::optional<std::string> read_tmx_file(const std::string& path, std::uint64_t limit);

}  // namespace zorva
