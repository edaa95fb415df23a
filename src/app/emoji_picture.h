// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing an item's picture, an emoji, with the colour font Noto Color Emoji. The font is
// loaded the first time a picture is drawn, not at start.
#pragma once

#include <QPixmap>
#include <QString>

class QLabel;

// `emoji` in a square of `side` pixels (device-independent) for a screen of `ratio` device
// pixels each; a null pixmap for an empty string or when the font is missing (logged once).
QPixmap EmojiPixmap(const QString& emoji, int side, qreal ratio);

// Shows `emoji` in `label`, `side` pixels square; hides the label when there is no picture.
void ShowEmoji(QLabel* label, const QString& emoji, int side);
