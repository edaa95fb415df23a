// SPDX-License-Identifier: GPL-3.0-or-later
#include "program.h"

#include <QDate>

#include "app/main_form.h"
#include "data/data_module.h"
#include "platform/clock.h"
#include "platform/logging.h"
#include "records/practice_log.h"
#include "review/review_store.h"

int RunTindora(int argc, char** argv, const StartupShownHook& shown) {
  StartupHooks hooks;
  hooks.registerWindows = RegisterAllScreens;
  hooks.connected = [](const QString& connection) {
    SetDueCounter([connection] {
      int due = 0;
      QString error;
      const int today = int(platform::CurrentClock().Now().date().toJulianDay());
      if (!review::CountDue(connection, review::kDefaultChild, today, &due, &error))
        qCWarning(lcDb) << "due reviews not counted:" << error;
      return due;
    });
  };
  // The notes' spool is read once the menu is drawn. A database opened for reading only takes no
  // notes: they would pile up in the spool unseen.
  hooks.drawn = [] {
    if (dm && !dm->ReadOnlyDatabase()) records::Start(dm->ConnectionName());
    CheckLessonFileWhole(MainForm);
  };
  hooks.finished = [] {
    SetDueCounter({});
    records::Stop();
  };
  hooks.shown = shown;
  return RunApplication(argc, argv, hooks);
}
