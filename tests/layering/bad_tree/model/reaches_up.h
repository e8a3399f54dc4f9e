// A model header that reaches up into the view layer and into Qt: the layering check must reject both.
#pragma once

#include <QString>

#include "base/platform.h"
#include "view/view_geometry.h"
