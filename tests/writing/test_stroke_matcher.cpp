// SPDX-License-Identifier: GPL-3.0-or-later
// The stroke matcher on its own: strokes drawn in widget pixels on a grid shown at scale 1 and
// 2.75, judged against fixed shapes with fixed verdicts (the tolerances must not move the cases),
// and strokes of real characters drawn as a child gets them wrong.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QtTest>

#include "support/strokes.h"
#include "writing/stroke_data.h"
#include "writing/stroke_matcher.h"

using writing::Verdict;

Q_DECLARE_METATYPE(writing::Verdict)

namespace {

const QList<QPointF> kBar = {QPointF(150, 500), QPointF(510, 505), QPointF(870, 500)};
const QList<QPointF> kDot = {QPointF(480, 300), QPointF(540, 380)};
// A U open at the top, drawn down, across and up.
const QList<QPointF> kU = {QPointF(300, 250), QPointF(300, 700), QPointF(700, 700),
                           QPointF(700, 250)};
enum Shape { Bar, Dot, U, UMouth, UMouthBackwards, BarScribble };

// `line` as a scribble along it: `zigs` corners to alternate sides, `amplitude` of the grid off.
QList<QPointF> Zigzag(const QList<QPointF>& line, int zigs, qreal amplitude) {
  QList<QPointF> out{line.first()};
  for (int k = 1; k <= zigs; ++k) {
    const qreal f = k / (zigs + 1.0);
    QPointF t = writing::PointAlong(line, f + 0.01) - writing::PointAlong(line, f - 0.01);
    t /= std::hypot(t.x(), t.y());
    out << writing::PointAlong(line, f) +
               QPointF(-t.y(), t.x()) * (k % 2 ? amplitude : -amplitude) * writing::kBoxSize;
  }
  return out << line.last();
}

QList<QPointF> ShapeLine(Shape shape) {
  switch (shape) {
    case Bar:
      return kBar;
    case Dot:
      return kDot;
    case U:
      return kU;
    case UMouth:
      return {kU.first(), kU.last()};
    case UMouthBackwards:
      return {kU.last(), kU.first()};
    case BarScribble:
      return Zigzag(kBar, 12, 0.15);
  }
  return {};
}

// `line` in the box, run from `from` to `to` (shares of its length), moved by `shift` (shares of
// the grid), as a hand draws it: a point every few pixels, with `jitter` (share of the grid).
QList<QPointF> Drawn(const QList<QPointF>& line, const QRectF& grid, qreal from, qreal to,
                     QPointF shift, qreal jitter) {
  QRandomGenerator random(7);
  QList<QPointF> points;
  const int steps = 40;
  for (int i = 0; i <= steps; ++i) {
    const QPointF noise(random.bounded(2.0) - 1, random.bounded(2.0) - 1);
    const QPointF box = writing::PointAlong(line, from + (to - from) * i / steps) +
                        (shift + jitter * noise) * writing::kBoxSize;
    points << writing::FromBox(box, grid);
  }
  return points;
}

}  // namespace

class TestStrokeMatcher : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void match_data();
  void match();
  void sampleCourseTraceable();
  void realStrokes_data();
  void realStrokes();
};

