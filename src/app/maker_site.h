// SPDX-License-Identifier: GPL-3.0-or-later
// The maker's web site, opened from the main menu's company label and from the About window.
#pragma once

#include <QString>

inline const QString kMakerWebAddress = QStringLiteral("http://www.example.com/");
