// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ClockTimer.h"

#include <algorithm>
#include <vector>

namespace stepora {
namespace {

ManualClock* g_manual = nullptr;
std::vector<ClockTimer*> g_timers;  // every timer alive, in the order they were made

}  // namespace

ClockTimer::ClockTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout)
    : intervalMs_(intervalMs), singleShot_(singleShot), onTimeout_(std::move(onTimeout)) {
    timer_.setInterval(intervalMs);
    timer_.setSingleShot(singleShot);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { onTimeout_(); });
    g_timers.push_back(this);
}

ClockTimer::~ClockTimer() {
    g_timers.erase(std::find(g_timers.begin(), g_timers.end(), this));
}

void ClockTimer::Start() {
    if (g_manual) {
        timer_.stop();
        dueMs_ = g_manual->nowMs_ + intervalMs_;
    } else {
        timer_.start();
    }
}

void ClockTimer::Stop() {
    timer_.stop();
    dueMs_ = -1;
}

ManualClock::ManualClock() {
    g_manual = this;
}

ManualClock::~ManualClock() {
    g_manual = nullptr;
    for (ClockTimer* timer : g_timers) timer->dueMs_ = -1;
}

void ManualClock::Advance(int ms) {
    const int64_t until = nowMs_ + ms;
    for (;;) {
        ClockTimer* next = nullptr;
        for (ClockTimer* timer : g_timers)
            if (timer->dueMs_ >= 0 && timer->dueMs_ <= until &&
                (!next || timer->dueMs_ < next->dueMs_))
                next = timer;
        if (!next) break;
        nowMs_ = next->dueMs_;
        next->dueMs_ = next->singleShot_ ? -1 : nowMs_ + std::max(next->intervalMs_, 1);
        next->onTimeout_();
    }
    nowMs_ = until;
}

}  // namespace stepora
