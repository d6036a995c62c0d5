// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window: what its buttons write to the user file and which period it shows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>

#include "accounts/AccountDlgs.h"
#include "accounts/PasswordCheckDlg.h"
#include "accounts/UserMatchDlg.h"
#include "app/Clock.h"
#include "app/FileChooser.h"
#include "csv/CsvExportDlg.h"
#include "device/SimulatedPedometerFile.h"
#include "device/UsbTransDlg.h"
#include "graph/DrawGraph.h"
#include "graph/PreviewFrame.h"
#include "graph/UseGraphDlg.h"
#include "graph/UserGraphPropSheet.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"
#include "support/ScopedOverride.h"
#include "ui/MainWindowFixture.h"
#include "ui/Snapshot.h"

namespace stepora {
namespace {

using G = CUseGraphDlg;
using X = CCsvExportDlg;
using S = CUserGraphPropSheet;
using test::Click;
using test::SetField;

void SelectDate(CDialogBase& dialog, int yearId, int year, int month, int day) {
    for (int part : {year, month, day}) dialog.Control<QComboBox>(yearId++)->setCurrentText(QString::number(part));
}

class GraphWindowTest : public test::MainWindowFixture {
protected:
    // Ann, metric, with the steps of every day from 2008-01-01 to 2008-03-31 equal to the
    // day of the month × 100.
    void SetUp() override {
        MainWindowFixture::SetUp();
        // Made on the first recorded day, so that the days end on 2008-03-31.
        SetLocalTodayOverride([] { return LocalDate{2008, 1, 1}; });
        AddUsers({{"Ann", 0, 60, 70}});
        SetLocalTodayOverride(test::FixedToday);
        uint32_t first = 0, y, m, d, w;
        ASSERT_TRUE(DayCalendar().DateToDay(2008, 1, 1, first, w));
        std::vector<DayRecord> days(91);
        for (uint32_t i = 0; i < 91; ++i) {
            DayCalendar().DayToDate(first + i, y, m, d, w);
            days[i].steps = d * 100, days[i].calories = d * 10, days[i].distance = d;
        }
        ASSERT_TRUE(Start());
        ASSERT_TRUE(TheUserStore().WriteDays("Ann", first, days));
    }
    // Runs the graph window for Ann; `body` works in it while it is open.
    void InWindow(const std::function<void(G&)>& body) {
        G& window = dialog_->GraphWindow();
        window.SetUserName("Ann");
        test::ModalScript script;
        script.Then([&](CDialogBase& opened) { return body(static_cast<G&>(opened)), int(QDialog::Accepted); });
        window.Run();
        EXPECT_TRUE(script.Done());
    }
    UserFileHeader Header() {
        UserFileHeader header;
        EXPECT_TRUE(TheUserStore().ReadHeader("Ann", header));
        return header;
    }
};

// Every mode with every kind, the way through the periods, Go, the hover look and the
// options; a mode starts at the last record, a kind keeps the period, and the header is
// written only when they change.
TEST_F(GraphWindowTest, PeriodsKindsGoAndOptions) {
    const auto file = work_ / "User" / "Ann.usr";
    UserFileHeader goals = Header();
    std::tie(goals.goalSteps, goals.goalCalories, goals.goalDistance, goals.defaultPeriod, goals.defaultKind, goals.weekStart) =
        std::tuple(2500, 125, 435, 5, 2, 3);
    ASSERT_TRUE(TheUserStore().WriteHeader("Ann", goals));
    InWindow([&](G& window) {
        test::Snapshot snap("graph-window");
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const auto click = [&](int id, const std::string& heading) {
            window.Control<QAbstractButton>(id)->click();
            snap.Step(heading, window);
            const UserFileHeader h = Header();  // the view stored, then the options
            snap.Line(QString("stored %1 %2, %3 %4 %5 %6 %7 %8")
                          .arg(h.periodMode)
                          .arg(h.dataKind)
                          .arg(h.defaultPeriod)
                          .arg(h.defaultKind)
                          .arg(h.weekStart)
                          .arg(h.goalSteps)
                          .arg(h.goalCalories)
                          .arg(h.goalDistance)
                          .toStdString());
        };
        snap.Step("opened", window);
        const auto before = std::filesystem::last_write_time(file);
        window.OnCommand(G::IDC_WEEKLY);
        window.OnCommand(G::IDC_STEPS);
        EXPECT_EQ(std::filesystem::last_write_time(file), before);
        click(G::IDC_PREVIOUS, "previous");
        click(G::IDC_PREVIOUS, "previous again");
        click(G::IDC_NEXT, "next");
        click(G::IDC_RECENTLY, "recently");
        for (const auto& [kind, kindName] :
             {std::pair(G::IDC_CALORIES, "calories"), std::pair(G::IDC_DISTANCE, "distance"), std::pair(G::IDC_STEPS, "steps")})
            for (const auto& [mode, modeName] :
                 {std::pair(G::IDC_MONTHLY, "monthly"), std::pair(G::IDC_YEARLY, "yearly"), std::pair(G::IDC_ALL, "all"),
                  std::pair(G::IDC_DAILY, "daily"), std::pair(G::IDC_WEEKLY, "weekly")}) {
                window.Control<QAbstractButton>(kind)->click();
                click(mode, std::string(kindName) + " " + modeName);
            }
        click(G::IDC_PREVIOUS, "a week back");
        click(G::IDC_MONTHLY, "monthly from there");
        for (const auto& [y, m, d] : {std::tuple(2008, 2, 15), std::tuple(2007, 12, 31)}) {
            SelectDate(window, G::IDC_GO_YEAR, y, m, d);
            click(G::IDC_GO, "go to " + std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d));
        }
        // Enter in a Go list goes, as Go does; it runs no other command.
        SelectDate(window, G::IDC_GO_YEAR, 2008, 1, 10);
        window.Control<QWidget>(G::IDC_GO_MONTH)->setFocus();
        QTest::keyClick(window.Control<QWidget>(G::IDC_GO_MONTH), Qt::Key_Return);
        snap.Step("Enter in the month list: go to 2008-1-10", window);
        // A click on the fourth bar explains it: clicked on the window, as a person does, so
        // that it reaches whatever control lies on top there.
        test::ModalScript script;
        script.Then([](CDialogBase&) { return int(QDialog::Accepted); });
        const GraphRect lower = TrimPlot(window.Graph()->Layout().lowerPlot, window.ShownGraph().barCount);
        const QPoint bar(SlotX(lower, window.ShownGraph().barCount, 3) + 2, lower.bottom - 2);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, window.Graph()->mapTo(&window, bar));
        auto* next = window.Control<QWidget>(G::IDC_NEXT);
        QTest::mouseMove(next, next->rect().center());
        snap.Step("mouse over next", window);
        click(G::IDC_PRINT, "print");
        auto* preview = window.findChild<CPreviewFrame*>();
        ASSERT_TRUE(preview);
        const int dpi = preview->Printer().resolution();
        const QRect paper = preview->Printer().pageLayout().paintRectPixels(dpi);
        snap.Step("print preview", *preview);
        snap.Line(QString("page %1, %2 dpi, drawn in %3,%4 %5x%6")
                      .arg(preview->Printer().pageLayout().pageSize().name())
                      .arg(dpi)
                      .arg(paper.x())
                      .arg(paper.y())
                      .arg(paper.width())
                      .arg(paper.height())
                      .toStdString());
        preview->close();
        // The sheet shows the header's options; OK stays open while a goal is refused, then
        // stores the choices and keeps the goals nobody touched digit for digit.
        script.Then([&](CDialogBase& sheet) {
            sheet.show();
            for (int id : {S::IDC_ALL, S::IDC_DAILY, S::IDC_CALORIES_KIND, S::IDC_FRIDAY}) {
                sheet.findChild<QTabBar*>()->setCurrentIndex(id == S::IDC_FRIDAY ? 2 : 1);
                auto* button = sheet.Control<QAbstractButton>(id);
                // near the left edge: a radio answers on its circle and text only
                QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
                snap.Step("option " + std::to_string(id) + " clicked", sheet);
            }
            QTest::keyClicks(sheet.Control<QLineEdit>(S::IDC_CALORIES), "1.2.3");  // after "12.5"
            Click(sheet, S::IDC_OK);
            SetField(sheet, S::IDC_CALORIES, "12.5");
            QTest::keyClick(sheet.Control<QLineEdit>(S::IDC_CALORIES), Qt::Key_Return);
            EXPECT_TRUE(sheet.isVisible());  // Enter is no OK
            return Click(sheet, S::IDC_OK);
        });
        script.Then([&](CDialogBase& sheet) { return Click(sheet, S::IDC_CANCEL); });
        click(G::IDC_OPTIONS, "options: daily calories, weeks from Friday");
        click(G::IDC_OPTIONS, "options again, cancelled");
    });
}

