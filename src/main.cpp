#include <QApplication>

#include "app/AppGlobals.h"
#include "app/PedometerApp.h"
#include "mainwnd/MainMenuDlg.h"

int main(int argc, char** argv) {
    stepora::AppGlobals globals;
    stepora::PedometerApp app(argc, argv);
    return app.InitInstance([] {
        stepora::CMainMenuDlg dialog;
        if (!dialog.OnInitDialog()) return;
        // Not exec(): the main window hides itself while a user's graph window runs, and a
        // hidden dialog would end its own modal loop and with it the program.
        dialog.show();
        QApplication::exec();
    });
}
