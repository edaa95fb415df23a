// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how the stroke judge decides over every stroke of the common characters: the share
// accepted of strokes drawn exactly, with a trembling hand and a wobbling one, cut short, straight
// across a bend, without their hook, at half size, backwards, scribbled along their path, and a
// neighbouring stroke drawn instead of the due one.
//
// The common characters are the first level of GB 2312, the 3,755 characters that standard chose
// as the ones in common use (decoded with the C library's iconv; no frequency list is at hand),
// those the stroke file has.
//
//   bench_stroke_judge [tries per stroke for the trembling hand, default 20]
#include <QCoreApplication>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>
#include <iconv.h>

#include "writing/stroke_data.h"
#include "writing/stroke_matcher.h"

using writing::kBoxSize;

namespace {

QList<char32_t> CommonCharacters() {
  QList<char32_t> out;
  iconv_t cd = iconv_open("UTF-32LE", "GB2312");
  if (cd == iconv_t(-1)) return out;
  // Level one: rows 16 to 55, 94 cells a row, the last row ending at its 89th.
  for (int row = 0xB0; row <= 0xD7; ++row)
    for (int cell = 0xA1; cell <= (row == 0xD7 ? 0xF9 : 0xFE); ++cell) {
      char in[2] = {char(row), char(cell)};
      char32_t c = 0;
      char* from = in;
      char* to = reinterpret_cast<char*>(&c);
      size_t left = 2, room = 4;
      if (iconv(cd, &from, &left, &to, &room) != size_t(-1) && room == 0) out << c;
    }
  iconv_close(cd);
  return out;
}

// The line as a hand draws it: a point every 1 % of the grid, at least 12 (a slow hand gives
// several points even for a dot), each moved by up to `jitter` of the grid along each axis.
QList<QPointF> Drawn(const QList<QPointF>& line, qreal jitter, QRandomGenerator* random) {
  const int points = qMax(12, int(writing::LineLength(line) / (0.01 * kBoxSize)));
  QList<QPointF> out;
  for (int i = 0; i < points; ++i) {
    QPointF p = writing::PointAlong(line, i / (points - 1.0));
    if (jitter > 0)
      p += QPointF(random->bounded(2.0) - 1, random->bounded(2.0) - 1) * jitter * kBoxSize;
    out << p;
  }
  return out;
}

// The direction of the line at `fraction` of its length, as a unit vector.
QPointF Tangent(const QList<QPointF>& line, qreal fraction) {
  const QPointF d = writing::PointAlong(line, qMin(1.0, fraction + 0.01)) -
                    writing::PointAlong(line, qMax(0.0, fraction - 0.01));
  const qreal l = std::hypot(d.x(), d.y());
  return l > 0 ? d / l : QPointF(1, 0);
}

// A scribble along the line: twelve zigs to alternate sides, `amplitude` of the grid off it.
QList<QPointF> Zigzag(const QList<QPointF>& line, qreal amplitude) {
  constexpr int kZigs = 12;
  QList<QPointF> out{line.first()};
  for (int k = 1; k <= kZigs; ++k) {
    const qreal f = k / (kZigs + 1.0);
    const QPointF t = Tangent(line, f);
    out << writing::PointAlong(line, f) + QPointF(-t.y(), t.x()) * (k % 2 ? 1 : -1) * amplitude * kBoxSize;
  }
  out << line.last();
  return out;
}

// A quick hand gives few points: each corner of `line` and one point between.
QList<QPointF> Quick(const QList<QPointF>& line) {
  QList<QPointF> out{line.first()};
  for (qsizetype i = 1; i < line.size(); ++i) out << (line[i - 1] + line[i]) / 2 << line[i];
  return out;
}

// The line as a hand that wobbles draws it: each axis swung by `amount` of the grid along a wave
// half to a whole grid long, with its own phase, so neighbouring points move together (a quicker
// swing is the jitter rows' business).
QList<QPointF> Wobbled(const QList<QPointF>& line, qreal amount, QRandomGenerator* random) {
  const qreal length = writing::LineLength(line) / kBoxSize;
  qreal wave[2], phase[2];
  for (int axis = 0; axis < 2; ++axis) {
    wave[axis] = 0.5 + random->bounded(0.5);
    phase[axis] = random->bounded(2 * M_PI);
  }
  QList<QPointF> out = Drawn(line, 0, random);
  for (int i = 0; i < out.size(); ++i) {
    const qreal along = i / (out.size() - 1.0) * length;
    out[i] += QPointF(std::sin(2 * M_PI * along / wave[0] + phase[0]),
                      std::sin(2 * M_PI * along / wave[1] + phase[1])) *
              amount * kBoxSize;
  }
  return out;
}

// The line without its hook: the end after the last sharp turn (more than a right angle) in the
// last 30 % of its length. Empty when the line has no hook.
QList<QPointF> WithoutHook(const QList<QPointF>& line) {
  const qreal length = writing::LineLength(line);
  qreal tail = 0;
  for (qsizetype k = line.size() - 2; k >= 1; --k) {
    tail += QLineF(line[k], line[k + 1]).length();
    if (tail > 0.3 * length) break;
    const QPointF in = line[k] - line[k - 1], out = line.last() - line[k];
    if (QPointF::dotProduct(in, out) < 0) return line.mid(0, k + 1);
  }
  return {};
}

// The line at half its size about the middle of its bounds.
QList<QPointF> HalfSize(const QList<QPointF>& line) {
  QRectF bounds(line.first(), QSizeF());
  for (const QPointF& p : line) bounds |= QRectF(p, QSizeF(0.001, 0.001));
  QList<QPointF> out;
  for (const QPointF& p : line) out << bounds.center() + (p - bounds.center()) * 0.5;
  return out;
}

// How far the centre line strays from the straight line between its ends, in the box.
qreal Bend(const QList<QPointF>& line) {
  const QLineF chord(line.first(), line.last());
  qreal most = 0;
  for (const QPointF& p : line) {
    const QPointF d = chord.p2() - chord.p1();
    const qreal l2 = QPointF::dotProduct(d, d);
    const qreal t = l2 > 0 ? qBound(0.0, QPointF::dotProduct(p - chord.p1(), d) / l2, 1.0) : 0;
    most = qMax(most, QLineF(p, chord.p1() + t * d).length());
  }
  return most;
}

struct Row {
  const char* name;
  const char* target;
  bool atLeast;
  double limit;
  qint64 accepted = 0, tried = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int tries = argc > 1 ? qMax(1, atoi(argv[1])) : 20;
  writing::StrokeData data;
  if (!data.Open(writing::StrokeFilePath())) {
    std::fprintf(stderr, "%s\n", qPrintable(data.Error()));
    return 1;
  }
  // A bend counts when the centre line leaves the straight line between its ends by more than the
  // judge's tolerance; smaller ones are shown apart.
  const qreal bent = writing::kShapeTolerance * kBoxSize;
  Row rows[] = {
      {"exact centre line", "= 100 %", true, 100},
      {"4 % jitter", ">= 99 %", true, 99},
      {"6 % jitter", ">= 90 %", true, 90},
      {"straight across a bend", "<= 5 %", false, 5},
      {"  of them bends 0.075-0.10", "-", false, -1},
      {"  bends 0.05-0.075, not counted", "-", false, -1},
      {"first half of the stroke", "<= 5 %", false, 5},
      {"reversed", "= 0 %", false, 0},
      {"neighbouring stroke", "<= 2 %", false, 2},
      {"30 % too long (forgivable)", "-", false, -1},
      {"4 % wobble, a smooth wave", ">= 97 %", true, 97},
      {"zigzag along the path, 15 %", "<= 2 %", false, 2},
      {"zigzag along the path, 40 %", "<= 1 %", false, 1},
      {"zigzag 15 %, a quick hand", "<= 2 %", false, 2},
      {"hook left out", "<= 5 %", false, 5},
      {"half size in place", "<= 10 %", false, 10},
  };
  QRandomGenerator random(2024);
  int characters = 0, missing = 0;
  qint64 strokes = 0;
  const QList<char32_t> common = CommonCharacters();
  for (const char32_t c : common) {
    const auto found = data.Find(c);
    if (!found) {
      ++missing;
      continue;
    }
    ++characters;
    const writing::CharacterStrokes& s = *found;
    for (qsizetype i = 0; i < s.size(); ++i) {
      const QList<QPointF>& line = s[i].median;
      if (line.size() < 2) continue;
      ++strokes;
      auto judge = [&](Row& row, const QList<QPointF>& drawn) {
        ++row.tried;
        if (writing::MatchStroke(line, drawn) == writing::Verdict::Accepted) ++row.accepted;
      };
      judge(rows[0], Drawn(line, 0, &random));
      for (int t = 0; t < tries; ++t) {
        judge(rows[1], Drawn(line, 0.04, &random));
        judge(rows[2], Drawn(line, 0.06, &random));
      }
      const qreal bend = Bend(line);
      const QList<QPointF> straight = Drawn({line.first(), line.last()}, 0, &random);
      if (bend > bent) judge(rows[3], straight);
      if (bend > bent && bend <= 0.10 * kBoxSize) judge(rows[4], straight);
      if (bend > 0.05 * kBoxSize && bend <= bent) judge(rows[5], straight);
      judge(rows[6], Drawn(writing::LineStart(line, 0.5), 0, &random));
      judge(rows[7], Drawn(QList<QPointF>(line.rbegin(), line.rend()), 0, &random));
      for (const qsizetype n : {i - 1, i + 1})
        if (n >= 0 && n < s.size()) judge(rows[8], Drawn(s[n].median, 0, &random));
      QList<QPointF> longer = line;
      longer.last() += (line.last() - line[line.size() - 2]) /
                       QLineF(line[line.size() - 2], line.last()).length() *
                       (0.3 * writing::LineLength(line));
      judge(rows[9], Drawn(longer, 0, &random));
      for (int t = 0; t < tries; ++t) judge(rows[10], Wobbled(line, 0.04, &random));
      judge(rows[11], Drawn(Zigzag(line, 0.15), 0, &random));
      judge(rows[12], Drawn(Zigzag(line, 0.40), 0, &random));
      const QList<QPointF> hookless = WithoutHook(line);
      if (!hookless.isEmpty()) judge(rows[14], Drawn(hookless, 0, &random));
      judge(rows[15], Drawn(HalfSize(line), 0, &random));
      judge(rows[13], Quick(Zigzag(line, 0.15)));
    }
  }
  std::printf("%d characters of GB 2312 level one (%d without stroke data), %lld strokes, "
              "%d tries a stroke with jitter and with wobble\n",
              characters, missing, qlonglong(strokes), tries);
  std::printf("tolerance (share of the grid): %.3f; drawn length at least %.2f of the stroke's "
              "(- %.2f); at most %d turns beyond %.2f; hooks from %.2f, drawn %.2f as far; a bend "
              "is > %.3f\n",
              writing::kShapeTolerance, writing::kShortestShare, writing::kEndsSlack,
              writing::kMostTurns, writing::kStray, writing::kHookLength,
              writing::kHookDrawnShare, bent / kBoxSize);
  std::printf("%-32s %8s %8s %8s  %s\n", "drawn", "accepted", "of", "share", "target");
  bool met = true;
  for (const Row& r : rows) {
    const double share = r.tried ? 100.0 * r.accepted / r.tried : 0;
    const bool ok = r.limit < 0 || (r.atLeast ? share >= r.limit : share <= r.limit);
    met = met && ok;
    std::printf("%-32s %8lld %8lld %7.2f%%  %s%s\n", r.name, qlonglong(r.accepted),
                qlonglong(r.tried), share, r.target, ok ? "" : "  MISSED");
  }
  return met ? 0 : 1;
}
