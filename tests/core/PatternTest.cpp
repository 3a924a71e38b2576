#include "Error.h"
#include "engine/Pattern.h"

#include <gtest/gtest.h>

using orvik::Pattern;

TEST(Pattern, placeholder) { EXPECT_TRUE(Pattern("*READ*").matches("readme.txt")); }
