// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/AppGlobals.h"
#include "app/PedometerApp.h"
#include "app/QtText.h"
#include "app/WorkDirectory.h"
#include "device/SimulatedPedometerFile.h"
#include "device/TransferProtocol.h"
#include "device/UsbTransDlg.h"
#include "device/platform/PlatformLink.h"
#include "mainwnd/MainMenuDlg.h"

namespace {

// Exit codes, as the manual page lists them.
constexpr int kExitNoWorkDirectory = 1;
constexpr int kExitBadPedometerFile = 2;

struct Options {
    QCommandLineOption simulate{
        "simulate-pedometer",
        "Download from a simulated pedometer instead of the USB one. It holds the profile "
        "and the last 64 days of <file>, a CSV file exported by Stepora.",
        "file"};
};

void Describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(
        "Stepora keeps the activity records of the people who share a USB pedometer.\n"
        "It works in the directory it is started from, which stepora-launch prepares.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(options.simulate);
}

// --help and --version answer without a display, so they are answered before the
// graphical application exists (which needs one).
bool AsksForTextOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

// The locale messages follow, by the usual order of the environment.
std::string MessagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return {};
}

void SetNames() {
    QCoreApplication::setApplicationName("stepora");
    QCoreApplication::setApplicationVersion(STEPORA_VERSION);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (AsksForTextOnly(argc, argv)) {
        QCoreApplication core(argc, argv);
        SetNames();
        QCommandLineParser parser;
        Describe(parser, options);
        parser.process(core);  // prints and ends the program
        return 0;
    }

    // Started anywhere but in a work directory, the program would make folders there.
    const std::filesystem::path here = std::filesystem::current_path();
    if (const std::string missing = stepora::MissingFromWorkDirectory(here); !missing.empty()) {
        std::fprintf(stderr,
                     "stepora: %s is not a Stepora work directory: %s is missing.\n"
                     "Start Stepora from the desktop menu or with stepora-launch, which "
                     "prepares its work directory.\n",
                     here.c_str(), missing.c_str());
        return kExitNoWorkDirectory;
    }

    stepora::PedometerApp app(argc, argv);
    SetNames();
    QCommandLineParser parser;
    Describe(parser, options);
    parser.process(app.Application());

    stepora::AppGlobals globals;
    stepora::LangTable& languages = globals.langTable;
    if (stepora::IsFirstStart(here)) {
        // The first start speaks the desktop's language when one is installed for it.
        const int wanted = stepora::LanguageForLocale(languages, MessagesLocale());
        if (wanted >= 0) languages.SetCurrentLanguage(static_cast<uint32_t>(wanted));
    }
    if (std::string problem; !languages.Check(problem))
        stepora::FailLanguage(std::string(stepora::kLanguageErrorText) + "\n" + problem);
    stepora::FollowLanguageInQt();

    if (parser.isSet(options.simulate)) {
        // A file that cannot serve ends the program before any window opens.
        const QString file = parser.value(options.simulate);
        stepora::BlockContents contents;
        std::string error;
        if (!stepora::ReadSimulatedPedometerFile(stepora::PathOf(file), contents, error)) {
            std::fprintf(stderr, "stepora: cannot simulate a pedometer with %s: %s\n",
                         qPrintable(file), error.c_str());
            return kExitBadPedometerFile;
        }
        stepora::SetPedometerLink(stepora::SimulatedPedometerLink(stepora::EncodeBlock(contents)));
    } else {
        stepora::SetPedometerLink(stepora::PlatformPedometerLink());
    }

    return app.InitInstance([] {
        stepora::CMainMenuDlg dialog;
        if (!dialog.OnInitDialog()) return kExitNoWorkDirectory;
        // Not exec(): the main window hides itself while a user's graph window runs, and a
        // hidden dialog would end its own modal loop and with it the program.
        dialog.show();
        return QApplication::exec();
    });
}
