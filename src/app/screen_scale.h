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

// Before the application object exists: fractional factors (1.25, 1.75) reach the widgets
// unrounded.
void PrepareScreenScale();

// After the application object is made and before its first window: chooses the factor for the
// primary screen (or TINDORA_SCALE) and applies it on top of any factor the desktop or the user
// set, so that every window, font and picture is drawn at it. Returns the factor chosen.
double ApplyScreenScale();
