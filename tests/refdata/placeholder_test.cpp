#include <gtest/gtest.h>
TEST(Refdata, Builds) { SUCCEED(); }
