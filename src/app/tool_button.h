// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's flat speed button used on the menu and the module screens' top bars.
#pragma once

#include <QIcon>
#include <QRect>
#include <QString>

class QToolButton;
class QWidget;

// Raised only under the pointer, never takes the focus, picture above the caption.
QToolButton* MakeSpeedButton(QWidget* parent, const QString& caption, const QIcon& picture,
                             const QRect& rect, int pictureSize = 16);
