// SPDX-License-Identifier: GPL-3.0-or-later
// TxzmainForm: the writing screen. The character chapters' characters in a row; the chosen one
// large in a 田字格, whose stroke order the child watches (看笔顺) and then traces (描一描).
#pragma once

#include <QList>
#include <QWidget>

#include "lessons/lesson_screen_base.h"
#include "writing/stroke_data.h"

class QLabel;
class QToolButton;
class TWritingPad;

// The chapter's characters as a row of choices, a star beside each one written.
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

 Q_SIGNALS:
  void chosen(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int CellWidth() const;
  QStringList m_characters;
  QList<bool> m_stars;
  int m_current = -1;
};

class TxzmainForm : public TLessonScreen {
  Q_OBJECT
 public:
  explicit TxzmainForm(QWidget* owner);
  // The character lessons, under this screen's caption, help window and class name.
  static const LessonKind& WritingKind();

  // The stroke file to read; the program's shared one unless a test gives another.
  void SetStrokeData(const writing::StrokeData* data);

  TCharacterRow* Row;
  TWritingPad* Pad;
  QToolButton* kbsb;  // 看笔顺
  QToolButton* mysb;  // 描一描
  QToolButton* cxsb;  // 再写一遍
  QLabel* NoticeLb;
  QTimer* NextTimer;  // the pause before the next character

  void ChooseCharacter(int index);
  void kbsbClick();
  void mysbClick();
  void cxsbClick();

 protected:
  void ShowChapterItems(bool loaded) override;
  void PlaceBody(const QRect& body) override;

 private:
  void Finished(int misses);
  void NextCharacter();

  const writing::StrokeData* m_data;
  QStringList m_sounds;  // per character, the recording of the item it comes from
};
