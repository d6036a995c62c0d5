#include <gtest/gtest.h>

#include <cmath>

#include "graph/PeriodAggregation.h"

namespace stepora {
namespace {

// Each bound with the step just below it; at the bound the next row's step applies.
TEST(AxisStepTest, StepChangesExactlyAtEachBound) {
    static constexpr struct { double bound, stepBelow, stepAt; } kRows[] = {
        {5, 1, 2},          {10, 2, 3},           {15, 3, 5},
        {25, 5, 10},        {50, 10, 20},         {100, 20, 30},
        {150, 30, 50},      {250, 50, 100},       {500, 100, 500},
        {2500, 500, 1000},  {5000, 1000, 1500},   {7500, 1500, 2000},
        {10000, 2000, 3000}, {15000, 3000, 4000}, {20000, 4000, 5000},
        {25000, 5000, 10000}, {50000, 10000, 20000}, {100000, 20000, 40000},
        {200000, 40000, 80000}, {400000, 80000, 120000}, {600000, 120000, 160000},
        {800000, 160000, 200000}, {1000000, 200000, 2000000}, {10000000, 2000000, 20000000},
        {100000000, 20000000, 200000000}, {1000000000, 200000000, 2000000000},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(AxisStep(std::nextafter(row.bound, 0.0)), row.stepBelow) << row.bound;
        EXPECT_EQ(AxisStep(row.bound), row.stepAt) << row.bound;
    }
}

TEST(AxisStepTest, EndsOfTheTable) {
    EXPECT_EQ(AxisStep(0), 1);
    EXPECT_EQ(AxisStep(520), 500);  // 500 .. 2500 steps by 500, not 250
    EXPECT_EQ(AxisStep(5e9), 2000000000);
}

// Five steps always reach at least the peak, so the top bar stays inside the graph.
TEST(AxisStepTest, FiveStepsCoverThePeak) {
    for (double v = 0; v < 2e6; v = v * 1.07 + 0.5) EXPECT_GE(5 * AxisStep(v), v) << v;
}

}  // namespace
}  // namespace stepora
