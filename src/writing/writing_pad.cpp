// SPDX-License-Identifier: GPL-3.0-or-later
#include "writing/writing_pad.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTimer>
#include <QTouchEvent>
#include <QtMath>
#include <cmath>

#include "writing/stroke_matcher.h"

using namespace writing;

namespace {

const QColor kPaper(255, 253, 244);
const QColor kGridLine(214, 60, 60);
const QColor kModel(222, 222, 222);
const QColor kModelEdge(200, 200, 200);
const QColor kRed(222, 30, 30);
const QColor kInk(45, 45, 70);
const QColor kHint(255, 150, 0);
const QColor kRadical(30, 120, 220);    // the radical's strokes in the stroke order
const QColor kQuizHelp(228, 228, 228);  // the quiz's faint model of one stroke
const QColor kGold(255, 196, 0);
constexpr int kFrameMs = 16;
// The stroke order's brush, wide enough to cover any stroke of the box.
constexpr qreal kDemoBrush = 190;
// The hint dot runs along the stroke in this time, then rests a moment.
constexpr int kHintRunMs = 1200;
constexpr int kHintCycleMs = 1600;

// The arrow before a stroke runs along its first part: this share of the grid at most, and never
// more than this share of the stroke.
constexpr qreal kWayLength = 0.16;
constexpr qreal kWayShare = 0.45;

QPen InkPen(const QColor& colour, const QRectF& grid) {
  return QPen(colour, grid.width() * 0.035, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace

QPainterPath writing::StarPath(const QPointF& centre, qreal radius) {
  QPainterPath star;
  for (int i = 0; i < 10; ++i) {
    const qreal r = i % 2 ? radius * 0.45 : radius;
    const qreal a = M_PI / 2 + i * M_PI / 5;
    const QPointF pt(centre.x() + r * std::cos(a), centre.y() - r * std::sin(a));
    i == 0 ? star.moveTo(pt) : star.lineTo(pt);
  }
  star.closeSubpath();
  return star;
}

TWritingPad::TWritingPad(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
  setAttribute(Qt::WA_AcceptTouchEvents);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
  m_timer->setInterval(kFrameMs);
  connect(m_timer, &QTimer::timeout, this, &TWritingPad::Tick);
  m_clock.start();
}

void TWritingPad::SetCharacter(const QString& character,
                               const std::optional<CharacterStrokes>& strokes) {
  m_character = character;
  m_strokes = strokes.value_or(CharacterStrokes());
  ++m_generation;
  Reset(Mode::Model);
}

void TWritingPad::Reset(Mode mode) {
  m_mode = mode;
  m_done = 0;
  m_demoPart = 0;
  m_misses = QList<int>(m_strokes.size(), 0);
  m_helped = false;
  m_drawing = false;
  m_touchId = -1;
  m_praiseFrom = -1;
  m_ink.clear();
  m_fades.clear();
  m_frozenAt = -1;
  m_demoStart = Now();
  m_timer->stop();
  update();
}

void TWritingPad::ShowModel() { Reset(Mode::Model); }

void TWritingPad::StartDemo(int delayMs) {
  if (!HasStrokes()) return;
  Reset(Mode::Demo);
  m_demoStart = Now() + delayMs;
  m_timer->start();
}

void TWritingPad::StartTrace() {
  if (!HasStrokes()) return;
  Reset(Mode::Trace);
}

void TWritingPad::StartQuiz() {
  if (!HasStrokes()) return;
  Reset(Mode::Quiz);
}

void TWritingPad::ShowPraise(const QString& word) {
  m_praise = word;
  m_praiseFrom = Now();
  m_timer->start();
  update();
}

bool TWritingPad::PraiseShown() const {
  return m_praiseFrom >= 0 && Now() - m_praiseFrom < kPraiseMs;
}

void TWritingPad::ShowDemoAt(int ms) {
  if (!HasStrokes()) return;
  Reset(Mode::Demo);
  m_frozenAt = ms;
  Tick();
}

int TWritingPad::Misses() const {
  int sum = 0;
  for (int m : m_misses) sum += m;
  return sum;
}

bool TWritingPad::HintShown() const {
  return m_mode == Mode::Trace && m_done < m_strokes.size() &&
         m_misses.value(m_done) >= kHintAfterMisses;
}

bool TWritingPad::HelpShown() const {
  return m_mode == Mode::Quiz && m_done < m_strokes.size() &&
         m_misses.value(m_done) >= kQuizHelpAfterMisses;
}

QRectF TWritingPad::GridRect() const {
  // A margin for the grid's frame; the grid is square whatever the widget's shape.
  const qreal side = qMax(10.0, qMin(width(), height()) - 8.0);
  return QRectF((width() - side) / 2, (height() - side) / 2, side, side);
}

void TWritingPad::Tick() {
  const qint64 now = Now();
  if (m_mode == Mode::Demo) {
    const qint64 run = qMax<qint64>(0, m_frozenAt >= 0 ? m_frozenAt : now - m_demoStart);
    m_done = int(qMin<qint64>(m_strokes.size(), run / kStrokeMs));
    m_demoPart = m_done < m_strokes.size() ? qreal(run % kStrokeMs) / kStrokeMs : 0;
  }
  while (!m_fades.isEmpty() && now - m_fades.first().born >= kFadeMs) m_fades.removeFirst();
  const bool demoRunning = m_mode == Mode::Demo && m_frozenAt < 0 && m_done < m_strokes.size();
  if (!demoRunning && m_fades.isEmpty() && !HintShown() && !PraiseShown()) m_timer->stop();
  update();
}

// --- drawing by the child ----------------------------------------------------------------------

void TWritingPad::Begin(const QPointF& at) {
  if (!Writing() || m_done >= m_strokes.size()) return;
  m_drawing = true;
  m_ink = QPolygonF({at});
  update();
}

void TWritingPad::Extend(const QPointF& at) {
  if (!m_drawing) return;
  m_ink << at;
  update();
}

void TWritingPad::End() {
  if (!m_drawing) return;
  m_drawing = false;
  const QRectF grid = GridRect();
  QList<QPointF> inBox;
  for (const QPointF& p : std::as_const(m_ink)) inBox << ToBox(p, grid);
  const int stroke = m_done;
  const Verdict verdict = MatchStroke(m_strokes[stroke].median, inBox);
  if (verdict == Verdict::Accepted) {
    ++m_done;
  } else if (verdict != Verdict::TooShort) {
    ++m_misses[stroke];
    if (HelpShown()) m_helped = true;
    m_fades << Fade{m_ink, Now()};
    m_timer->start();
  }
  m_ink.clear();
  update();
  if (verdict != Verdict::TooShort) Q_EMIT strokeJudged(stroke, verdict == Verdict::Accepted);
  if (verdict == Verdict::Accepted && m_done == m_strokes.size()) Q_EMIT finished(Misses());
}

void TWritingPad::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Begin(event->position());
}

void TWritingPad::mouseMoveEvent(QMouseEvent* event) { Extend(event->position()); }

void TWritingPad::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) End();
}

