// The XML project file reader: turns a ".xml" project document into a new Project.
//
// The whole file is read into one buffer and parsed in place, byte for byte without recoding. The long
// runs of <grid> cells are read by a dedicated scanner before the document tree is built, so the tree
// stays small and memory stays well below three times the file size.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/platform.h"
#include "projectfile/load_result.h"

namespace zorva {

// Reads the project file at `path`. On success the result holds the new Project (its path and file name
// set to `path`); on failure no project, the nested failure message (possibly empty) and the version
// flags. `platform` receives only the model's out-of-memory messages; images load quietly.
LoadResult read_xml_project(std::string_view path, Platform* platform = nullptr);

// The same for a document already in memory; `path` is the base for relative paths and the name the
// project takes.
LoadResult read_xml_project_from_memory(std::string_view bytes, std::string_view path,
                                        Platform* platform = nullptr);

// The attribute value readers, exposed for tests.
namespace xml_values {
// "0xffffffff" in any letter case gives 0xFFFFFFFF; otherwise a decimal 64-bit integer cut to 32 bits
// (so "-1" also gives 0xFFFFFFFF and a non-number gives 0).
std::uint32_t parse_id(std::string_view text);
// A decimal integer, saturated to 32 bits.
std::int32_t parse_signed(std::string_view text);
// A decimal floating-point number; 0 when there is none.
float parse_float(std::string_view text);
// "0"/"false" and "1"/"true" in any case, else true for a non-zero integer.
bool parse_bool(std::string_view text);
// Grid cell text "T,H,V,R,A": up to five unsigned numbers separated by commas (missing ones are 0); T may
// be "0xFFFFFFFF"; the attribute is cut to 8 bits. Only the first 99 characters count.
struct CellValues {
    std::uint32_t tile = 0;
    std::uint32_t flags = 0;
};
CellValues parse_cell(std::string_view text);
}  // namespace xml_values

}  // namespace zorva
