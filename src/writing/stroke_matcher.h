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
  Unfinished,      // stops part of the way along, leaves the hook out, or is drawn too small
  OffLine,         // leaves the stroke's path somewhere: a bend cut across, strays too far, or
                   // scribbles along it
};

// Shares of the grid's side (see the measurements in docs/ARCHITECTURE.md).
// The farthest the drawn path may be from the centre line, its start, end and bends included: a
// hand that wobbles moves a whole short stroke about as far.
inline constexpr qreal kShapeTolerance = 0.075;
// A stroke drawn shorter than this share of its length (less kEndsSlack of the grid) is half a
// stroke, or the stroke at half its size where it belongs.
inline constexpr qreal kShortestShare = 0.6;
inline constexpr qreal kEndsSlack = 0.01;
// A scribble along the path: the drawn points stray beyond kStray of the grid to one side, then
// the other, more than kMostTurns times.
inline constexpr qreal kStray = 0.1;
inline constexpr int kMostTurns = 2;
// A hook: the end after a turn back of more than a right angle, in the last kHookShare of the
// stroke and at least kHookLength long (a shorter one is lost in a trembling hand). The drawn
// stroke must turn back too, at least kHookDrawnShare as far.
inline constexpr qreal kHookShare = 0.3;
inline constexpr qreal kHookLength = 0.04;
inline constexpr qreal kHookDrawnShare = 0.25;
inline constexpr qreal kTapLength = 0.02;  // shorter than this is a tap

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
// `count` points evenly spaced along the line, its ends included.
QList<QPointF> Resample(const QList<QPointF>& line, int count);
// The discrete Fréchet distance: the shortest leash with which a walker on each line, neither
// ever stepping back, gets from the two starts to the two ends.
qreal FrechetDistance(const QList<QPointF>& a, const QList<QPointF>& b);

}  // namespace writing
