// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the program, kept out of main() so that it can be built into tests and tools.
#pragma once

#include <functional>

class TMainForm;

// Called with the main menu once it has been shown, before the message loop runs (benchmarks).
using StartupShownHook = std::function<void(TMainForm* menu)>;

// Application title, main menu, data module, message loop; returns the program's exit status
// (1 when the lesson database cannot be opened).
int RunTindora(int argc, char** argv, const StartupShownHook& shown = {});
