// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tool_button.h"

#include <QToolButton>

QToolButton* MakeToolButton(QWidget* parent, const QString& caption, const QIcon& picture,
                            const QRect& rect, int pictureSize) {
  auto* b = new QToolButton(parent);
  b->setText(caption);
  b->setIcon(picture);
  b->setIconSize(QSize(pictureSize, pictureSize));
  b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setGeometry(rect);
  return b;
}
