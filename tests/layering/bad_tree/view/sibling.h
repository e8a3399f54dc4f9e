// A view header that includes its own layer and lower ones only: accepted.
#pragma once

#include "prefs/preferences.h"
#include "view/view_geometry.h"
