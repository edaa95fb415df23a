// SPDX-License-Identifier: GPL-3.0-or-later
// A request to end the program, set from the termination signal's handler: blocking pauses
// (WaitSeconds) return at once, so the message loop sees the request within a moment.
#pragma once

// Marks that the program is to end (safe in a signal handler); false withdraws it (tests).
void RequestQuit(bool quit = true);
bool QuitRequested();
