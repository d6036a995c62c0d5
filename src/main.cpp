#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <string>

#include "app/AppGlobals.h"
#include "app/PedometerApp.h"
#include "app/QtText.h"
#include "device/SimulatedPedometerFile.h"
#include "device/TransferProtocol.h"
#include "device/UsbTransDlg.h"
#include "mainwnd/MainMenuDlg.h"

namespace {

constexpr int kExitBadPedometerFile = 2;

}  // namespace

int main(int argc, char** argv) {
    stepora::AppGlobals globals;
    stepora::PedometerApp app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Stepora keeps the activity records of the people who share a USB pedometer.\n"
        "It works in the directory it is started from.");
    parser.addHelpOption();
    const QCommandLineOption simulate(
        "simulate-pedometer",
        "Download from a simulated pedometer instead of the USB one. It holds the profile "
        "and the last 64 days of <file>, a CSV file exported by Stepora.",
        "file");
    parser.addOption(simulate);
    parser.process(app.Application());

    if (parser.isSet(simulate)) {
        // A file that cannot serve ends the program before any window opens.
        const QString file = parser.value(simulate);
        stepora::BlockContents contents;
        std::string error;
        if (!stepora::ReadSimulatedPedometerFile(stepora::PathOf(file), contents, error)) {
            std::fprintf(stderr, "stepora: cannot simulate a pedometer with %s: %s\n",
                         qPrintable(file), error.c_str());
            return kExitBadPedometerFile;
        }
        stepora::SetPedometerLink(stepora::SimulatedPedometerLink(stepora::EncodeBlock(contents)));
    }

    return app.InitInstance([] {
        stepora::CMainMenuDlg dialog;
        if (!dialog.OnInitDialog()) return;
        // Not exec(): the main window hides itself while a user's graph window runs, and a
        // hidden dialog would end its own modal loop and with it the program.
        dialog.show();
        QApplication::exec();
    });
}
