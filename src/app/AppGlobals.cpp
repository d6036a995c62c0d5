// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppGlobals.h"

#include <cstdio>
#include <cstdlib>

namespace stepora {
namespace {

AppGlobals* g_globals = nullptr;

std::filesystem::path CurrentDirectory() {
    std::error_code ec;
    auto dir = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path() : dir;
}

}  // namespace

AppGlobals::AppGlobals() : langTable(CurrentDirectory()) {
    InstallLangTable(&langTable);
    g_globals = this;
}

AppGlobals::~AppGlobals() {
    if (g_globals == this) g_globals = nullptr;
    if (ProgramLangTable() == &langTable) InstallLangTable(nullptr);
}

AppGlobals& Globals() {
    if (!g_globals) {
        std::fputs("stepora: the program's globals were used before they were made\n", stderr);
        std::abort();
    }
    return *g_globals;
}

bool HaveGlobals() {
    return g_globals != nullptr;
}

}  // namespace stepora