void TestStrokeMatcher::match_data() {
  QTest::addColumn<qreal>("scale");
  QTest::addColumn<int>("expected");  // Shape
  QTest::addColumn<int>("drawn");     // Shape
  QTest::addColumn<qreal>("from");    // share of the drawn line's length
  QTest::addColumn<qreal>("to");
  QTest::addColumn<QPointF>("shift");  // share of the box
  QTest::addColumn<qreal>("jitter");
  QTest::addColumn<Verdict>("verdict");
  // The bar is 720 long: 0.05 of the box is 0.071 of it, 0.2 of the box 0.284.
  for (const qreal scale : {1.0, 2.75}) {
    const QByteArray at = QByteArray::number(scale);
    auto row = [&](const char* name, Shape expected, Shape drawn) -> QTestData& {
      return QTest::newRow((at + " " + name).constData()) << scale << int(expected) << int(drawn);
    };
    row("bar exactly", Bar, Bar) << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::Accepted;
    row("dot exactly", Dot, Dot) << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::Accepted;
    row("U exactly", U, U) << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::Accepted;
    row("bar reversed", Bar, Bar) << 1.0 << 0.0 << QPointF() << 0.0 << Verdict::WrongDirection;
    row("dot reversed", Dot, Dot) << 1.0 << 0.0 << QPointF() << 0.0 << Verdict::WrongDirection;
    row("U reversed", U, U) << 1.0 << 0.0 << QPointF() << 0.0 << Verdict::WrongDirection;
    row("bar 0.05 of the box lower", Bar, Bar)
        << 0.0 << 1.0 << QPointF(0, 0.05) << 0.0 << Verdict::Accepted;
    row("bar 0.1 of the box lower", Bar, Bar)
        << 0.0 << 1.0 << QPointF(0, 0.1) << 0.0 << Verdict::WrongStart;
    row("bar begun 0.05 of the box late", Bar, Bar)
        << 0.071 << 1.0 << QPointF() << 0.0 << Verdict::Accepted;
    row("bar begun 0.2 of the box late", Bar, Bar)
        << 0.284 << 1.0 << QPointF() << 0.0 << Verdict::WrongStart;
    row("bar ended 0.2 of the box early", Bar, Bar)
        << 0.0 << 0.716 << QPointF() << 0.0 << Verdict::Unfinished;
    row("half the dot", Dot, Dot) << 0.0 << 0.5 << QPointF() << 0.0 << Verdict::Unfinished;
    row("U straight across its mouth", U, UMouth)
        << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::OffLine;
    row("U's mouth drawn backwards", U, UMouthBackwards)
        << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::WrongDirection;
    row("bar with a hand's jitter", Bar, Bar)
        << 0.0 << 1.0 << QPointF(0.01, 0.02) << 0.04 << Verdict::Accepted;
    row("U with a hand's jitter", U, U)
        << 0.0 << 1.0 << QPointF(-0.01, 0.01) << 0.04 << Verdict::Accepted;
    row("dot with a hand's jitter", Dot, Dot)
        << 0.0 << 1.0 << QPointF(-0.01, 0.01) << 0.02 << Verdict::Accepted;
    // The dot drawn where the bar is expected: it starts far from the bar's start.
    row("another stroke", Bar, Dot) << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::WrongStart;
    row("a tap", Bar, Bar) << 0.0 << 0.01 << QPointF() << 0.0 << Verdict::TooShort;
    // A wobbling hand moves a short stroke whole; within the tolerance it is still the stroke.
    row("dot moved by a wobbling hand", Dot, Dot)
        << 0.0 << 1.0 << QPointF(0.035, -0.035) << 0.0 << Verdict::Accepted;
    // A scribble along the bar, its corners the few points a quick hand gives.
    row("bar scribbled along it", Bar, BarScribble)
        << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::OffLine;
  }
}

void TestStrokeMatcher::match() {
  QFETCH(qreal, scale);
  QFETCH(int, expected);
  QFETCH(int, drawn);
  QFETCH(qreal, from);
  QFETCH(qreal, to);
  QFETCH(QPointF, shift);
  QFETCH(qreal, jitter);
  QFETCH(Verdict, verdict);
  const QRectF grid(40 * scale, 60 * scale, 300 * scale, 300 * scale);
  QList<QPointF> inBox;
  for (const QPointF& p : Drawn(ShapeLine(Shape(drawn)), grid, from, to, shift, jitter))
    inBox << writing::ToBox(p, grid);
  QCOMPARE(writing::MatchStroke(ShapeLine(Shape(expected)), inBox), verdict);
}

// Every character of the sample course has strokes, each accepted along its own centre line and
// refused along the next stroke's.
void TestStrokeMatcher::sampleCourseTraceable() {
  REQUIRE_STROKE_FILE();
  writing::StrokeData data;
  QVERIFY(data.Open(testing::BuiltStrokeFile()));
  QFile course(QStringLiteral(":/sample_course.json"));
  QVERIFY(course.open(QIODevice::ReadOnly));
  const QJsonArray items =
      QJsonDocument::fromJson(course.readAll())["character"]["items"].toArray();
  QVERIFY(!items.isEmpty());
  for (const QJsonValue& item : items) {
    const QString name = item[QLatin1String("name")].toString();
    const auto strokes = data.Find(name.toUcs4().first());
    QVERIFY2(strokes, qPrintable(name));
    for (qsizetype i = 0; i < strokes->size(); ++i) {
      const QList<QPointF>& line = (*strokes)[i].median;
      QVERIFY2(writing::MatchStroke(line, line) == Verdict::Accepted, qPrintable(name));
      if (i + 1 < strokes->size())
        QVERIFY2(writing::MatchStroke((*strokes)[i + 1].median, line) != Verdict::Accepted,
                 qPrintable(QStringLiteral("%1, stroke %2").arg(name).arg(i + 2)));
    }
  }
}

