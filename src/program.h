// SPDX-License-Identifier: GPL-3.0-or-later
// The top floor: start-up wired to every window of the program and to the learning record.
#pragma once

#include "app/startup.h"

// Registers every window of the program (start-up and the tests that want them call it).
void RegisterAllScreens();

// The whole program: start-up with every window and the practice log; returns the exit status
// (1 when the lesson database cannot be opened).
int RunTindora(int argc, char** argv, const StartupShownHook& shown = {});
