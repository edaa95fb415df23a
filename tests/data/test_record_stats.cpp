// SPDX-License-Identifier: GPL-3.0-or-later
// The learning record's chart data from fixed counted records, without a database or a window.
#include <QtTest>

#include "data/record_stats.h"

using namespace records;

Q_DECLARE_METATYPE(QList<records::DayCount>)
Q_DECLARE_METATYPE(QList<records::ItemCount>)
Q_DECLARE_METATYPE(QList<records::DrillSeries>)

namespace {

DayCount At(const char* day, Module module, int count) {
  return {DayNumber(QDate::fromString(QLatin1String(day), Qt::ISODate)), module, count};
}

// "0,0,3" per module, oldest day first.
QStringList Rendered(const DailyPractice& practice) {
  QStringList modules;
  for (const QList<int>& perDay : practice.counts) {
    QStringList days;
    for (int n : perDay) days << QString::number(n);
    modules << days.join(',');
  }
  return modules;
}

// A module's line: zeros with the given counts at the given day indexes.
QString Line(int days, const QList<std::pair<int, int>>& at = {}) {
  QStringList line(days, QStringLiteral("0"));
  for (const auto& [day, count] : at) line[day] = QString::number(count);
  return line.join(',');
}

QList<ItemCount> Counts(const QString& spec) {  // "山:5 水:1"
  QList<ItemCount> counts;
  for (const QString& part : spec.split(' ', Qt::SkipEmptyParts))
    counts.append({part.section(':', 0, 0), part.section(':', 1).toInt()});
  return counts;
}

DrillSeries Series(const char* at, const char* op, const char* results,
                   const char* firstAnswers = "") {
  const QString marks = QLatin1String(results);
  return {QDateTime::fromString(QLatin1String(at), Qt::ISODate), QLatin1String(op), marks,
          int(marks.count('1')) * 20, QString::fromUtf8(firstAnswers)};
}

}  // namespace

class RecordStatsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void practicePerDay_data() {
    QTest::addColumn<QList<DayCount>>("counts");
    QTest::addColumn<QString>("today");
    QTest::addColumn<int>("days");
    QTest::addColumn<QStringList>("expected");  // characters, poems, English, drill, writing
    QTest::addColumn<int>("total");
    const QString zeros7 = Line(7);
    QTest::newRow("nothing yet") << QList<DayCount>{} << "2026-12-07" << 7
                                 << QStringList{zeros7, zeros7, zeros7, zeros7, zeros7} << 0;
    QTest::newRow("a week, days outside left out")
        << QList<DayCount>{At("2026-12-07", Module::Character, 3),
                           At("2026-12-05", Module::Poem, 2),
                           At("2026-12-01", Module::Drill, 1),
                           At("2026-11-30", Module::Character, 5),
                           At("2026-12-08", Module::English, 9),
                           At("2026-12-06", Module::Writing, 4)}
        << "2026-12-07" << 7
        << QStringList{Line(7, {{6, 3}}), Line(7, {{4, 2}}), zeros7, Line(7, {{0, 1}}),
                       Line(7, {{5, 4}})}
        << 10;
    QTest::newRow("thirty days over the year's end")
        << QList<DayCount>{At("2026-12-05", Module::English, 4),
                           At("2026-12-04", Module::English, 7),
                           At("2027-01-03", Module::English, 1)}
        << "2027-01-03" << 30
        << QStringList{Line(30), Line(30), Line(30, {{0, 4}, {29, 1}}), Line(30), Line(30)} << 5;
  }
  void practicePerDay() {
    QFETCH(QList<DayCount>, counts);
    QFETCH(QString, today);
    QFETCH(int, days);
    QFETCH(QStringList, expected);
    QFETCH(int, total);
    const QDate last = QDate::fromString(today, Qt::ISODate);
    const DailyPractice practice = PracticePerDay(counts, last, days);
    QCOMPARE(practice.days.size(), days);
    QCOMPARE(practice.days.first(), last.addDays(1 - days));
    QCOMPARE(practice.days.last(), last);
    QCOMPARE(practice.total, total);
    QCOMPARE(Rendered(practice), expected);
  }

  // Minutes from the notes' times: a gap of five minutes is work, one second more is a break
  // (the note before it counts one minute); days outside the range and across midnight apart.
  void minutesPerDay_data() {
    QTest::addColumn<QStringList>("times");  // "MM-dd hh:mm:ss", oldest first
    QTest::addColumn<QString>("minutes");    // per day, 12-08 to 12-10
    QTest::newRow("none") << QStringList{} << "0,0,0";
    QTest::newRow("one note") << QStringList{"12-09 10:00:00"} << "0,1,0";
    QTest::newRow("gap at five minutes")
        << QStringList{"12-09 10:00:00", "12-09 10:05:00"} << "0,6,0";
    QTest::newRow("gap past five minutes")
        << QStringList{"12-09 10:00:00", "12-09 10:05:01"} << "0,2,0";
    QTest::newRow("across midnight")
        << QStringList{"12-08 23:58:00", "12-09 00:01:00"} << "1,1,0";
    QTest::newRow("before the range") << QStringList{"12-07 10:00:00", "12-10 10:00:00"}
                                      << "0,0,1";
  }
  void minutesPerDay() {
    QFETCH(QStringList, times);
    QFETCH(QString, minutes);
    QList<QDateTime> at;
    for (const QString& t : times)
      at << QDateTime::fromString("2026-" + t, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QStringList got;
    for (const int m : MinutesPerDay(at, QDate(2026, 12, 10), 3)) got << QString::number(m);
    QCOMPARE(got.join(','), minutes);
  }

  void mostAndNeverOpened_data() {
    QTest::addColumn<QStringList>("chapter");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("most");
    QTest::addColumn<QStringList>("never");
    const QStringList chapter = {"山", "水", "火", "木", "土"};
    QTest::newRow("most first, ties in chapter order")
        << chapter << "火:5 山:2 水:5" << 8 << "水:5 火:5 山:2" << QStringList{"木", "土"};
    QTest::newRow("other chapters' characters ignored")
        << chapter << "日:9 月:3 土:1" << 8 << "土:1" << QStringList{"山", "水", "火", "木"};
    QTest::newRow("at most the limit")
        << chapter << "山:1 水:2 火:3 木:4 土:5" << 2 << "土:5 木:4" << QStringList{};
    QTest::newRow("nothing opened") << chapter << "" << 8 << "" << chapter;
    QTest::newRow("empty chapter") << QStringList{} << "山:1" << 8 << "" << QStringList{};
    QTest::newRow("a character listed twice counts once")
        << QStringList{"山", "水", "山"} << "山:2" << 8 << "山:2" << QStringList{"水"};
  }
  void mostAndNeverOpened() {
    QFETCH(QStringList, chapter);
    QFETCH(QString, counts);
    QFETCH(int, limit);
    QFETCH(QString, most);
    QFETCH(QStringList, never);
    QStringList shown;
    for (const ItemCount& c : MostPractised(Counts(counts), chapter, limit))
      shown << QString("%1:%2").arg(c.item).arg(c.count);
    QCOMPARE(shown.join(' '), most);
    QCOMPARE(NeverOpened(Counts(counts), chapter), never);
  }

  void drillScores() {
    const DrillProgress p = DrillScores({Series("2026-12-07T10:00:00", "+", "11111"),
                                         Series("2026-12-06T09:00:00", "+", "11010"),
                                         Series("2026-12-07T09:30:00", "-", "00001")});
    QCOMPARE(p.scores[0].size(), 2);
    QCOMPARE(p.scores[0][0].score, 60);  // in time order, not in the order read
    QCOMPARE(p.scores[0][1].score, 100);
    QCOMPARE(p.scores[1].size(), 1);
    QCOMPARE(p.scores[1][0].at, QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    QCOMPARE(p.right[0], 8);
    QCOMPARE(p.shown[0], 2);
    QCOMPARE(p.RightPercent(0), 80);
    QCOMPARE(p.RightPercent(1), 20);
    QCOMPARE(DrillScores({}).RightPercent(0), -1);
    QVERIFY(!p.dailyAverages);

    // Too many series for one line: a point per day, at noon, with the day's average.
    const DrillProgress busy = DrillScores(
        {Series("2026-12-06T09:00:00", "+", "11111"), Series("2026-12-06T10:00:00", "+", "11000"),
         Series("2026-12-07T08:00:00", "+", "10000"), Series("2026-12-08T08:00:00", "+", "11111"),
         Series("2026-12-08T09:00:00", "+", "10000"), Series("2026-12-08T10:00:00", "+", "10000")},
        2);
    QVERIFY(busy.dailyAverages);
    QCOMPARE(busy.scores[0].size(), 3);
    QCOMPARE(busy.scores[0][0].at, QDateTime(QDate(2026, 12, 6), QTime(12, 0)));
    QCOMPARE(busy.scores[0][0].score, 70);
    QCOMPARE(busy.scores[0][1].score, 20);
    QCOMPARE(busy.scores[0][2].score, 47);  // 140 / 3, rounded
    QCOMPARE(busy.right[0], 15);
    QCOMPARE(EncodeMarks({"√", "Ⅹ", "√", "√", "Ⅹ"}), "10110");
    QCOMPARE(EncodeMarks({"√", "Ⅹ", "", "", ""}), "10");  // given up after two
  }

  // The record counts each exercise's first answer, not the screen's score, which lets a child tap
  // numbers until one fits; a series given up counts its answers but draws no score point.
  void firstAnswersCounted_data() {
    QTest::addColumn<QList<DrillSeries>>("series");
    QTest::addColumn<int>("additionFirst");     // per cent, -1 unknown
    QTest::addColumn<int>("subtractionFirst");  // per cent, -1 unknown
    QTest::addColumn<QString>("missed");        // "7+2:3 3-1:1", most first
    QTest::addColumn<int>("scorePoints");
    const char* at = "2026-12-07T10:00:00";
    QTest::newRow("tapped until right: full score, no first answer right")
        << QList<DrillSeries>{Series(at, "+", "11111", "1+1:0,2+2:0,3+3:0,4+4:0,5+5:0")} << 0 << -1
        << "1+1:1 2+2:1 3+3:1 4+4:1 5+5:1" << 1;
    QTest::newRow("given up after two answers: the two count, no score point")
        << QList<DrillSeries>{Series(at, "-", "10", "9-2:1,5-3:0")} << -1 << 50 << "5-3:1" << 0;
    QTest::newRow("given up on an exercise tried wrong: it counts missed")
        << QList<DrillSeries>{Series(at, "+", "1", "1+2:1,7+2:0")} << 50 << -1 << "7+2:1" << 0;
    QTest::newRow("most often missed first, ties in sum order")
        << QList<DrillSeries>{Series(at, "+", "11111", "7+2:0,3+4:0,7+2:1,1+1:1,2+8:0"),
                              Series(at, "+", "11111", "7+2:0,2+8:0,7+2:0,9+1:1,1+1:1"),
                              Series(at, "-", "11111", "10-9:0,3-1:0,4-1:1,5-1:1,6-1:1")}
        << 40 << 60 << "7+2:3 2+8:2 3+4:1 3-1:1 10-9:1" << 3;
    QTest::newRow("records made before first answers were kept are not guessed")
        << QList<DrillSeries>{Series(at, "+", "11111")} << -1 << -1 << "" << 1;
    QTest::newRow("entries not written by the drill are skipped, 10 at the edge")
        << QList<DrillSeries>{Series(at, "-", "11111", "10-9:0,11-2:0,0+1:1,7+2:x,abc,:1,,9+1:1")}
        << 100 << 0 << "10-9:1" << 1;
  }
  void firstAnswersCounted() {
    QFETCH(QList<DrillSeries>, series);
    QFETCH(int, additionFirst);
    QFETCH(int, subtractionFirst);
    QFETCH(QString, missed);
    QFETCH(int, scorePoints);
    const DrillProgress p = DrillScores(series);
    QCOMPARE(p.FirstRightPercent(0), additionFirst);
    QCOMPARE(p.FirstRightPercent(1), subtractionFirst);
    QStringList shown;
    for (const ItemCount& c : p.missedFirst) shown << QString("%1:%2").arg(c.item).arg(c.count);
    QCOMPARE(shown.join(' '), missed);
    QCOMPARE(p.scores[0].size() + p.scores[1].size(), scorePoints);
    QCOMPARE(SumLabel("10-9"), "10 - 9");
  }

  // The share of right answers is rounded to the nearest per cent, a half upwards.
  void rightShareRounded_data() {
    QTest::addColumn<QStringList>("results");  // one series' marks each
    QTest::addColumn<int>("percent");
    QTest::newRow("not practised") << QStringList{} << -1;
    QTest::newRow("2 of 3") << QStringList{"110"} << 67;
    QTest::newRow("1 of 3") << QStringList{"100"} << 33;
    QTest::newRow("1 of 8 (12.5)") << QStringList{"10000", "000"} << 13;
    QTest::newRow("all") << QStringList{"11111"} << 100;
  }
  void rightShareRounded() {
    QFETCH(QStringList, results);
    QFETCH(int, percent);
    QList<DrillSeries> series;
    for (const QString& r : results) series << Series("2026-12-07T10:00:00", "-", qPrintable(r));
    QCOMPARE(DrillScores(series).RightPercent(1), percent);
  }

  // The status line's writing: misses of characters left unfinished count, the quiz its own.
  void writingSummary_data() {
    QTest::addColumn<QList<int>>("totals");  // written, alone, helped, missed
    QTest::addColumn<QString>("misses");
    QTest::addColumn<QString>("summary");
    QTest::newRow("nothing") << QList<int>{0, 0, 0, 0} << "" << "";
    QTest::newRow("written, none missed") << QList<int>{2, 0, 0, 0} << "" << "写字 2 个，一笔也没描错。";
    QTest::newRow("only misses, none finished")
        << QList<int>{0, 0, 0, 3} << "我:3" << "写字 0 个，描错 3 笔：我 3 笔。";
    QTest::newRow("quiz alone and helped")
        << QList<int>{3, 1, 1, 2} << "山:1 水:1"
        << "写字 3 个，描错 2 笔：山 1 笔、水 1 笔。默写 2 个：自己写出 1 个，看了提示 1 个。";
    QTest::newRow("one quiz alone") << QList<int>{1, 1, 0, 0} << ""
                                    << "写字 1 个，一笔也没描错。默写 1 个：自己写出 1 个，看了提示 0 个。";
  }
  void writingSummary() {
    QFETCH(QList<int>, totals);
    QFETCH(QString, misses);
    QFETCH(QString, summary);
    QCOMPARE(WritingSummary({totals[0], totals[1], totals[2], totals[3]}, Counts(misses)), summary);
  }
};

QTEST_GUILESS_MAIN(RecordStatsTest)
#include "test_record_stats.moc"
