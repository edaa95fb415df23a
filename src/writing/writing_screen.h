// SPDX-License-Identifier: GPL-3.0-or-later
// TxzmainForm: the writing screen. The character chapters' characters and words in a row; the
// chosen one large in a 田字格, a word one character after the other, whose stroke order the child
// watches (看笔顺), then traces (描一描) or writes from memory (默写).
#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QWidget>

#include "lessons/lesson_screen_base.h"
#include "writing/stroke_data.h"

class QLabel;
class QToolButton;
class TWritingPad;

// The chapter's characters and words as a row of choices, a star beside each one written. A word
// takes a cell as wide as its characters.
class TCharacterRow : public QWidget {
  Q_OBJECT
 public:
  explicit TCharacterRow(QWidget* parent);
  void SetCharacters(const QStringList& characters);
  const QStringList& Characters() const { return m_characters; }
  void SetCurrent(int index);
  int Current() const { return m_current; }
  void SetStar(int index);
  bool HasStar(int index) const { return m_stars.value(index); }
  QRect CellRect(int index) const;
  // Written from memory: entry `index` shows its characters before `from` and a question mark for
  // each of the others. -1: every entry shown.
  void Conceal(int index, int from);
  // What the cell shows.
  QString ShownText(int index) const;

 Q_SIGNALS:
  void chosen(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int Unit() const;
  int Units() const;
  QStringList m_characters;
  QList<bool> m_stars;
  int m_current = -1;
  int m_concealed = -1;
  int m_concealedFrom = 0;
};

class TxzmainForm : public TLessonScreen {
  Q_OBJECT
 public:
  explicit TxzmainForm(QWidget* owner);
  ~TxzmainForm() override;
  // The character lessons, under this screen's caption, help window and class name.
  static const LessonKind& WritingKind();

  // The stroke file to read; the program's shared one unless a test gives another.
  void SetStrokeData(const writing::StrokeData* data);

  TCharacterRow* Row;
  TWritingPad* Pad;
  QToolButton* kbsb;  // 看笔顺
  QToolButton* mysb;  // 描一描
  QToolButton* mxsb;  // 默写
  QToolButton* cxsb;  // 再写一遍
  QToolButton* PrintSb;  // 打印字帖, behind the parent gate
  QLabel* NoticeLb;
  QTimer* NextTimer;  // the pause before the next character

  void ChooseCharacter(int index);
  // The character of the chosen entry being written (a word's first, then its second, ...).
  QString CurrentCharacter() const;
  void kbsbClick();
  void mysbClick();
  void mxsbClick();
  void cxsbClick();

 protected:
  void ShowChapterItems(bool loaded) override;
  void PlaceBody(const QRect& body) override;

 private:
  void ShowPart(int part);
  void StartWriting();
  void StrokeJudged(int stroke, bool accepted);
  void Finished();
  void NextCharacter();
  void ShowStars();
  void NoteUnfinished();
  // The row's cell and the notice while writing from memory: the character is heard, not shown,
  // until the model helps or it is written.
  void ShowWhatIsAsked();

  writing::StrokeData m_ownData;
  const writing::StrokeData* m_data;
  QStringList m_sounds;  // per entry, the recording of its item
  QStringList m_items;   // per entry, its item's name and text, which speech says
  QStringList m_texts;
  int m_part = 0;        // the character of the entry being written
  bool m_quiz = false;   // 默写 rather than 描一描 is the way of writing chosen
  // Strokes missed per character of the entry being written, over every attempt (再写一遍 too).
  QHash<QString, int> m_missed;
  QSet<QString> m_written;  // characters finished, here and as the database keeps them
  bool m_starsLoaded = false;
};
