// SPDX-License-Identifier: GPL-3.0-or-later
#include "writing/stroke_matcher.h"

#include <QLineF>
#include <limits>
#include <optional>

#include "writing/stroke_data.h"

namespace writing {

namespace {

// Both lines are compared as this many evenly spaced points.
constexpr int kSamples = 32;
// Each drawn point is first the mean of the points the hand gave within kSteadying on either
// side: a device's and a trembling hand's jitter averages out, while what a hand draws on purpose
// (a bend, a hook) spans many points and stays. A quick hand gives few points far apart and
// little jitter: no more than an eighth of them are taken together, and none farther than
// kSteadyReach of the grid, so that a stroke of a few points keeps its length and shape.
constexpr int kSteadying = 2;
constexpr qreal kSteadyReach = 0.13;

QList<QPointF> Steady(const QList<QPointF>& line) {
  const qsizetype reach = qMin<qsizetype>(kSteadying, (line.size() - 1) / 8);
  QList<QPointF> out;
  out.reserve(line.size());
  for (qsizetype i = 0; i < line.size(); ++i) {
    const qsizetype from = qMax<qsizetype>(0, i - reach);
    const qsizetype to = qMin<qsizetype>(line.size() - 1, i + reach);
    QPointF sum;
    int count = 0;
    for (qsizetype k = from; k <= to; ++k)
      if (QLineF(line[i], line[k]).length() <= kSteadyReach * kBoxSize) {
        sum += line[k];
        ++count;
      }
    out << sum / qreal(count);
  }
  return out;
}

qreal Distance(const QPointF& a, const QPointF& b) { return QLineF(a, b).length(); }

struct Hook {
  qreal share;   // of the stroke's length, from the corner to the end
  QPointF back;  // from the corner to the stroke's end
};

// The stroke's hook, if it ends in one (see kHookShare). The way the stroke comes in is taken
// over a stretch at least as long as the hook, not from its last few points, which may already
// lean into the turn.
std::optional<Hook> FindHook(const QList<QPointF>& median) {
  const qreal length = LineLength(median);
  if (length <= 0) return std::nullopt;
  qreal tail = 0;
  for (qsizetype k = median.size() - 2; k >= 1; --k) {
    tail += Distance(median[k], median[k + 1]);
    if (tail > kHookShare * length) break;
    const QPointF back = median.last() - median[k];
    const qreal reach = qMax(Distance(QPointF(), back), kHookLength * kBoxSize);
    const QPointF coming = median[k] - PointAlong(median, qMax(0.0, 1 - (tail + reach) / length));
    if (QPointF::dotProduct(coming, back) < 0 && Distance(QPointF(), back) >= kHookLength * kBoxSize)
      return Hook{tail / length, back};
  }
  return std::nullopt;
}

// Whether the drawn line turns back at its end as the hook does, at least kHookDrawnShare as far:
// its last part, as long a share of it as the hook is of the stroke.
bool HookDrawn(const QList<QPointF>& drawn, const Hook& hook) {
  const QPointF made = drawn.last() - PointAlong(drawn, 1 - hook.share);
  const qreal hookLength = Distance(QPointF(), hook.back);
  return QPointF::dotProduct(made, hook.back / hookLength) >= kHookDrawnShare * hookLength;
}

// How often the points the hand gave go from beyond kStray on one side of the stroke's path to
// beyond it on the other. Measured before any smoothing, which would average a scribble away as it
// does a trembling hand; a trembling hand never strays that far.
int Turns(const QList<QPointF>& median, const QList<QPointF>& drawn) {
  int turns = 0, side = 0;
  for (const QPointF& p : drawn) {
    qreal nearest = std::numeric_limits<qreal>::infinity();
    int sideHere = 0;
    for (qsizetype k = 1; k < median.size(); ++k) {
      const QPointF a = median[k - 1], d = median[k] - a;
      const qreal l2 = QPointF::dotProduct(d, d);
      const qreal t = l2 > 0 ? QPointF::dotProduct(p - a, d) / l2 : 0;
      const qreal away = Distance(p, a + qBound(0.0, t, 1.0) * d);
      if (away >= nearest) continue;
      nearest = away;
      // Beyond the stroke's ends a point is on neither side.
      const bool beyond = (k == 1 && t < 0) || (k == median.size() - 1 && t > 1);
      const qreal cross = d.x() * (p - a).y() - d.y() * (p - a).x();
      sideHere = beyond ? 0 : cross > 0 ? 1 : -1;
    }
    if (nearest <= kStray * kBoxSize || sideHere == 0) continue;
    if (side != 0 && sideHere != side) ++turns;
    side = sideHere;
  }
  return turns;
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
  const QList<QPointF> steady = Steady(drawn);
  const QList<QPointF> made = Resample(steady, kSamples);
  const QList<QPointF> wanted = Resample(median, kSamples);
  QList<QPointF> backwards(wanted.rbegin(), wanted.rend());
  const qreal apart = FrechetDistance(made, wanted);
  // A reversed short stroke may well begin and end within the tolerance, so the direction comes
  // first: the ends' order where the stroke has ends apart, else which way round fits better.
  const QPointF chord = median.last() - median.first();
  const bool hasChord = Distance(QPointF(), chord) >= kShapeTolerance * kBoxSize;
  if (hasChord ? QPointF::dotProduct(chord, made.last() - made.first()) <= 0
               : length >= kTapLength * kBoxSize && FrechetDistance(made, backwards) < apart)
    return Verdict::WrongDirection;
  // A scribble along the path may start and end in place, and steadying evens it out.
  if (Turns(median, drawn) > kMostTurns) return Verdict::OffLine;
  // One tolerance for every stroke: a hand that wobbles moves a short stroke whole as far as a
  // long one. Half a short stroke is told by its length instead.
  const qreal limit = kShapeTolerance * kBoxSize;
  const qreal madeLength = LineLength(made);
  if (Distance(made.first(), wanted.first()) > limit) return Verdict::WrongStart;
  if (Distance(made.last(), wanted.last()) > limit)
    return madeLength < length ? Verdict::Unfinished : Verdict::WrongEnd;
  if (apart > limit) return Verdict::OffLine;
  // Steadying draws each end in by about a point's spacing: kEndsSlack.
  if (madeLength < kShortestShare * length - kEndsSlack * kBoxSize) return Verdict::Unfinished;
  const std::optional<Hook> hook = FindHook(median);
  if (hook && !HookDrawn(steady, *hook)) return Verdict::Unfinished;
  return Verdict::Accepted;
}

}  // namespace writing
