// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the graph window for a period and its numbers: the captions, the bars'
// labels, titles and popups, the value axis, the summary cells and the best-days table.
// Every text comes from the language table by the keys named in PeriodTexts.cpp.
#include <optional>
#include <string>

#include "app/LangTable.h"
#include "graph/GraphTypes.h"
#include "graph/PeriodSums.h"

namespace stepora {

std::string DateText(uint32_t year, uint32_t month, uint32_t day);  // 2008-3-5
std::string WeekdayName(uint32_t weekday);                          // 1 Sunday .. 7 Saturday
// The message of a day, week or month whose days could not be read; none for the others.
std::optional<LangKey> ReadFailureKey(DisplayMode mode);

// The detail popup of a bar filled by PeriodTexts::FillGraph: its caption, its date with
// the kind's title, and "text1   =   value text2".
struct BarDetailTexts {
    std::string caption, title, text;
};
BarDetailTexts BarDetail(const GraphData& graph, uint32_t bar);

class PeriodTexts {
public:
    // The period's weekday names must be filled in.
    PeriodTexts(const PeriodState& period, const UserFileHeader& header);

    std::string ModeCaption() const;
    std::string RangeCaption() const;
    void FillGraph(GraphData& graph, const PeriodSums& sums) const;
    // Returns the number of columns shown.
    uint32_t FillSummary(SummaryGrid& grid, const KindValues& total, uint32_t days) const;
    void FillBestDays(BestDaysTable& table, const std::array<BestDay, 5>& best) const;
    // "Goal reached on 4 of 7 days · current run 3 days · best run 12 days (…)"; empty
    // when there is no goal.
    std::string GoalLine(const GoalFigures& figures) const;

private:
    const PeriodState& period_;
    bool imperial_;
    KindValues goals_;
};

}  // namespace stepora
