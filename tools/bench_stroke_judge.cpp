// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how the stroke judge decides over every stroke of the common characters: the share
// accepted of strokes drawn exactly, with a trembling hand, cut short, straight across a bend,
// backwards, and a neighbouring stroke drawn instead of the due one.
//
// The common characters are the first level of GB 2312, the 3,755 characters that standard chose
// as the ones in common use (decoded with the C library's iconv; no frequency list is at hand),
// those the stroke file has.
//
//   bench_stroke_judge [tries per stroke for the trembling hand, default 20]
#include <QCoreApplication>
#include <QRandomGenerator>
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
    }
  }
  std::printf("%d characters of GB 2312 level one (%d without stroke data), %lld strokes, "
              "%d tries a stroke with jitter\n",
              characters, missing, qlonglong(strokes), tries);
  std::printf("tolerance (share of the grid): %.3f (short strokes %.2f of their length, at least "
              "%.3f); a bend is > %.3f\n",
              writing::kShapeTolerance, writing::kShapeShare,
              writing::kShapeFloor, bent / kBoxSize);
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