// Whichever file open fails, a save of the options either lands whole or leaves the user
// file as it was and says so.
TEST_F(GraphWindowTest, AFailedOptionsSaveLeavesTheFileAsItWas) {
    const auto file = work_ / "User" / "Ann.usr";
    int refused = 0;
    for (uint32_t n = 1; n <= 12; ++n) {
        const std::string before = test::ReadFile(file);
        boxes_.clear();
        InWindow([&](G& window) {
            test::ModalScript script;
            script.Then([&](CDialogBase& sheet) {
                SetField(sheet, CUserGraphPropSheet::IDC_STEPS, std::to_string(5000 + n));
                return Click(sheet, CUserGraphPropSheet::IDC_OK);
            });
            test::ScopedFileFaults faults;
            faults.FailNth(FileOp::Open, n);
            window.OnCommand(G::IDC_OPTIONS);
        });
        const bool unchanged = test::ReadFile(file) == before;
        refused += unchanged;
        const bool told = std::count(boxes_.begin(), boxes_.end(), Text("USEGRAPH_STR11")) > 0;
        EXPECT_EQ(told, unchanged) << n;
        EXPECT_TRUE(unchanged || Header().goalSteps == 5000 + n) << n;
        EXPECT_FALSE(std::filesystem::exists(work_ / "User" / "Ann_bk.bin")) << n;
    }
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, 12);
}

