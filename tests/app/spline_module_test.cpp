// The spline module's tables: initial state, knot vector, the dialog copy,
// the reset, a second start-up, and an allocation failure.
#include <gtest/gtest.h>

#include "app/app_errors.h"
#include "app/spline_module.h"

#include <windows.h>

#include <vector>

namespace {

void ExpectStartState(const SplineModule& s)
{
    EXPECT_EQ(s.xx, (std::vector<double>{0, 0, 0, 0, 0.625, 1.25, 1.875, 2.5, 2.5, 2.5, 2.5}));
    EXPECT_EQ(s.px, std::vector<double>(10, 0.0));
    EXPECT_EQ(s.cdraw, std::vector<double>(7, 1.0));
    EXPECT_EQ(s.pxdraw, std::vector<int32_t>(4, 0));
    ASSERT_EQ(s.c.rows, 7);
    ASSERT_EQ(s.c.cols, 7);
    EXPECT_EQ(s.c.data, std::vector<double>(49, 0.0)); // c(i, i) stays 0 until the first copy
    EXPECT_EQ(s.spl.size(), 7u);
    EXPECT_EQ(s.spl1der.size(), 7u);
    EXPECT_EQ(s.spl2der.size(), 7u);
    EXPECT_EQ(s.xvalues, std::vector<float>(201, 0.0f));
    for (const auto* t : {&s.yvalues, &s.spldraw, &s.spl1derdraw, &s.spl2derdraw})
        EXPECT_EQ(*t, std::vector<float>(201 * 7, 0.0f));
    EXPECT_EQ(s.xknots, std::vector<float>(5, 0.0f));
    EXPECT_EQ(s.yknots, std::vector<float>(5, 0.0f));
    EXPECT_EQ(s.descr.size(), 7u);
}

} // namespace

TEST(SplineModule, StartStateAndKnotVector)
{
    SplineModuleInit();
    KnotVectorBuild();
    ExpectStartState(gSplineModule);
}

TEST(SplineModule, SecondStartReleasesAndGivesTheSameState)
{
    SplineModuleInit();
    KnotVectorBuild();
    SplineModule& s = gSplineModule;
    s.cdraw[2] = 0.0;
    s.pxdraw[1] = 40;
    s.spldraw[17] = 3.0f;
    s.xknots[1] = 9.0f;
    CoefficientsFromDialog();
    SplineModuleInit();
    KnotVectorBuild();
    ExpectStartState(s);
}

TEST(SplineModule, DialogCopyAndReset)
{
    SplineModuleInit();
    KnotVectorBuild();
    SplineModule& s = gSplineModule;
    s.pxdraw = {10, 50, 100, 3};
    s.cdraw[2] = 0.0;
    CoefficientsFromDialog();
    EXPECT_EQ(s.px, (std::vector<double>{0, 0, 0, 10, 50, 100, 3, 0, 0, 0}));
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 7; ++j)
            EXPECT_EQ(s.c(i, j), (i == j && i != 2) ? 1.0 : 0.0);

    // The user switched T3 off and set p2 = 40; the reset undoes both.
    s.pxdraw = {0, 40, 0, 0};
    s.spl1derdraw[5] = 2.0f;
    s.xknots[3] = 1.875f;
    SplineDataReset();
    EXPECT_EQ(s.cdraw, std::vector<double>(7, 1.0));
    EXPECT_EQ(s.pxdraw, std::vector<int32_t>(4, 0));
    EXPECT_EQ(s.px[4], 0.0);
    EXPECT_EQ(s.px, std::vector<double>(10, 0.0));
    EXPECT_EQ(s.c(2, 2), 1.0);
    EXPECT_EQ(s.c(2, 3), 0.0);
    EXPECT_EQ(s.spl1derdraw[5], 0.0f);
    EXPECT_EQ(s.xknots[3], 1.875f); // kept
    EXPECT_EQ(s.xx[6], 1.875);      // kept
}

TEST(SplineModule, ParametersOutsideTheTrackBarRangeAreClamped)
{
    SplineModuleInit();
    KnotVectorBuild();
    SplineModule& s = gSplineModule;
    s.pxdraw = {-5, 1000, 100, 0};
    CoefficientsFromDialog();
    EXPECT_EQ(s.px[3], 0.0);
    EXPECT_EQ(s.px[4], 100.0);
    EXPECT_EQ(s.px[5], 100.0);
    EXPECT_EQ(s.px[6], 0.0);
}

TEST(SplineModule, AllocationFailureIsReportedWithTheTableName)
{
    for (int table = 1; table <= 16; ++table) {
        SplineAllocationFaultSet(table);
        int failed = -1;
        int status = SplineModuleAllocate(&failed);
        SplineAllocationFaultSet(0);
        EXPECT_NE(status, 0) << table;
        EXPECT_EQ(failed, table);
    }
    EXPECT_EQ(kSplineTableNames[14], "pxdraw");
    EXPECT_EQ(kSplineTableNames[15], "descr");
    // A later start-up without the fault gives the full state again.
    int failed = -1;
    EXPECT_EQ(SplineModuleAllocate(&failed), 0);
    EXPECT_EQ(failed, 0);
    KnotVectorBuild();
    ExpectStartState(gSplineModule);
}

TEST(SplineModule, AllocationFailureTitleIsTwentyOneCharacters)
{
    EXPECT_EQ(AllocationFailureTitle(12), "Run-time error:    12");
    EXPECT_EQ(AllocationFailureTitle(-1234), "Run-time error: -1234");
    EXPECT_EQ(AllocationFailureTitle(123456), "Run-time error: *****");
}

TEST(SplineModuleDeathTest, AllocationFailureEndsTheProgram)
{
    SetEnvironmentVariableA("KESTROW_NO_FAULT_BOX", "1");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SplineAllocationFaultSet(8);
            SplineModuleInit();
        },
        ::testing::ExitedWithCode(kExitAllocationFailure), "");
    SplineAllocationFaultSet(0);
}
