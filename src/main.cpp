#include "app/PedometerApp.h"

int main(int argc, char** argv) {
    stepora::AppGlobals globals;
    stepora::PedometerApp app(argc, argv);
    return app.InitInstance();
}