bool TWritingPad::event(QEvent* event) {
  // A finger on a touch screen or a pen on a classroom whiteboard: the first touch point draws.
  switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
      // The finger that touched first draws; a second finger changes nothing.
      auto* touch = static_cast<QTouchEvent*>(event);
      event->accept();
      if (event->type() == QEvent::TouchBegin && !touch->points().isEmpty()) {
        m_touchId = touch->points().first().id();
        Begin(touch->points().first().position());
        return true;
      }
      for (const QEventPoint& point : touch->points()) {
        if (point.id() != m_touchId) continue;
        Extend(point.position());
        if (point.state() == QEventPoint::Released || event->type() == QEvent::TouchEnd) {
          m_touchId = -1;
          End();
        }
      }
      return true;
    }
    case QEvent::TouchCancel:
      // The system took the touch away: the stroke is forgotten, neither judged nor a miss.
      m_touchId = -1;
      m_drawing = false;
      m_ink.clear();
      update();
      return true;
    default:
      return QWidget::event(event);
  }
}

QColor TWritingPad::StrokeColour(const Stroke& stroke) const {
  return m_mode == Mode::Demo && stroke.radical ? kRadical : kRed;
}

// --- painting ----------------------------------------------------------------------------------

void TWritingPad::paintEvent(QPaintEvent*) {
  const QRectF grid = GridRect();
  const QPixmap& still = StillPicture(grid);
  QPainter p(this);
  p.drawPixmap(0, 0, still);
  p.setRenderHint(QPainter::Antialiasing);
  PaintGrowing(p, grid);
  PaintWay(p, grid);
  PaintInk(p, grid);
  PaintPraise(p, grid);
}

