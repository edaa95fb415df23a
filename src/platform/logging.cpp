// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/logging.h"

// Off by default: a child's screen never shows these; a field report turns them on.
Q_LOGGING_CATEGORY(lcSound, "tindora.sound", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDb, "tindora.db", QtWarningMsg)
Q_LOGGING_CATEGORY(lcUi, "tindora.ui", QtWarningMsg)
