// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
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

// The globals of the running program (or of a test that constructed them). Asking
// before they exist is a programming error that ends the program with a message.
AppGlobals& Globals();
bool HaveGlobals();

}  // namespace stepora
