// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds the files it ships with (drill sounds, sample recordings), whether it
// runs from its build folder or installed, and whatever folder it was started from.
#pragma once

#include <QString>

// The folder holding the drill sounds and the recording folders: <prefix>/share/tindora beside
// an installed program, the program's own folder in a build, else the project's media.
QString DataFolder();

// A drill sound's file: the bare name when the current folder has it, else the one in
// DataFolder(); names with a folder part, empty names and names found nowhere stay as they are.
QString SoundFilePath(const QString& name);
// The folder holding the windows built as modules: the build folder for a program run from it,
// else <prefix>/lib/<arch>/tindora beside the installed program.
QString ModuleFolder();
