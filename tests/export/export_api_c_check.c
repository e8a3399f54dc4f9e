/* Compiles the interface header as C11 (its layout checks run here too) and reports a few offsets as the
 * C compiler lays them out, so the C++ test can compare both languages. */
#include "export_api_c_check.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "export/export_api.h"

size_t export_api_c_layout(int which) {
    switch (which) {
        case 0:
            return sizeof(TileSetInfo);
        case 1:
            return offsetof(TileSetInfo, UniqueID);
        case 2:
            return offsetof(ParentEntityInfo, PreviewFrame);
        case 3:
            return offsetof(MapInfo, TileSetName);
        case 4:
            return offsetof(LayerInfo, BackgroundImageFile);
        case 5:
            return offsetof(ChildEntityInfo, ParentName);
        case 6:
            return offsetof(PathPointInfo, UniqueID);
        case 7:
            return sizeof(CustomVariableDescriptions);
        case 8:
            return sizeof(ExportApi);
        case 9:
            return offsetof(ExportApi, GetCustomVariableDescriptions);
        case 10:
            return sizeof(ExporterHostApplication);
        case 11:
            return offsetof(ExporterHostApplication, DataFolder);
        default:
            return 0;
    }
}

/* A C plug-in's view of a filled record: writes known values through the C field names. */
void export_api_c_fill_layer(void* bytes) {
    LayerInfo layer;
    memset(&layer, 0, sizeof layer);
    layer.UserID = 0x01020304u;
    layer.ScrollSpeedX = 1.5f;
    layer.OffsetX = -3;
    layer.Opacity = 200;
    layer.CustomVariables[2][0] = 'z';
    layer.TileSetName[0] = 'T';
    memcpy(bytes, &layer, sizeof layer);
}

/* A slot test as a C plug-in does it: a zero pointer is a function not offered. */
int export_api_c_count_offered(const ExportApi* api) {
    int count = 0;
    if (api->GetProjectFileName) ++count;
    if (api->GetCustomVariableDescriptions) ++count;
    for (int i = 0; i < kExportApiSlotCount - kExportApiOfferedSlots; ++i) {
        if (api->Reserved[i]) ++count;
    }
    return count;
}
