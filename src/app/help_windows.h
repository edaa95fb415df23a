// SPDX-License-Identifier: GPL-3.0-or-later
// The usage-notes windows that "使用方法" opens on each module screen: one build, four pages.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QSize>
#include <QStringList>

class QPlainTextEdit;

// What differs between the help windows.
struct HelpPage {
  QString caption;
  QPoint position;  // top-left corner of the window on the screen
  QSize size;       // whole window, frame included
  QStringList lines;
};

const HelpPage& CharacterHelpPage();
const HelpPage& PoemHelpPage();
const HelpPage& EnglishHelpPage();
const HelpPage& ArithmeticHelpPage();
const HelpPage& WritingHelpPage();
const HelpPage& ListeningHelpPage();

// A captioned window with only a close box, filled by the read-only memo ME1.
class THelpForm : public QDialog {
  Q_OBJECT
 public:
  THelpForm(QWidget* owner, const HelpPage& page);

  QPlainTextEdit* ME1;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class TMYHLPForm : public THelpForm {
  Q_OBJECT
 public:
  explicit TMYHLPForm(QWidget* owner) : THelpForm(owner, CharacterHelpPage()) {}
};

class TxsMYHLPForm : public THelpForm {
  Q_OBJECT
 public:
  explicit TxsMYHLPForm(QWidget* owner) : THelpForm(owner, PoemHelpPage()) {}
};

class TxyyMYHLPForm : public THelpForm {
  Q_OBJECT
 public:
  explicit TxyyMYHLPForm(QWidget* owner) : THelpForm(owner, EnglishHelpPage()) {}
};

class TYSMYHLPForm : public THelpForm {
  Q_OBJECT
 public:
  explicit TYSMYHLPForm(QWidget* owner) : THelpForm(owner, ArithmeticHelpPage()) {}
};

class TxzMYHLPForm : public THelpForm {
  Q_OBJECT
 public:
  explicit TxzMYHLPForm(QWidget* owner) : THelpForm(owner, WritingHelpPage()) {}
};

class TtyzMYHLPForm : public THelpForm {
  Q_OBJECT
 public:
  explicit TtyzMYHLPForm(QWidget* owner) : THelpForm(owner, ListeningHelpPage()) {}
};
