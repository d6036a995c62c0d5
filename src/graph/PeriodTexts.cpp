// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/PeriodTexts.h"

#include <algorithm>

#include "app/Format.h"
#include "graph/PeriodAggregation.h"
#include "store/DayCalendar.h"

namespace stepora {
namespace {

constexpr int kKindDecimals[3] = {0, 1, 2};

// A text that names a unit: the header's unit system chooses the key.
struct UnitKeys {
    LangKey metric, imperial;
    LangKey operator()(bool imperialUnits) const { return imperialUnits ? imperial : metric; }
};
constexpr UnitKeys Units(LangKey metric, LangKey imperial) {
    return {metric, imperial};
}
constexpr UnitKeys Units(LangKey both) {
    return {both, both};
}

// The graph block's keys by mode (Daily .. Yearly) and kind.
struct GraphKeys {
    LangKey valueTitle, popupCaption, goalTitle;
    UnitKeys unit, title, text1, text2;
};
constexpr GraphKeys kGraphKeys[4][3] = {
    // Daily: steps, calories, distance
    {{USEGRAPH_STR39, USEGRAPH_STR40, USEGRAPH_STR44, Units(USEGRAPH_STR45), Units(USEGRAPH_STR41),
      Units(USEGRAPH_STR42), Units(USEGRAPH_STR43)},
     {USEGRAPH_STR21, USEGRAPH_STR22, USEGRAPH_STR26, Units(USEGRAPH_STR27), Units(USEGRAPH_STR23),
      Units(USEGRAPH_STR24), Units(USEGRAPH_STR25)},
     {USEGRAPH_STR28, USEGRAPH_STR29, USEGRAPH_STR30, Units(USEGRAPH_STR31, USEGRAPH_STR35),
      Units(USEGRAPH_STR32, USEGRAPH_STR36), Units(USEGRAPH_STR33, USEGRAPH_STR37),
      Units(USEGRAPH_STR34, USEGRAPH_STR38)}},
    // Weekly: steps, calories, distance
    {{USEGRAPH_STR72, USEGRAPH_STR73, USEGRAPH_STR77, Units(USEGRAPH_STR78), Units(USEGRAPH_STR74),
      Units(USEGRAPH_STR75), Units(USEGRAPH_STR76)},
     {USEGRAPH_STR54, USEGRAPH_STR55, USEGRAPH_STR59, Units(USEGRAPH_STR60), Units(USEGRAPH_STR56),
      Units(USEGRAPH_STR57), Units(USEGRAPH_STR58)},
     {USEGRAPH_STR61, USEGRAPH_STR62, USEGRAPH_STR63, Units(USEGRAPH_STR64, USEGRAPH_STR68),
      Units(USEGRAPH_STR65, USEGRAPH_STR69), Units(USEGRAPH_STR66, USEGRAPH_STR70),
      Units(USEGRAPH_STR67, USEGRAPH_STR71)}},
    // Monthly: steps, calories, distance
    {{USEGRAPH_STR106, USEGRAPH_STR107, USEGRAPH_STR111, Units(USEGRAPH_STR112),
      Units(USEGRAPH_STR108), Units(USEGRAPH_STR109), Units(USEGRAPH_STR110)},
     {USEGRAPH_STR88, USEGRAPH_STR89, USEGRAPH_STR93, Units(USEGRAPH_STR94), Units(USEGRAPH_STR90),
      Units(USEGRAPH_STR91), Units(USEGRAPH_STR92)},
     {USEGRAPH_STR95, USEGRAPH_STR96, USEGRAPH_STR97, Units(USEGRAPH_STR98, USEGRAPH_STR102),
      Units(USEGRAPH_STR99, USEGRAPH_STR103), Units(USEGRAPH_STR100, USEGRAPH_STR104),
      Units(USEGRAPH_STR101, USEGRAPH_STR105)}},
    // Yearly: steps, calories, distance
    {{USEGRAPH_STR139, USEGRAPH_STR140, USEGRAPH_STR144, Units(USEGRAPH_STR145),
      Units(USEGRAPH_STR141), Units(USEGRAPH_STR142), Units(USEGRAPH_STR143)},
     {USEGRAPH_STR121, USEGRAPH_STR122, USEGRAPH_STR126, Units(USEGRAPH_STR127),
      Units(USEGRAPH_STR123), Units(USEGRAPH_STR124), Units(USEGRAPH_STR125)},
     {USEGRAPH_STR128, USEGRAPH_STR129, USEGRAPH_STR130, Units(USEGRAPH_STR131, USEGRAPH_STR135),
      Units(USEGRAPH_STR132, USEGRAPH_STR136), Units(USEGRAPH_STR133, USEGRAPH_STR137),
      Units(USEGRAPH_STR134, USEGRAPH_STR138)}},
};

// The column headings of the summary: three in Daily mode, four in the others.
struct Headings {
    LangKey keys[4];
    uint32_t count;
};
constexpr Headings Columns(LangKey a, LangKey b, LangKey c) {
    return {{a, b, c}, 3};
}
constexpr Headings Columns(LangKey a, LangKey b, LangKey c, LangKey d) {
    return {{a, b, c, d}, 4};
}

// The summary's keys by mode: the headings, then the rows steps, calories, distance.
struct SummaryKeys {
    Headings headings;
    LangKey steps, calories;
    UnitKeys distance;
};
constexpr SummaryKeys kSummaryKeys[5] = {
    {Columns(USEGRAPH_STR46, USEGRAPH_STR47, USEGRAPH_STR48), USEGRAPH_STR49, USEGRAPH_STR50,
     Units(USEGRAPH_STR51, USEGRAPH_STR52)},
    {Columns(USEGRAPH_STR79, USEGRAPH_STR80, USEGRAPH_STR81, USEGRAPH_STR82), USEGRAPH_STR83,
     USEGRAPH_STR84, Units(USEGRAPH_STR85, USEGRAPH_STR86)},
    {Columns(USEGRAPH_STR113, USEGRAPH_STR114, USEGRAPH_STR115, USEGRAPH_STR116), USEGRAPH_STR117,
     USEGRAPH_STR118, Units(USEGRAPH_STR119, USEGRAPH_STR120)},
    {Columns(USEGRAPH_STR146, USEGRAPH_STR147, USEGRAPH_STR148, USEGRAPH_STR149), USEGRAPH_STR150,
     USEGRAPH_STR151, Units(USEGRAPH_STR152, USEGRAPH_STR153)},
    {Columns(USEGRAPH_STR160, USEGRAPH_STR161, USEGRAPH_STR162, USEGRAPH_STR163), USEGRAPH_STR164,
     USEGRAPH_STR165, Units(USEGRAPH_STR166, USEGRAPH_STR167)},
};

constexpr LangKey kBestDaysHeadings[4] = {USEGRAPH_STR154, USEGRAPH_STR155, USEGRAPH_STR156,
                                          USEGRAPH_STR157};
constexpr UnitKeys kBestDaysDistance = Units(USEGRAPH_STR158, USEGRAPH_STR159);

constexpr LangKey kModeCaptions[5] = {USEGRAPH_MENU_STR28, USEGRAPH_MENU_STR29, USEGRAPH_MENU_STR30,
                                      USEGRAPH_MENU_STR31, USEGRAPH_MENU_STR32};

// Sunday first, as weekday 1.
constexpr LangKey kWeekdayNames[7] = {USEGRAPH_STR10, USEGRAPH_STR4, USEGRAPH_STR5, USEGRAPH_STR6,
                                      USEGRAPH_STR7,  USEGRAPH_STR8, USEGRAPH_STR9};

std::string DateOf(uint32_t day) {
    uint32_t y, m, d, w;
    return DayCalendar().DayToDate(day, y, m, d, w) ? DateText(y, m, d) : std::string("---");
}

std::string DateWithWeekday(uint32_t day, const std::string& weekdayName) {
    uint32_t y, m, d, w;
    DayCalendar().DayToDate(day, y, m, d, w);
    return DateText(y, m, d) + "(" + weekdayName + ")";
}

std::string GoalText(int kind, double goal) {
    return goal == 0.0 ? std::string("---") : FixedText(goal, kKindDecimals[kind]);
}

std::string Percent(double value, double goal) {
    return goal == 0.0 ? std::string("---") : FixedText(value * 100 / goal, 2) + "%";
}

}  // namespace

std::string DateText(uint32_t y, uint32_t m, uint32_t d) {
    return IntText(y) + "-" + IntText(m) + "-" + IntText(d);
}

std::string WeekdayName(uint32_t weekday) {
    return weekday >= 1 && weekday <= 7 ? GetLangString(kWeekdayNames[weekday - 1]) : std::string();
}

std::optional<LangKey> ReadFailureKey(DisplayMode mode) {
    switch (mode) {
        case DisplayMode::Daily:
            return USEGRAPH_STR20;
        case DisplayMode::Weekly:
            return USEGRAPH_STR53;
        case DisplayMode::Monthly:
            return USEGRAPH_STR87;
        default:
            return std::nullopt;
    }
}

PeriodTexts::PeriodTexts(const PeriodState& period, const UserFileHeader& header)
    : period_(period), imperial_(IsImperial(header)), goals_(DailyGoals(header)) {}

std::string PeriodTexts::ModeCaption() const {
    return GetLangString(kModeCaptions[uint32_t(period_.mode)]);
}

std::string PeriodTexts::RangeCaption() const {
    const PeriodState& s = period_;
    switch (s.mode) {
        case DisplayMode::Daily:
            return DateWithWeekday(s.anchorDay, WeekdayName(s.anchorWeekday));
        case DisplayMode::Weekly:
            return DateWithWeekday(s.periodStart, WeekdayName(s.firstWeekday)) + "  ~  " +
                   DateWithWeekday(s.periodEnd, WeekdayName(s.lastWeekday));
        default:
            return DateOf(s.periodStart) + "  ~  " + DateOf(s.periodEnd);
    }
}

void PeriodTexts::FillGraph(GraphData& g, const PeriodSums& sums) const {
    const DisplayMode mode = period_.mode;
    const GraphKind kind = period_.kind;
    const auto q = uint32_t(kind);  // the kind's place in values, goals and formats
    const GraphKeys& keys = kGraphKeys[uint32_t(mode)][q];
    g.barCount = sums.barCount;
    g.valueTitle = GetLangString(keys.valueTitle);
    g.goalTitle = GetLangString(keys.goalTitle);
    g.unitText = GetLangString(keys.unit(imperial_));
    // The axis reaches the peak, or the goal when that lies higher.
    const double top = sums.peak[q] < goals_[q] ? goals_[q] : sums.peak[q];
    const double step = AxisStep(top);
    for (int k = 0; k < 6; ++k) g.axisLabels[k] = FixedText(k * step, kKindDecimals[q]);
    g.axisMax = 5 * step;
    g.goalValue = goals_[q];

    g.mode = mode;
    g.kind = kind;
    g.imperial = imperial_;
    for (uint32_t i = 0; i < sums.barCount; ++i) {
        GraphBar& bar = g.bars[i];
        uint32_t y, m, d, w;
        DayCalendar().DayToDate(sums.barDay[i], y, m, d, w);
        switch (mode) {
            case DisplayMode::Daily:
                bar.label = DateText(y, m, d);
                break;
            case DisplayMode::Weekly:
                bar.label = IntText(m) + "-" + IntText(d) + "(" + WeekdayName(w) + ")";
                break;
            case DisplayMode::Monthly:
                bar.label = IntText(d);
                break;
            default:
                bar.label = IntText(m);
                break;
        }
        bar.value = sums.bars[i][q];
        bar.day = sums.barDay[i];
    }
}

BarDetailTexts BarDetail(const GraphData& g, uint32_t i) {
    const GraphBar& bar = g.bars[i];
    const GraphKeys& keys = kGraphKeys[std::min(uint32_t(g.mode), 3u)][uint32_t(g.kind) % 3];
    uint32_t y, m, d, w;
    DayCalendar().DayToDate(bar.day, y, m, d, w);
    BarDetailTexts detail;
    detail.caption = GetLangString(keys.popupCaption);
    const std::string title = GetLangString(keys.title(g.imperial));
    detail.title = g.mode == DisplayMode::Yearly
                       ? Format("%d%s%d%s%s", y, "-", m, "  ", title.c_str())
                       : Format("%d%s%d%s%d%s%s", y, "-", m, "-", d, "  ", title.c_str());
    const char* separator =
        g.mode == DisplayMode::Daily && g.kind == GraphKind::Distance ? "  " : " ";
    const std::string t1 = GetLangString(keys.text1(g.imperial)),
                      t2 = GetLangString(keys.text2(g.imperial));
    const char* text1 = t1.c_str();
    const char* text2 = t2.c_str();
    if (g.kind == GraphKind::Steps && g.mode != DisplayMode::Yearly)
        detail.text = Format("%s%s%d%s%s", text1, "   =   ", int(bar.value), separator, text2);
    else
        detail.text = Format(g.kind == GraphKind::Steps      ? "%s%s%.0f%s%s"
                             : g.kind == GraphKind::Calories ? "%s%s%.1f%s%s"
                                                             : "%s%s%.3f%s%s",
                             text1, "   =   ", bar.value, separator, text2);
    return detail;
}

uint32_t PeriodTexts::FillSummary(SummaryGrid& grid, const KindValues& total, uint32_t days) const {
    const DisplayMode mode = period_.mode;
    const SummaryKeys& keys = kSummaryKeys[uint32_t(mode)];
    grid[0][0] = " ";
    for (uint32_t c = 0; c < keys.headings.count; ++c)
        grid[0][c + 1] = GetLangString(keys.headings.keys[c]);
    grid[1][0] = GetLangString(keys.steps);
    grid[2][0] = GetLangString(keys.calories);
    grid[3][0] = GetLangString(keys.distance(imperial_));
    for (int k = 0; k < 3; ++k) {
        auto& row = grid[k + 1];
        if (mode == DisplayMode::Daily) {
            row[1] = k == 0 ? IntText(int(total[0])) : FixedText(total[k], kKindDecimals[k]);
            row[2] = GoalText(k, goals_[k]);
            row[3] = Percent(total[k], goals_[k]);
            continue;
        }
        // A week divides by the constant 1/7 and its percentage by 100/7.
        const bool week = mode == DisplayMode::Weekly;
        const double average = week ? total[k] * (1.0 / 7) : total[k] / days;
        row[1] = FixedText(total[k], kKindDecimals[k]);
        row[2] = FixedText(average, kKindDecimals[k]);
        row[3] = GoalText(k, goals_[k]);
        if (!week)
            row[4] = Percent(average, goals_[k]);
        else
            row[4] = goals_[k] == 0.0 ? std::string("---")
                                      : FixedText(total[k] * (100.0 / 7) / goals_[k], 2) + "%";
    }
    return keys.headings.count + 1;
}

void PeriodTexts::FillBestDays(BestDaysTable& t, const std::array<BestDay, 5>& best) const {
    for (int c = 0; c < 4; ++c) t[0][c] = GetLangString(kBestDaysHeadings[c]);
    t[0][4] = GetLangString(kBestDaysDistance(imperial_));
    for (size_t k = 0; k < best.size(); ++k) {
        auto& row = t[k + 1];
        row[0] = "NO." + IntText(int(k + 1));
        if (best[k].day == 0) {
            row[1] = row[2] = row[3] = row[4] = "---";
            continue;
        }
        row[1] = DateOf(best[k].day);
        for (int q = 0; q < 3; ++q) row[q + 2] = FixedText(best[k].values[q], kKindDecimals[q]);
    }
}

std::string PeriodTexts::GoalLine(const GoalFigures& f) const {
    if (!f.shown) return {};
    auto days = [](uint32_t n) {
        return FillIn(GetLangString(n == 1 ? USEGRAPH_STR174 : USEGRAPH_STR175), {IntText(n)});
    };
    std::string best = days(f.longest.days);
    if (f.longest.days == 1) best += " (" + DateOf(f.longest.first) + ")";
    if (f.longest.days > 1)
        best += " (" + DateOf(f.longest.first) + " ~ " + DateOf(f.longest.last) + ")";
    const std::string separator = GetLangString(USEGRAPH_STR176);
    const AddedKey reached = f.recordedDays == 1 ? USEGRAPH_STR177 : USEGRAPH_STR171;
    const std::string figures =
        FillIn(GetLangString(reached), {IntText(f.goalDays), IntText(f.recordedDays)}) + separator +
        FillIn(GetLangString(USEGRAPH_STR172), {days(f.currentRun)}) + separator +
        FillIn(GetLangString(USEGRAPH_STR173), {best});
    // Named by its kind: All mode shows no kind button as the current one.
    constexpr LangKey kKindNames[3] = {USEGRAPH_MENU_STR12, USEGRAPH_MENU_STR14,
                                       USEGRAPH_MENU_STR13};
    return FillIn(GetLangString(USEGRAPH_STR178),
                  {GetLangString(kKindNames[static_cast<int>(period_.kind)]), figures});
}

}  // namespace stepora
