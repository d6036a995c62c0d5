// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QApplication>

namespace stepora::test {

// The one QApplication of a widget test program, created on first use. Death tests run
// in a freshly started copy of the program, since Qt keeps threads of its own.
QApplication& UiTestApp();

}  // namespace stepora::test
