// SPDX-License-Identifier: GPL-3.0-or-later
// Base of the full-screen windows (module screens): borderless, maximised, with the fixed-size
// design area centred across the top of it. Controls are placed on designArea() at their design
// positions.
#pragma once

#include <QDialog>

class TDesignForm : public QDialog {
  Q_OBJECT
 public:
  TDesignForm(QWidget* owner, int designWidth, int designHeight);
  QWidget* designArea() const { return m_area; }
  // Shows the window maximised (the program) or at its design size (tests, screenshots).
  void ShowMaximizedOrDesign(bool maximized);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // Only a screen's own way back closes it: Escape must not drop a child out of a lesson.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* m_area;
};
