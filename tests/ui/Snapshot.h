// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a person (and a screen reader) sees of a window, as stable text, and scenarios that
// compare it after every step with a reviewed file under tests/snapshots/.
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

namespace stepora::test {

// Every visible control of `window` in table order, one per line: its role, its text or
// the name a screen reader gives it, its value and its state (disabled, checked, focus,
// default, hover), list headers with their sort mark and rows with their selection, the
// graph's description, legend and layout rectangles, the menus, and any message box up.
std::string Describe(const QWidget& window);

// A scenario's text: a heading per step followed by what the step left on screen. The
// whole is compared with tests/snapshots/<name>.txt when the scenario ends; a mismatch
// fails the test with a diff. With STEPORA_UPDATE_SNAPSHOTS=1 in the environment the
// file is written instead (scripts/update-snapshots.sh).
//
// While a scenario is alive, the scripted answers of the window tests note in it every
// message box (with the answer given) and every dialog as it opens.
class Snapshot {
public:
    explicit Snapshot(std::string name);
    ~Snapshot();
    static Snapshot* Current();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    // Texts that differ from run to run (a scratch folder) are written as `stable`.
    void Stabilise(std::string varying, std::string stable);
    void Step(const std::string& heading, const QWidget& window);
    void Step(const std::string& heading) { Line("## " + heading); }
    void Line(const std::string& line);

private:
    std::string name_, text_;
    std::vector<std::pair<std::string, std::string>> stable_;
};

}  // namespace stepora::test
