// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// From a user file to what the graph window shows: the period around an anchor day, its
// bars, the summary and the five best days. Every Refresh reads the user file again;
// nothing is kept between runs but the period, the Go date and two flags.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/LangTable.h"
#include "graph/GraphTypes.h"
#include "graph/PeriodSums.h"
#include "store/UserFile.h"

namespace stepora {

class UserStore;

// The step of the value axis for a peak: five steps reach above it.
double AxisStep(double peak);

// Everything one Refresh (or a navigation) yields, for the window to copy into its
// controls.
struct RefreshResult {
    bool refreshed = false;    // the period below was recomputed
    bool closeWindow = false;  // an error ends the window (as Cancel)
    std::optional<LangKey> messageKey;
    std::string message;  // the text to show, composed; empty: none

    PeriodState period;
    bool previousEnabled = false, nextEnabled = false, recentlyEnabled = false;
    bool kindsEnabled = false, yearBoxEnabled = false, monthBoxEnabled = false,
         dayBoxEnabled = false, goEnabled = false;
    std::string modeCaption, rangeCaption;
    std::span<const std::string> years, months, days;                // Go boxes, always the same
    int yearSelection = -1, monthSelection = -1, daySelection = -1;  // -1: none
    bool showGraph = false;                                          // else the best-days list
    GraphData graph;                                                 // filled when showGraph
    SummaryGrid summary;
    uint32_t summaryColumns = 5;
    BestDaysTable bestDays;  // filled in All mode
    GoalFigures goals;       // of the kind shown
    std::string goalLine;    // the same as the window shows it; empty without a goal
};

class PeriodAggregation {
public:
    PeriodAggregation(const UserStore& store, std::string userName);

    // A new user for the window: start over from its header.
    void SetUser(std::string userName);
    const std::string& UserName() const { return userName_; }
    // A mode change starts at the period of the last record day; a kind change keeps it.
    void SetMode(DisplayMode mode);
    void SetKind(GraphKind kind);

    RefreshResult Refresh();
    RefreshResult Previous();
    RefreshResult Next();
    RefreshResult Recently();
    // The integers of the selected Go texts; 0 for a box without selection. Monthly reads
    // only the year and month, Yearly only the year.
    RefreshResult GoToDate(uint32_t year, uint32_t month, uint32_t day);

    const PeriodState& State() const { return state_; }
    const UserFileHeader& Header() const { return header_; }
    bool InitPending() const { return initPending_; }
    bool AnchorReset() const { return anchorReset_; }
    uint32_t GoYear() const { return goYear_; }
    uint32_t GoMonth() const { return goMonth_; }
    uint32_t GoDay() const { return goDay_; }

private:
    RefreshResult Fail(LangKey key);
    bool FindPeriod();  // the period of the mode around the anchor; false: no such dates
    void FillGoBoxes(RefreshResult& r) const;

    const UserStore& store_;
    std::string userName_;
    PeriodState state_;
    UserFileHeader header_;
    uint32_t goYear_ = 0, goMonth_ = 0, goDay_ = 0;
    bool initPending_ = true, anchorReset_ = true;
};

}  // namespace stepora
