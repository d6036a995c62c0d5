// SPDX-License-Identifier: GPL-3.0-or-later
// stepora-guide-shots OUTDIR [LANGUAGE]: run inside a prepared work directory (demo users,
// see scripts/guide-screenshots.sh), it opens every window of the program the way a person
// does — through the same commands — and saves a picture of each to OUTDIR for the user
// guide. LANGUAGE is the number of the language to switch to first (0 is the first).
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "accounts/PasswordCheckDlg.h"
#include "app/AppGlobals.h"
#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "app/QtText.h"
#include "device/SimulatedPedometerFile.h"
#include "device/UsbTransDlg.h"
#include "graph/DrawGraph.h"
#include "graph/PreviewFrame.h"
#include "graph/UseGraphDlg.h"
#include "graph/UserGraphPropSheet.h"
#include "mainwnd/MainMenuDlg.h"
#include "mainwnd/UserListCtrl.h"

using namespace stepora;

namespace {

QString g_outDir;
int g_saved = 0;
// What the next password prompt is answered with.
std::string g_password;

// Lets the window lay itself out and paint, then saves its picture.
void Shoot(QWidget* window, const char* name) {
    window->show();
    window->raise();
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    const QString path = g_outDir + "/" + name + ".png";
    if (window->grab().save(path))
        ++g_saved;
    else
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
}

void SelectUser(CMainMenuDlg& main, const std::string& name) {
    CUserListCtrl* list = main.UserList();
    list->clearSelection();
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->RowName(row) == name) list->selectRow(row);
}

// What to do with each dialog that opens, by its class: take its picture and answer.
using Answer = std::function<int(CDialogBase&)>;
std::map<std::string, Answer> g_answers;

int Cancel(CDialogBase& dialog, const char* name) {
    Shoot(&dialog, name);
    dialog.hide();
    return QDialog::Rejected;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: stepora-guide-shots OUTDIR [LANGUAGE]\n");
        return 2;
    }
    AppGlobals globals;
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    InstallLanguageFailureBox();
    g_outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_outDir);
    if (argc > 2 && !StrictSetCurrentLanguage(static_cast<uint32_t>(std::atoi(argv[2])))) return 1;

    // Message boxes are answered as a careful person would: yes to go on, OK to read on.
    SetMessageBoxOverride([](const MessageBoxRequest& request) {
        return static_cast<int>(request.buttons == MsgButtons::YesNo ? kIdYes : kIdOk);
    });
    SetRunModalOverride([](QDialog& dialog) {
        auto* ours = dynamic_cast<CDialogBase*>(&dialog);
        const auto found =
            ours ? g_answers.find(dialog.metaObject()->className()) : g_answers.end();
        if (found == g_answers.end()) {
            dialog.hide();
            return static_cast<int>(QDialog::Rejected);
        }
        return found->second(*ours);
    });

    // No pedometer is plugged in.
    SetPedometerLink(SimulatedPedometerLink({}));
    CMainMenuDlg main;
    if (!main.OnInitDialog()) return 1;
    SelectUser(main, "Anna");
    Shoot(&main, "main-window");

    g_answers["stepora::CAboutDlg"] = [](CDialogBase& d) { return Cancel(d, "about"); };
    main.OnCommand(ID_HELP_ABOUT);
    g_answers["stepora::CAddUserDlg"] = [](CDialogBase& d) { return Cancel(d, "add-user"); };
    main.OnCommand(ID_USER_NEW);

    // Ben's password is "demo": the prompt comes first, then the edit dialog.
    g_answers["stepora::CPasswordCheckDlg"] = [](CDialogBase& d) {
        Shoot(&d, "password");
        d.Control<QLineEdit>(CPasswordCheckDlg::IDC_PASSWORD)->setText(Qs(g_password));
        d.Control<QAbstractButton>(CPasswordCheckDlg::IDC_OK)->click();
        return d.result();
    };
    g_answers["stepora::CEditUserDlg"] = [](CDialogBase& d) { return Cancel(d, "edit-user"); };
    SelectUser(main, "Ben");
    g_password = "demo";
    main.OnCommand(ID_USER_EDIT);
    g_password.clear();

    // The graph window of Anna, and everything opened from it.
    g_answers["stepora::CGraphExpDlg"] = [](CDialogBase& d) { return Cancel(d, "graph-detail"); };
    g_answers["stepora::CCsvExportDlg"] = [](CDialogBase& d) { return Cancel(d, "csv-export"); };
    g_answers["stepora::CUserGraphPropSheet"] = [](CDialogBase& d) {
        auto& sheet = static_cast<CUserGraphPropSheet&>(d);
        for (int page = 0; page < sheet.Tabs()->count(); ++page) {
            sheet.Tabs()->setCurrentIndex(page);
            Shoot(&sheet, ("options-" + std::to_string(page + 1)).c_str());
        }
        d.hide();
        return static_cast<int>(QDialog::Rejected);
    };
    g_answers["stepora::CUsbTransDlg"] = [](CDialogBase& d) {
        Shoot(&d, "transfer");
        d.Control<QAbstractButton>(CUsbTransDlg::IDC_TEST)->click();
        return d.result();
    };
    g_answers["stepora::CUserMatchDlg"] = [](CDialogBase& d) { return Cancel(d, "match"); };
    g_answers["stepora::CUseGraphDlg"] = [](CDialogBase& d) {
        auto& graph = static_cast<CUseGraphDlg&>(d);
        Shoot(&graph, "graph-weekly");
        graph.OnCommand(CUseGraphDlg::IDC_ALL);
        Shoot(&graph, "graph-all");
        graph.OnCommand(CUseGraphDlg::IDC_MONTHLY);
        Shoot(&graph, "graph-monthly");
        graph.OnCommand(CUseGraphDlg::IDC_YEARLY);
        Shoot(&graph, "graph-yearly");
        graph.OnCommand(CUseGraphDlg::IDC_WEEKLY);
        // A click on the bar of the first day of the week explains it.
        const GraphRect plot = graph.Graph()->Layout().lowerPlot;
        const QPointF at(plot.left + plot.width() / 14, plot.bottom - 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, graph.Graph()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(graph.Graph(), &press);
        graph.OnCommand(CUseGraphDlg::IDC_OPTIONS);
        graph.OnCommand(CUseGraphDlg::IDC_CSV_EXPORT);
        // A download without a pedometer: the test transfer's days, for which the program
        // asks who receives them.
        graph.OnCommand(CUseGraphDlg::IDC_DOWNLOAD);
        graph.OnCommand(CUseGraphDlg::IDC_PRINT);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<CPreviewFrame*>(window)) {
                preview->resize(900, 620);
                Shoot(preview, "print-preview");
                preview->close();
            }
        graph.hide();
        return static_cast<int>(QDialog::Accepted);
    };
    SelectUser(main, "Anna");
    main.OnCommand(ID_USER_LOGIN);

    std::printf("%d pictures in %s\n", g_saved, qPrintable(g_outDir));
    return 0;
}
