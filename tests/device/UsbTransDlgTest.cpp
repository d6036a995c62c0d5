// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer dialog against a simulated pedometer on a fake bus, driven step by step
// while it runs modally, messages included.
#include "device/UsbTransDlg.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "app/ClockTimer.h"
#include "app/LangTable.h"
#include "device/DeviceTestSupport.h"
#include "support/TempDir.h"
#include "ui/ScratchLanguages.h"
#include "ui/Snapshot.h"
#include "ui/UiTestApp.h"

namespace stepora {
namespace {

using D = CUsbTransDlg;

QString En(const char* key) {
    return QString::fromStdString(test::ScratchText("en", key));
}

// Something to do as soon as its moment has come; `then` must not wait for anything.
struct Step {
    const char* what;
    std::function<bool()> when;
    std::function<void()> then;
};

class UsbTransDlgTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::WriteScratchLanguages(dir_.path()));
        table_ = std::make_unique<LangTable>(dir_.path());
        InstallLangTable(table_.get());
        SetPedometerLink(bus_->link);
    }
    void TearDown() override { SetPedometerLink({}), InstallLangTable(nullptr); }

    // Opens the dialog and takes the steps in turn, each at the first millisecond of the
    // dialog's clock at which its moment has come; the scenario's snapshot (if it is named)
    // notes when, and what the window and the pedometer showed then. A step whose moment
    // never comes fails the test.
    int Run(const char* scenario, std::vector<Step> steps) {
        std::optional<test::Snapshot> snapshot;
        if (scenario) snapshot.emplace(scenario);
        size_t next = 0;
        int idle = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (next == steps.size()) return;
            if (!steps[next].when()) {
                if (++idle > 2000) ADD_FAILURE() << "never came: " << steps[next].what, dialog_.done(-1), next = steps.size();
                return clock_.Advance(1);
            }
            idle = 0;
            if (!scenario) return steps[next++].then();
            snapshot->Step(std::string(steps[next].what) + " at " + std::to_string(clock_.NowMs()) + " ms", dialog_);
            std::string commands;
            for (uint8_t c : bus_->pedometer.Commands()) commands += " " + std::to_string(c);
            snapshot->Line("pedometer: polls " + std::to_string(bus_->pedometer.StatusPolls()) + ", commands" + commands);
            steps[next++].then();
        });
        tick.start(0);
        const int result = dialog_.Run();
        EXPECT_EQ(next, steps.size());
        // However it ended, the dialog let go of the pedometer, the monitor and the bus.
        EXPECT_EQ(bus_->backend.OpenHandles() + bus_->monitor.RegistrationCount(), 0u);
        EXPECT_EQ(bus_->owner.use_count(), 1);
        return result;
    }
    bool BoxUp(const char* captionKey) {
        QMessageBox* box = dialog_.ActiveBox();
        return box && box->isVisible() && box->windowTitle() == (captionKey ? En(captionKey) : QString(D::kErrorCaption));
    }
    void Press(QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton); }

    QApplication& app_ = test::UiTestApp();
    test::TempDir dir_;
    std::unique_ptr<LangTable> table_;
    // What the dialog is handed at each opening; the test keeps it to pull and plug.
    std::shared_ptr<SimulatedBus> bus_ = std::make_shared<SimulatedBus>();
    ManualClock clock_;
    CUsbTransDlg dialog_;
};

TEST_F(UsbTransDlgTest, WaitsForThePedometerAndStartsOverWhenItIsPulledDuringATransfer) {
    bus_->backend.Unplug();
    EXPECT_EQ(Run("transfer-pulled-and-back",
                  {{"no pedometer", [&] { return dialog_.isVisible(); }, [] {}},
                   {"still waiting, then plugged in", [&] { return clock_.NowMs() >= 60; },
                    [&] {
                        bus_->backend.Replug();
                        bus_->backend.UnplugAfterReports(12);  // the block has begun: started, a few pieces in
                    }},
                   {"found", [&] { return bus_->pedometer.StatusPolls() > 0; }, [] {}},
                   {"lost", [&] { return BoxUp(nullptr); }, [&] { bus_->backend.Replug(); }},
                   // The snapshot lists every box still up: it must be gone, not merely covered.
                   {"error gone by itself", [&] { return !BoxUp(nullptr); }, [] {}},
                   {"received", [&] { return BoxUp("APP_NAME"); }, [&] { Press(dialog_.ActiveBox()); }}}),
              QDialog::Accepted);
    ExpectBlock(dialog_.Data(), Contents(7, true));
}

TEST_F(UsbTransDlgTest, PulledAndTheErrorClosedItEndsWithNothing) {
    bus_->backend.UnplugAfterReports(12);
    EXPECT_EQ(Run("transfer-pulled-for-good", {{"lost", [&] { return BoxUp(nullptr); }, [&] { Press(dialog_.ActiveBox()); }}}),
              QDialog::Rejected);
    EXPECT_EQ(dialog_.Data().recordCount, 0u);
}

// Cancel has the focus; Escape, Enter on it and the close request end the transfer (the first
// while a block comes in) and let the pedometer go.
TEST_F(UsbTransDlgTest, EveryWayOutEndsWithNothing) {
    QWidget* cancel = dialog_.Control<QPushButton>(D::IDCANCEL);
    const std::function<void()> ways[] = {[&] { QTest::keyClick(cancel, Qt::Key_Escape); },
                                          [&] { QTest::keyClick(cancel, Qt::Key_Return); }, [&] { dialog_.close(); }};
    for (const auto& way : ways) {
        EXPECT_EQ(Run(&way == ways ? "transfer-cancelled" : nullptr,
                      {{"a block begun", [&] { return !bus_->pedometer.Commands().empty(); },
                        [&] {
                            EXPECT_EQ(dialog_.focusWidget(), cancel);
                            way();
                            if (dialog_.isVisible()) dialog_.done(-1);
                        }}}),
                  QDialog::Rejected);
    }
}

}  // namespace
}  // namespace stepora
