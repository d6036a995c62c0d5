#include "app/PedometerApp.h"

#include <QStandardPaths>
#include <clocale>

#include "app/MessageBox.h"

namespace stepora {

PedometerApp::PedometerApp(int& argc, char** argv) : app_(argc, argv) {
    // QApplication takes the locale from the environment; numbers in files and on
    // screen always use a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    InstallLanguageFailureBox();
}

std::filesystem::path PedometerApp::InstanceLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return std::filesystem::path(dir.toStdString()) / "Pedometer.lock";
}

int PedometerApp::InitInstance(const std::function<void()>& runMainWindow) {
    instanceLock_ =
        std::make_unique<QLockFile>(QString::fromStdString(InstanceLockPath().string()));
    instanceLock_->setStaleLockTime(0);  // only a lock whose process is gone is taken over
    if (!instanceLock_->tryLock(0) && instanceLock_->error() == QLockFile::LockFailedError)
        return 0;  // another instance runs: end silently
    // Any other lock error (an unwritable runtime folder) must not keep the program from
    // starting; it then simply runs without the single-instance guard.
    runMainWindow();
    return 0;
}

}  // namespace stepora