const QPixmap& TWritingPad::StillPicture(const QRectF& grid) {
  const qreal dpr = devicePixelRatioF();
  const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                          .arg(m_generation)
                          .arg(m_done)
                          .arg(int(m_mode))
                          .arg(int(HelpShown()))
                          .arg(width())
                          .arg(height())
                          .arg(dpr);
  if (key == m_stillKey) return m_still;
  // Rounded up: a picture a device pixel short leaves a line of nothing (black) at the edges.
  m_still = QPixmap(qCeil(width() * dpr), qCeil(height() * dpr));
  m_still.setDevicePixelRatio(dpr);
  m_still.fill(palette().color(QPalette::Window));
  QPainter p(&m_still);
  p.setRenderHint(QPainter::Antialiasing);
  PaintGrid(p, grid);
  PaintStill(p, grid);
  m_stillKey = key;
  return m_still;
}

void TWritingPad::PaintGrid(QPainter& p, const QRectF& grid) const {
  p.fillRect(grid, kPaper);
  // The 田字格's cross, dashed, then its frame.
  QPen dashed(kGridLine, qMax(1.0, grid.width() / 300), Qt::DashLine);
  dashed.setDashPattern({6, 4});
  p.setPen(dashed);
  p.drawLine(QPointF(grid.center().x(), grid.top()), QPointF(grid.center().x(), grid.bottom()));
  p.drawLine(QPointF(grid.left(), grid.center().y()), QPointF(grid.right(), grid.center().y()));
  p.setPen(QPen(kGridLine, qMax(2.0, grid.width() / 120)));
  p.setBrush(Qt::NoBrush);
  p.drawRect(grid);
}

void TWritingPad::PaintStill(QPainter& p, const QRectF& grid) const {
  if (!HasStrokes()) {
    QFont font(QStringLiteral("Noto Serif CJK SC"));
    font.setPixelSize(qRound(grid.height() * 0.78));
    p.setFont(font);
    p.setPen(kModel.darker(110));
    p.drawText(grid, Qt::AlignCenter, m_character);
    return;
  }
  p.save();
  p.translate(grid.topLeft());
  p.scale(grid.width() / kBoxSize, grid.height() / kBoxSize);
  p.setPen(Qt::NoPen);
  // The whole model first, so that no pale stroke covers a red one where they cross. The quiz
  // has none, but for the due stroke once the child needed help.
  p.setBrush(m_mode == Mode::Quiz ? kQuizHelp : kModel);
  if (m_mode != Mode::Quiz)
    for (qsizetype i = m_done; i < m_strokes.size(); ++i) p.drawPath(m_strokes[i].outline);
  else if (HelpShown())
    p.drawPath(m_strokes[m_done].outline);
  for (qsizetype i = 0; i < m_done; ++i) {
    p.setBrush(StrokeColour(m_strokes[i]));
    p.drawPath(m_strokes[i].outline);
  }
  p.restore();
}

void TWritingPad::PaintGrowing(QPainter& p, const QRectF& grid) const {
  if (m_done >= m_strokes.size() || m_mode != Mode::Demo || m_demoPart <= 0) return;
  p.save();
  p.translate(grid.topLeft());
  p.scale(grid.width() / kBoxSize, grid.height() / kBoxSize);
  p.setPen(Qt::NoPen);
  p.setBrush(StrokeColour(m_strokes[m_done]));
  // The stroke grows along its centre line: a wide brush that has come so far is the clip.
  const Stroke& s = m_strokes[m_done];
  QPainterPathStroker brush;
  brush.setWidth(kDemoBrush);
  brush.setCapStyle(Qt::RoundCap);
  brush.setJoinStyle(Qt::RoundJoin);
  QPainterPath run;
  const QList<QPointF> part = LineStart(s.median, m_demoPart);
  run.moveTo(part.first());
  for (qsizetype k = 1; k < part.size(); ++k) run.lineTo(part[k]);
  p.setClipPath(brush.createStroke(run));
  p.drawPath(s.outline);
  p.restore();
}

