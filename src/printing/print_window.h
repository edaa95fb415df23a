// SPDX-License-Identifier: GPL-3.0-or-later
// The adult's window for paper: a practice sheet (a chapter, the child's due list, or characters
// typed in) or a report (the child's, or the class's), saved as PDF or sent to a printer through
// the print dialog. Built as a module of its own: Qt Print Support is loaded only with it.
#pragma once

#include <QDialog>
#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QRadioButton;
class QToolButton;

class TPrintForm : public QDialog {
  Q_OBJECT
 public:
  // The chapter shown first is the owner's "chapter" property when it has one (the writing screen).
  explicit TPrintForm(QWidget* owner);

  QRadioButton* ChapterRb;
  QComboBox* ChapterCb;
  QRadioButton* DueRb;
  QRadioButton* TypedRb;
  QLineEdit* TypedEd;
  QRadioButton* ReportRb;
  QRadioButton* ClassRb;
  QComboBox* DaysCb;
  QToolButton* PdfSb;
  QToolButton* PrintSb;
  QToolButton* QuitSb;
  QLabel* StatusLb;

  // What the chosen page is painted with and called; false with the reason when it cannot be made.
  bool Prepare(std::function<bool(QPagedPaintDevice*)>* paint, QString* title, QString* error);
  void PdfSbClick();
  void PrintSbClick();

 private:
  QButtonGroup* m_choice;
};
