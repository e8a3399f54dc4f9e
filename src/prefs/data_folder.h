// The data folder: where "Settings.cfg", the automatic backups ("Autoback/") and the binary exporter's
// remembered settings live.
//
// Chosen in this order:
//   1. $ZORVA_HOME when it is set and not empty;
//   2. the folder of the running executable when it is writable and not an installation (a portable,
//      unpacked editor or a build tree; an installed editor keeps nothing beside its programs, even when
//      the folder is writable, as /usr/bin is for root or ~/.local/bin for its owner);
//   3. the per-user configuration folder: $XDG_CONFIG_HOME/zorva when that is an absolute path, else
//      ~/.config/zorva.
// The folder is not created here; writers create it when they first store something.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zorva {

// Everything the choice depends on, so that it can be made without touching the process environment.
struct DataFolderInputs {
    std::optional<std::string> zorva_home;    // $ZORVA_HOME
    std::filesystem::path executable_folder;  // empty when unknown
    bool executable_folder_writable = false;
    bool executable_installed = false;  // the executable runs from an installation (install_layout.h)
    std::optional<std::string> xdg_config_home;  // $XDG_CONFIG_HOME
    std::optional<std::string> home;             // $HOME
};

// The pure choice. Always returns an absolute path (relative inputs are made absolute against the
// current working folder).
std::filesystem::path choose_data_folder(const DataFolderInputs& inputs);

// Folder of the running program (from /proc/self/exe); the current working folder when that cannot be
// found.
std::filesystem::path executable_folder();

// Gathers the inputs from the environment and the running program, then chooses.
DataFolderInputs data_folder_inputs_from_environment();
std::filesystem::path data_folder();

}  // namespace zorva
