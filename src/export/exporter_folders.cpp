#include "export/exporter_folders.h"

#include <algorithm>
#include <system_error>

#include "base/ascii_text.h"
#include "base/install_layout.h"

namespace zorva {
namespace fs = std::filesystem;

namespace {

// The plug-ins of one folder, in the order the folder lists them.
std::vector<ExporterFile> plugins_in(const fs::path& folder) {
    std::vector<ExporterFile> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        std::error_code type_error;
        if (ends_with_ignoring_case(name, ".so") && name.size() > 3 && entry.is_regular_file(type_error))
            found.push_back({std::move(name), entry.path()});
    }
    return found;
}

bool less_ignoring_case(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return ascii_lower(x) < ascii_lower(y); });
}

}  // namespace

std::vector<fs::path> exporter_folders(const fs::path& program_folder, const fs::path& data_folder) {
    std::vector<fs::path> folders;
    auto add = [&](const fs::path& folder) {
        const fs::path normal = folder.lexically_normal();
        if (std::find(folders.begin(), folders.end(), normal) == folders.end()) folders.push_back(normal);
    };
    if (!program_folder.empty()) {
        add(program_folder / "Exporters");
        add(installed_exporters_folder(program_folder));
    }
    if (!data_folder.empty()) add(data_folder / "Exporters");
    return folders;
}

std::vector<ExporterFile> list_exporters(const std::vector<fs::path>& folders) {
    std::vector<ExporterFile> all;
    for (const fs::path& folder : folders) {
        for (ExporterFile& plugin : plugins_in(folder)) {
            const bool hidden = std::any_of(all.begin(), all.end(), [&](const ExporterFile& earlier) {
                return equal_ignoring_case(earlier.name, plugin.name);
            });
            if (!hidden) all.push_back(std::move(plugin));
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const ExporterFile& a, const ExporterFile& b) {
        return less_ignoring_case(a.name, b.name);
    });
    return all;
}

fs::path find_exporter_file(const std::vector<fs::path>& folders, std::string_view file_name) {
    for (const fs::path& folder : folders) {
        std::error_code error;
        const fs::path exact = folder / file_name;
        if (fs::is_regular_file(exact, error)) return exact;
        for (const ExporterFile& plugin : plugins_in(folder))
            if (equal_ignoring_case(plugin.name, file_name)) return plugin.path;
    }
    return {};
}

}  // namespace zorva
