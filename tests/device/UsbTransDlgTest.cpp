// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer dialog against a simulated pedometer on a fake bus, driven step by step
// while it runs modally, messages included.
#include "device/UsbTransDlg.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/LangTable.h"
#include "device/DeviceTestSupport.h"
#include "support/TempDir.h"
#include "ui/ScratchLanguages.h"
#include "ui/UiTestApp.h"

namespace stepora {
namespace {

using D = CUsbTransDlg;

QString En(const char* key) { return QString::fromStdString(test::ScratchText("en", key)); }

// What the dialog is handed at each opening; the test keeps it to pull and plug.
struct Bus {
    Bus() : pedometer(EncodeBlock(Contents(7, true))), backend(pedometer, {}, &monitor) {}
    SimulatedPedometer pedometer;
    FakeDeviceMonitor monitor;
    FakeHidBackend backend;
};

// Something to do as soon as its moment has come; `then` must not wait for anything.
struct Step { const char* what; std::function<bool()> when; std::function<void()> then; };

class UsbTransDlgTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::WriteScratchLanguages(dir_.path()));
        table_ = std::make_unique<LangTable>(dir_.path());
        InstallLangTable(table_.get());
        SetPedometerLink({[this] { return std::shared_ptr<HidBackend>(bus_, &bus_->backend); },
                          [this] { return std::shared_ptr<DeviceMonitor>(bus_, &bus_->monitor); }});
    }
    void TearDown() override { SetPedometerLink({}), InstallLangTable(nullptr); }

    // Opens the dialog and takes the steps in turn; a step whose moment never comes fails
    // the test and ends the dialog.
    int Run(std::vector<Step> steps) {
        size_t next = 0;
        QTimer tick, deadline;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (next < steps.size() && steps[next].when()) steps[next++].then();
        });
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, [&] {
            ADD_FAILURE() << "never came: " << (next < steps.size() ? steps[next].what : "the end");
            dialog_.done(-1);
        });
        tick.start(1), deadline.start(5000);
        const int result = dialog_.Run();
        EXPECT_EQ(next, steps.size());
        // However it ended, the dialog let go of the pedometer, the monitor and the bus.
        EXPECT_EQ(bus_->backend.OpenHandles() + bus_->monitor.RegistrationCount(), 0u);
        EXPECT_EQ(bus_.use_count(), 1);
        return result;
    }
    bool BoxUp(const char* captionKey) {
        QMessageBox* box = dialog_.ActiveBox();
        return box && box->isVisible() && box->windowTitle() == (captionKey ? En(captionKey) : QString(D::kErrorCaption));
    }
    void Press(QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton); }
    QString Status() const { return dialog_.Control<QLabel>(D::IDC_STATUS)->text(); }

    QApplication& app_ = test::UiTestApp();
    test::TempDir dir_;
    std::unique_ptr<LangTable> table_;
    std::shared_ptr<Bus> bus_ = std::make_shared<Bus>();
    CUsbTransDlg dialog_;
};

TEST_F(UsbTransDlgTest, WaitsForThePedometerAndStartsOverWhenItIsPulledDuringATransfer) {
    bus_->backend.Unplug();
    QPushButton* button = dialog_.Control<QPushButton>(D::IDC_TEST);
    size_t pollsWhileAway = 99;
    QElapsedTimer shown;
    // Looked for among all windows: it must be gone, not merely covered by another.
    auto errorUp = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == D::kErrorCaption) return true;
        return false;
    };
    EXPECT_EQ(Run({{"no pedometer", [&] { return dialog_.isVisible(); },
                    [&] {
                        EXPECT_EQ(Status(), En("USBTRANS_STR4"));
                        EXPECT_EQ(dialog_.windowTitle() + button->text(), En("USBTRANS_STR1") + En("USBTRANS_STR2"));
                        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                            QTest::keyClick(&dialog_, key), QTest::keyClick(button, key);
                        shown.start();
                    }},
                   // Three times the delay before polling starts.
                   {"still waiting", [&] { return shown.elapsed() >= 60; },
                    [&] {
                        pollsWhileAway = bus_->pedometer.StatusPolls();
                        EXPECT_TRUE(dialog_.isVisible());
                        bus_->backend.Replug();
                        bus_->backend.UnplugAfterReports(12);  // the block has begun: started, a few pieces in
                    }},
                   {"lost", [&] { return BoxUp(nullptr); },
                    [&] {
                        EXPECT_EQ(dialog_.ActiveBox()->text(), En("USBTRANS_STR6"));
                        EXPECT_FALSE(dialog_.isVisible());
                        bus_->backend.Replug();
                    }},
                   {"error gone by itself", [&] { return !errorUp(); }, [&] { EXPECT_EQ(Status(), En("USBTRANS_STR7")); }},
                   {"received", [&] { return BoxUp("APP_NAME"); },
                    [&] {
                        EXPECT_EQ(dialog_.ActiveBox()->text(), En("USBTRANS_STR8"));
                        EXPECT_FALSE(dialog_.isVisible());
                        Press(dialog_.ActiveBox());
                    }}}),
              QDialog::Accepted);
    EXPECT_EQ(pollsWhileAway, 0u);
    ExpectBlock(dialog_.Data(), Contents(7, true));
    // Started over from the announcement; nothing of the broken-off block was kept.
    EXPECT_EQ(bus_->pedometer.Commands(), (std::vector<uint8_t>{kCommandStart, kCommandStart, kCommandDone}));
}

TEST_F(UsbTransDlgTest, PulledAndTheErrorClosedItEndsWithNothing) {
    bus_->backend.UnplugAfterReports(12);
    EXPECT_EQ(Run({{"lost", [&] { return BoxUp(nullptr); }, [&] { Press(dialog_.ActiveBox()); }}}), QDialog::Rejected);
    EXPECT_EQ(dialog_.Data().recordCount, 0u);
    EXPECT_EQ(bus_->pedometer.Commands(), std::vector<uint8_t>{kCommandStart});
}

}  // namespace
}  // namespace stepora
