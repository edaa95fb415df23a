// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon, for the title bars (QApplication::setWindowIcon) and the About window.
#pragma once

#include <QIcon>

QIcon AppIcon();
