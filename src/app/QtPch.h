// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt headers nearly every window includes, compiled once per build.
#pragma once
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>
