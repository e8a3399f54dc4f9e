#include "export/export_run.h"

#include "export/export_host.h"

namespace zorva {

ExporterHostApplication headless_application(const char* data_folder) {
    ExporterHostApplication application{};
    application.StructSize = sizeof application;
    application.InterfaceVersion = kExporterInterfaceVersion;
    application.MainWindow = nullptr;
    application.DataFolder = data_folder ? data_folder : "";
    return application;
}

ExporterResult run_export(ExportHost& host, const Project& project, const ExportRequest& request) {
    const ExporterHostApplication headless = headless_application(nullptr);
    host.reset(request.log, request.quick, request.feedback);
    host.attach(project, request.output_file_name);
    ExporterResult result = run_exporter(request.exporter_path, *host.api(),
                                         request.application ? *request.application : headless);
    host.reset();
    return result;
}

}  // namespace zorva
