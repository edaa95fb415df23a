// SPDX-License-Identifier: GPL-3.0-or-later
// Today's path: which new characters by the child's level and what it has met, the limit of due
// reviews past which nothing new comes, the poem days.
#include <QtTest>

#include "review/today_path.h"

using namespace review;

namespace {

QString Render(const QList<PathStep>& steps) {
  QStringList out;
  for (const PathStep& s : steps) out << StepTitle(s.kind) + ":" + s.items.join(' ');
  return out.join('|');
}

PathCourse Course() {
  return {{"一", "二", "三"},
          {{"一", "二", "三", "十", "人", "大"}, {"山", "水", "火", "木", "土", "日"}, {"月亮"}},
          {"静夜思", "春晓"},
          {{"床前明月光", "疑是地上霜"}, {"春眠不觉晓"}}};
}

QStringList Due(int n) {
  QStringList out;
  for (int i = 0; i < n; ++i) out << QString::number(i);
  return out;
}

const QDate kMonday(2026, 12, 7);

}  // namespace

class TodayPathTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void plan_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("perDay");
    QTest::addColumn<QStringList>("met");
    QTest::addColumn<int>("due");
    QTest::addColumn<QString>("path");
    const QString newFirst = "认新字:一 二 三|听音找字:一 二 三|写一个字:一";
    QTest::newRow("youngest, from the start") << 0 << 3 << QStringList{} << 0 << newFirst;
    QTest::newRow("oldest, from chapter two")
        << 1 << 5 << QStringList{} << 0
        << "认新字:山 水 火 木 土|听音找字:山 水 火 木 土|写一个字:山";
    QTest::newRow("below the fewest is held at three") << 0 << 2 << QStringList{} << 0 << newFirst;
    QTest::newRow("above the most is held at five")
        << 0 << 6 << QStringList{} << 0
        << "认新字:一 二 三 十 人|听音找字:一 二 三 十 人|写一个字:一";
    QTest::newRow("met ones are skipped")
        << 0 << 3 << QStringList{"一", "三"} << 0 << "认新字:二 十 人|听音找字:二 十 人|写一个字:二";
    QTest::newRow("a chapter's last two, not filled from the next")
        << 0 << 4 << QStringList{"一", "二", "三", "十"} << 0
        << "认新字:人 大|听音找字:人 大|写一个字:人";
    QTest::newRow("one word alone: no game, its first character written")
        << 2 << 3 << QStringList{} << 0 << "认新字:月亮|写一个字:月";
    QTest::newRow("a finished chapter gives way to the next")
        << 0 << 3 << QStringList{"一", "二", "三", "十", "人", "大"} << 0
        << "认新字:山 水 火|听音找字:山 水 火|写一个字:山";
    QTest::newRow("start past the course: nothing new")
        << 3 << 3 << QStringList{} << 2 << "复习:0 1";
    QTest::newRow("twenty due: new still offered")
        << 0 << 3 << QStringList{} << 20 << newFirst + "|复习:" + Due(20).join(' ');
    QTest::newRow("twenty-one due: the reviews alone")
        << 0 << 3 << QStringList{} << 21 << "复习:" + Due(21).join(' ');
  }
  void plan() {
    QFETCH(int, start);
    QFETCH(int, perDay);
    QFETCH(QStringList, met);
    QFETCH(int, due);
    QFETCH(QString, path);
    PathChild child{start, perDay, QSet<QString>(met.begin(), met.end()), Due(due)};
    QCOMPARE(Render(PlanPath(Course(), child, kMonday)), path);
  }

  // Wednesday and Saturday bring a line, each poem day the next; a flood of reviews none.
  void poemDays() {
    PathChild child{0, 3, {"一", "二", "三", "十", "人", "大", "山", "水", "火", "木", "土", "日", "月亮"}, {}};
    QStringList lines;
    for (int d = 0; d < 14; ++d) {
      const QList<PathStep> steps = PlanPath(Course(), child, kMonday.addDays(d));
      QCOMPARE(steps.size(), IsPoemDay(kMonday.addDays(d)) ? 1 : 0);
      if (!steps.isEmpty()) lines << steps[0].items.join(' ');
    }
    QCOMPARE(lines.size(), 4);
    QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), 3);  // three lines in the course
    for (int i = 1; i < lines.size(); ++i) QVERIFY(lines[i] != lines[i - 1]);
    child.due = Due(21);
    QCOMPARE(Render(PlanPath(Course(), child, QDate(2026, 12, 9))), "复习:" + Due(21).join(' '));
  }
};

QTEST_MAIN(TodayPathTest)
#include "test_today_path.moc"
