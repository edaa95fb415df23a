// SPDX-License-Identifier: GPL-3.0-or-later
// The usage-notes windows that "使用方法" opens on each module screen: one build, a page of usage
// notes each and a second page about what the program has gained since.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QSize>
#include <QStringList>

class QPlainTextEdit;
class QToolButton;

// What differs between the help windows.
struct HelpPage {
  QString caption;
  QPoint position;  // top-left corner of the window on the screen
  QSize size;       // whole window, frame included
  QStringList lines;
  QStringList addedLines;  // the second page, "新增功能"
};

const HelpPage& CharacterHelpPage();
const HelpPage& PoemHelpPage();
const HelpPage& EnglishHelpPage();
const HelpPage& ArithmeticHelpPage();
const HelpPage& WritingHelpPage();
const HelpPage& ListeningHelpPage();

// A captioned window with only a close box, filled by the read-only memo ME1; a button at its
// top right turns to the other page. Escape closes it.
class THelpForm : public QDialog {
  Q_OBJECT
 public:
  THelpForm(QWidget* owner, const HelpPage& page);

  QPlainTextEdit* ME1;
  QToolButton* PageSb;  // "新增功能 ▶" on the first page, "◀ 使用说明" on the second

  // 0: the usage notes, 1: what was added.
  int Page() const { return m_page; }
  void ShowPage(int page);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  const HelpPage& m_content;
  int m_page = 0;
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
