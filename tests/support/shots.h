// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of widgets in design pixels, whatever the scale the program runs at, so that pixel
// tests read the same places at 1.0, 1.25 or 2.75.
#pragma once

#include <QImage>
#include <QRect>

class QWidget;

namespace testing {

// The widget (or a rectangle of it) sampled at the centre of each design pixel.
QImage LogicalShot(QWidget* widget, const QRect& rect = QRect());

}  // namespace testing
