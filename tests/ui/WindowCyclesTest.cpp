// SPDX-License-Identifier: GPL-3.0-or-later
// Logging in and out again and again. The graph window of a user with a century of days
// opens in All mode from the main window and Escape closes it, 100 times; from the 10th
// time on, neither the widgets, nor the objects of the two windows, nor the heap may
// grow. What a window keeps as its child is freed with it at the end and so is no leak to
// LeakSanitizer, which checks the rest when the sanitizer build's test program ends.
#include <gtest/gtest.h>
#include <malloc.h>

#include <QApplication>
#include <QIcon>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <vector>

#include "app/Clock.h"
#include "graph/GraphTypes.h"
#include "graph/UseGraphDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"
#include "ui/MainWindowFixture.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();  // the sanitizer's own count
#endif

namespace stepora {
namespace {

// Bytes the program has allocated and not freed.
size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

struct Footprint {
    size_t widgets, mainObjects, graphObjects, heap;
    qint64 icon;
};

class WindowCyclesTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // The window icon and pictures of a real work directory.
        std::filesystem::copy(std::filesystem::path(STEPORA_DATA_DIR) / "Ptn", work_ / "Ptn");
        std::vector<test::UserSpec> others;
        for (const char* name : {"Bea", "Carl", "Dora", "Emil", "Fay", "Gus", "Hana", "Ivo"}) others.push_back({name, 0, 60, 70});
        AddUsers(others);
        MakeCentury();
        ASSERT_TRUE(Start());
        dialog_->show();
    }
    // "Aaron", first in the list: a day on every date from 2000-01-01 to 2099-12-31, shown
    // in All mode when the window opens.
    void MakeCentury() {
        uint32_t first = 0, weekday;
        ASSERT_TRUE(DayCalendar().DateToDay(2000, 1, 1, first, weekday));
        SetLocalTodayOverride([] { return LocalDate{2000, 1, 2}; });  // made the day after
        UserStore store;
        store.SetDirectory(work_ / "User");
        ASSERT_TRUE(store.Create("Aaron", ""));
        SetLocalTodayOverride(test::FixedToday);
        std::vector<DayRecord> days(36525);
        for (size_t i = 0; i < days.size(); ++i) days[i].steps = uint32_t(i * 7919 % 30000);
        ASSERT_TRUE(store.WriteDays("Aaron", first, days));
        UserFileHeader h;
        ASSERT_TRUE(store.ReadHeader("Aaron", h));
        h.goalSteps = 10000;
        h.defaultPeriod = uint32_t(DisplayMode::All);
        ASSERT_TRUE(store.WriteHeader("Aaron", h));
    }
    // Logs Aaron in as Enter does and, once the window runs, paints it and presses Escape.
    void Cycle() {
        bool closed = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_EQ(modal, &dialog_->GraphWindow());
            modal->repaint();
            QTest::keyClick(modal, Qt::Key_Escape);
            closed = true;
        });
        SelectRows({0});
        dialog_->OnCommand(CMainMenuDlg::IDC_LOGIN);
        ASSERT_TRUE(closed);
        ASSERT_EQ(dialog_->GraphWindow().UserName(), "Aaron");
        ASSERT_EQ(dialog_->GraphWindow().Aggregation().State().mode, DisplayMode::All);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Footprint Measure() const {
        return {size_t(QApplication::allWidgets().size()), size_t(dialog_->findChildren<QObject*>().size()),
                size_t(dialog_->GraphWindow().findChildren<QObject*>().size()), HeapInUse(),
                dialog_->GraphWindow().windowIcon().cacheKey()};
    }
};

TEST_F(WindowCyclesTest, OpeningAndClosingTheGraphWindowKeepsNothing) {
    Footprint after10{};
    for (int cycle = 1; cycle <= 100; ++cycle) {
        ASSERT_NO_FATAL_FAILURE(Cycle()) << "cycle " << cycle;
        if (cycle == 10) after10 = Measure();
    }
    const Footprint after100 = Measure();
    EXPECT_EQ(after100.widgets, after10.widgets);
    EXPECT_EQ(after100.mainObjects, after10.mainObjects);
    EXPECT_EQ(after100.graphObjects, after10.graphObjects);
    // The window icon is read once: on X11 Qt keeps the pictures of every icon read in its
    // pixmap cache, which this platform has no use for.
    EXPECT_NE(after10.icon, QIcon().cacheKey());
    EXPECT_EQ(after100.icon, after10.icon);
    // glibc counts the few freed blocks of each size it keeps at hand as in use, some
    // hundred kB at most; one cycle that kept its period's days (584 kB) or a picture would
    // fail this alone.
    EXPECT_LE(after100.heap, after10.heap + 512 * 1024) << "the heap grew by " << after100.heap - after10.heap << " bytes";
}

}  // namespace
}  // namespace stepora
