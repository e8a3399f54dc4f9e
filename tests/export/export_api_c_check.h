/* Functions of the C translation unit that includes the interface header. */
#pragma once

#include <stddef.h>

#include "export/export_api.h"

#ifdef __cplusplus
extern "C" {
size_t export_api_c_layout(int which);
void export_api_c_fill_layer(void* bytes);
int export_api_c_count_offered(const zorva::ExportApi* api);
}
#else
size_t export_api_c_layout(int which);
void export_api_c_fill_layer(void* bytes);
int export_api_c_count_offered(const ExportApi* api);
#endif
