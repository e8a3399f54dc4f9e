#include "base/install_layout.h"

#include <system_error>

namespace zorva {

std::filesystem::path installed_exporters_folder(const std::filesystem::path& program_folder) {
    return (program_folder / ZORVA_BIN_TO_EXPORTERS).lexically_normal();
}

std::filesystem::path installed_share_folder(const std::filesystem::path& program_folder) {
    return (program_folder / ZORVA_BIN_TO_SHARE).lexically_normal();
}

bool runs_installed(const std::filesystem::path& program_folder) {
    if (program_folder.empty()) return false;
    std::error_code error;
    return std::filesystem::is_directory(installed_share_folder(program_folder), error);
}

}  // namespace zorva
