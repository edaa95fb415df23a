// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: the application, the main menu, the data module, the message loop.
#include "program.h"

int main(int argc, char** argv) { return RunTindora(argc, argv); }
