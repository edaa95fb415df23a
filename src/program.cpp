// SPDX-License-Identifier: GPL-3.0-or-later
#include "program.h"

#include "records/practice_log.h"

int RunTindora(int argc, char** argv, const StartupShownHook& shown) {
  StartupHooks hooks;
  hooks.registerWindows = RegisterAllScreens;
  hooks.connected = [](const QString& connection) { records::Start(connection); };
  hooks.finished = [] { records::Stop(); };
  hooks.shown = shown;
  return RunApplication(argc, argv, hooks);
}
