// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/GraphOptions.h"

#include "store/StoreChange.h"
#include "store/UserStore.h"

namespace stepora {
namespace {

constexpr uint64_t kHuge = 1'000'000'000'000;  // beyond every limit; digits stop adding here

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

enum class Reading { Ok, TooManyPoints, NotANumber, TooManyDecimals };

// Reads "123", "12.5", ".5" or "5." digit by digit into units of 10^-decimals, so no
// binary rounding ever touches a goal. An empty text is 0; a lone "." is no number.
Reading ReadDecimal(const std::string& raw, int decimals, uint64_t& units) {
    const std::string text = Trimmed(raw);
    units = 0;
    if (text.find('.') != text.rfind('.')) return Reading::TooManyPoints;
    int digits = 0, after = -1;  // after: digits behind the point, -1 before it
    for (char c : text) {
        if (c == '.') {
            after = 0;
            continue;
        }
        if (!IsDigit(c)) return Reading::NotANumber;
        ++digits;
        if (after >= 0 && ++after > decimals) return Reading::TooManyDecimals;
        if (units < kHuge) units = units * 10 + static_cast<uint64_t>(c - '0');
    }
    if (!text.empty() && digits == 0) return Reading::NotANumber;
    for (int i = after < 0 ? 0 : after; i < decimals; ++i)
        if (units < kHuge) units *= 10;
    return Reading::Ok;
}

GoalCheck Refused(LangKey message) {
    GoalCheck check;
    check.message = message;
    return check;
}

}  // namespace

GoalCheck CheckGoals(const std::string& steps, const std::string& calories,
                     const std::string& distance) {
    GoalCheck check;

    uint64_t value = 0;
    const std::string stepsText = Trimmed(steps);
    for (char c : stepsText) {
        if (!IsDigit(c)) return Refused(USEGRAPH_OPTIOS_STR19);
        if (value < kHuge) value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > 999999) return Refused(USEGRAPH_OPTIOS_STR19);
    check.steps = static_cast<uint32_t>(value);

    // Text that is no number at all (pasted letters, a minus) gets the range message.
    switch (ReadDecimal(calories, 1, value)) {
        case Reading::TooManyPoints:
            return Refused(USEGRAPH_OPTIOS_STR20);
        case Reading::TooManyDecimals:
            return Refused(USEGRAPH_OPTIOS_STR21);
        case Reading::NotANumber:
            return Refused(USEGRAPH_OPTIOS_STR22);
        case Reading::Ok:
            break;
    }
    if (value > 99999) return Refused(USEGRAPH_OPTIOS_STR22);
    check.caloriesTenths = static_cast<uint32_t>(value);
    check.calories = static_cast<double>(value) / 10;

    switch (ReadDecimal(distance, 3, value)) {
        case Reading::TooManyPoints:
            return Refused(USEGRAPH_OPTIOS_STR23);
        case Reading::TooManyDecimals:
            return Refused(USEGRAPH_OPTIOS_STR24);
        case Reading::NotANumber:
            return Refused(USEGRAPH_OPTIOS_STR25);
        case Reading::Ok:
            break;
    }
    if (value >= 100000) return Refused(USEGRAPH_OPTIOS_STR25);
    check.distanceHundredths = static_cast<uint32_t>(value / 10);  // the third decimal is cut
    check.distance = static_cast<double>(value) / 1000;

    check.ok = true;
    return check;
}

uint32_t WeekStartOf(const UserFileHeader& header) {
    return header.weekStart >= 1 && header.weekStart <= 7 ? header.weekStart : kDefaultWeekStart;
}

GraphOptions OptionsFromHeader(const UserFileHeader& header) {
    GraphOptions options;
    options.unitSystem = header.unitSystem;
    options.goalSteps = header.goalSteps;
    options.goalCalories = static_cast<double>(header.goalCalories) / 10;
    options.goalDistance = static_cast<double>(header.goalDistance) / 100;
    options.defaultPeriod = header.defaultPeriod;
    options.defaultKind = header.defaultKind;
    options.weekStart = WeekStartOf(header);
    return options;
}

UserFileHeader HeaderWithOptions(UserFileHeader header, const GraphOptions& options,
                                 uint32_t caloriesTenths, uint32_t distanceHundredths) {
    header.goalSteps = options.goalSteps;
    header.goalCalories = caloriesTenths;
    header.goalDistance = distanceHundredths;
    header.defaultPeriod = options.defaultPeriod;
    header.defaultKind = options.defaultKind;
    header.weekStart = options.weekStart;
    return header;
}

bool EditGraphOptions(UserStore& store, const std::string& name, const UserFileHeader& header,
                      const std::function<std::optional<OptionsChoice>(const GraphOptions&)>& sheet,
                      const std::function<void(LangKey)>& showMessage) {
    const std::optional<OptionsChoice> chosen = sheet(OptionsFromHeader(header));
    if (!chosen) return false;
    const UserFileHeader changed = HeaderWithOptions(
        header, chosen->options, chosen->caloriesTenths, chosen->distanceHundredths);
    bool written = false;
    {
        StoreChange change(store, name);
        written = change && store.WriteHeader(name, changed) && change.Commit();
    }
    if (!written && showMessage) showMessage(USEGRAPH_STR11);
    return written;
}

}  // namespace stepora
