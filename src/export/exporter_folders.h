// Where exporter plug-ins are found. The "Exporters" folder beside the program comes first (a build tree
// or an unpacked editor), then the installed plug-in folder (<prefix>/lib/<multiarch>/zorva/Exporters/),
// then "Exporters" in the user's data folder, for plug-ins of the user's own. A plug-in is a shared library
// whose file name ends in ".so" (any letter case); a name found in an earlier folder hides the same name
// in a later one, so the export dialog and zorva-cli agree on which file a name means.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorva {

// The three folders in the order above; a folder that is the same as an earlier one is left out.
std::vector<std::filesystem::path> exporter_folders(const std::filesystem::path& program_folder,
                                                    const std::filesystem::path& data_folder);

struct ExporterFile {
    std::string name;            // the file name, "Scrivo.so"
    std::filesystem::path path;  // where it lies
};

// Every plug-in of `folders`, sorted by name ignoring letter case; folders that do not exist hold none.
std::vector<ExporterFile> list_exporters(const std::vector<std::filesystem::path>& folders);

// The path of the plug-in called `file_name` (letter case ignored) in the first folder that holds it;
// empty when none does.
std::filesystem::path find_exporter_file(const std::vector<std::filesystem::path>& folders,
                                         std::string_view file_name);

}  // namespace zorva
