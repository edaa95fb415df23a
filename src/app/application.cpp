// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include <QWidget>
#include <exception>

#include "app/shared_routines.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  // Last resort only: Qt's own frames between the handler and here are unwound without their
  // clean-ups, so screens catch what they expect themselves.
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
  }
  return false;
}

void MinimizeApplication() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = w->windowType();
    if (w->isVisible() && (type == Qt::Window || type == Qt::Dialog)) w->showMinimized();
  }
}
