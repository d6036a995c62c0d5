// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/UiTestApp.h"

#include <gtest/gtest.h>

#include <clocale>

namespace stepora::test {

QApplication& UiTestApp() {
    static int argc = 1;
    static char name[] = "stepora-ui-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        // Widget tests never need a screen; a run outside ctest gets the same platform.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* created = new QApplication(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        return created;
    }();
    return *app;
}

}  // namespace stepora::test
