// SPDX-License-Identifier: GPL-3.0-or-later
// Judging a stroke the child drew against the stroke expected, without any widget. Everything is
// measured in the character's 1024 box, so the tolerances are shares of the grid whatever size
// the grid is shown at.
#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

namespace writing {

enum class Verdict {
  Accepted,
  TooShort,        // a tap, not a stroke: neither accepted nor a miss
  WrongStart,      // begins too far from the stroke's start
  WrongEnd,        // ends too far from the stroke's end
  WrongDirection,  // drawn the other way round
  OffLine,         // strays from the centre line on average
};

// Shares of the grid's side.
inline constexpr qreal kEndTolerance = 0.15;      // start and end
inline constexpr qreal kAverageTolerance = 0.10;  // mean distance between the two lines
inline constexpr qreal kTapLength = 0.02;         // shorter than this is a tap

// Both lines in box coordinates; `drawn` in the order the points came.
Verdict MatchStroke(const QList<QPointF>& median, const QList<QPointF>& drawn);

// From widget coordinates of a grid shown in `grid` to the box, and back.
QPointF ToBox(const QPointF& p, const QRectF& grid);
QPointF FromBox(const QPointF& p, const QRectF& grid);

qreal LineLength(const QList<QPointF>& line);
// The point at `fraction` (0..1) of the line's length.
QPointF PointAlong(const QList<QPointF>& line, qreal fraction);
// The line's first `fraction` of its length.
QList<QPointF> LineStart(const QList<QPointF>& line, qreal fraction);

}  // namespace writing
