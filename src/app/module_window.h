// SPDX-License-Identifier: GPL-3.0-or-later
// Windows built as modules of their own and loaded when first opened, so that the libraries only
// they need (Qt Charts for the learning record) are not loaded while a child waits for the menu.
#pragma once

#include <QString>

class QDialog;
class QWidget;

// Loads `module` from the program's module folder (once) and makes its window through the
// module's `extern "C"` function `factory`. A module that is missing or broken is told to the
// user and gives nullptr.
QDialog* OpenModuleWindow(const QString& module, const char* factory, QWidget* owner);
