// SPDX-License-Identifier: GPL-3.0-or-later
// The 田字格 with one character: its pale model, the stroke order drawn in red one stroke after
// another, and the child's own strokes traced with the mouse or a finger and judged one by one.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QWidget>
#include <optional>

#include "writing/stroke_data.h"

class QTimer;

namespace writing {
// How long the stroke order takes per stroke, and a failed stroke to fade away.
inline constexpr int kStrokeMs = 800;
inline constexpr int kFadeMs = 600;
// Misses of one stroke after which its direction is shown.
inline constexpr int kHintAfterMisses = 2;
// Misses of one stroke in the quiz after which its model appears faintly.
inline constexpr int kQuizHelpAfterMisses = 3;
// How long the praise for a finished character stays on the grid.
inline constexpr int kPraiseMs = 1500;
// A five-pointed star standing on two points.
QPainterPath StarPath(const QPointF& centre, qreal radius);
}  // namespace writing

class TWritingPad : public QWidget {
  Q_OBJECT
 public:
  // Quiz: the child writes from memory, without the model.
  enum class Mode { Model, Demo, Trace, Quiz };
  explicit TWritingPad(QWidget* parent);

  // A character without strokes shows only its model, from the font.
  void SetCharacter(const QString& character, const std::optional<writing::CharacterStrokes>& s);
  bool HasStrokes() const { return !m_strokes.isEmpty(); }
  const writing::CharacterStrokes& Strokes() const { return m_strokes; }

  void ShowModel();
  // The stroke order, beginning after `delayMs` (the recording is heard first).
  void StartDemo(int delayMs = 0);
  void StartTrace();
  void StartQuiz();
  // A big star and a word of praise over the grid for kPraiseMs.
  void ShowPraise(const QString& word);
  bool PraiseShown() const;
  // The stroke order frozen `ms` after its start (benchmark and pictures).
  void ShowDemoAt(int ms);

  Mode mode() const { return m_mode; }
  int DoneStrokes() const { return m_done; }
  int Misses() const;
  bool HintShown() const;
  // The quiz's faint model of the due stroke, after kQuizHelpAfterMisses misses.
  bool HelpShown() const;
  // The quiz needed a stroke's model at least once.
  bool Helped() const { return m_helped; }
  // The grid in widget coordinates.
  QRectF GridRect() const;

 Q_SIGNALS:
  void strokeJudged(int stroke, bool accepted);
  void finished(int misses);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  struct Fade {
    QPolygonF line;
    qint64 born;
  };
  void Reset(Mode mode);
  void Begin(const QPointF& at);
  void Extend(const QPointF& at);
  void End();
  void Tick();
  qint64 Now() const { return m_clock.elapsed(); }
  // The still part (grid, model, strokes done) comes from a picture redrawn only when it changes,
  // so a frame of the stroke order paints little more than the growing stroke.
  const QPixmap& StillPicture(const QRectF& grid);
  void PaintGrid(QPainter& p, const QRectF& grid) const;
  void PaintStill(QPainter& p, const QRectF& grid) const;
  void PaintGrowing(QPainter& p, const QRectF& grid) const;
  void PaintInk(QPainter& p, const QRectF& grid) const;
  // Red; in the stroke order the radical's strokes have their own colour.
  QColor StrokeColour(const writing::Stroke& stroke) const;
  void PaintWay(QPainter& p, const QRectF& grid) const;
  void PaintPraise(QPainter& p, const QRectF& grid) const;
  bool Writing() const { return m_mode == Mode::Trace || m_mode == Mode::Quiz; }

  QString m_character;
  writing::CharacterStrokes m_strokes;
  Mode m_mode = Mode::Model;
  int m_done = 0;        // strokes traced, or drawn so far by the stroke order
  qreal m_demoPart = 0;  // share of the stroke being drawn by the stroke order
  QList<int> m_misses;   // per stroke
  bool m_helped = false;
  bool m_drawing = false;
  int m_touchId = -1;  // the finger that draws; others are ignored
  QPolygonF m_ink;  // the stroke being drawn, widget coordinates
  QList<Fade> m_fades;
  qint64 m_demoStart = 0;
  qint64 m_frozenAt = -1;  // ShowDemoAt
  qint64 m_praiseFrom = -1;
  QString m_praise;
  QElapsedTimer m_clock;
  QPixmap m_still;
  QString m_stillKey;
  int m_generation = 0;  // counts the characters shown
  QTimer* m_timer;
};
