// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded database where its folder cannot be written: start-up still shows the lessons.
#pragma once

#include "data/lesson_database.h"

// As EnsureEmbeddedDatabase; besides, a folder that cannot be written (read-only disk, no
// permission, full disk) is named as the cause, and a good database in it is offered for reading
// only: `readOnly` is set and `notice` says that editing is off.
bool EnsureEmbeddedDatabase(const QString& path, QString* error, QString* notice, bool* readOnly);

// The embedded file opened for reading only.
ConnectionSpec ReadOnlyEmbeddedSpec(const QString& path);
