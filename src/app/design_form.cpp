// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/design_form.h"

#include <QKeyEvent>
#include <QResizeEvent>

#include "app/shared_routines.h"

TDesignForm::TDesignForm(QWidget* owner, int designWidth, int designHeight)
    : QDialog(owner, Qt::Window | Qt::FramelessWindowHint), m_area(new QWidget(this)) {
  m_area->setFixedSize(designWidth, designHeight);
  resize(designWidth, designHeight);
  StartMaximized(this);
}

void TDesignForm::ShowMaximizedOrDesign(bool maximized) {
  setWindowState(maximized ? Qt::WindowMaximized : Qt::WindowNoState);
  if (!maximized) resize(m_area->size());
  show();
}

void TDesignForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // Centred across, kept at the top: the screens' top bars belong at the top of the screen.
  m_area->move(qMax(0, (width() - m_area->width()) / 2), 0);
}

void TDesignForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
