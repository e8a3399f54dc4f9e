#include "model/platform.h"
