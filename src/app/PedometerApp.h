// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QApplication>
#include <QLockFile>
#include <filesystem>
#include <functional>
#include <memory>

namespace stepora {

// The application object: one instance per desktop user. It knows no window: the caller
// hands it the main window's run, and when that returns, the program ends.
class PedometerApp {
public:
    PedometerApp(int& argc, char** argv);

    // Runs the main window unless another instance runs, and returns the exit code: the
    // main window's, or 0 for a second instance, which ends silently.
    int InitInstance(const std::function<int()>& runMainWindow);

    // The lock that keeps a second instance out, in the user's runtime directory.
    static std::filesystem::path InstanceLockPath();

    QApplication& Application() { return app_; }

private:
    QApplication app_;
    std::unique_ptr<QLockFile> instanceLock_;
};

// Qt's own texts (file choosers, print dialogs, standard buttons) in the current
// language of the program's table, when Qt has a translation for its locale.
void FollowLanguageInQt();

}  // namespace stepora
