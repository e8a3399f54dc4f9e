// The names of the files one export writes, built from the output file the user chose.
#pragma once

#include <cstdint>
#include <string>

namespace zorva::binmap {

// The output file split into its folder (with its trailing separator; "/" and "\" both separate), its base
// name and its extension (from the last dot of the file name, the dot included).
struct OutputParts {
    std::string folder;
    std::string base;
    std::string extension;
};

OutputParts split_output_name(const std::string& output);

// The file of map `map_index` (0-based among all `map_count` maps):
//   - map-names flag: folder + the map's name, plus the output extension when the name has none; path
//     separators in the name are replaced by "_" so that a file never lands outside the folder;
//   - else with one map: the output file itself;
//   - else folder + base + the index zero-padded to 2 digits from 10 maps, 3 from 100, ... 6 from 100000 +
//     extension;
//   - then, with the remove-extensions flag, the extension of the name so built is dropped.
std::string map_file_name(const OutputParts& output, std::uint32_t map_count, std::uint32_t map_index,
                          const std::string& map_name, std::uint32_t flags);

}  // namespace zorva::binmap
