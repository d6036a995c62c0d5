// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PedometerApp.h"

#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>
#include <clocale>

#include "app/LangTable.h"
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

int PedometerApp::InitInstance(const std::function<int()>& runMainWindow) {
    instanceLock_ =
        std::make_unique<QLockFile>(QString::fromStdString(InstanceLockPath().string()));
    instanceLock_->setStaleLockTime(0);  // only a lock whose process is gone is taken over
    if (!instanceLock_->tryLock(0) && instanceLock_->error() == QLockFile::LockFailedError)
        return 0;  // another instance runs: end silently
    // Any other lock error (an unwritable runtime folder) must not keep the program from
    // starting; it then simply runs without the single-instance guard.
    return runMainWindow();
}

void FollowLanguageInQt() {
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    uint32_t current = 0;
    const LangTable* table = ProgramLangTable();
    if (!table || !table->GetCurrentLanguage(current)) return;
    const std::string locale = table->GetLanguageLocale(current);
    if (locale.empty()) return;
    auto* translator = new QTranslator;
    if (!translator->load(QLocale(QString::fromStdString(locale)), "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
}

}  // namespace stepora
