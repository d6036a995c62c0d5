// The graph window: what its buttons write to the user file and which period it shows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "app/FileChooser.h"

#include "csv/CsvExport.h"
#include "csv/CsvExportDlg.h"
#include "mainwnd/AccountDlgs.h"
#include "device/SimulatedPedometerFile.h"
#include "device/UsbTransDlg.h"
#include "device/UserMatchDlg.h"
#include "mainwnd/PasswordCheckDlg.h"
#include "graph/DrawGraph.h"
#include "graph/UserGraphPropSheet.h"
#include "graph/UseGraphDlg.h"
#include "app/Clock.h"
#include "store/DayCalendar.h"
#include "store/StoreFile.h"
#include "support/ScopedOverride.h"
#include "support/TempDir.h"
#include "store/UserStore.h"
#include "ui/MainWindowFixture.h"

namespace stepora {
namespace {

using G = CUseGraphDlg;

class GraphWindowTest : public test::MainWindowFixture {
protected:
    // Ann, metric, with the steps of every day from 2008-01-01 to 2008-03-31 equal to the
    // day of the month × 100.
    void SetUp() override {
        MainWindowFixture::SetUp();
        {
            // Made on the first recorded day, so that the days end on 2008-03-31.
            test::ScopedOverride clock(&SetLocalTodayOverride, std::function<LocalDate()>([] {
                                           return LocalDate{2008, 1, 1};
                                       }));
            AddUsers({{"Ann", 0, 60, 70}});
        }
        uint32_t first = 0, weekday = 0;
        ASSERT_TRUE(DayCalendar().DateToDay(2008, 1, 1, first, weekday));
        std::vector<uint8_t> bytes(91 * kDayRecordSize);
        for (uint32_t i = 0; i < 91; ++i) {
            uint32_t y, m, d, w;
            DayCalendar().DayToDate(first + i, y, m, d, w);
            DayRecord r;
            r.steps = d * 100;
            r.calories = d * 10;
            r.distance = d;
            PackDayRecord(r, bytes.data() + i * kDayRecordSize);
        }
        UserStore store;
        store.SetDirectory(work_ / "User");
        ASSERT_TRUE(store.WriteDays("Ann", first, 91, bytes.data()));
        ASSERT_TRUE(Start());
    }
    // Runs the graph window for Ann; `body` works in it while it is open.
    void InWindow(const std::function<void(G&)>& body) {
        G& window = dialog_->GraphWindow();
        window.SetUserName("Ann");
        test::ModalScript script;
        script.Then([&](CDialogBase& opened) {
            body(static_cast<G&>(opened));
            return static_cast<int>(QDialog::Accepted);
        });
        window.Run();
        EXPECT_TRUE(script.Done());
    }
    UserFileHeader Header() {
        UserFileHeader header;
        EXPECT_TRUE(TheUserStore().ReadHeader("Ann", header));
        return header;
    }
    static std::string Caption(G& window, int id) {
        return window.Control<QLabel>(id)->text().toStdString();
    }
};

TEST_F(GraphWindowTest, ModeAndKindButtonsWriteTheHeaderOnlyWhenTheyChange) {
    const auto file = work_ / "User" / "Ann.usr";
    InWindow([&](G& window) {
        // Opens weekly on the week of the last record day.
        EXPECT_EQ(Caption(window, G::IDC_RANGE_CAPTION).find("2008-3-30"), 0u);
        const auto before = std::filesystem::last_write_time(file);
        window.OnCommand(G::IDC_WEEKLY);
        window.OnCommand(G::IDC_STEPS);
        EXPECT_EQ(std::filesystem::last_write_time(file), before);

        window.OnCommand(G::IDC_YEARLY);
        window.OnCommand(G::IDC_DISTANCE);
        EXPECT_EQ(Header().periodMode, 3u);
        EXPECT_EQ(Header().dataKind, 2u);
        EXPECT_EQ(window.ShownGraph().barCount, 12u);
    });
}

TEST_F(GraphWindowTest, AModeStartsAtTheLastRecordAndAKindKeepsThePeriod) {
    InWindow([&](G& window) {
        for (int i = 0; i < 6; ++i) window.OnCommand(G::IDC_PREVIOUS);
        const std::string oldWeek = Caption(window, G::IDC_RANGE_CAPTION);
        EXPECT_EQ(oldWeek.find("2008-2-"), 0u) << oldWeek;
        window.OnCommand(G::IDC_CALORIES);
        EXPECT_EQ(Caption(window, G::IDC_RANGE_CAPTION), oldWeek);

        window.OnCommand(G::IDC_MONTHLY);
        EXPECT_EQ(Caption(window, G::IDC_RANGE_CAPTION), "2008-3-1  ~  2008-3-31");
        EXPECT_EQ(window.ShownGraph().barCount, 31u);
        EXPECT_DOUBLE_EQ(window.ShownGraph().bars[30].value, 31 * 10 * 0.1);
        // All mode shows the best days instead of the graph.
        window.OnCommand(G::IDC_ALL);
        EXPECT_FALSE(window.Graph()->isVisibleTo(&window));
    });
}

// Whichever file open fails, a save of the options either lands whole or leaves the user
// file as it was and says so.
TEST_F(GraphWindowTest, AFailedOptionsSaveLeavesTheFileAsItWas) {
    using S = CUserGraphPropSheet;
    const auto file = work_ / "User" / "Ann.usr";
    int refused = 0, saved = 0;
    for (uint32_t n = 1; n <= 12; ++n) {
        const std::string before = test::ReadFile(file);
        boxes_.clear();
        InWindow([&](G& window) {
            test::ModalScript script;
            script.Then([&](CDialogBase& sheet) {
                test::SetField(sheet, S::IDC_STEPS, std::to_string(5000 + n));
                return test::Click(sheet, S::IDC_OK);
            });
            test::ScopedFileFaults faults;
            faults.FailNth(FileOp::Open, n);
            window.OnCommand(G::IDC_OPTIONS);
        });
        const bool told =
            std::find(boxes_.begin(), boxes_.end(), Text("USEGRAPH_STR11")) != boxes_.end();
        if (test::ReadFile(file) == before) {
            ++refused;
            EXPECT_TRUE(told) << n;
        } else {
            ++saved;
            EXPECT_FALSE(told) << n;
            EXPECT_EQ(Header().goalSteps, 5000 + n) << n;
        }
        EXPECT_FALSE(std::filesystem::exists(work_ / "User" / "Ann_bk.bin")) << n;
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(saved, 0);
}

using X = CCsvExportDlg;
using M = CUserMatchDlg;

void SelectDate(CDialogBase& dialog, int yearId, int year, int month, int day) {
    dialog.Control<QComboBox>(yearId)->setCurrentText(QString::number(year));
    dialog.Control<QComboBox>(yearId + 1)->setCurrentText(QString::number(month));
    dialog.Control<QComboBox>(yearId + 2)->setCurrentText(QString::number(day));
}

// The export dialog checks its inputs in order and keeps them after every refusal; what it
// writes comes back into the same user without a question.
TEST_F(GraphWindowTest, CsvExportChecksItsInputsAndItsFileComesBack) {
    const auto folder = work_ / "CSV files \xC3\xA4";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(test::WriteFile(folder / "Ann.csv", "keep"));
    const std::string before = test::ReadFile(work_ / "User" / "Ann.usr");
    test::ScopedOverride chooser(&SetFileChooserOverride,
                                 FileChooserOverride([&](const FileChooserRequest&) {
                                     return std::optional(folder);
                                 }));
    InWindow([&](G& window) {
        test::ModalScript script;
        script.Then([&](CDialogBase& dialog) {
            const struct {
                std::function<void()> change;
                std::vector<std::string> boxes;
            } steps[] = {
                {[] {}, {Text("CSVEXPORT_DLG_STR16")}},
                {[&] { test::Click(dialog, X::IDC_BROWSE); }, {Text("CSVEXPORT_DLG_STR17")}},
                {[&] {
                     test::SetField(dialog, X::IDC_FILE_NAME, " Ann ");
                     answers_ = {kIdNo};
                 },
                 {Text("CSVEXPORT_DLG_STR18")}},
                {[&] { SelectDate(dialog, X::IDC_FROM_YEAR, 2008, 4, 1); },
                 {Text("CSVEXPORT_DLG_STR18"),
                  Text("CSVEXPORT_DLG_STR19") + " 2007-12-31  ~  2008-3-31"}},
                {[&] { SelectDate(dialog, X::IDC_FROM_YEAR, 2008, 3, 2); },
                 {Text("CSVEXPORT_DLG_STR18"), Text("CSVEXPORT_DLG_STR20")}},
            };
            SelectDate(dialog, X::IDC_TO_YEAR, 2008, 3, 1);
            for (const auto& step : steps) {
                boxes_.clear();
                step.change();
                EXPECT_EQ(test::Click(dialog, X::IDC_OK), QDialog::Rejected);
                EXPECT_EQ(boxes_, step.boxes);
            }
            EXPECT_EQ(dialog.Control<QLineEdit>(X::IDC_FILE_NAME)->text(), " Ann ");
            boxes_.clear();
            SelectDate(dialog, X::IDC_FROM_YEAR, 2007, 12, 31);
            SelectDate(dialog, X::IDC_TO_YEAR, 2008, 3, 31);
            return test::Click(dialog, X::IDC_OK);
        });
        window.OnCommand(G::IDC_CSV_EXPORT);
        EXPECT_EQ(boxes_, (std::vector<std::string>{Text("CSVEXPORT_DLG_STR18"), Text("CSV_STR2")}));

        // The whole stored range of an unchanged user goes straight back in, in any case.
        std::filesystem::rename(folder / "Ann.csv", folder / "ANN.CSV");
        test::ScopedOverride file(&SetFileChooserOverride,
                                  FileChooserOverride([&](const FileChooserRequest&) {
                                      return std::optional(folder / "ANN.CSV");
                                  }));
        boxes_.clear();
        window.OnCommand(G::IDC_CSV_IMPORT);
        EXPECT_EQ(boxes_, std::vector<std::string>{Text("CSV_STR45")});
    });
    EXPECT_EQ(test::ReadFile(work_ / "User" / "Ann.usr"), before);
    EXPECT_EQ(Config("AP_ENVIRONMENT", "CSVExportDir"), folder.string());
    EXPECT_EQ(Config("AP_ENVIRONMENT", "CSVImportDir"), folder.string() + "/");
}

// A file that is not plainly the current user's goes where the match dialog says, with or
// without its profile.
TEST_F(GraphWindowTest, CsvImportOfAnotherUsersFileAsksWhoReceivesIt) {
    const auto csv = work_ / "bob.csv";
    InWindow([&](G& window) {
        const CsvUser ann{"Ann", 0, 60, 70};
        uint32_t day = 0, weekday = 0;
        ASSERT_TRUE(DayCalendar().DateToDay(2008, 3, 1, day, weekday));
        ASSERT_TRUE(ExportCsv(TheUserStore(), ann, csv, day, day + 2));
        std::string text = test::ReadFile(csv);
        const auto replace = [&](const std::string& from, const std::string& to) {
            const auto at = text.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            text.replace(at, from.size(), to);
        };
        replace("\"Ann\"", "\"Bob\"");
        ASSERT_TRUE(test::WriteFile(csv, text));
        test::ScopedOverride chooser(&SetFileChooserOverride,
                                     FileChooserOverride([&](const FileChooserRequest&) {
                                         return std::optional(csv);
                                     }));
        // Ann's own units: into Ann, keeping her profile.
        test::ModalScript toAnn;
        toAnn.Then([](CDialogBase& match) {
            EXPECT_TRUE(match.Control<QAbstractButton>(M::IDC_ADOPT_PROFILE)->isEnabled());
            return test::Click(match, M::IDC_TO_CURRENT);
        });
        window.OnCommand(G::IDC_CSV_IMPORT);
        EXPECT_EQ(boxes_.front(), Text("CSV_STR39"));
        EXPECT_EQ(boxes_.back(), Text("CSV_STR45"));
        EXPECT_EQ(Header().unitSystem, 0u);

        // Imperial: into a new user, who takes over the file's profile.
        replace("(0)", "(1)");
        replace("\"70\"", "\"2.50\"");
        ASSERT_TRUE(test::WriteFile(csv, text));
        boxes_.clear();
        test::ModalScript toBob;
        toBob.Then([](CDialogBase& match) {
            test::Click(match, M::IDC_ADOPT_PROFILE);
            return test::Click(match, M::IDC_TO_NEW);
        });
        toBob.Then([](CDialogBase& add) {
            test::SetField(add, CAddUserDlg::IDC_NAME, "Bob");
            return test::Click(add, CAddUserDlg::IDC_OK);
        });
        window.OnCommand(G::IDC_CSV_IMPORT);
        EXPECT_TRUE(toBob.Done());
        EXPECT_EQ(boxes_, (std::vector<std::string>{Text("APPEDN_STR5"), Text("CSV_STR45")}));
        UserFileHeader bob;
        ASSERT_TRUE(TheUserStore().ReadHeader("Bob", bob));
        EXPECT_EQ(bob.unitSystem, 1u);
        EXPECT_EQ(bob.stride, 250u);
        EXPECT_EQ(window.UserName(), "Bob");
    });
}

// Without a pedometer, the test button's three sample days go the whole way: password,
// question, transfer, the choice of a user (the units differ from Ann's), the write.
TEST_F(GraphWindowTest, ADownloadLandsInTheUserChosenAndTheWindowShowsThem) {
    SetPedometerLink(SimulatedPedometerLink({}));
    InWindow([&](G& window) {
        test::ModalScript script;
        script.Then([](CDialogBase& prompt) {
            test::SetField(prompt, CPasswordCheckDlg::IDC_PASSWORD, "");
            return test::Click(prompt, CPasswordCheckDlg::IDC_OK);
        });
        script.Then([](CDialogBase& transfer) { return test::Click(transfer, CUsbTransDlg::IDC_TEST); });
        script.Then([](CDialogBase& match) {
            EXPECT_FALSE(match.Control<QAbstractButton>(M::IDC_TO_CURRENT)->isEnabled());
            EXPECT_FALSE(match.Control<QAbstractButton>(M::IDC_ADOPT_PROFILE)->isEnabled());
            return test::Click(match, M::IDC_TO_NEW);
        });
        script.Then([](CDialogBase& add) {
            test::SetField(add, CAddUserDlg::IDC_NAME, "Sam");
            return test::Click(add, CAddUserDlg::IDC_OK);
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
