// SPDX-License-Identifier: GPL-3.0-or-later
// The scheduler against ts-fsrs 5.4.2's own results for the same review sequences
// (fsrs_reference.tsv, made by make_fsrs_reference.cjs; CI makes it again and compares).
#include <QtTest>

#include <QFile>

#include "review/fsrs.h"

using review::Card;
using review::Grade;
using review::Scheduler;

namespace {

struct Step {
  int gap = 0;
  int grade = 0;
  double retrievability = 0, stability = 0, difficulty = 0;
  int interval = 0, reps = 0, lapses = 0;
};

QMap<int, QList<Step>> ReadReference() {
  QFile file(QStringLiteral(FSRS_REFERENCE));
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", FSRS_REFERENCE);
  QMap<int, QList<Step>> sequences;
  file.readLine();  // the column names
  while (!file.atEnd()) {
    const QList<QByteArray> f = file.readLine().trimmed().split('\t');
    if (f.size() != 9) continue;
    sequences[f[0].toInt()].append({f[1].toInt(), f[2].toInt(), f[3].toDouble(), f[4].toDouble(),
                                    f[5].toDouble(), f[6].toInt(), f[7].toInt(), f[8].toInt()});
  }
  return sequences;
}

bool Near(double actual, double expected) {
  return std::abs(actual - expected) <= 1e-4 * std::max(std::abs(expected), 1e-9);
}

}  // namespace

Q_DECLARE_METATYPE(QList<Step>)

class FsrsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void agreesWithReference_data() {
    QTest::addColumn<QList<Step>>("steps");
    const auto sequences = ReadReference();
    QVERIFY2(sequences.size() >= 200, "the reference holds fewer than 200 sequences");
    for (auto it = sequences.begin(); it != sequences.end(); ++it)
      QTest::addRow("sequence %d", it.key()) << it.value();
  }
  void agreesWithReference() {
    QFETCH(QList<Step>, steps);
    const Scheduler scheduler;
    Card card;
    int day = QDate(2026, 1, 1).toJulianDay();
    for (int i = 0; i < steps.size(); ++i) {
      const Step& s = steps[i];
      day += s.gap;
      const QByteArray at = "review " + QByteArray::number(i + 1);
      QVERIFY2(Near(scheduler.Retrievability(card, day), s.retrievability), at);
      card = scheduler.Review(card, day, Grade(s.grade));
      QVERIFY2(Near(card.stability, s.stability), at + " stability");
      QVERIFY2(Near(card.difficulty, s.difficulty), at + " difficulty");
      // The reference lets Good and Easy pass the maximum by a day or two; ours never do.
      QCOMPARE(card.scheduledDays, std::min(s.interval, 365));
      QCOMPARE(card.due, day + card.scheduledDays);
      QCOMPARE(card.reps, s.reps);
      QCOMPARE(card.lapses, s.lapses);
    }
  }

  // A clock set back before the last review is the same day, not a negative gap; a stored card
  // whose memory another program left out of range (either way) starts again as a new card.
  void untrustedDaysAndValues_data() {
    QTest::addColumn<int>("backwards");
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("difficulty");
    QTest::addColumn<int>("interval");
    QTest::newRow("same day") << 0 << 10.0 << 5.0 << 11;
    QTest::newRow("a day back") << 1 << 10.0 << 5.0 << 11;
    QTest::newRow("difficulty below range") << 0 << 10.0 << 0.5 << 2;
    QTest::newRow("stability not a number") << 0 << qQNaN() << 5.0 << 2;
    QTest::newRow("difficulty at the top") << 0 << 10.0 << 10.0 << 11;
    QTest::newRow("difficulty past the top") << 0 << 10.0 << 10.01 << 2;
    QTest::newRow("stability at the model's bound") << 0 << 36500.0 << 5.0 << 365;
    QTest::newRow("stability past it") << 0 << 36500.5 << 5.0 << 2;
  }
  void untrustedDaysAndValues() {
    QFETCH(int, backwards);
    QFETCH(double, stability);
    QFETCH(double, difficulty);
    QFETCH(int, interval);
    const Scheduler scheduler;
    Card card;
    card.state = review::MemoryState::Review;
    card.stability = stability;
    card.difficulty = difficulty;
    card.lastReview = 2461000;
    // Such a card ranks as the likeliest forgotten; a sound one does not.
    QCOMPARE(scheduler.Retrievability(card, card.lastReview + 1) == 0, interval == 2);
    const Card next = scheduler.Review(card, card.lastReview - backwards, Grade::Good);
    QVERIFY(std::isfinite(next.stability) && next.stability > 0);
    QCOMPARE(next.scheduledDays, interval);
  }

  // Whole days as the reference rounds them (halves up), within 1 .. the maximum interval.
  void intervalsInWholeDays_data() {
    QTest::addColumn<double>("stability");
    QTest::addColumn<int>("days");
    QTest::newRow("just under a half") << 2.49 << 2;
    QTest::newRow("a half") << 2.5 << 3;
    QTest::newRow("under a day") << 0.2 << 1;
    QTest::newRow("at the maximum") << 365.4 << 365;
    QTest::newRow("past the maximum") << 365.5 << 365;
  }
  void intervalsInWholeDays() {
    QFETCH(double, stability);
    QFETCH(int, days);
    QCOMPARE(Scheduler().NextInterval(stability), days);
  }
};

QTEST_GUILESS_MAIN(FsrsTest)
#include "test_fsrs.moc"
