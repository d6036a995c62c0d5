// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "app/LangTable.h"
#include "device/HidInterface.h"
#include "device/PedometerLink.h"
#include "device/TransferProtocol.h"

namespace stepora {

// What the transfer window lives through from opening to its end: it waits for the
// pedometer, polls it for a block, loses it and finds it again, and says so. Until the
// block is complete the person may leave, and nothing is kept; the test button's sample
// days are kept only when the person says yes to them. Each event
// answers the actions the window is to carry out, in order; the window owns the timers,
// the boxes and the posting, the session everything it decides by.
class TransferSession : private NotificationSink {
public:
    enum class Timer : uint8_t { Start, Poll };
    enum class Box : uint8_t { Lost, Received };
    // Work the window hands back through Resume() once the events already waiting have been
    // handled, as the window messages it was always posted as.
    enum class Later : uint8_t { PollRound, InterfaceClosed, PedometerGone, DeviceConnected };
    // A text of the language files, one of the original keys or one added since.
    using Text = std::variant<LangKey, AddedKey>;

    struct Action {
        enum Kind : uint8_t {
            SetStatus,   // text
            StartTimer,  // timer, for a full interval from now
            StopTimer,   // timer
            ShowBox,     // box, caption, text; stays up while the session goes on
            DismissBox,  // the topmost box, as if its button were pressed
            Hide,
            Show,
            Post,       // later, registration
            AskSample,  // text: a Yes/No question the window waits for, answered by SampleAnswered
            WarnTest,   // the sample did not decode: a warning the window waits for
            End,        // ok: OK with Data(), else Cancel
        };
        Kind kind;
        Text text{};
        std::optional<LangKey> caption = std::nullopt;  // none: the untranslated error caption
        Timer timer = Timer::Start;
        Box box = Box::Lost;
        Later later = Later::PollRound;
        uint64_t registration = 0;
        bool ok = false;
        bool operator==(const Action&) const = default;
    };
    using Actions = std::vector<Action>;

    // The events. Until Open() and after Close() there is nothing to act on and every event
    // answers nothing.
    Actions Open(const PedometerLink& link);  // finds the pedometer when it is plugged in
    Actions DeviceEvents();                   // the monitor has news: arrivals, removals
    Actions StartTimerFired();
    Actions PollTimerFired();
    Actions Resume(const Action& posted);  // a Post action, handed back
    Actions BoxClosed(Box kind);           // by the person, not by a DismissBox action
    Actions TestPressed();
    Actions SampleAnswered(bool yes);
    Actions CancelPressed();  // Cancel, Escape or the window's close request
    // The window ends, whoever ended it: the pedometer, the monitor and the bus go.
    void Close();

    bool Running() const { return phase_ != Phase::Closed; }
    // Whose events the window listens to; null when there is none.
    DeviceMonitor* Monitor() const { return monitor_.get(); }
    // The block of the last opening that ended with OK.
    const DeviceData& Data() const { return data_; }

private:
    // Waiting for a block; the block arrived and the success box is up; the person is
    // asked about the sample days; the sample stands in for a block.
    enum class Phase { Closed, Waiting, Received, Asking, Sample };

    void OnInterfaceClosed(uint64_t registration) override;
    void OnPedometerGone() override;

    Actions PollRound();
    Actions PedometerGone();
    Actions DeviceConnected();

    void Do(Action action) { actions_.push_back(action); }
    Actions Take();
    void NotePedometerNodes();
    void StopPolling();
    void CloseDevice();
    void ShowDenied(bool denied);
    void ShowBox(Box kind, std::optional<LangKey> caption, LangKey text);
    void DismissBox(Box kind);
    // What follows once a box went, whoever took it down.
    void AfterBox(Box kind);

    Phase phase_ = Phase::Closed;
    bool connected_ = false;    // both interfaces are open
    bool deviceAbsent_ = true;  // the window shows the no-device state
    bool denied_ = false;       // it shows that the pedometer is there but may not be opened
    std::vector<Box> boxes_;    // the boxes up, the topmost last
    std::shared_ptr<HidBackend> backend_;
    std::shared_ptr<DeviceMonitor> monitor_;
    std::unique_ptr<PedometerDevice> device_;
    std::set<std::string> pedometerNodes_;  // where the pedometer was seen this opening
    BlockReceiver receiver_;
    DeviceData data_;
    Actions actions_;  // of the event being handled
};

}  // namespace stepora
