// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/double_click_guard.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>

DoubleClickGuard::DoubleClickGuard(QObject* parent) : QObject(parent) {}

bool DoubleClickGuard::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  switch (type) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Destroy:
      // Only real windows: a drop-down's list or a tooltip is part of what opened it.
      if (widget->isWindow()) {
        m_armed.remove(widget);
        m_swallowing.remove(widget);
        const auto real = [](const QWidget* w) {
          return w->windowType() == Qt::Window || w->windowType() == Qt::Dialog;
        };
        if (m_pressed && real(widget)) {
          if (type == QEvent::Show) m_armed.insert(widget, m_lastPress);
          // A window closed by a click uncovers the ones below: the picker lies over the menu.
          if (type == QEvent::Hide)
            for (QWidget* below : QApplication::topLevelWidgets())
              if (below != widget && below->isVisible() && real(below))
                m_armed.insert(below, m_lastPress);
        }
      }
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (!event->spontaneous()) return false;  // a press the program makes itself
      const quint64 at = static_cast<QMouseEvent*>(event)->timestamp();
      QWidget* window = widget->window();
      const auto armed = m_armed.constFind(window);
      if (armed != m_armed.constEnd()) {
        const quint64 interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        if (at >= armed.value() && at - armed.value() < interval) {
          m_swallowing.insert(window, true);
          return true;
        }
        m_armed.remove(window);
      }
      m_lastPress = at;
      m_pressed = true;
      return false;
    }
    case QEvent::MouseButtonRelease:
      return event->spontaneous() && m_swallowing.remove(widget->window()) > 0;
    default:
      return false;
  }
}

void InstallDoubleClickGuard() {
  if (!qApp) return;
  qApp->installEventFilter(new DoubleClickGuard(qApp));
}
