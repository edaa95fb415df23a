// SPDX-License-Identifier: GPL-3.0-or-later
#include "writing/stroke_matcher.h"

#include <QLineF>
#include <limits>

#include "writing/stroke_data.h"

namespace writing {

namespace {

constexpr int kSamples = 32;

qreal DistanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b) {
  const QPointF ab = b - a;
  const qreal length2 = QPointF::dotProduct(ab, ab);
  const qreal t = length2 > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / length2, 1.0) : 0.0;
  return QLineF(p, a + t * ab).length();
}

qreal DistanceToLine(const QPointF& p, const QList<QPointF>& line) {
  if (line.size() == 1) return QLineF(p, line.first()).length();
  qreal best = std::numeric_limits<qreal>::max();
  for (qsizetype i = 1; i < line.size(); ++i)
    best = qMin(best, DistanceToSegment(p, line[i - 1], line[i]));
  return best;
}

// Mean distance of evenly spaced points of `from` to the line `to`.
qreal MeanDistance(const QList<QPointF>& from, const QList<QPointF>& to) {
  qreal sum = 0;
  for (int i = 0; i < kSamples; ++i)
    sum += DistanceToLine(PointAlong(from, i / (kSamples - 1.0)), to);
  return sum / kSamples;
}

}  // namespace

qreal LineLength(const QList<QPointF>& line) {
  qreal length = 0;
  for (qsizetype i = 1; i < line.size(); ++i) length += QLineF(line[i - 1], line[i]).length();
  return length;
}

QPointF PointAlong(const QList<QPointF>& line, qreal fraction) {
  if (line.isEmpty()) return {};
  qreal left = LineLength(line) * qBound(0.0, fraction, 1.0);
  for (qsizetype i = 1; i < line.size(); ++i) {
    const QLineF segment(line[i - 1], line[i]);
    if (left <= segment.length() && segment.length() > 0)
      return segment.pointAt(left / segment.length());
    left -= segment.length();
  }
  return line.last();
}

QList<QPointF> LineStart(const QList<QPointF>& line, qreal fraction) {
  QList<QPointF> part;
  if (line.isEmpty()) return part;
  qreal left = LineLength(line) * qBound(0.0, fraction, 1.0);
  part << line.first();
  for (qsizetype i = 1; i < line.size(); ++i) {
    const QLineF segment(line[i - 1], line[i]);
    if (left <= segment.length()) {
      if (segment.length() > 0) part << segment.pointAt(left / segment.length());
      return part;
    }
    part << line[i];
    left -= segment.length();
  }
  return part;
}

QPointF ToBox(const QPointF& p, const QRectF& grid) {
  return QPointF((p.x() - grid.left()) * kBoxSize / grid.width(),
                 (p.y() - grid.top()) * kBoxSize / grid.height());
}

QPointF FromBox(const QPointF& p, const QRectF& grid) {
  return QPointF(grid.left() + p.x() * grid.width() / kBoxSize,
                 grid.top() + p.y() * grid.height() / kBoxSize);
}

Verdict MatchStroke(const QList<QPointF>& median, const QList<QPointF>& drawn) {
  if (drawn.size() < 2 || median.size() < 2 || LineLength(drawn) < kTapLength * kBoxSize)
    return Verdict::TooShort;
  const QPointF wanted = median.last() - median.first();
  const QPointF made = drawn.last() - drawn.first();
  // Checked first: a reversed short stroke may well begin and end within the tolerance. A stroke
  // that ends where it began has no direction of its own.
  if (QLineF(QPointF(), wanted).length() >= kTapLength * kBoxSize &&
      QPointF::dotProduct(wanted, made) <= 0)
    return Verdict::WrongDirection;
  if (QLineF(drawn.first(), median.first()).length() > kEndTolerance * kBoxSize)
    return Verdict::WrongStart;
  if (QLineF(drawn.last(), median.last()).length() > kEndTolerance * kBoxSize)
    return Verdict::WrongEnd;
  // Both ways round: the drawn line near the centre line, and the centre line covered.
  const qreal apart = qMax(MeanDistance(drawn, median), MeanDistance(median, drawn));
  return apart > kAverageTolerance * kBoxSize ? Verdict::OffLine : Verdict::Accepted;
}

}  // namespace writing
