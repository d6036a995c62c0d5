// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the graph window shows: the period it is on, the block the drawing control paints,
// and the texts of the summary and best-days lists.
#include <array>
#include <cstdint>
#include <string>

namespace stepora {

enum class DisplayMode : uint32_t { Daily = 0, Weekly = 1, Monthly = 2, Yearly = 3, All = 4 };
enum class GraphKind : uint32_t { Steps = 0, Calories = 1, Distance = 2 };

struct GraphBar {
    std::string label;  // under the slot
    double value = 0;
    uint32_t day = 0;  // the first day of the bar, for its detail popup
};

constexpr uint32_t kMaxBars = 31;

struct GraphData {
    uint32_t barCount = 0;  // 0: nothing to draw
    std::string valueTitle, goalTitle, unitText;
    double goalValue = 0;
    double axisMax = 0;
    std::array<std::string, 6> axisLabels;  // index 0 at the bottom edge
    std::array<GraphBar, kMaxBars> bars;
    // What chooses the texts of a bar's detail popup, which are written only for the bar
    // clicked (BarDetail).
    DisplayMode mode = DisplayMode::Weekly;
    GraphKind kind = GraphKind::Steps;
    bool imperial = false;
};

using SummaryGrid = std::array<std::array<std::string, 5>, 4>;    // row-major
using BestDaysTable = std::array<std::array<std::string, 5>, 6>;  // row-major

struct PeriodState {
    DisplayMode mode = DisplayMode::Weekly;
    GraphKind kind = GraphKind::Steps;
    uint32_t periodStart = 0, firstWeekday = 0;
    uint32_t periodEnd = 0, lastWeekday = 0;
    uint32_t dayCount = 0;
    uint32_t anchorDay = 0, anchorWeekday = 0;
};

}  // namespace stepora
