// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's own QToolButton, made flat (raised under the pointer) for the menu and top bars;
// not to be confused with the custom control TFlatSpeedButton in controls/.
#pragma once

#include <QIcon>
#include <QRect>
#include <QString>

class QAbstractButton;
class QToolButton;
class QWidget;

// Raised only under the pointer, never takes the focus, picture above the caption.
QToolButton* MakeToolButton(QWidget* parent, const QString& caption, const QIcon& picture,
                            const QRect& rect, int pictureSize = 16);

// For the adult's windows: Tab stops on the button, a ring shows when it has the focus, and Enter
// presses it as Space does.
void AllowKeyboard(QAbstractButton* button);
