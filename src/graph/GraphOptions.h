// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options a user sets in the graph options sheet, how its goals are checked, and
// how they travel to and from the user file header.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/LangTable.h"
#include "store/UserFile.h"

namespace stepora {

struct GraphOptions {
    uint32_t unitSystem = 0, goalSteps = 0;
    double goalCalories = 0, goalDistance = 0;  // kcal; km or miles
    uint32_t defaultPeriod = 0, defaultKind = 0, weekStart = 0;
};

// The three goals as typed, checked. On a refusal `message` says why; otherwise the
// values are set, and the stored integers are computed from the digits themselves.
struct GoalCheck {
    bool ok = false;
    LangKey message = LANG_KEY_COUNT;
    uint32_t steps = 0;
    double calories = 0, distance = 0;
    uint32_t caloriesTenths = 0, distanceHundredths = 0;  // truncated, as the header keeps them
};

// Checks steps, then calories, then distance; the first refusal wins. An empty text is 0.
GoalCheck CheckGoals(const std::string& steps, const std::string& calories,
                     const std::string& distance);

// The weekday the user's weeks start on. A stored value that names no weekday reads as the
// default, so the weekly view still opens and the options sheet can mend it; the header
// keeps its value until the options are saved.
uint32_t WeekStartOf(const UserFileHeader& header);

GraphOptions OptionsFromHeader(const UserFileHeader& header);

// The header with the options set: the stored goals are passed as the integers that
// CheckGoals gave, since trunc(4.35 * 100) is 434 in binary floating point.
// `unitSystem` and everything else stay as they were.
UserFileHeader HeaderWithOptions(UserFileHeader header, const GraphOptions& options,
                                 uint32_t caloriesTenths, uint32_t distanceHundredths);

// What the options sheet accepted: the options and the stored goals CheckGoals gave.
struct OptionsChoice {
    GraphOptions options;
    uint32_t caloriesTenths = 0, distanceHundredths = 0;
};

class UserStore;

// The options command: the sheet opens on the user's options, and what it accepts is saved
// as one change of the user. True when saved; a failed save says so and leaves the user
// as it was.
bool EditGraphOptions(UserStore& store, const std::string& name, const UserFileHeader& header,
                      const std::function<std::optional<OptionsChoice>(const GraphOptions&)>& sheet,
                      const std::function<void(LangKey)>& showMessage);

}  // namespace stepora
