// SPDX-License-Identifier: GPL-3.0-or-later
// The stroke matcher on its own: strokes drawn in widget pixels on a grid shown at scale 1 and
// 2.75, judged against a long bar and a short dot.
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
};

void TestStrokeMatcher::match_data() {
  QTest::addColumn<qreal>("scale");
  QTest::addColumn<bool>("expectDot");
  QTest::addColumn<bool>("dot");
  QTest::addColumn<qreal>("from");
  QTest::addColumn<qreal>("to");
  QTest::addColumn<QPointF>("shift");
  QTest::addColumn<qreal>("jitter");
  QTest::addColumn<Verdict>("verdict");
  const qreal edge = writing::kAverageTolerance;
  // The start's tolerance as a share of the bar's length.
  const qreal ends = writing::kEndTolerance * writing::kBoxSize / writing::LineLength(kBar);
  for (const qreal scale : {1.0, 2.75}) {
    const QByteArray at = QByteArray::number(scale);
    auto row = [&](const char* name, bool expectDot = false) -> QTestData& {
      return QTest::newRow((at + " " + name).constData()) << scale << expectDot;
    };
    row("bar exactly") << false << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::Accepted;
    row("dot exactly", true) << true << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::Accepted;
    row("bar reversed") << false << 1.0 << 0.0 << QPointF() << 0.0 << Verdict::WrongDirection;
    row("dot reversed", true) << true << 1.0 << 0.0 << QPointF() << 0.0 << Verdict::WrongDirection;
    row("bar shifted to the edge")
        << false << 0.0 << 1.0 << QPointF(0, edge - 0.005) << 0.0 << Verdict::Accepted;
    row("bar shifted past the edge")
        << false << 0.0 << 1.0 << QPointF(0, edge + 0.005) << 0.0 << Verdict::OffLine;
    row("bar begun late, at the edge")
        << false << (ends - 0.01) << 1.0 << QPointF() << 0.0 << Verdict::Accepted;
    row("bar begun late, past the edge")
        << false << (ends + 0.01) << 1.0 << QPointF() << 0.0 << Verdict::WrongStart;
    row("bar ended early, past the edge")
        << false << 0.0 << (1 - ends - 0.01) << QPointF() << 0.0 << Verdict::WrongEnd;
    row("bar with a hand's jitter")
        << false << 0.0 << 1.0 << QPointF(0.01, 0.02) << 0.04 << Verdict::Accepted;
    row("dot with a hand's jitter", true)
        << true << 0.0 << 1.0 << QPointF(-0.02, 0.01) << 0.02 << Verdict::Accepted;
    // The dot drawn where the bar is expected: it starts far from the bar's start.
    row("another stroke") << true << 0.0 << 1.0 << QPointF() << 0.0 << Verdict::WrongStart;
    row("a tap") << false << 0.0 << 0.01 << QPointF() << 0.0 << Verdict::TooShort;
  }
}

void TestStrokeMatcher::match() {
  QFETCH(qreal, scale);
  QFETCH(bool, expectDot);
  QFETCH(bool, dot);
  QFETCH(qreal, from);
  QFETCH(qreal, to);
  QFETCH(QPointF, shift);
  QFETCH(qreal, jitter);
  QFETCH(Verdict, verdict);
  const QRectF grid(40 * scale, 60 * scale, 300 * scale, 300 * scale);
  const QList<QPointF> expected = expectDot ? kDot : kBar;
  QList<QPointF> inBox;
  for (const QPointF& p : Drawn(dot ? kDot : kBar, grid, from, to, shift, jitter))
    inBox << writing::ToBox(p, grid);
  QCOMPARE(writing::MatchStroke(expected, inBox), verdict);
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

QTEST_GUILESS_MAIN(TestStrokeMatcher)
#include "test_stroke_matcher.moc"
