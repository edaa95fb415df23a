// SPDX-License-Identifier: GPL-3.0-or-later
#include "program.h"

#include "app/main_form.h"
#include "data/data_module.h"
#include "records/practice_log.h"

int RunTindora(int argc, char** argv, const StartupShownHook& shown) {
  StartupHooks hooks;
  hooks.registerWindows = RegisterAllScreens;
  // The notes' spool is read once the menu is drawn. A database opened for reading only takes no
  // notes: they would pile up in the spool unseen.
  hooks.drawn = [] {
    if (dm && !dm->ReadOnlyDatabase()) records::Start(dm->ConnectionName());
    CheckLessonFileWhole(MainForm);
  };
  hooks.finished = [] { records::Stop(); };
  hooks.shown = shown;
  return RunApplication(argc, argv, hooks);
}
