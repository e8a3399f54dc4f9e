// Loads an exporter plug-in (a shared library), checks its interface version, hands it the application
// object where it asks for one, runs StartExport with the table and unloads it again.
#pragma once

#include <string>
#include <string_view>

#include "export/export_api.h"

namespace zorva {

struct ExporterResult {
    bool ok = false;      // StartExport returned true
    std::string message;  // why it failed; empty for a failure without a message (an empty path)

    explicit operator bool() const { return ok; }
};

// Runs the plug-in at `path` with `api`. Every failure carries the loader's message naming the path; a
// plug-in that is refused never receives StartExport. The library is unloaded before returning.
ExporterResult run_exporter(std::string_view path, ExportApi& api,
                            const ExporterHostApplication& application);

}  // namespace zorva
