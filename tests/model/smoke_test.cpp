#include <gtest/gtest.h>
#include "model/platform.h"
TEST(Smoke, Builds) { SUCCEED(); }