// Strokes of the judge table's kinds as children get them wrong, on the real data.
void TestStrokeMatcher::realStrokes_data() {
  QTest::addColumn<QString>("character");
  QTest::addColumn<int>("stroke");  // the due stroke, from 0
  QTest::addColumn<QString>("drawn");
  QTest::addColumn<Verdict>("verdict");
  const QString 我 = QStringLiteral("我"), 绿 = QStringLiteral("绿"), 看 = QStringLiteral("看");
  QTest::newRow("我's 竖钩 exactly") << 我 << 2 << "exact" << Verdict::Accepted;
  QTest::newRow("我's 竖钩 drawn straight") << 我 << 2 << "straight" << Verdict::OffLine;
  QTest::newRow("我's 竖钩 half") << 我 << 2 << "half" << Verdict::Unfinished;
  QTest::newRow("绿's 横折 drawn as a 横") << 绿 << 3 << "straight" << Verdict::OffLine;
  QTest::newRow("绿's 横折 reversed") << 绿 << 3 << "reversed" << Verdict::WrongDirection;
  QTest::newRow("绿's 横 instead of the next") << 绿 << 5 << "previous" << Verdict::WrongStart;
  QTest::newRow("看's 横 instead of the next") << 看 << 7 << "previous" << Verdict::WrongStart;
  QTest::newRow("看's 横 for the one before") << 看 << 6 << "next" << Verdict::WrongStart;
  QTest::newRow("我's 竖钩 without its hook") << 我 << 2 << "hookless" << Verdict::Unfinished;
  QTest::newRow("附's 横撇弯钩 without its hook") << QStringLiteral("附") << 0 << "hookless"
                                               << Verdict::Unfinished;
  QTest::newRow("我's 竖钩 as a zigzag along it") << 我 << 2 << "zigzag" << Verdict::OffLine;
  QTest::newRow("我's 点 at half its size, in place") << 我 << 6 << "half size" << Verdict::Unfinished;
  QTest::newRow("我's 点 moved whole by a wobble") << 我 << 6 << "moved" << Verdict::Accepted;
}

void TestStrokeMatcher::realStrokes() {
  REQUIRE_STROKE_FILE();
  QFETCH(QString, character);
  QFETCH(int, stroke);
  QFETCH(QString, drawn);
  QFETCH(Verdict, verdict);
  writing::StrokeData data;
  QVERIFY(data.Open(testing::BuiltStrokeFile()));
  const auto strokes = data.Find(character.toUcs4().first());
  QVERIFY(strokes && stroke < strokes->size());
  const QList<QPointF> due = (*strokes)[stroke].median;
  QRectF bounds(due.first(), QSizeF());
  for (const QPointF& p : due) bounds |= QRectF(p, QSizeF(1, 1));
  QList<QPointF> line;
  if (drawn == "exact") line = due;
  if (drawn == "straight") line = {due.first(), due.last()};
  if (drawn == "half") line = writing::LineStart(due, 0.5);
  if (drawn == "reversed") line = QList<QPointF>(due.rbegin(), due.rend());
  if (drawn == "previous") line = (*strokes).value(stroke - 1).median;
  if (drawn == "next") line = (*strokes).value(stroke + 1).median;
  if (drawn == "hookless")  // up to the last corner it turns back at
    for (qsizetype k = due.size() - 2; k >= 1 && line.isEmpty(); --k)
      if (QPointF::dotProduct(due[k] - due[k - 1], due.last() - due[k]) < 0) line = due.mid(0, k + 1);
  if (drawn == "zigzag") line = Zigzag(due, 12, 0.15);
  for (const QPointF& p : due) {
    if (drawn == "half size") line << bounds.center() + (p - bounds.center()) / 2;
    if (drawn == "moved") line << p + QPointF(0.03, 0.03) * writing::kBoxSize;
  }
  // A scribble as a hand gives it: a few points to each zig.
  QCOMPARE(writing::MatchStroke(due, writing::Resample(line, drawn == "zigzag" ? 13 * 4 : 30)),
           verdict);
}

QTEST_GUILESS_MAIN(TestStrokeMatcher)
#include "test_stroke_matcher.moc"
