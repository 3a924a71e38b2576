#include <gtest/gtest.h>
TEST(Engine, placeholder) { EXPECT_TRUE(true); }
