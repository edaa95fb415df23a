// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded database where its folder cannot be written: start-up still shows the lessons.
#pragma once

#include <QStringList>

#include "data/lesson_database.h"

// As EnsureEmbeddedDatabase; besides, a folder that cannot be written (read-only disk, no
// permission, full disk) or a database file that cannot be written is named as the cause, and a
// good database there is offered for reading only: `readOnly` is set, `notice` says that editing
// is off and `readOnlyReason` says why in a few words.
bool EnsureEmbeddedDatabase(const QString& path, QString* error, QString* notice, bool* readOnly,
                            QString* readOnlyReason = nullptr);

// The embedded file opened for reading only.
ConnectionSpec ReadOnlyEmbeddedSpec(const QString& path);

// What start-up checks of a lesson file of this size before opening it: the whole file, every
// page but not the indexes' contents, or only its schema (the rest once the menu shows).
enum class StartCheck { Whole, Pages, Schema };
StartCheck StartCheckFor(qint64 bytes);

// The whole check of a lesson file too large for start-up to check whole, for a thread once the
// menu shows. It reads on a read-only connection of its own; when only indexes are damaged and
// `mayRepair`, they are rebuilt and the file checked again.
struct WholeFileCheck {
  enum class Outcome { NotChecked, Sound, Repaired, Damaged };
  Outcome outcome = Outcome::NotChecked;
  QStringList found;  // the check's own words, for the log
  qint64 ms = 0;      // how long it took
};
bool WholeCheckWaitsForMenu(const QString& path);
WholeFileCheck CheckWholeFile(const QString& path, bool mayRepair);
// Ends a CheckWholeFile running on another thread at once, and any later one, which give
// NotChecked: the program is ending.
void InterruptWholeFileCheck();
