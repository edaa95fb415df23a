// SPDX-License-Identifier: GPL-3.0-or-later
// Counts the paint events a widget receives, to tell whether a change asked for a repaint.
#pragma once

#include <QObject>

class QWidget;

class PaintCounter : public QObject {
 public:
  // Watches `widget`, which must be shown.
  explicit PaintCounter(QWidget* widget);
  // Waits until the paints already asked for have happened, then starts counting from zero.
  void Settle();
  // Lets any repaint asked for since Settle() happen; true when one did.
  bool Repainted();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QWidget* m_widget;
  int m_paints = 0;
};
