// The transfer dialog against a simulated pedometer on a fake bus, driven step by step
// while it runs modally, messages included.
#include "device/UsbTransDlg.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "app/LangTable.h"
#include "device/FakeHidBackend.h"
#include "support/TempDir.h"
#include "ui/ScratchLanguages.h"
#include "ui/UiTestApp.h"

namespace stepora {
namespace {

using D = CUsbTransDlg;

QString En(const char* key) { return QString::fromStdString(test::ScratchText("en", key)); }

BlockContents Week() {
    BlockContents c;
    c.longHeader = true;
    c.dayMode = 1;
    c.weight = 72;
    c.stride = 74;
    c.year = 26;
    c.month = 3;
    c.day = 10;
    for (uint32_t i = 0; i < 7; ++i) c.days.push_back({6000 + 111 * i, 2400 + i, 440 + 3 * i});
    return c;
}

void ExpectWeek(const DeviceData& d) {
    const BlockContents want = Week();
    EXPECT_EQ(std::tie(d.deviceType, d.weight, d.stride, d.year, d.month, d.day),
              std::tie(want.deviceType, want.weight, want.stride, *want.year, *want.month, *want.day));
    ASSERT_EQ(d.recordCount, want.days.size());
    for (size_t i = 0; i < want.days.size(); ++i)
        EXPECT_EQ(std::tie(d.steps[i], d.calories[i], d.distance[i]),
                  std::tie(want.days[i].steps, want.days[i].calories, want.days[i].distance));
}

// What the dialog is handed at each opening; the test keeps it to pull and plug.
struct Bus {
    Bus() : pedometer(EncodeBlock(Week())), backend(pedometer, {}, &monitor) {}
    SimulatedPedometer pedometer;
    FakeDeviceMonitor monitor;
    FakeHidBackend backend;
};

// Something to do as soon as its moment has come; `then` must not wait for anything.
struct Step {
    const char* what;
    std::function<bool()> when;
    std::function<void()> then = [] {};
};

class UsbTransDlgTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::WriteScratchLanguages(dir_.path()));
        table_ = std::make_unique<LangTable>(dir_.path());
        InstallLangTable(table_.get());
        SetPedometerLink({[this] { return std::shared_ptr<HidBackend>(bus_, &bus_->backend); },
                          [this] { return std::shared_ptr<DeviceMonitor>(bus_, &bus_->monitor); }});
    }
    void TearDown() override {
        SetPedometerLink({});
        InstallLangTable(nullptr);
    }

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
        tick.start(1);
        deadline.start(5000);
        const int result = dialog_.Run();
        EXPECT_EQ(next, steps.size());
        // However it ended, the dialog let go of the pedometer, the monitor and the bus.
        EXPECT_EQ(bus_->backend.OpenHandles(), 0u);
        EXPECT_EQ(bus_->monitor.RegistrationCount(), 0u);
        EXPECT_EQ(bus_.use_count(), 1);
        return result;
    }

    bool BoxUp(const char* captionKey) {
        QMessageBox* box = dialog_.ActiveBox();
        return box && box->isVisible() &&
               box->windowTitle() == (captionKey ? En(captionKey) : QString(D::kErrorCaption));
    }
    void Press(QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton); }
    QString Status() const { return dialog_.Control<QLabel>(D::IDC_STATUS)->text(); }

    QApplication& app_ = test::UiTestApp();
    test::TempDir dir_;
    std::unique_ptr<LangTable> table_;
    std::shared_ptr<Bus> bus_ = std::make_shared<Bus>();
    CUsbTransDlg dialog_;
};

TEST_F(UsbTransDlgTest, WaitsForThePedometerUntouchedByEnterAndEscapeAndPollsOnceItIsPluggedIn) {
    bus_->backend.Unplug();
    QPushButton* button = dialog_.Control<QPushButton>(D::IDC_TEST);
    size_t pollsWhileAway = 99;
    QElapsedTimer shown;
    const int result = Run({
        {"no pedometer", [&] { return dialog_.isVisible(); },
         [&] {
             EXPECT_EQ(Status(), En("USBTRANS_STR4"));
             EXPECT_EQ(dialog_.windowTitle(), En("USBTRANS_STR1"));
             EXPECT_EQ(button->text(), En("USBTRANS_STR2"));
             for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                 QTest::keyClick(&dialog_, key);
                 QTest::keyClick(button, key);
             }
             shown.start();
         }},
        // Three times the delay before polling starts.
        {"still waiting", [&] { return shown.elapsed() >= 60; },
         [&] {
             pollsWhileAway = bus_->pedometer.StatusPolls();
             EXPECT_TRUE(dialog_.isVisible());
             bus_->backend.Replug();
         }},
        {"plugged in", [&] { return Status() == En("USBTRANS_STR7"); }},
        {"received", [&] { return BoxUp("APP_NAME"); },
         [&] {
             EXPECT_EQ(dialog_.ActiveBox()->text(), En("USBTRANS_STR8"));
             EXPECT_FALSE(dialog_.isVisible());
             Press(dialog_.ActiveBox());
         }},
    });
    EXPECT_EQ(pollsWhileAway, 0u);
    EXPECT_EQ(result, QDialog::Accepted);
    ExpectWeek(dialog_.Data());
    EXPECT_TRUE(bus_->pedometer.Finished());
}

