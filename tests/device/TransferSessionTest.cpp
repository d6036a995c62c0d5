// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer window's states without a window or a clock: each step is an event, and
// what the session asks of the window is written out in words.
#include "device/TransferSession.h"

#include <gtest/gtest.h>

#include "device/DeviceTestSupport.h"

namespace stepora {
namespace {

using S = TransferSession;

// The window as the session sees it.
struct Window {
    std::string Step(const std::string& step) {
        if (step == "no link") bus.link = {};
        if (step == "pull later") bus.backend.UnplugAfterReports(12);
        if (step == "deny" || step == "allow") bus.backend.DenyAccess(step == "deny");
        if (step == "open") return Event(session.Open(bus.link));
        if (step == "start") return Event(session.StartTimerFired());
        if (step == "poll") return Event(session.PollTimerFired());
        if (step == "test") return Event(session.TestPressed());
        if (step == "yes" || step == "no") return Event(session.SampleAnswered(step == "yes"));
        if (step == "cancel") return Event(session.CancelPressed());
        if (step == "close lost") return Event(session.BoxClosed(S::Box::Lost));
        if (step == "close received") return Event(session.BoxClosed(S::Box::Received));
        if (step.ends_with("plug")) step == "unplug" ? bus.backend.Unplug() : bus.backend.Replug();
        // Polls: the monitor, then the poll timer, until there is other news than another round.
        std::string news = Event(session.DeviceEvents());
        if (step != "polls" || !news.empty()) return news;
        return (news = Event(session.PollTimerFired())) == "+poll" ? Step("polls") : news;
    }
    // Posted work comes back in order once the event is through.
    std::string Event(S::Actions actions) {
        std::string said;
        for (size_t i = 0; i < actions.size(); ++i) {
            const S::Action a = actions[i];  // a copy: the list grows
            if (a.kind == a.Post) std::ranges::copy(session.Resume(a), std::back_inserter(actions));
            const std::string text = a.text.index() ? AddedKeyNames[std::get<1>(a.text)] : KeyNames[std::get<0>(a.text)];
            // clang-format off
            const std::string words[] = {text, a.timer == S::Timer::Start ? "+start" : "+poll", a.timer == S::Timer::Start ? "-start" : "-poll",
                (a.box == S::Box::Lost ? "lost:" : "received:") + std::string(a.caption ? KeyNames[*a.caption] : "ERROR") + "/" + text, "dismiss", "hide", "show", "", "ask:" + text, "warn", a.ok ? "OK:" + std::to_string(session.Data().recordCount) : "Cancel"};
            // clang-format on
            if (a.kind != a.Post) said += (said.empty() ? "" : " ") + words[a.kind];
        }
        return said;
    }

    SimulatedBus bus;
    S session;
};

TEST(TransferSession, WhatEachEventAsksOfTheWindow) {
    // clang-format off
    const std::pair<std::string, std::string> open = {"open", "USBTRANS_STR3 +start"}, start = {"start", "+poll"}, pull = {"pull later", ""}, absent = {"open", "USBTRANS_STR4 +start"},
        back = {"replug", "+start show USBTRANS_STR7"}, lost = {"polls", "-start -poll hide lost:ERROR/USBTRANS_STR6"}, received = {"polls", "hide received:APP_NAME/USBTRANS_STR8"};
    const struct { const char* name; std::vector<std::pair<std::string, std::string>> steps; } cases[] = {
        {"received, its box closed; too late to cancel", {open, start, received, {"cancel", ""}, {"close received", "OK:7"}}},
        {"pulled and back, pulled after the block came", {pull, open, start, lost, back, {"start", "dismiss +poll"}, received, {"unplug", "-start -poll hide dismiss OK:7"}}},
        {"pulled, the lost box closed", {pull, open, start, lost, {"close lost", "Cancel"}}},
        {"absent at opening, plugged in, the test button: no, then yes", {{"unplug", ""}, absent, {"start", ""}, back, {"test", "-start -poll ask:USBTRANS_STR10"}, {"no", "+start"}, {"test", "-start -poll ask:USBTRANS_STR10"}, {"yes", "-start -poll OK:3"}, {"test", ""}}},
        {"no link, no pedometer, the test button: no, then Cancel", {{"no link", ""}, absent, {"replug", ""}, {"start", ""}, {"test", "-start -poll ask:USBTRANS_STR10"}, {"cancel", ""}, {"no", ""}, {"cancel", "-start -poll Cancel"}, {"yes", ""}}},
        {"cancelled while a block comes in", {open, start, {"poll", "+poll"}, {"poll", "+poll"}, {"cancel", "-start -poll Cancel"}, {"poll", ""}}},
        {"there but not to be opened, pulled, plugged, allowed", {{"deny", ""}, {"open", "USBTRANS_STR9 +start"}, {"start", ""}, {"unplug", "USBTRANS_STR4"}, {"replug", "USBTRANS_STR9"}, {"unplug", "USBTRANS_STR4"}, {"allow", ""}, back}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Window w;
        for (const auto& [step, want] : c.steps) EXPECT_EQ(w.Step(step), want) << step;
        w.session.Close();  // cancelled, or ended: nothing is news any more
        EXPECT_EQ(w.Step("unplug") + w.Step("replug") + w.Step("start") + w.Step("test"), "");
    }
}

}  // namespace
}  // namespace stepora
