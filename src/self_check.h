// SPDX-License-Identifier: GPL-3.0-or-later
// A quick check of an installation: the embedded lesson database with the sample course, its
// recordings and the drill's sounds, as the program would find them from the current folder.
#pragma once

class QTextStream;

// Creates the embedded database in the user's data folder if it is missing, then checks it and
// the sounds; writes one line per check to `out`. Returns the exit status: 0 passed, 1 failed.
int RunSelfCheck(QTextStream& out);
