#pragma once
#include <QApplication>
#include <QLockFile>
#include <filesystem>
#include <memory>

#include "app/ApEnvironment.h"
#include "app/LangTable.h"
#include "app/WorkDirectory.h"

namespace stepora {

// The program's global objects, constructed in this order before the application
// object: the language table reads Language.INI at once, then the work directory
// captures the current directory.
struct AppGlobals {
    AppGlobals();
    ~AppGlobals();
    AppGlobals(const AppGlobals&) = delete;
    AppGlobals& operator=(const AppGlobals&) = delete;

    LangTable langTable;
    CWorkDirectory workDirectory;
    CApEnvironment apEnvironment;
};

// The globals of the running program (or of a test that constructed them).
AppGlobals& Globals();

// The application object: a single instance, whose main window runs modally; when the
// main window closes, the program ends.
class PedometerApp {
public:
    PedometerApp(int& argc, char** argv);

    // Runs the program and returns its exit code. A second instance returns 0 at once.
    int InitInstance();

    // The lock that keeps a second instance out, in the user's runtime directory.
    static std::filesystem::path InstanceLockPath();

private:
    QApplication app_;
    std::unique_ptr<QLockFile> instanceLock_;
};

}  // namespace stepora