// The export dialog checks its inputs in order and keeps them after every refusal; what it
// writes comes back into the same user without a question.
TEST_F(GraphWindowTest, CsvExportChecksItsInputsAndItsFileComesBack) {
    const auto folder = work_ / "CSV files \xC3\xA4";
    ASSERT_TRUE(test::WriteFile(folder / "Ann.csv", "keep"));
    const std::string before = test::ReadFile(work_ / "User" / "Ann.usr");
    auto chosen = folder;
    test::ScopedOverride chooser(&SetFileChooserOverride,
                                 FileChooserOverride([&](const FileChooserRequest&) { return std::optional(chosen); }));
    InWindow([&](G& window) {
        test::Snapshot snap("csv-export-import");
        snap.Stabilise(work_.path().string(), "<work>");
        test::ModalScript script;
        script.Then([&](CDialogBase& dialog) {
            const std::function<void()> steps[] = {[] {}, [&] { Click(dialog, X::IDC_BROWSE); },
                                                   [&] { SetField(dialog, X::IDC_FILE_NAME, " Ann "), answers_ = {kIdNo}; },
                                                   [&] { SelectDate(dialog, X::IDC_FROM_YEAR, 2008, 3, 2); }};
            SelectDate(dialog, X::IDC_TO_YEAR, 2008, 3, 1);
            for (const auto& change : steps) {
                change();
                EXPECT_EQ(Click(dialog, X::IDC_OK), QDialog::Rejected);
                snap.Step("refused", dialog);
            }
            SelectDate(dialog, X::IDC_FROM_YEAR, 2007, 12, 31);
            SelectDate(dialog, X::IDC_TO_YEAR, 2008, 3, 31);
            return Click(dialog, X::IDC_OK);
        });
        window.OnCommand(G::IDC_CSV_EXPORT);

        // The whole stored range of an unchanged user goes straight back in, in any case.
        std::filesystem::rename(folder / "Ann.csv", chosen = folder / "ANN.CSV");
        window.OnCommand(G::IDC_CSV_IMPORT);
        snap.Step("imported", window);
        // The next export starts in the folder chosen this time.
        script.Then([&](CDialogBase& dialog) { return Click(dialog, X::IDC_CANCEL); });
        window.OnCommand(G::IDC_CSV_EXPORT);
    });
    EXPECT_EQ(test::ReadFile(work_ / "User" / "Ann.usr"), before);
    EXPECT_EQ(Config("AP_ENVIRONMENT", "CSVExportDir"), folder.string());
    EXPECT_EQ(Config("AP_ENVIRONMENT", "CSVImportDir"), folder.string() + "/");
}

// Without a pedometer, the test button's three sample days go the whole way: password,
// question, transfer, yes to the sample days, the choice of a user (the units differ from
// Ann's), the write.
TEST_F(GraphWindowTest, ADownloadLandsInTheUserChosenAndTheWindowShowsThem) {
    using M = CUserMatchDlg;
    SetPedometerLink(SimulatedPedometerLink({}));
    InWindow([&](G& window) {
        test::Snapshot snap("download-sample-days");
        test::ModalScript script;
        script.Then([](CDialogBase& prompt) { return Click(prompt, CPasswordCheckDlg::IDC_OK); });
        script.Then([](CDialogBase& transfer) { return Click(transfer, CUsbTransDlg::IDC_TEST); });
        script.Then([](CDialogBase& match) { return Click(match, M::IDC_TO_NEW); });
        script.Then([](CDialogBase& add) {
            SetField(add, CAddUserDlg::IDC_NAME, "Sam");
            return Click(add, CAddUserDlg::IDC_OK);
        });
        window.OnCommand(G::IDC_DOWNLOAD);
        EXPECT_TRUE(script.Done());
        snap.Step("downloaded", window);
    });
    SetPedometerLink({});
    UserFileHeader sam;
    ASSERT_TRUE(TheUserStore().ReadHeader("Sam", sam));
    EXPECT_EQ(std::tuple(sam.unitSystem, sam.weight, sam.stride), std::tuple(1u, 104u, 210u));
    std::vector<DayRecord> days(3);
    ASSERT_TRUE(TheUserStore().ReadDays("Sam", sam.lastDay - 2, days));
    for (const DayRecord& day : days) EXPECT_GT(day.steps, 0u);
}

}  // namespace
}  // namespace stepora
