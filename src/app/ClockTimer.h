// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTimer>
#include <cstdint>
#include <functional>

namespace stepora {

// A timer on the program's clock: Qt's precise timers, or, while a test holds a
// ManualClock, a clock that moves only when the test moves it.
class ClockTimer {
public:
    ClockTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout);
    ~ClockTimer();
    ClockTimer(const ClockTimer&) = delete;
    ClockTimer& operator=(const ClockTimer&) = delete;

    void Start();  // (re)starts a full interval from now
    void Stop();

private:
    friend class ManualClock;
    QTimer timer_;
    const int intervalMs_;
    const bool singleShot_;
    std::function<void()> onTimeout_;
    int64_t dueMs_ = -1;  // on a manual clock: when it fires next, -1 when stopped
};

// While one exists, the ClockTimers it sees started run on it: time stands still until
// Advance() moves it, firing every timer that falls due, in the order of their moments.
class ManualClock {
public:
    ManualClock();
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    void Advance(int ms);
    int64_t NowMs() const { return nowMs_; }

private:
    friend class ClockTimer;
    int64_t nowMs_ = 0;
};

}  // namespace stepora
