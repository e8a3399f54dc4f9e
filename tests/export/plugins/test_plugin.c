/* A configurable exporter plug-in for the loader tests, built several times with different definitions:
 *   PLUGIN_VERSION       what QueryExporterDLLVersion returns (no such export when 0)
 *   PLUGIN_SET_PARENT    1: exports SetParentCWinApp returning PLUGIN_SET_PARENT_RESULT
 *   PLUGIN_START         1: exports StartExport returning PLUGIN_START_RESULT
 *   PLUGIN_MESSAGES      how many messages StartExport sends ("message 1", ...)
 *   PLUGIN_REPORT_QUICK  1: sends "quick" or "not quick" as IsQuickExport says (optional, default 0)
 *   PLUGIN_WAIT_CANCEL   1: advances the progress every 10 ms until IsExportCancelled reports true (at
 *                        most 20 s), then sends "cancelled" or "not cancelled" (optional, default 0)
 * StartExport always first sends "started", and "headless" or "windowed" when it got an application. */
#include <stdio.h>
#include <time.h>

#include "export/export_api.h"

#ifndef PLUGIN_REPORT_QUICK
#define PLUGIN_REPORT_QUICK 0
#endif
#ifndef PLUGIN_WAIT_CANCEL
#define PLUGIN_WAIT_CANCEL 0
#endif

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
#if PLUGIN_REPORT_QUICK
    {
        uint8_t quick = 0;
        if (!api->IsQuickExport || !api->IsQuickExport(&quick)) return 0;
        api->AddMessage(quick ? "quick" : "not quick", 0);
    }
#endif
    for (i = 0; i < PLUGIN_MESSAGES; ++i) {
        snprintf(text, sizeof text, "message %d", i + 1);
        api->AddMessage(text, 0);
    }
#if PLUGIN_WAIT_CANCEL
    {
        uint8_t cancelled = 0;
        const struct timespec pause = {0, 10 * 1000 * 1000};
        if (!api->IsExportCancelled || !api->SetProgress) return 0;
        for (i = 0; i < 2000 && !cancelled; ++i) {
            api->SetProgress((float)(i % 100), 0, 0);
            nanosleep(&pause, NULL);
            if (!api->IsExportCancelled(&cancelled)) return 0;
        }
        api->AddMessage(cancelled ? "cancelled" : "not cancelled", 1);
    }
#endif
    return PLUGIN_START_RESULT;
}
#endif
