#include "render/image.h"
