// One run of the binary exporter, from StartExport's table to the written files.
//
//   1. no table: fail; no application object: "ERROR: The CWinApp pointer (gpParentCWinApp) has not been
//      set." and fail;
//   2. the settings folder: the host's data folder, or its "Exporters" subfolder when that exists;
//   3. a fresh state, then the remembered settings file is loaded silently;
//   4. a quick export skips the dialog when the remembered settings were loaded;
//   5. the data-type table must be in order ("ERROR: The gtDataTypeDesc are in the wrong order.");
//   6. the layout dialog: not created, "ERROR: Failed to create the dialog." and fail; cancelled, true
//      without output;
//   7. the files are written (MapFileWriter).
#pragma once

#include <filesystem>
#include <span>

#include "export/export_api.h"
#include "exporters/binmapfile/data_types.h"
#include "exporters/binmapfile/export_list.h"

namespace zorva::binmap {

enum class DialogOutcome { Export, Cancel, NotCreated };

// Shows the layout dialog over the settings. The plug-in shows the Qt dialog; tests script it.
class LayoutDialogRunner {
public:
    virtual ~LayoutDialogRunner() = default;
    virtual DialogOutcome run(ExportSettings& settings, const std::filesystem::path& settings_folder,
                              const ExporterHostApplication& application) = 0;
};

// What one loaded plug-in keeps between calls: the application object (stored once) and the settings.
class BinMapExporter {
public:
    // Stores the application object; false when one is already stored or `application` is null.
    bool set_application(const ExporterHostApplication* application);

    // The whole run; the result StartExport returns.
    bool start_export(ExportApi* api, LayoutDialogRunner& dialog,
                      std::span<const DataTypeDesc> data_types = gtDataTypeDesc);

    const ExportSettings& settings() const { return settings_; }

private:
    const ExporterHostApplication* application_ = nullptr;
    ExportSettings settings_;
};

// The data folder an application object names ("" when it names none or is too old to carry one).
std::string application_data_folder(const ExporterHostApplication& application);

}  // namespace zorva::binmap
