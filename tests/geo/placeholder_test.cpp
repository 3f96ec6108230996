#include <gtest/gtest.h>
TEST(Geo, Builds) { SUCCEED(); }
