// Where an installed editor finds its own files, relative to the folder of its programs: the exporter
// plug-ins in the library folder (<prefix>/lib/<multiarch>/zorva/Exporters/) and the help and the sample
// projects in the shared data folder (<prefix>/share/zorva/). The relative paths come from the build's
// install settings, so an installation under any prefix finds its files, wherever it was put.
#pragma once

#include <filesystem>

namespace zorva {

// <prefix>/lib/<multiarch>/zorva/Exporters/ for programs in <prefix>/bin/.
std::filesystem::path installed_exporters_folder(const std::filesystem::path& program_folder);

// <prefix>/share/zorva/ for programs in <prefix>/bin/.
std::filesystem::path installed_share_folder(const std::filesystem::path& program_folder);

// True when the programs run from an installation: their shared data folder exists. A build tree or an
// unpacked editor has none.
bool runs_installed(const std::filesystem::path& program_folder);

}  // namespace zorva
