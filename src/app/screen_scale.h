// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program grows with the screen: one uniform factor, in quarter steps, at which the
// 800 x 600 design still fits the screen's available area, applied through Qt's own scaling.
#pragma once

#include <QSizeF>
#include <optional>

class QByteArray;

// The largest factor in steps of 0.25 at which the design fits `available` (device-independent
// pixels, i.e. after the desktop's own scaling); never below 1.
double DesignScale(const QSizeF& available);

// The user's override (TINDORA_SCALE): a number between 0.5 and 8; nothing when unset or unusable.
std::optional<double> ScaleOverride(const QByteArray& text);

// Before the application object exists: measures the primary screen with a short-lived
// application object, then sets QT_SCALE_FACTOR (on top of any factor already set) so that the
// real one draws every window, font and picture at the chosen factor. Returns the factor chosen.
double PrepareScreenScale(int argc, char** argv);
