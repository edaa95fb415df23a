// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/paint_counter.h"

#include <QTest>
#include <QWidget>

PaintCounter::PaintCounter(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }

void PaintCounter::Settle() {
  m_widget->update();
  QTRY_VERIFY(m_paints > 0);  // paints are flushed in order: the earlier ones went with it
  QTest::qWait(20);
  m_paints = 0;
}

bool PaintCounter::Repainted() {
  QTest::qWait(30);
  return m_paints > 0;
}

bool PaintCounter::eventFilter(QObject* watched, QEvent* e) {
  if (watched == m_widget && e->type() == QEvent::Paint) ++m_paints;
  return false;
}
