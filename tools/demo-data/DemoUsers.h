// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The demo household: a few users with a year and more of plausible days, the same for
// the same day, as the demo tool writes them into a work directory.
#include <cstdint>
#include <filesystem>
#include <random>
#include <span>

#include "store/UserFile.h"
#include "store/UserStore.h"

namespace stepora::demo {

struct DemoUser {
    const char* name;
    const char* password;
    uint32_t unitSystem, weight, stride;  // stride: cm, or hundredths of a foot
    uint32_t goalSteps, goalCalories, goalDistance;
    uint32_t days;          // recorded days up to yesterday
    uint32_t weekdaySteps;  // a typical working day
    double weekendFactor;
    uint32_t gapStart;  // days before yesterday where a week without the pedometer begins
};

std::span<const DemoUser> DemoUsers();

// The User folder of a work directory, made when missing, as the store of `store`; says
// why not on standard error.
bool OpenUserFolder(const std::filesystem::path& workDir, UserStore& store);

// A day of `u` drawn from `rng`.
DayRecord MakeDay(const DemoUser& u, uint32_t day, std::mt19937& rng);

// Creates `u` with its profile, goals and days up to the day before `today`. A user left
// half-made is deleted again; false then.
bool WriteDemoUser(UserStore& store, const DemoUser& u, uint32_t today);

}  // namespace stepora::demo
