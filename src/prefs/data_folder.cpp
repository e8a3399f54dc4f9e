#include "prefs/data_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "base/install_layout.h"

namespace zorva {

namespace {

std::optional<std::string> env(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::filesystem::path made_absolute(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal();
}

}  // namespace

std::filesystem::path choose_data_folder(const DataFolderInputs& inputs) {
    if (inputs.zorva_home && !inputs.zorva_home->empty()) return made_absolute(*inputs.zorva_home);

    if (!inputs.executable_folder.empty() && inputs.executable_folder_writable &&
        !inputs.executable_installed) {
        return made_absolute(inputs.executable_folder);
    }

    // A relative $XDG_CONFIG_HOME is invalid and ignored.
    if (inputs.xdg_config_home && !inputs.xdg_config_home->empty() &&
        std::filesystem::path(*inputs.xdg_config_home).is_absolute()) {
        return made_absolute(std::filesystem::path(*inputs.xdg_config_home) / "zorva");
    }
    if (inputs.home && !inputs.home->empty()) {
        return made_absolute(std::filesystem::path(*inputs.home) / ".config" / "zorva");
    }
    // No home at all: fall back to the program's own folder even though it may not be writable (saves then
    // fail silently), or the working folder.
    if (!inputs.executable_folder.empty()) return made_absolute(inputs.executable_folder);
    return made_absolute(".");
}

std::filesystem::path executable_folder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && exe.has_parent_path()) return exe.parent_path();
    std::filesystem::path cwd = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path() : cwd;
}

DataFolderInputs data_folder_inputs_from_environment() {
    DataFolderInputs inputs;
    inputs.zorva_home = env("ZORVA_HOME");
    if (!inputs.zorva_home || inputs.zorva_home->empty()) {
        inputs.executable_folder = executable_folder();
        inputs.executable_folder_writable =
            !inputs.executable_folder.empty() && ::access(inputs.executable_folder.c_str(), W_OK) == 0;
        inputs.executable_installed = runs_installed(inputs.executable_folder);
        inputs.xdg_config_home = env("XDG_CONFIG_HOME");
        inputs.home = env("HOME");
    }
    return inputs;
}

std::filesystem::path data_folder() { return choose_data_folder(data_folder_inputs_from_environment()); }

}  // namespace zorva
