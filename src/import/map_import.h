// The binary MAP import: reads a level from a foreign binary MAP file laid out as the ImportSettings
// describe, into a new project or merged into an open one.
//
// Every full width x height block of cells becomes one layer ("Layer00", "Layer01", ...) of one new map;
// each cell's number plus the tile index adjuster becomes its tile index. The map uses a new tile set made
// from the settings, or, when merging, the first tile set of the project with the same image (any letter
// case), tile size and transparency.
//
// The import allocates only what the file can fill: a map whose layer holds more cells than the file has
// bytes for from the start of the map array is refused, and so is a file that would make more layers than
// the memory limit allows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/platform.h"
#include "import/import_settings.h"
#include "import/map_source.h"
#include "model/ids.h"
#include "model/project.h"

namespace zorva {

inline constexpr std::int32_t kLargeMapSide = 500;  // a size read above this is asked about

struct ImportOptions {
    // Bytes the new layers may take together; 0 takes half of the machine's physical memory, or the memory
    // free at the start of the import when that is less.
    std::uint64_t memory_limit = 0;
};

struct ImportResult {
    bool ok = false;
    // The project the import made (without a merge target). On a failure nothing of it survives.
    std::unique_ptr<Project> project;
    ObjectId map_id = kInvalidId;  // the new map, for selection
    // On failure: what to show, with its caption. The importer's own message, or
    // "Failed to load the map:\n\n%s\n\n" with the MAP file's path where the importer has none (a file
    // that cannot be opened, a size question not answered Yes).
    std::string message;
    std::string caption;
    // On failure when merging: something was added to the target before the failure (it stays).
    bool target_changed = false;
};

// The import with the checks of the command: an empty MAP file name gives "Invalid Map file name." and an
// empty image name "Invalid Tile Set file name." (captions "Invalid Map file name." and
// "Invalid TileSet file name."). `target` is the project to merge into, or null for a new project. The
// size questions and out-of-memory warnings go through `platform`.
ImportResult import_binary_map(const ImportSettings& settings, Project* target, Platform& platform,
                               const ImportOptions& options = {});

// The import over a source already opened; `file_size` is the MAP file's size when known.
ImportResult import_binary_map(const ImportSettings& settings, MapSource& source,
                               std::optional<std::uint64_t> file_size, Project* target, Platform& platform,
                               const ImportOptions& options = {});

// Half of the machine's physical memory or the free memory, whichever is less (1 GB when neither can be
// found out).
std::uint64_t default_import_memory_limit();

}  // namespace zorva
