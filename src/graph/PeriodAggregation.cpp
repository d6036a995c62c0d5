#include "graph/PeriodAggregation.h"

#include <algorithm>
#include <array>

#include "app/Format.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"

namespace stepora {
namespace {

constexpr uint32_t kMaxDeviceValue = 999999;  // six decimal digits
constexpr uint32_t kChunkDays = 30;           // All mode reads the range in these pieces

// USEGRAPH_STR<n>
std::string UseGraphText(uint32_t n) {
    return GetLangString(static_cast<LangKey>(USEGRAPH_STR1 + n - 1));
}

std::string WeekdayName(uint32_t weekday) {
    return UseGraphText(weekday == 1 ? 10 : weekday + 2);  // Monday is USEGRAPH_STR4
}

uint32_t Raw(const uint8_t* record, size_t offset) {
    const uint8_t* p = record + offset;
    const uint32_t v = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    return v > kMaxDeviceValue ? 0 : v;  // the device never sends more than six digits
}

struct DayValues {
    double v[3] = {0, 0, 0};  // steps, calories, distance
};

DayValues ValuesOf(const uint8_t* record) {
    DayValues d;
    d.v[0] = Raw(record, 6);
    d.v[1] = Raw(record, 10) * 0.1;
    d.v[2] = Raw(record, 14) * 0.01;
    return d;
}

const char* const kKindFormats[3] = {"%.0f", "%.1f", "%.2f"};

// Keys of the graph block per mode and kind (mode 0..3, kind 0..2); a pair holds the
// metric and the imperial key.
struct GraphKeys {
    uint32_t valueTitle, popupCaption, goalTitle, unit[2], title[2], text1[2], text2[2];
};
constexpr GraphKeys kGraphKeys[4][3] = {
    {{39, 40, 44, {45, 45}, {41, 41}, {42, 42}, {43, 43}},   // Daily: steps
     {21, 22, 26, {27, 27}, {23, 23}, {24, 24}, {25, 25}},   // calories
     {28, 29, 30, {31, 35}, {32, 36}, {33, 37}, {34, 38}}},  // distance
    {{72, 73, 77, {78, 78}, {74, 74}, {75, 75}, {76, 76}},
     {54, 55, 59, {60, 60}, {56, 56}, {57, 57}, {58, 58}},
     {61, 62, 63, {64, 68}, {65, 69}, {66, 70}, {67, 71}}},
    {{106, 107, 111, {112, 112}, {108, 108}, {109, 109}, {110, 110}},
     {88, 89, 93, {94, 94}, {90, 90}, {91, 91}, {92, 92}},
     {95, 96, 97, {98, 102}, {99, 103}, {100, 104}, {101, 105}}},
    {{139, 140, 144, {145, 145}, {141, 141}, {142, 142}, {143, 143}},
     {121, 122, 126, {127, 127}, {123, 123}, {124, 124}, {125, 125}},
     {128, 129, 130, {131, 135}, {132, 136}, {133, 137}, {134, 138}}},
};

// Summary keys per mode: the column headings, then the rows steps, calories, distance
// (metric, imperial).
struct SummaryKeys {
    uint32_t heading[4];
    uint32_t steps, calories, distance[2];
};
constexpr SummaryKeys kSummaryKeys[5] = {
    {{46, 47, 48, 0}, 49, 50, {51, 52}},          {{79, 80, 81, 82}, 83, 84, {85, 86}},
    {{113, 114, 115, 116}, 117, 118, {119, 120}}, {{146, 147, 148, 149}, 150, 151, {152, 153}},
    {{160, 161, 162, 163}, 164, 165, {166, 167}},
};

std::string DateText(uint32_t y, uint32_t m, uint32_t d) {
    return Format("%d%s%d%s%d", y, "-", m, "-", d);
}

std::string DateOf(uint32_t day) {
    uint32_t y, m, d, w;
    return DayCalendar().DayToDate(day, y, m, d, w) ? DateText(y, m, d) : std::string("---");
}

std::string Percent(double value, double goal) {
    return goal == 0.0 ? std::string("---") : Format("%.2f%s", value * 100 / goal, "%");
}

}  // namespace

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
    if (!store_.ReadHeader(userName_, header_)) return Fail(USEGRAPH_STR2);
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

