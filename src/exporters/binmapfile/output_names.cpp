#include "exporters/binmapfile/output_names.h"

#include <algorithm>
#include <cstdio>

#include "exporters/binmapfile/export_list.h"

namespace zorva::binmap {
namespace {

std::size_t file_part_start(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? 0 : separator + 1;
}

// Position of the extension's dot in the file part of `path`, or npos.
std::size_t extension_dot(const std::string& path) {
    const std::size_t start = file_part_start(path);
    const std::size_t dot = path.rfind('.');
    return dot == std::string::npos || dot < start ? std::string::npos : dot;
}

int index_width(std::uint32_t map_count) {
    if (map_count < 10) return 0;
    if (map_count < 100) return 2;
    if (map_count < 1000) return 3;
    if (map_count < 10000) return 4;
    if (map_count < 100000) return 5;
    return 6;
}

}  // namespace

OutputParts split_output_name(const std::string& output) {
    OutputParts parts;
    const std::size_t start = file_part_start(output);
    parts.folder = output.substr(0, start);
    const std::size_t dot = extension_dot(output);
    if (dot == std::string::npos) {
        parts.base = output.substr(start);
    } else {
        parts.base = output.substr(start, dot - start);
        parts.extension = output.substr(dot);
    }
    return parts;
}

std::string map_file_name(const OutputParts& output, std::uint32_t map_count, std::uint32_t map_index,
                          const std::string& map_name, std::uint32_t flags) {
    std::string name;
    if (flags & kFlagMapNames) {
        std::string file = map_name;
        std::replace(file.begin(), file.end(), '/', '_');
        std::replace(file.begin(), file.end(), '\\', '_');
        name = output.folder + file;
        if (extension_dot(file) == std::string::npos) name += output.extension;
    } else if (map_count == 1) {
        name = output.folder + output.base + output.extension;
    } else {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%0*u", index_width(map_count),
                      static_cast<unsigned>(map_index));
        name = output.folder + output.base + digits + output.extension;
    }
    if (flags & kFlagRemoveExtensions) {
        const std::size_t dot = extension_dot(name);
        if (dot != std::string::npos) name.erase(dot);
    }
    return name;
}

}  // namespace zorva::binmap
