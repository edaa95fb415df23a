// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tool_button.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>

namespace {

class KeyboardButtons final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* b = static_cast<QAbstractButton*>(watched);
    if (event->type() == QEvent::Paint && b->hasFocus()) {
      // The button draws itself, then the ring goes over it: flat buttons show no focus of their
      // own.
      static_cast<QObject*>(b)->event(event);
      QPainter p(b);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(QColor(0, 120, 215), 2));
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(QRectF(b->rect()).adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
      return true;
    }
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && b->isEnabled()) {
        b->click();
        return true;
      }
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) b->update();
    return false;
  }
};

}  // namespace

void AllowKeyboard(QAbstractButton* button) {
  static auto* filter = new KeyboardButtons(qApp);
  button->setFocusPolicy(Qt::TabFocus);
  button->installEventFilter(filter);
}

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
