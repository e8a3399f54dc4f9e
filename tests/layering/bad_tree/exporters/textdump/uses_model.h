// A plug-in header that uses the editor's model: the layering check must reject it.
#pragma once

#include "export/export_api.h"
#include "model/project.h"
