// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/drop_down.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHelpEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {

// Draws entries cut with "…" (the view's elide mode) and shows a cut entry whole on hovering.
class ElidingDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip) return false;
    const QString text = index.data(Qt::DisplayRole).toString();
    const int room = option.rect.width() - 8;
    if (option.fontMetrics.horizontalAdvance(text) > room)
      QToolTip::showText(event->globalPos(), text, view, option.rect);
    else
      QToolTip::hideText();
    return true;
  }
};

// Keeps the opened list's cap at twice the box's width whenever the box is resized.
class WidthCap : public QObject {
 public:
  WidthCap(QComboBox* box, QWidget* popup) : QObject(box), m_box(box), m_popup(popup) { Apply(); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) Apply();
    return QObject::eventFilter(watched, event);
  }

 private:
  void Apply() { m_popup->setMaximumWidth(qMax(2 * m_box->width(), 1)); }

  QComboBox* m_box;
  QWidget* m_popup;
};

}  // namespace

void CapDropDownWidth(QComboBox* box) {
  box->setItemDelegate(new ElidingDelegate(box));
  box->view()->setTextElideMode(Qt::ElideRight);
  // The opened list is a window of its own, placed by the box with the width the longest entry
  // asks for; a maximum width holds it, and geometry requests beyond it are cut to it.
  box->installEventFilter(new WidthCap(box, box->view()->parentWidget()));
  QObject::connect(box, &QComboBox::currentIndexChanged, box, [box] {
    const int room = box->width() - 28;  // less the arrow and the frame
    const QString text = box->currentText();
    box->setToolTip(box->fontMetrics().horizontalAdvance(text) > room ? text : QString());
  });
}