TEST_F(UsbTransDlgTest, PulledDuringATransferItIsWaitedForWhileTheErrorIsUp) {
    const struct {
        const char* name;
        bool plugBackIn;  // else the message is closed while the pedometer is away
        int result;
    } cases[] = {{"plugged in again", true, QDialog::Accepted},
                 {"message closed", false, QDialog::Rejected}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bus_ = std::make_shared<Bus>();
        bus_->backend.UnplugAfterReports(12);  // the block has begun: started, a few pieces in
        std::vector<Step> steps = {
            {"lost", [&] { return BoxUp(nullptr); },
             [&] {
                 QMessageBox* box = dialog_.ActiveBox();
                 EXPECT_EQ(box->text(), En("USBTRANS_STR6"));
                 EXPECT_EQ(box->icon(), QMessageBox::Warning);
                 EXPECT_FALSE(dialog_.isVisible());
                 if (c.plugBackIn)
                     bus_->backend.Replug();
                 else
                     Press(box);
             }}};
        if (c.plugBackIn) {
            // Looked for among all windows: it must be gone, not merely covered by another.
            auto errorUp = [] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (w->isVisible() && w->windowTitle() == D::kErrorCaption) return true;
                return false;
            };
            steps.push_back({"message gone by itself", [=] { return !errorUp(); },
                             [&] { EXPECT_EQ(Status(), En("USBTRANS_STR7")); }});
            steps.push_back({"received", [&] { return BoxUp("APP_NAME"); },
                             [&] { Press(dialog_.ActiveBox()); }});
        }
        EXPECT_EQ(Run(steps), c.result);
        const std::vector<uint8_t>& commands = bus_->pedometer.Commands();
        if (c.plugBackIn) {
            ExpectWeek(dialog_.Data());
            // Started over from the announcement; nothing of the broken-off block was kept.
            EXPECT_EQ(commands, (std::vector<uint8_t>{kCommandStart, kCommandStart, kCommandDone}));
        } else {
            EXPECT_EQ(dialog_.Data().recordCount, 0u);
            EXPECT_EQ(commands, std::vector<uint8_t>{kCommandStart});
        }
    }
}

TEST_F(UsbTransDlgTest, PulledWhileTheSuccessMessageIsUpTheBlockIsKeptAndAReopeningFindsItAgain) {
    // Left up, the message would keep the dialog open until the deadline.
    EXPECT_EQ(Run({{"received", [&] { return BoxUp("APP_NAME"); }, [&] { bus_->backend.Unplug(); }}}),
              QDialog::Accepted);
    ExpectWeek(dialog_.Data());

    // The graph window keeps its dialog and opens it again for the next download.
    bus_->backend.Replug();
    EXPECT_EQ(Run({{"received again", [&] { return BoxUp("APP_NAME"); },
                    [&] { Press(dialog_.ActiveBox()); }}}),
              QDialog::Accepted);
    ExpectWeek(dialog_.Data());
}

TEST_F(UsbTransDlgTest, TheTestButtonHandsOverTheSampleBlockWhetherOrNotAPedometerIsThere) {
    for (bool plugged : {false, true}) {
        SCOPED_TRACE(plugged);
        bus_ = std::make_shared<Bus>();
        if (!plugged) bus_->backend.Unplug();
        bus_->pedometer.NeverEndBlock();  // the press always falls in the middle of the block
        const int result = Run({{"shown",
                                 [&] {
                                     return dialog_.isVisible() &&
                                            (!plugged || !bus_->pedometer.Commands().empty());
                                 },
                                 [&] {
                                     QTest::mouseClick(dialog_.Control<QPushButton>(D::IDC_TEST),
                                                       Qt::LeftButton);
                                 }}});
        EXPECT_EQ(result, QDialog::Accepted);
        // Three days, imperial, weight 104, stride 210.
        EXPECT_EQ(dialog_.Data().recordCount, 3u);
        EXPECT_EQ(AssignDays(dialog_.Data()).unitSystem, 1u);
        EXPECT_EQ(dialog_.Data().weight, 104u);
        EXPECT_EQ(dialog_.Data().stride, 210u);
        const std::vector<uint8_t>& commands = bus_->pedometer.Commands();
        EXPECT_EQ(commands.empty(), !plugged);
        EXPECT_EQ(std::count(commands.begin(), commands.end(), kCommandDone), 0);
    }
}

}  // namespace
}  // namespace stepora
