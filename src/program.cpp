// SPDX-License-Identifier: GPL-3.0-or-later
#include "program.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTimer>
#include <memory>

#include "app/course_notice.h"
#include "app/current_child.h"
#include "app/main_form.h"
#include "app/practice_log.h"
#include "app/screen_registry.h"
#include "children/child_picker.h"
#include "data/data_module.h"
#include "data/recordings_library.h"
#include "platform/clock.h"
#include "platform/db_watchdog.h"
#include "platform/logging.h"
#include "review/review_store.h"

int RunTindora(int argc, char** argv, const StartupShownHook& shown) {
  StartupHooks hooks;
  hooks.registerWindows = RegisterAllScreens;
  // With two or more children the picker opens over the menu as soon as the loop runs.
  auto pick = std::make_shared<bool>(false);
  hooks.connected = [pick](const QString& connection) {
    *pick = children::ChooseAtStart(connection);
    // Counted on the menu's thread of its own, through a connection of that thread.
    SetDueCounter([connection](int child) {
      static QAtomicInt serial = 0;
      const QString name = QStringLiteral("due-count-%1").arg(++serial);
      int due = 0;
      {
        QSqlDatabase db = QSqlDatabase::cloneDatabase(connection, name);
        QString error;
        const int today = int(platform::CurrentClock().Now().date().toJulianDay());
        if (!platform::OpenDatabase(db))
          error = db.lastError().text();
        else if (!review::CountDue(name, child, today, &due, &error))
          due = 0;
        if (!error.isEmpty()) qCWarning(lcDb) << "due reviews not counted:" << error;
        db.close();
      }
      QSqlDatabase::removeDatabase(name);
      return due;
    });
    SetCourseNotice([connection] { return review::WithoutChoiceNoticeFor(connection); });
  };
  // The notes' spool is read once the menu is drawn. A database opened for reading only takes no
  // notes: they would pile up in the spool unseen.
  hooks.drawn = [] {
    if (dm && !dm->ReadOnlyDatabase()) records::Start(dm->ConnectionName());
    CheckLessonFileWhole(MainForm);
    // Recordings an editor staged when the program was last ended with the editor open.
    QStringList swept;
    QString error;
    recordings::HoldCache();
    if (dm && !recordings::SweepCache(dm->ConnectionName(), &swept, &error))
      qCWarning(lcDb) << "recordings cache not swept:" << error;
    else if (!swept.isEmpty())
      qCInfo(lcDb) << "recordings cache: removed what no item names:" << swept;
  };
  hooks.finished = [] {
    SetDueCounter({});
    SetCourseNotice({});
    records::Stop();
  };
  hooks.shown = [shown, pick](TMainForm* menu) {
    if (*pick)
      QTimer::singleShot(0, menu, [menu] { ShowScreen(QStringLiteral("TChildPickerForm"), menu); });
    if (shown) shown(menu);
  };
  return RunApplication(argc, argv, hooks);
}
