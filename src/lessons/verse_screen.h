// SPDX-License-Identifier: GPL-3.0-or-later
// The poem and English lesson screens: one design, driven by the lesson-kind profile. The chapter
// selector picks a chapter, the list on the left names its items, the panel on the right shows the
// chosen item's text, and "朗读" (or a double-click) plays its recording.
#pragma once

#include <QElapsedTimer>

#include "data/lesson_kinds.h"
#include "lessons/lesson_screen_base.h"

class QFrame;
class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QScrollArea;
class QTreeWidget;
class QTreeWidgetItem;
class TPoemView;

class TVerseScreen : public TLessonScreen {
  Q_OBJECT
 public:
  TVerseScreen(QWidget* owner, LessonKindId kind);
  ~TVerseScreen() override;  // FormDestroy

  void ShowItem(const QString& name);
  void ShowNoSoundNotice();
  // Plays `path` for `item`, or shows the notice when there is no recording.
  void PlayRecording(const QString& item, const QString& path);

  // Event handlers.
  void Tree1Click();
  void Tree1KeyDown(int key);
  void LDSBClick();
  void XYSSBClick();
  void SYSSBClick();
  void Timer4Timer();

  // Controls, under their given names.
  QTreeWidget* Tree1;
  QToolButton* XYSSB;
  QToolButton* SYSSB;
  QToolButton* LDSB;
  QLabel* ldshow;
  QPlainTextEdit* me1;
  QTimer* Timer4;
  // Poems: the text with pinyin over each character, the line being read lit; a touch on a
  // character says it. 拼音 shows or hides the pinyin (a setting remembers it).
  // English: the word itself large above its translation.
  QLabel* WordLb = nullptr;
  QLabel* PictureLb = nullptr;  // English: the word's picture beside it
  TPoemView* Poem = nullptr;
  QScrollArea* PoemScroll = nullptr;
  QToolButton* PinyinSb = nullptr;
  QTimer* LineTimer;

  // Says one character: its recording in the character course, else one synthesised and kept.
  void SayCharacter(const QString& character);

 protected:
  void ShowChapterItems(bool loaded) override;
  void PlaceBody(const QRect& body) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QRect m_wordRow;   // English: where the picture and the word go
  QString m_picture;  // the shown item's picture
  void BuildBody(QWidget* body);
  // The selected entry of Tree1, or nullptr; with an empty list there is none.
  QTreeWidgetItem* SelectedEntry() const;
  // The no-selection warning of reading aloud and of next/previous.
  void WarnNoSelection();
  void StepItem(int delta);
  void PlaceWord();

  QWidget* m_body;
  QFrame* m_column;
  // Lights the line the recording is reading now.
  void LightLine();

  QElapsedTimer m_reading;
  QList<double> m_lineStarts;  // seconds
  double m_readingSeconds = 0;
  int m_blinkCount = 0;
  int m_readSerial = 0;  // the latest item asked to be read aloud
};

// The screen of a kind that is open now, or nullptr: the list managers reach it through this.
TVerseScreen* OpenVerseScreen(LessonKindId kind);

// 幼儿学诗
class TxsmainForm : public TVerseScreen {
  Q_OBJECT
 public:
  explicit TxsmainForm(QWidget* owner) : TVerseScreen(owner, LessonKindId::Poem) {}
};

// 发音学英语
class TXYYMAINForm : public TVerseScreen {
  Q_OBJECT
 public:
  explicit TXYYMAINForm(QWidget* owner) : TVerseScreen(owner, LessonKindId::English) {}
};
