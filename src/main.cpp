#include "app/AppGlobals.h"
#include "app/PedometerApp.h"
#include "mainwnd/MainMenuDlg.h"

int main(int argc, char** argv) {
    stepora::AppGlobals globals;
    stepora::PedometerApp app(argc, argv);
    return app.InitInstance([] {
        stepora::CMainMenuDlg dialog;
        if (dialog.OnInitDialog()) dialog.exec();
    });
}
