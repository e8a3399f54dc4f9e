/* A configurable exporter plug-in for the loader tests, built several times with different definitions:
 *   PLUGIN_VERSION       what QueryExporterDLLVersion returns (no such export when 0)
 *   PLUGIN_SET_PARENT    1: exports SetParentCWinApp returning PLUGIN_SET_PARENT_RESULT
 *   PLUGIN_START         1: exports StartExport returning PLUGIN_START_RESULT
 *   PLUGIN_MESSAGES      how many messages StartExport sends ("message 1", ...)
 * StartExport always first sends "started", and "headless" or "windowed" when it got an application. */
#include <stdio.h>

#include "export/export_api.h"

#if PLUGIN_VERSION
ZV_EXPORTER_VISIBLE uint32_t QueryExporterDLLVersion(void) { return PLUGIN_VERSION; }
#endif

#if PLUGIN_SET_PARENT
static const ExporterHostApplication* g_application;
#else
#define g_application ((const ExporterHostApplication*)0)
#endif

#if PLUGIN_SET_PARENT
ZV_EXPORTER_VISIBLE uint8_t SetParentCWinApp(const ExporterHostApplication* application) {
    g_application = application;
    return PLUGIN_SET_PARENT_RESULT;
}
#endif

#if PLUGIN_START
ZV_EXPORTER_VISIBLE uint8_t StartExport(ExportApi* api) {
    int i;
    char text[32];
    if (!api || !api->AddMessage) return 0;
    api->AddMessage("started", 1);
    if (g_application && g_application->StructSize >= sizeof(ExporterHostApplication))
        api->AddMessage(g_application->MainWindow ? "windowed" : "headless", 0);
    for (i = 0; i < PLUGIN_MESSAGES; ++i) {
        snprintf(text, sizeof text, "message %d", i + 1);
        api->AddMessage(text, 0);
    }
    return PLUGIN_START_RESULT;
}
#endif
