// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/PeriodAggregation.h"

#include "app/Format.h"
#include "app/ProfileStrings.h"
#include "graph/GraphOptions.h"
#include "graph/PeriodSums.h"
#include "graph/PeriodTexts.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"

namespace stepora {

double AxisStep(double v) {
    static constexpr struct {
        double below, step;
    } kSteps[] = {
        {5, 1},
        {10, 2},
        {15, 3},
        {25, 5},
        {50, 10},
        {100, 20},
        {150, 30},
        {250, 50},
        {500, 100},
        {2500, 500},
        {5000, 1000},
        {7500, 1500},
        {10000, 2000},
        {15000, 3000},
        {20000, 4000},
        {25000, 5000},
        {50000, 10000},
        {100000, 20000},
        {200000, 40000},
        {400000, 80000},
        {600000, 120000},
        {800000, 160000},
        {1000000, 200000},
        {10000000, 2000000},
        {100000000, 20000000},
        {1000000000, 200000000},
    };
    for (const auto& row : kSteps)
        if (v < row.below) return row.step;
    return 2000000000;
}

PeriodAggregation::PeriodAggregation(const UserStore& store, std::string userName)
    : store_(store), userName_(std::move(userName)) {}

void PeriodAggregation::SetUser(std::string userName) {
    userName_ = std::move(userName);
    initPending_ = anchorReset_ = true;
}

void PeriodAggregation::SetMode(DisplayMode mode) {
    state_.mode = mode;
    anchorReset_ = true;
}

void PeriodAggregation::SetKind(GraphKind kind) {
    state_.kind = kind;
}

RefreshResult PeriodAggregation::Fail(LangKey key) {
    RefreshResult r;
    r.closeWindow = true;
    r.messageKey = key;
    r.message = GetLangString(key);
    return r;
}

RefreshResult PeriodAggregation::Refresh() {
    const CDayCalendar& cal = DayCalendar();
    const ProfileReadScope oneLookOnTheLanguageFile;
    UserReader user(store_, userName_);
    if (!user.IsOpen()) return Fail(USEGRAPH_STR2);
    header_ = user.Header();
    // A header whose range runs backwards or past the calendar has no period to show.
    if (header_.firstDay > header_.lastDay || header_.lastDay > kMaxDayNumber)
        return Fail(USEGRAPH_STR3);

    if (initPending_) {
        uint32_t mode = header_.defaultPeriod == 5 ? header_.periodMode : header_.defaultPeriod;
        uint32_t kind = header_.defaultPeriod == 5 ? header_.dataKind : header_.defaultKind;
        // Values no release writes open the view a new user opens with.
        if (mode > 4) mode = uint32_t(DisplayMode::Weekly);
        if (kind > 2) kind = uint32_t(GraphKind::Steps);
        state_.mode = DisplayMode(mode);
        state_.kind = GraphKind(kind);
        uint32_t w;
        if (!cal.DayToDate(header_.lastDay, goYear_, goMonth_, goDay_, w))
            return Fail(USEGRAPH_STR3);
        initPending_ = false;
    }
    if (anchorReset_) {
        state_.anchorDay = header_.lastDay;
        anchorReset_ = false;
    }

    if (!FindPeriod()) return Fail(USEGRAPH_STR3);
    const PeriodState& s = state_;

    RefreshResult r;
    r.refreshed = true;
    r.previousEnabled = s.periodStart > header_.firstDay;
    r.nextEnabled = s.periodEnd < header_.lastDay;
    r.recentlyEnabled = s.periodStart > header_.lastDay || s.periodEnd < header_.lastDay;
    const bool all = s.mode == DisplayMode::All;
    r.kindsEnabled = r.yearBoxEnabled = r.goEnabled = !all;
    r.monthBoxEnabled = s.mode == DisplayMode::Daily || s.mode == DisplayMode::Weekly ||
                        s.mode == DisplayMode::Monthly;
    r.dayBoxEnabled = s.mode == DisplayMode::Daily || s.mode == DisplayMode::Weekly;

    const PeriodTexts texts(s, header_);
    r.modeCaption = texts.ModeCaption();
    r.rangeCaption = texts.RangeCaption();
    FillGoBoxes(r);
    r.showGraph = !all;
    GoalCounter goals(header_, s.kind);
    if (all) {
        const AllSums sums = SumAll(user, s.periodStart, s.periodEnd, &goals);
        texts.FillBestDays(r.bestDays, sums.Best());
        r.summaryColumns = texts.FillSummary(r.summary, sums.Total(), s.dayCount);
    } else {
        const PeriodSums sums = SumPeriod(user, s, &goals);
        if (sums.readFailed) {
            r.messageKey = ReadFailureKey(s.mode);
            if (r.messageKey) r.message = GetLangString(*r.messageKey);
        }
        texts.FillGraph(r.graph, sums);
        r.summaryColumns = texts.FillSummary(r.summary, sums.total, sums.daysInPeriod);
    }
    r.goals = goals.Figures();
    // A run that goes on before the period, or a period before the last record day, is
    // read back from the last record day.
    if (r.goals.shown && !goals.CurrentRunWhole())
        r.goals.currentRun = CurrentGoalRun(user, s.kind);
    r.goalLine = texts.GoalLine(r.goals);
    r.period = s;
    return r;
}

bool PeriodAggregation::FindPeriod() {
    const CDayCalendar& cal = DayCalendar();
    PeriodState& s = state_;
    bool ok = true;
    switch (s.mode) {
        case DisplayMode::Daily:
            s.periodStart = s.periodEnd = s.anchorDay;
            s.dayCount = 1;
            break;
        case DisplayMode::Weekly:
            ok = cal.WeekRange(s.anchorDay, WeekStartOf(header_), s.periodStart, s.periodEnd,
                               s.dayCount);
            break;
        case DisplayMode::Monthly:
            ok = cal.MonthRange(s.anchorDay, s.periodStart, s.periodEnd, s.dayCount);
            break;
        case DisplayMode::Yearly:
            ok = cal.YearRange(s.anchorDay, s.periodStart, s.periodEnd, s.dayCount);
            break;
        case DisplayMode::All:
            s.periodStart = header_.firstDay;
            s.periodEnd = header_.lastDay;
            s.dayCount = header_.lastDay - header_.firstDay + 1;
            break;
    }
    uint32_t y, m, d;
    if (!ok || !cal.DayToDate(s.anchorDay, y, m, d, s.anchorWeekday) ||
        !cal.DayToDate(s.periodStart, y, m, d, s.firstWeekday) ||
        !cal.DayToDate(s.periodEnd, y, m, d, s.lastWeekday))
        return false;
    return true;
}

void PeriodAggregation::FillGoBoxes(RefreshResult& r) const {
    // The same numbers every time: written once and lent.
    static const auto numbers = [](int from, int to) {
        std::vector<std::string> texts;
        for (int n = from; n <= to; ++n) texts.push_back(std::to_string(n));
        return texts;
    };
    static const std::vector<std::string> years = numbers(2000, 2099), months = numbers(1, 12),
                                          days = numbers(1, 31);
    r.years = years;
    r.months = months;
    r.days = days;
    r.yearSelection = goYear_ >= 2000 && goYear_ <= 2099 ? int(goYear_ - 2000) : -1;
    r.monthSelection = goMonth_ >= 1 && goMonth_ <= 12 ? int(goMonth_ - 1) : -1;
    r.daySelection = goDay_ >= 1 && goDay_ <= 31 ? int(goDay_ - 1) : -1;
}

RefreshResult PeriodAggregation::Previous() {
    if (state_.periodStart <= header_.firstDay) return {};
    state_.anchorDay = state_.periodStart - 1;
    return Refresh();
}

RefreshResult PeriodAggregation::Next() {
    if (state_.periodEnd >= header_.lastDay) return {};
    state_.anchorDay = state_.periodEnd + 1;
    return Refresh();
}

RefreshResult PeriodAggregation::Recently() {
    state_.anchorDay = header_.lastDay;
    return Refresh();
}

RefreshResult PeriodAggregation::GoToDate(uint32_t year, uint32_t month, uint32_t day) {
    goYear_ = year;
    goMonth_ = month;
    goDay_ = day;
    if (state_.mode == DisplayMode::All) return {};
    const CDayCalendar& cal = DayCalendar();
    uint32_t fy, fm, fd, ly, lm, ld, w;
    if (!cal.DayToDate(header_.firstDay, fy, fm, fd, w) ||
        !cal.DayToDate(header_.lastDay, ly, lm, ld, w))
        return Fail(USEGRAPH_STR3);
    uint32_t from = header_.firstDay, to = header_.lastDay;
    std::string fromText, toText;
    switch (state_.mode) {
        case DisplayMode::Yearly:
            cal.DateToDay(fy, 1, 1, from, w);
            cal.DateToDay(ly, 12, 31, to, w);
            fromText = Format("%d", fy);
            toText = Format("%d", ly);
            break;
        case DisplayMode::Monthly:
            cal.DateToDay(fy, fm, 1, from, w);
            cal.DateToDay(ly, lm, MonthLength(ly, lm), to, w);
            fromText = Format("%d%s%d", fy, "-", fm);
            toText = Format("%d%s%d", ly, "-", lm);
            break;
        default:
            fromText = DateText(fy, fm, fd);
            toText = DateText(ly, lm, ld);
            break;
    }
    // Only the boxes the mode enables count: the greyed ones still hold an older date, and
    // a month or year is shown whenever any day of it is recorded.
    if (state_.mode == DisplayMode::Yearly) month = 1;
    if (state_.mode == DisplayMode::Yearly || state_.mode == DisplayMode::Monthly) day = 1;
    uint32_t chosen;
    if (cal.DateToDay(year, month, day, chosen, w) && chosen >= from && chosen <= to) {
        state_.anchorDay = chosen;
        return Refresh();
    }
    RefreshResult r;
    r.messageKey = CSV_STR46;
    r.message = Format("%s%s%s%s%s", GetLangString(CSV_STR46).c_str(), ": ", fromText.c_str(),
                       "  ~  ", toText.c_str());
    return r;
}

}  // namespace stepora
