// SPDX-License-Identifier: GPL-3.0-or-later
#include "writing/stroke_matcher.h"

#include <QLineF>
#include <limits>

#include "writing/stroke_data.h"

namespace writing {

namespace {

// Both lines are compared as this many evenly spaced points, each the mean of its neighbours
// within kSmoothing: a trembling hand's zigzag is averaged away, and the centre line is rounded
// the same way so that its bends stay comparable.
constexpr int kSamples = 32;
constexpr int kSmoothing = 3;

QList<QPointF> Smooth(const QList<QPointF>& line) {
  QList<QPointF> out;
  out.reserve(line.size());
  for (qsizetype i = 0; i < line.size(); ++i) {
    const qsizetype from = qMax<qsizetype>(0, i - kSmoothing);
    const qsizetype to = qMin<qsizetype>(line.size() - 1, i + kSmoothing);
    QPointF sum;
    for (qsizetype k = from; k <= to; ++k) sum += line[k];
    out << sum / qreal(to - from + 1);
  }
  return out;
}

qreal Distance(const QPointF& a, const QPointF& b) { return QLineF(a, b).length(); }

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

QList<QPointF> Resample(const QList<QPointF>& line, int count) {
  QList<QPointF> out;
  if (line.isEmpty() || count < 2) return out;
  out.reserve(count);
  const qreal step = LineLength(line) / (count - 1);
  out << line.first();
  qreal wanted = step;  // distance along the line of the next point
  qreal passed = 0;     // distance along the line at the start of segment i
  for (qsizetype i = 1; i < line.size() && out.size() < count - 1; ++i) {
    const qreal segment = Distance(line[i - 1], line[i]);
    while (out.size() < count - 1 && wanted <= passed + segment && segment > 0) {
      out << line[i - 1] + (line[i] - line[i - 1]) * ((wanted - passed) / segment);
      wanted += step;
    }
    passed += segment;
  }
  while (out.size() < count) out << line.last();
  return out;
}

qreal FrechetDistance(const QList<QPointF>& a, const QList<QPointF>& b) {
  if (a.isEmpty() || b.isEmpty()) return std::numeric_limits<qreal>::infinity();
  // One row of the coupling table at a time: row[j] is the leash needed for a[..i], b[..j].
  QList<qreal> row(b.size());
  for (qsizetype i = 0; i < a.size(); ++i) {
    qreal diagonal = 0;  // the previous row's entry j - 1
    for (qsizetype j = 0; j < b.size(); ++j) {
      const qreal d = Distance(a[i], b[j]);
      const qreal above = row[j];
      qreal reach;
      if (i == 0 && j == 0)
        reach = d;
      else if (i == 0)
        reach = qMax(row[j - 1], d);
      else if (j == 0)
        reach = qMax(above, d);
      else
        reach = qMax(qMin(qMin(above, row[j - 1]), diagonal), d);
      diagonal = above;
      row[j] = reach;
    }
  }
  return row.last();
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
  const qreal length = LineLength(median);
  const QList<QPointF> made = Smooth(Resample(drawn, kSamples));
  const QList<QPointF> wanted = Smooth(Resample(median, kSamples));
  QList<QPointF> backwards(wanted.rbegin(), wanted.rend());
  const qreal apart = FrechetDistance(made, wanted);
  // A reversed short stroke may well begin and end within the tolerance, so the direction comes
  // first: the ends' order where the stroke has ends apart, else which way round fits better.
  const QPointF chord = median.last() - median.first();
  const bool hasChord = Distance(QPointF(), chord) >= kShapeTolerance * kBoxSize;
  if (hasChord ? QPointF::dotProduct(chord, made.last() - made.first()) <= 0
               : length >= kTapLength * kBoxSize && FrechetDistance(made, backwards) < apart)
    return Verdict::WrongDirection;
  const qreal limit = qMin(kShapeTolerance, qMax(kShapeFloor, kShapeShare * length / kBoxSize));
  if (Distance(made.first(), wanted.first()) > limit * kBoxSize) return Verdict::WrongStart;
  if (Distance(made.last(), wanted.last()) > limit * kBoxSize)
    return LineLength(made) < LineLength(wanted) ? Verdict::Unfinished : Verdict::WrongEnd;
  return apart > limit * kBoxSize ? Verdict::OffLine : Verdict::Accepted;
}

}  // namespace writing
