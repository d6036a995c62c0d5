// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window: what its buttons write to the user file and which period it shows.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "app/Clock.h"
#include "app/FileChooser.h"
#include "csv/CsvExportDlg.h"
#include "device/SimulatedPedometerFile.h"
#include "device/UsbTransDlg.h"
#include "device/UserMatchDlg.h"
#include "graph/DrawGraph.h"
#include "graph/UseGraphDlg.h"
#include "graph/UserGraphPropSheet.h"
#include "mainwnd/AccountDlgs.h"
#include "mainwnd/PasswordCheckDlg.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"
#include "support/ScopedOverride.h"
#include "ui/MainWindowFixture.h"

namespace stepora {
namespace {

using G = CUseGraphDlg;
using X = CCsvExportDlg;
using test::Click;
using test::SetField;
using Names = std::vector<std::string>;

class GraphWindowTest : public test::MainWindowFixture {
protected:
    // Ann, metric, with the steps of every day from 2008-01-01 to 2008-03-31 equal to the
    // day of the month × 100.
    void SetUp() override {
        MainWindowFixture::SetUp();
        // Made on the first recorded day, so that the days end on 2008-03-31.
        SetLocalTodayOverride([] { return LocalDate{2008, 1, 1}; });
        AddUsers({{"Ann", 0, 60, 70}});
        SetLocalTodayOverride(nullptr);
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
        script.Then(
            [&](CDialogBase& opened) { return body(static_cast<G&>(opened)), int(QDialog::Accepted); });
        window.Run();
        EXPECT_TRUE(script.Done());
    }
    UserFileHeader Header() {
        UserFileHeader header;
        EXPECT_TRUE(TheUserStore().ReadHeader("Ann", header));
        return header;
    }
    static std::string Caption(G& window) {
        return window.Control<QLabel>(G::IDC_RANGE_CAPTION)->text().toStdString();
    }
};

// Mode and kind buttons write the header only when they change; a mode starts at the last
// record, a kind keeps the period.
TEST_F(GraphWindowTest, PeriodButtons) {
    const auto file = work_ / "User" / "Ann.usr";
    InWindow([&](G& window) {
        EXPECT_EQ(Caption(window).find("2008-3-30"), 0u);  // weekly
        const auto before = std::filesystem::last_write_time(file);
        window.OnCommand(G::IDC_WEEKLY);
        window.OnCommand(G::IDC_STEPS);
        EXPECT_EQ(std::filesystem::last_write_time(file), before);
        for (int i = 0; i < 6; ++i) window.OnCommand(G::IDC_PREVIOUS);
        const std::string oldWeek = Caption(window);
        EXPECT_EQ(oldWeek.find("2008-2-"), 0u) << oldWeek;
        window.OnCommand(G::IDC_CALORIES);
        EXPECT_EQ(Caption(window), oldWeek);
        window.OnCommand(G::IDC_MONTHLY);
        EXPECT_EQ(Caption(window), "2008-3-1  ~  2008-3-31");
        EXPECT_DOUBLE_EQ(window.ShownGraph().bars[30].value, 31 * 10 * 0.1);
        window.OnCommand(G::IDC_YEARLY);
        window.OnCommand(G::IDC_DISTANCE);
        EXPECT_EQ(std::pair(Header().periodMode, Header().dataKind), std::pair(3u, 2u));
        EXPECT_EQ(window.ShownGraph().barCount, 12u);
        window.OnCommand(G::IDC_ALL);  // the best days instead of the graph
        EXPECT_FALSE(window.Graph()->isVisibleTo(&window));
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

void SelectDate(CDialogBase& dialog, int yearId, int year, int month, int day) {
    for (int part : {year, month, day})
        dialog.Control<QComboBox>(yearId++)->setCurrentText(QString::number(part));
}

// The export dialog checks its inputs in order and keeps them after every refusal; what it
// writes comes back into the same user without a question.
TEST_F(GraphWindowTest, CsvExportChecksItsInputsAndItsFileComesBack) {
    const auto folder = work_ / "CSV files \xC3\xA4";
    ASSERT_TRUE(test::WriteFile(folder / "Ann.csv", "keep"));
    const std::string before = test::ReadFile(work_ / "User" / "Ann.usr");
    auto chosen = folder;
    test::ScopedOverride chooser(&SetFileChooserOverride, FileChooserOverride([&](const FileChooserRequest&) {
        return std::optional(chosen);
    }));
    InWindow([&](G& window) {
        test::ModalScript script;
        script.Then([&](CDialogBase& dialog) {
            const std::pair<std::function<void()>, Names> steps[] = {
                {[] {}, {Text("CSVEXPORT_DLG_STR16")}},
                {[&] { Click(dialog, X::IDC_BROWSE); }, {Text("CSVEXPORT_DLG_STR17")}},
                {[&] { SetField(dialog, X::IDC_FILE_NAME, " Ann "), answers_ = {kIdNo}; },
                 {Text("CSVEXPORT_DLG_STR18")}},
                {[&] { SelectDate(dialog, X::IDC_FROM_YEAR, 2008, 3, 2); },
                 {Text("CSVEXPORT_DLG_STR18"), Text("CSVEXPORT_DLG_STR20")}},
            };
            SelectDate(dialog, X::IDC_TO_YEAR, 2008, 3, 1);
            for (const auto& [change, boxes] : steps) {
                boxes_.clear();
                change();
                EXPECT_EQ(Click(dialog, X::IDC_OK), QDialog::Rejected);
                EXPECT_EQ(boxes_, boxes);
            }
            EXPECT_EQ(dialog.Control<QLineEdit>(X::IDC_FILE_NAME)->text(), " Ann ");
            boxes_.clear();
            SelectDate(dialog, X::IDC_FROM_YEAR, 2007, 12, 31);
            SelectDate(dialog, X::IDC_TO_YEAR, 2008, 3, 31);
            return Click(dialog, X::IDC_OK);
        });
        window.OnCommand(G::IDC_CSV_EXPORT);
        EXPECT_EQ(boxes_, (Names{Text("CSVEXPORT_DLG_STR18"), Text("CSV_STR2")}));

        // The whole stored range of an unchanged user goes straight back in, in any case.
        std::filesystem::rename(folder / "Ann.csv", chosen = folder / "ANN.CSV");
        boxes_.clear();
        window.OnCommand(G::IDC_CSV_IMPORT);
        EXPECT_EQ(boxes_, Names{Text("CSV_STR45")});
    });
    EXPECT_EQ(test::ReadFile(work_ / "User" / "Ann.usr"), before);
    EXPECT_EQ(Config("AP_ENVIRONMENT", "CSVExportDir"), folder.string());
    EXPECT_EQ(Config("AP_ENVIRONMENT", "CSVImportDir"), folder.string() + "/");
}

// Without a pedometer, the test button's three sample days go the whole way: password,
// question, transfer, the choice of a user (the units differ from Ann's), the write.
TEST_F(GraphWindowTest, ADownloadLandsInTheUserChosenAndTheWindowShowsThem) {
    using M = CUserMatchDlg;
    SetPedometerLink(SimulatedPedometerLink({}));
    InWindow([&](G& window) {
        test::ModalScript script;
        script.Then([](CDialogBase& prompt) { return Click(prompt, CPasswordCheckDlg::IDC_OK); });
        script.Then([](CDialogBase& transfer) { return Click(transfer, CUsbTransDlg::IDC_TEST); });
        script.Then([](CDialogBase& match) {
            EXPECT_FALSE(match.Control<QWidget>(M::IDC_TO_CURRENT)->isEnabled());
            EXPECT_FALSE(match.Control<QWidget>(M::IDC_ADOPT_PROFILE)->isEnabled());
            return Click(match, M::IDC_TO_NEW);
        });
        script.Then([](CDialogBase& add) {
            SetField(add, CAddUserDlg::IDC_NAME, "Sam");
            return Click(add, CAddUserDlg::IDC_OK);
        });
        window.OnCommand(G::IDC_DOWNLOAD);
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(boxes_.back(), Text("APPEDN_STR4"));
        EXPECT_EQ(window.UserName(), "Sam");
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
