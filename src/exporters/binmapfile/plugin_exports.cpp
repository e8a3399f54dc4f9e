// ZvBinMapFile.so: the three exports the editor looks up.
#include <exception>

#include "export/export_api.h"
#include "exporters/binmapfile/export_run.h"
#include "exporters/binmapfile/qt_dialog_runner.h"

namespace {

// What the loaded plug-in keeps: the application object and the settings of the current run.
zorva::binmap::BinMapExporter& exporter() {
    static zorva::binmap::BinMapExporter instance;
    return instance;
}

}  // namespace

extern "C" {

ZV_EXPORTER_VISIBLE std::uint32_t QueryExporterDLLVersion(void) { return zorva::kExporterInterfaceVersion; }

ZV_EXPORTER_VISIBLE std::uint8_t SetParentCWinApp(const zorva::ExporterHostApplication* application) {
    return exporter().set_application(application) ? 1 : 0;
}

ZV_EXPORTER_VISIBLE std::uint8_t StartExport(zorva::ExportApi* api) {
    try {
        zorva::binmap::QtLayoutDialogRunner dialog;
        return exporter().start_export(api, dialog) ? 1 : 0;
    } catch (const std::exception&) {
        return 0;  // nothing may cross the C boundary
    }
}

}  // extern "C"
