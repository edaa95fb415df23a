// SPDX-License-Identifier: GPL-3.0-or-later
// Logging categories: what the program deliberately keeps from a child (a silent recording, a
// query already reported once) is logged here, so QT_LOGGING_RULES="tindora.*=true" explains it.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSound)  // tindora.sound
Q_DECLARE_LOGGING_CATEGORY(lcDb)     // tindora.db
Q_DECLARE_LOGGING_CATEGORY(lcUi)     // tindora.ui
