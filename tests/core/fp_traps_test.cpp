#include <gtest/gtest.h>

#include "core/fp_traps.h"

TEST(FloatingPointTraps, TestsRunWithTrapsOn)
{
    EXPECT_TRUE(FloatingPointTrapsActive());
    FloatingPointTrapsDisable();
    EXPECT_FALSE(FloatingPointTrapsActive());
    FloatingPointTrapsEnable();
    EXPECT_TRUE(FloatingPointTrapsActive());
}
