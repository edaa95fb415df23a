// SPDX-License-Identifier: GPL-3.0-or-later
// Windows are opened by their class name, so that the menu and the screens need not include one
// another: each module's windows are registered once at start-up.
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QWidget;

using ScreenFactory = std::function<QDialog*(QWidget* owner)>;

void RegisterScreen(const QString& className, ScreenFactory factory);

bool IsScreenRegistered(const QString& className);

// Creates a new instance of the window, shows it modally and returns when it has closed and
// been deleted, its memory released. A window that is not registered is told through the error
// report, and the result is false.
bool ShowScreen(const QString& className, QWidget* owner);

// Tests: replace how windows are shown; the hook gets the class name and the owner.
using ShowScreenHook = std::function<bool(const QString& className, QWidget* owner)>;
void SetShowScreenHook(ShowScreenHook hook);

// Shows a window modally and lets it delete itself when closed.
void ExecModal(QDialog* window);

// Gives what a closed screen freed back to the system (the allocator keeps it otherwise).
void ReleaseFreedMemory();
