// Test programs run with the same floating-point traps as the application.
#include <gtest/gtest.h>

#include "core/fp_traps.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    FloatingPointTrapsEnable();
    return RUN_ALL_TESTS();
}
