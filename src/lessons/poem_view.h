// SPDX-License-Identifier: GPL-3.0-or-later
// A poem as a child follows it: each character with its pinyin above it, the line being read lit,
// and a character that is touched named by a signal, so the screen can say it.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "platform/wav_file.h"

class TPoemView : public QWidget {
  Q_OBJECT
 public:
  explicit TPoemView(QWidget* parent);

  // The title and the item's text ("唐·李白\n床前明月光，疑是地上霜。…"); readings are made here.
  void SetPoem(const QString& title, const QString& text);
  void SetPinyinShown(bool shown);
  // The height it may fill without scrolling (its scroll area's); a poem that does not fit at the
  // smallest characters grows past it and scrolls.
  void SetRoom(int height);
  bool PinyinShown() const { return m_pinyin; }
  // The line lit, counted as read aloud: 0 the title, 1 the author line, then the poem's lines;
  // -1 none.
  void SetLitLine(int line);
  int LitLine() const { return m_lit; }
  int LineCount() const { return int(m_lines.size()); }
  // Each line's syllables, for timing the lines when the recording's pauses cannot be found.
  QList<int> Syllables() const;
  // The character drawn at `point`, or an empty string.
  QString CharacterAt(const QPoint& point) const;
  // Where the character `index` of line `line` is drawn (for tests and for looking).
  QRect CellRect(int line, int index) const;
  QString ReadingAt(int line, int index) const;

 Q_SIGNALS:
  void characterTouched(const QString& character);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  struct Cell {
    QString text, reading;
    QRect rect;  // the character's box; the reading sits above it
  };
  struct Line {
    QList<Cell> cells;
    QRect rect;
  };
  void Layout();

  QList<Line> m_lines;
  bool m_pinyin = true;
  int m_lit = -1;
  int m_characterPx = 34;
  int m_room = 0;
};

// Where each of `lines` lines starts in a recording, in seconds: after its longest pauses, found
// in the samples; by the lines' syllable counts when the pauses are too few. Empty for no sound.
QList<double> LineStarts(const platform::Samples& samples, int rate, const QList<int>& syllables);