void TWritingPad::PaintInk(QPainter& p, const QRectF& grid) const {
  p.setBrush(Qt::NoBrush);
  const qint64 now = Now();
  for (const Fade& f : m_fades) {
    QColor c = kInk;
    c.setAlphaF(qBound(0.0, 1.0 - qreal(now - f.born) / kFadeMs, 1.0) * 0.8);
    p.setPen(InkPen(c, grid));
    p.drawPolyline(f.line);
  }
  if (HintShown()) {
    const QList<QPointF>& median = m_strokes[m_done].median;
    const qreal along = qMin(1.0, qreal(now % kHintCycleMs) / kHintRunMs);
    const QPointF at = FromBox(PointAlong(median, along), grid);
    const qreal r = grid.width() * 0.03;
    p.setPen(QPen(Qt::white, r / 3));
    p.setBrush(kHint);
    p.drawEllipse(at, r, r);
    p.setBrush(Qt::NoBrush);
  }
  if (m_ink.size() > 1) {
    p.setPen(InkPen(kInk, grid));
    p.drawPolyline(m_ink);
  }
}

// Where the due stroke starts and which way it goes, until a miss sets the dot running.
void TWritingPad::PaintWay(QPainter& p, const QRectF& grid) const {
  if (m_mode != Mode::Trace || m_done >= m_strokes.size() || HintShown() || m_drawing) return;
  const QList<QPointF>& median = m_strokes[m_done].median;
  const qreal length = LineLength(median);
  const qreal share = qMin(kWayShare, kWayLength * kBoxSize / qMax(1.0, length));
  QList<QPointF> way;
  for (const QPointF& b : LineStart(median, share)) way << FromBox(b, grid);
  const qreal r = grid.width() * 0.028;
  const qreal w = grid.width() * 0.014;
  QColor arrow = kHint;
  arrow.setAlpha(210);
  // The arrow's shaft from the dot's edge on, and its head where the first part ends.
  p.setPen(QPen(arrow, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  if (way.size() >= 2) {
    p.drawPolyline(QPolygonF(way));
    const QPointF tip = way.last();
    QPointF back = way[way.size() - 2] - tip;
    const qreal l = std::hypot(back.x(), back.y());
    if (l > 0) {
      back *= grid.width() * 0.045 / l;
      const QPointF side(-back.y() * 0.6, back.x() * 0.6);
      p.setBrush(arrow);
      p.setPen(QPen(arrow, w * 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolygon(QPolygonF({tip - back * 0.3, tip + back + side, tip + back - side}));
    }
  }
  p.setPen(QPen(Qt::white, r / 3));
  p.setBrush(kHint);
  p.drawEllipse(way.isEmpty() ? FromBox(median.first(), grid) : way.first(), r, r);
  p.setBrush(Qt::NoBrush);
}

void TWritingPad::PaintPraise(QPainter& p, const QRectF& grid) const {
  if (!PraiseShown()) return;
  const qreal t = qreal(Now() - m_praiseFrom) / kPraiseMs;
  // Grows in the first fifth, fades in the last.
  const qreal grow = qMin(1.0, t * 5);
  p.save();
  p.setOpacity(t > 0.8 ? (1 - t) * 5 : 1.0);
  const QPointF centre = grid.center() - QPointF(0, grid.height() * 0.08);
  p.setPen(QPen(QColor(190, 120, 0), grid.width() * 0.012, Qt::SolidLine, Qt::RoundCap,
                Qt::RoundJoin));
  p.setBrush(kGold);
  p.drawPath(StarPath(centre, grid.width() * 0.28 * (0.5 + 0.5 * grow)));
  QFont font = p.font();
  font.setPixelSize(qRound(grid.height() * 0.11));
  font.setBold(true);
  p.setFont(font);
  const QRectF words(grid.left(), grid.top() + grid.height() * 0.7, grid.width(),
                     grid.height() * 0.2);
  // White edge under red letters, readable over the strokes.
  QPainterPath text;
  const QFontMetricsF metrics(font);
  const qreal x = words.center().x() - metrics.horizontalAdvance(m_praise) / 2;
  text.addText(QPointF(x, words.center().y() + metrics.capHeight() / 2), font, m_praise);
  p.setPen(QPen(Qt::white, grid.width() * 0.02, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(text);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(210, 30, 30));
  p.drawPath(text);
  p.restore();
}
