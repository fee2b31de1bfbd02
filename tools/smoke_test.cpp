#include <gtest/gtest.h>
TEST(Smoke, Runs) { EXPECT_EQ(sizeof(void*) >= 4, true); }
