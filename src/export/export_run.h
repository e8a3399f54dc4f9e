// One export run, as the editor's Export command and zorva-cli perform it: reset the table with the log
// and the quick flag, attach the project and the output file, run the plug-in, reset the table again.
#pragma once

#include <string_view>

#include "export/export_api.h"
#include "export/exporter_loader.h"

namespace zorva {

class ExportFeedback;
class ExportHost;
class ExportMessageLog;
class Project;

struct ExportRequest {
    std::string_view exporter_path;                        // the plug-in's path and file name
    std::string_view output_file_name;                     // handed to the plug-in through GetOutputFileName
    bool quick = false;                                    // reported by IsQuickExport
    ExportMessageLog* log = nullptr;                       // collects AddMessage lines when given
    ExportFeedback* feedback = nullptr;                    // progress, messages and the cancel flag
    const ExporterHostApplication* application = nullptr;  // null: a headless application object
};

ExporterResult run_export(ExportHost& host, const Project& project, const ExportRequest& request);

// The application object of a host without a main window; `data_folder` may be null.
ExporterHostApplication headless_application(const char* data_folder);

}  // namespace zorva