    PeriodState& s = state_;
    bool ok = true;
    switch (s.mode) {
        case DisplayMode::Daily:
            s.periodStart = s.periodEnd = s.anchorDay;
            s.dayCount = 1;
            break;
        case DisplayMode::Weekly:
            ok = cal.WeekRange(s.anchorDay, header_.weekStart, s.periodStart, s.periodEnd,
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
    if (!ok) return Fail(USEGRAPH_STR3);
    uint32_t y, m, d;
    if (!cal.DayToDate(s.anchorDay, y, m, d, s.anchorWeekday) ||
        !cal.DayToDate(s.periodStart, y, m, d, s.firstWeekday) ||
        !cal.DayToDate(s.periodEnd, y, m, d, s.lastWeekday))
        return Fail(USEGRAPH_STR3);
    s.anchorWeekdayName = WeekdayName(s.anchorWeekday);
    s.firstWeekdayName = WeekdayName(s.firstWeekday);
    s.lastWeekdayName = WeekdayName(s.lastWeekday);

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
    FillCaptions(r);
    FillGoBoxes(r);
    r.showGraph = !all;
    if (all)
        AggregateAll(r);
    else
        AggregatePeriod(r);
    r.period = s;
    return r;
}

void PeriodAggregation::FillCaptions(RefreshResult& r) const {
    const PeriodState& s = state_;
    r.modeCaption = GetLangString(static_cast<LangKey>(USEGRAPH_MENU_STR28 + uint32_t(s.mode)));
    auto dated = [](uint32_t day, const std::string& weekdayName) {
        uint32_t y, m, d, w;
        DayCalendar().DayToDate(day, y, m, d, w);
        return Format("%d%s%d%s%d%s%s%s", y, "-", m, "-", d, "(", weekdayName.c_str(), ")");
    };
    switch (s.mode) {
        case DisplayMode::Daily:
            r.rangeCaption = dated(s.anchorDay, s.anchorWeekdayName);
            break;
        case DisplayMode::Weekly:
            r.rangeCaption = dated(s.periodStart, s.firstWeekdayName) + "  ~  " +
                             dated(s.periodEnd, s.lastWeekdayName);
            break;
        default:
            r.rangeCaption = DateOf(s.periodStart) + "  ~  " + DateOf(s.periodEnd);
            break;
    }
}

void PeriodAggregation::FillGoBoxes(RefreshResult& r) const {
    for (int y = 2000; y <= 2099; ++y) r.years.push_back(Format("%d", y));
    for (int m = 1; m <= 12; ++m) r.months.push_back(Format("%d", m));
    for (int d = 1; d <= 31; ++d) r.days.push_back(Format("%d", d));
    r.yearSelection = goYear_ >= 2000 && goYear_ <= 2099 ? int(goYear_ - 2000) : -1;
    r.monthSelection = goMonth_ >= 1 && goMonth_ <= 12 ? int(goMonth_ - 1) : -1;
    r.daySelection = goDay_ >= 1 && goDay_ <= 31 ? int(goDay_ - 1) : -1;
}

// The graph, the axis and the summary of a day, week, month or year.
void PeriodAggregation::AggregatePeriod(RefreshResult& r) {
    const PeriodState& s = state_;
    const CDayCalendar& cal = DayCalendar();
    const uint32_t mode = uint32_t(s.mode), kind = uint32_t(s.kind);
    const bool imperial = header_.unitSystem != 0;
    const double goals[3] = {double(header_.goalSteps), header_.goalCalories / 10.0,
                             header_.goalDistance / 100.0};

    std::array<DayValues, kMaxBars> bars{};
    std::array<uint32_t, kMaxBars> barDay{};  // first day of each bar
    uint32_t barCount = 0, daysInPeriod = 0;
    uint8_t buffer[kMaxBars * kDayRecordSize];
    if (s.mode == DisplayMode::Yearly) {
        uint32_t monthStart = s.periodStart;
        for (barCount = 0; barCount < 12; ++barCount) {
            uint32_t first, last, count;
            if (!cal.MonthRange(monthStart, first, last, count)) break;
            barDay[barCount] = first;
            if (store_.ReadDays(userName_, first, count, buffer))
                for (uint32_t i = 0; i < count; ++i) {
                    const DayValues v = ValuesOf(buffer + i * kDayRecordSize);
                    for (int k = 0; k < 3; ++k) bars[barCount].v[k] += v.v[k];
                }
            daysInPeriod += count;
            monthStart = last + 1;
        }
    } else {
        barCount = std::min(s.dayCount, kMaxBars);
        if (!store_.ReadDays(userName_, s.periodStart, barCount, buffer)) {
            static constexpr LangKey kReadFailure[3] = {USEGRAPH_STR20, USEGRAPH_STR53,
                                                        USEGRAPH_STR87};
            r.messageKey = kReadFailure[mode];
            r.message = GetLangString(kReadFailure[mode]);
            std::fill(buffer, buffer + sizeof buffer, 0);
        }
        for (uint32_t i = 0; i < barCount; ++i) {
            bars[i] = ValuesOf(buffer + i * kDayRecordSize);
            barDay[i] = s.periodStart + i;
        }
        daysInPeriod = s.mode == DisplayMode::Weekly ? 7 : s.dayCount;
    }

    double peak[3] = {0, 0, 0}, total[3] = {0, 0, 0};
    for (uint32_t i = 0; i < barCount; ++i)
        for (int k = 0; k < 3; ++k) {
            peak[k] = std::max(peak[k], bars[i].v[k]);
            total[k] += bars[i].v[k];
        }

    GraphData& g = r.graph;
    const GraphKeys& keys = kGraphKeys[mode][kind];
    g.barCount = barCount;
    g.valueTitle = UseGraphText(keys.valueTitle);
    g.popupCaption = UseGraphText(keys.popupCaption);
    g.goalTitle = UseGraphText(keys.goalTitle);
    g.unitText = UseGraphText(keys.unit[imperial]);
    const double top = peak[kind] < goals[kind] ? goals[kind] : peak[kind];
    const double step = AxisStep(top);
    for (int k = 0; k < 6; ++k) g.axisLabels[k] = Format(kKindFormats[kind], k * step);
    g.axisMax = 5 * step;
    g.goalValue = goals[kind];
    const std::string titleKey = UseGraphText(keys.title[imperial]);
    const std::string text1 = UseGraphText(keys.text1[imperial]),
                      text2 = UseGraphText(keys.text2[imperial]);
    const char* separator =
        s.mode == DisplayMode::Daily && s.kind == GraphKind::Distance ? "  " : " ";
    for (uint32_t i = 0; i < barCount; ++i) {
        GraphBar& bar = g.bars[i];
        uint32_t y, m, d, w;
        cal.DayToDate(barDay[i], y, m, d, w);
        const double value = bars[i].v[kind];
        switch (s.mode) {
            case DisplayMode::Daily:
                bar.label = DateText(y, m, d);
                break;
            case DisplayMode::Weekly:
                bar.label = Format("%d%s%d%s%s%s", m, "-", d, "(", WeekdayName(w).c_str(), ")");
                break;
            case DisplayMode::Monthly:
                bar.label = Format("%d", d);
                break;
            default:
                bar.label = Format("%d", m);
                break;
        }
        bar.title = s.mode == DisplayMode::Yearly
                        ? Format("%d%s%d%s%s", y, "-", m, "  ", titleKey.c_str())
                        : Format("%d%s%d%s%d%s%s", y, "-", m, "-", d, "  ", titleKey.c_str());
        if (s.kind == GraphKind::Steps && s.mode != DisplayMode::Yearly)
            bar.text = Format("%s%s%d%s%s", text1.c_str(), "   =   ", int(value), separator,
                              text2.c_str());
        else
            bar.text = Format(s.kind == GraphKind::Steps      ? "%s%s%.0f%s%s"
                              : s.kind == GraphKind::Calories ? "%s%s%.1f%s%s"
                                                              : "%s%s%.3f%s%s",
                              text1.c_str(), "   =   ", value, separator, text2.c_str());
        bar.value = value;
    }

    // The summary: one row per kind.
    const SummaryKeys& sk = kSummaryKeys[mode];
    SummaryGrid& grid = r.summary;
    grid[0][0] = " ";
    const uint32_t columns = s.mode == DisplayMode::Daily ? 3 : 4;
    for (uint32_t c = 0; c < columns; ++c) grid[0][c + 1] = UseGraphText(sk.heading[c]);
    grid[1][0] = UseGraphText(sk.steps);
    grid[2][0] = UseGraphText(sk.calories);
    grid[3][0] = UseGraphText(sk.distance[imperial]);
    r.summaryColumns = columns + 1;
    for (int k = 0; k < 3; ++k) {
        auto& row = grid[k + 1];
        const std::string goal =
            goals[k] == 0.0 ? std::string("---") : Format(kKindFormats[k], goals[k]);
        if (s.mode == DisplayMode::Daily) {
            row[1] = k == 0 ? Format("%d", int(total[0])) : Format(kKindFormats[k], total[k]);
            row[2] = goal;
            row[3] = Percent(total[k], goals[k]);
        } else {
            const double average =
                s.mode == DisplayMode::Weekly ? total[k] * (1.0 / 7) : total[k] / daysInPeriod;
            row[1] = Format(kKindFormats[k], total[k]);
            row[2] = Format(kKindFormats[k], average);
            row[3] = goal;
            row[4] =
                s.mode == DisplayMode::Weekly
                    ? (goals[k] == 0.0 ? std::string("---")
                                       : Format("%.2f%s", total[k] * (100.0 / 7) / goals[k], "%"))
                    : Percent(average, goals[k]);
        }
    }
}

// Every recorded day: running sums and the five best days by steps, read in pieces so
// memory does not grow with the record.
void PeriodAggregation::AggregateAll(RefreshResult& r) {
    const PeriodState& s = state_;
    struct Slot {
        uint32_t day = 0;
        DayValues v;
    };
    std::array<Slot, 5> best{};
    double total[3] = {0, 0, 0};
    uint8_t buffer[kChunkDays * kDayRecordSize];
    for (uint64_t first = s.periodStart; first <= s.periodEnd; first += kChunkDays) {
        const uint32_t count = uint32_t(std::min<uint64_t>(kChunkDays, s.periodEnd - first + 1));
        if (!store_.ReadDays(userName_, uint32_t(first), count, buffer))
            std::fill(buffer, buffer + sizeof buffer, 0);
        for (uint32_t i = 0; i < count; ++i) {
            const DayValues v = ValuesOf(buffer + i * kDayRecordSize);
            for (int k = 0; k < 3; ++k) total[k] += v.v[k];
            // The first slot the day is not worse than takes it; ties put the later day first.
            for (size_t slot = 0; slot < best.size(); ++slot) {
                if (best[slot].v.v[0] <= v.v[0]) {
                    std::move_backward(best.begin() + slot, best.end() - 1, best.end());
                    best[slot] = Slot{uint32_t(first + i), v};
                    break;
                }
            }
        }
    }

    BestDaysTable& t = r.bestDays;
    const bool imperial = header_.unitSystem != 0;
    t[0] = {UseGraphText(154), UseGraphText(155), UseGraphText(156), UseGraphText(157),
            UseGraphText(imperial ? 159 : 158)};
    for (size_t k = 0; k < best.size(); ++k) {
        auto& row = t[k + 1];
        row[0] = Format("%s%d", "NO.", int(k + 1));
        if (best[k].day == 0) {
            row[1] = row[2] = row[3] = row[4] = "---";
            continue;
        }
        row[1] = DateOf(best[k].day);
        for (int q = 0; q < 3; ++q) row[q + 2] = Format(kKindFormats[q], best[k].v.v[q]);
    }

    const SummaryKeys& sk = kSummaryKeys[4];
    const double goals[3] = {double(header_.goalSteps), header_.goalCalories / 10.0,
                             header_.goalDistance / 100.0};
    SummaryGrid& grid = r.summary;
    grid[0][0] = " ";
    for (int c = 0; c < 4; ++c) grid[0][c + 1] = UseGraphText(sk.heading[c]);
    grid[1][0] = UseGraphText(sk.steps);
    grid[2][0] = UseGraphText(sk.calories);
    grid[3][0] = UseGraphText(sk.distance[imperial]);
    r.summaryColumns = 5;
    for (int k = 0; k < 3; ++k) {
        const double average = total[k] / s.dayCount;
        grid[k + 1][1] = Format(kKindFormats[k], total[k]);
        grid[k + 1][2] = Format(kKindFormats[k], average);
        grid[k + 1][3] = goals[k] == 0.0 ? std::string("---") : Format(kKindFormats[k], goals[k]);
        grid[k + 1][4] = Percent(average, goals[k]);
    }
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
