// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded database where its folder cannot be written: start-up still shows the lessons.
#pragma once

#include "data/lesson_database.h"

// As EnsureEmbeddedDatabase; besides, a folder that cannot be written (read-only disk, no
// permission, full disk) or a database file that cannot be written is named as the cause, and a
// good database there is offered for reading only: `readOnly` is set, `notice` says that editing
// is off and `readOnlyReason` says why in a few words.
bool EnsureEmbeddedDatabase(const QString& path, QString* error, QString* notice, bool* readOnly,
                            QString* readOnlyReason = nullptr);

// The embedded file opened for reading only.
ConnectionSpec ReadOnlyEmbeddedSpec(const QString& path);
