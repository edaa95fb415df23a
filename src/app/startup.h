// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the program, kept out of main() so that it can be built into tests and tools.
#pragma once

#include <QString>
#include <functional>

class TMainForm;

// Called with the main menu once it has been shown, before the message loop runs (benchmarks).
using StartupShownHook = std::function<void(TMainForm* menu)>;

// What the floors above start-up add to it; start-up itself knows none of them.
struct StartupHooks {
  std::function<void()> registerWindows;                     // before the menu is made
  std::function<void(const QString& connection)> connected;  // the lesson database is open
  // The menu has been drawn: work that may wait for it (reading the notes spool, checking the
  // lesson file whole) starts here, so that it never delays the child's first sight.
  std::function<void()> drawn;
  std::function<void()> finished;  // the message loop has ended; the connection is still open
  StartupShownHook shown;
};

// Application title, main menu, data module, message loop; returns the program's exit status
// (1 when the lesson database cannot be opened).
int RunApplication(int argc, char** argv, const StartupHooks& hooks);
