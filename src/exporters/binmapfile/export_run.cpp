#include "exporters/binmapfile/export_run.h"

#include <cstddef>

#include "exporters/binmapfile/map_file_writer.h"
#include "exporters/binmapfile/settings_file.h"

namespace zorva::binmap {
namespace {

void message(const ExportApi& api, const char* text) {
    if (api.AddMessage) api.AddMessage(text, 1);
}

}  // namespace

std::string application_data_folder(const ExporterHostApplication& application) {
    constexpr std::size_t kNeeded = offsetof(ExporterHostApplication, DataFolder) + sizeof(const char*);
    if (application.StructSize < kNeeded || application.DataFolder == nullptr) return {};
    return application.DataFolder;
}

bool BinMapExporter::set_application(const ExporterHostApplication* application) {
    if (application_ != nullptr || application == nullptr) return false;
    application_ = application;
    return true;
}

bool BinMapExporter::start_export(ExportApi* api, LayoutDialogRunner& dialog,
                                  std::span<const DataTypeDesc> data_types) {
    if (api == nullptr) return false;
    if (application_ == nullptr) {
        message(*api, "ERROR: The CWinApp pointer (gpParentCWinApp) has not been set.");
        return false;
    }
    const std::filesystem::path folder = settings_folder_for(application_data_folder(*application_));
    const bool remembered = load_remembered_settings(settings_, folder);

    std::uint8_t quick = 0;
    if (api->IsQuickExport && !api->IsQuickExport(&quick)) quick = 0;
    const bool show_dialog = !(quick && remembered);

    if (!data_types_in_order(data_types)) {
        message(*api, "ERROR: The gtDataTypeDesc are in the wrong order.");
        return false;
    }
    if (show_dialog) {
        switch (dialog.run(settings_, folder, *application_)) {
            case DialogOutcome::NotCreated:
                message(*api, "ERROR: Failed to create the dialog.");
                return false;
            case DialogOutcome::Cancel:
                return true;
            case DialogOutcome::Export:
                break;
        }
    }
    MapFileWriter writer(*api, settings_.list, settings_.flags);
    return writer.run();
}

}  // namespace zorva::binmap
