// ZvBinMapFile.so: the three exports the editor looks up.
#include <exception>

#include "export/export_api.h"
#include "exporters/binmapfile/export_run.h"
#ifndef ZORVA_BINMAP_NO_DIALOGS
#include "exporters/binmapfile/qt_dialog_runner.h"
#endif

namespace {

#ifdef ZORVA_BINMAP_NO_DIALOGS
// Built without Qt: there is no dialog to show.
class NoDialog : public zorva::binmap::LayoutDialogRunner {
public:
    zorva::binmap::DialogOutcome run(zorva::binmap::ExportSettings&, const std::filesystem::path&,
                                     const zorva::ExporterHostApplication&) override {
        return zorva::binmap::DialogOutcome::NotCreated;
    }
};
#endif

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
#ifdef ZORVA_BINMAP_NO_DIALOGS
        NoDialog dialog;
#else
        zorva::binmap::QtLayoutDialogRunner dialog;
#endif
        return exporter().start_export(api, dialog) ? 1 : 0;
    } catch (const std::exception&) {
        return 0;  // nothing may cross the C boundary
    }
}

}  // extern "C"
