#include "export/exporter_loader.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>
#include <vector>

namespace zorva {
namespace {

// snprintf into a string sized for the pattern and one path.
template <class... Args>
std::string format(const char* pattern, const std::string& path, Args... more) {
    std::vector<char> buffer(std::char_traits<char>::length(pattern) + path.size() + 64);
    std::snprintf(buffer.data(), buffer.size(), pattern, path.c_str(), more...);
    return std::string(buffer.data());
}

// Unloads the library however the run ends.
class Library {
public:
    explicit Library(void* handle) : handle_(handle) {}
    ~Library() {
        if (handle_) dlclose(handle_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    explicit operator bool() const { return handle_ != nullptr; }
    void* symbol(const char* name) const { return dlsym(handle_, name); }

private:
    void* handle_;
};

template <class Function>
Function as_function(void* symbol) {
    return reinterpret_cast<Function>(symbol);
}

}  // namespace

ExporterResult run_exporter(std::string_view path_view, ExportApi& api,
                            const ExporterHostApplication& application) {
    ExporterResult result;
    if (path_view.empty()) return result;
    const std::string path(path_view);

    // A bare file name would make the dynamic loader search the system's library folders; the plug-in is
    // always a file, so a name without a folder means the current one.
    const std::string load_path = path.find('/') == std::string::npos ? "./" + path : path;
    Library library(dlopen(load_path.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!library) {
        result.message = format(
            "Could not find/load the exporter DLL: \n\n%s\n\n\nPossible reasons for the error:\n\n"
            "- The DLL is outdated. Try rebuilding the DLL with the latest export header file.\n"
            "- The DLL file is missing.\n- The path points to the wrong DLL file.\n"
            "- The DLL file is corrupt.\n\n",
            path);
        return result;
    }

    const auto query_version =
        as_function<QueryExporterDLLVersionFn>(library.symbol(ZV_QUERY_EXPORTER_DLL_VERSION_SYMBOL));
    if (!query_version) {
        result.message = format(
            "The function \"QueryExporterDLLVersion\" could not be located in the DLL:\n\n%s\n\n", path);
        return result;
    }
    if (query_version() != kExporterInterfaceVersion) {
        result.message = format(
            "The exporter DLL is an unsupported version:\n\n%s\n\nTry rebuilding the DLL with the latest "
            "export "
            "header file.",
            path);
        return result;
    }

    if (const auto set_parent =
            as_function<SetParentCWinAppFn>(library.symbol(ZV_SET_PARENT_CWINAPP_SYMBOL))) {
        if (!set_parent(&application)) {
            result.message = format(
                "The function SetParentCWinApp failed in the dialog:\n\n%s\n\nMake sure the function returns "
                "a "
                "non-zero value when it is successful.",
                path);
            return result;
        }
    }

    const auto start_export = as_function<StartExportFn>(library.symbol(ZV_START_EXPORT_SYMBOL));
    if (!start_export) {
        result.message =
            format("The function \"StartExport\" could not be located in the DLL:\n\n%s\n\n", path);
        return result;
    }
    if (!start_export(&api)) {
        result.message = "An error occured in the export DLL.";
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace zorva
