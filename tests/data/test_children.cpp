// SPDX-License-Identifier: GPL-3.0-or-later
// Children's profiles on every backend: a class list loads with its edge rows, a note carries the
// child chosen when it was made (also through the spool), each child's record counts only their
// notes, and removing a child removes exactly their notes.
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "app/current_child.h"
#include "data/children.h"
#include "platform/dataset.h"
#include "app/practice_log.h"
#include "data/record_store.h"
#include "support/fakes.h"
#include "support/test_db.h"

using namespace records;
using children::Child;
using testing::Backend;

namespace {

const QDateTime kNow(QDate(2024, 3, 5), QTime(14, 7, 9));

Record Opened(int child, int daysAgo, const QString& item, Module module = Module::Character,
              int score = 0) {
  return {"pc-1", kNow.addDays(-daysAgo), module, item, {}, {}, score, {}, child};
}

// The children's names, in the order they were added.
QStringList Names(const QString& c) {
  QList<Child> all;
  QString error;
  if (!children::LoadChildren(c, &all, &error)) return {error};
  QStringList names;
  for (const Child& child : all) names << child.name;
  return names;
}

// "item:child" of every note, child 0 for a null column.
QStringList NoteOwners(const QString& c) {
  QSqlQuery q(QSqlDatabase::database(c));
  QStringList rows;
  q.exec("select item, child_id from learn_record order by item");
  while (q.next()) rows << QString("%1:%2").arg(q.value(0).toString()).arg(q.value(1).toInt());
  return rows;
}

// 小明 and 小红, in that order.
bool AddTwoChildren(const QString& c, Child* a, Child* b, QString* error) {
  return children::AddChild(c, "小明", 0, a, error) && children::AddChild(c, "小红", 1, b, error);
}

}  // namespace

class ChildrenTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void classListLoads_data() {
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("refused");
    for (const auto& [backend, tag] : {std::pair{Backend::Sqlite, "sqlite"},
                                       std::pair{Backend::OdbcPostgres, "postgres"}}) {
      QTest::addRow("%s: 8 characters", tag)
          << backend << QStringList{"一二三四五六七八", "ab"} << QStringList{"一二三四五六七八", "ab"} << 0;
      QTest::addRow("%s: 9 refused", tag)
          << backend << QStringList{"一二三四五六七八九", "小明"} << QStringList{"小明"} << 1;
      QTest::addRow("%s: blank lines skipped", tag)
          << backend << QStringList{"", "  小红 ", "\t"} << QStringList{"小红"} << 0;
      QTest::addRow("%s: duplicate refused, case ignored", tag)
          << backend << QStringList{"Anna", "小明", "anna"} << QStringList{"Anna", "小明"} << 1;
      QTest::addRow("%s: control character refused", tag)
          << backend << QStringList{QString("小\x01明")} << QStringList{} << 1;
    }
  }
  void classListLoads() {
    QFETCH(Backend, backend);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, names);
    QFETCH(int, refused);
    testing::TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    QList<Child> added;
    QStringList why;
    QString error;
    QVERIFY2(children::AddClassList(db.Connection(), lines, &added, &why, &error),
             qPrintable(error));
    QCOMPARE(Names(db.Connection()), names);
    QCOMPARE(why.size(), refused);
    // Pictures are given in turn.
    for (int i = 0; i < added.size(); ++i) QCOMPARE(added[i].picture, i);
  }

  // A note made after picking carries the child, whether written at once or after the spool.
  void noteCarriesTheChild_data() {
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<bool>("spooled");
    for (bool spooled : {false, true}) {
      QTest::addRow("sqlite%s", spooled ? ", spooled" : "") << Backend::Sqlite << spooled;
      QTest::addRow("postgres%s", spooled ? ", spooled" : "") << Backend::OdbcPostgres << spooled;
    }
  }
  void noteCarriesTheChild() {
    QFETCH(Backend, backend);
    QFETCH(bool, spooled);
    testing::TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    Child a, b;
    QString error;
    QVERIFY2(AddTwoChildren(c, &a, &b, &error), qPrintable(error));
    QTemporaryDir dir;
    const QString spool = dir.filePath("notes.spool");
    testing::FakeClock clock(kNow);
    if (spooled) {
      // The database refuses first: the note waits in the spool for the next start.
      QVERIFY(platform::ExecSql(c, "alter table learn_record rename to learn_record_away"));
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot write 2 notes"));
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression("notes kept in"));
    }
    Start(c, spool);
    SetCurrentChild({});
    Note(LessonKindId::Character, "一");  // before anyone is picked: unassigned
    SetCurrentChild(b);
    Note(LessonKindId::Character, "山");
    QVERIFY(Flush());
    Stop();
    if (spooled) {
      QVERIFY(QFile::exists(spool));
      QVERIFY(platform::ExecSql(c, "alter table learn_record_away rename to learn_record"));
      SetCurrentChild(a);  // the child at the next start does not take over old notes
      Start(c, spool);
      QVERIFY(Flush());
      Stop();
    }
    QCOMPARE(NoteOwners(c), QStringList({"一:0", QString("山:%1").arg(b.id)}));
    SetCurrentChild({});
  }

  // Each child's reading counts only their notes; the class table has a row per child.
  void countsPerChild_data() { testing::AddBackendRows(); }
  void countsPerChild() {
    QFETCH(Backend, backend);
    testing::TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    QString error;
    QVERIFY2(WriteRecords(c,
                          {Opened(1, 0, "山"), Opened(1, 0, "山"), Opened(1, 1, "水"),
                           Opened(1, 1, "一", Module::Writing, 2), Opened(1, 0, {}, Module::Drill, 60),
                           Opened(1, 0, {}, Module::Drill, 100), Opened(2, 0, "山"),
                           Opened(2, 9, "火"), Opened(0, 0, "人")},
                          &error),
             qPrintable(error));
    const QDate from = kNow.date().addDays(-6);
    auto total = [&](int child) {
      QList<DayCount> counts;
      QString why;
      int n = 0;
      if (!LoadDayCounts(c, RecordFilter({}, child), from, &counts, &why)) return -1;
      for (const DayCount& d : counts) n += d.count;
      return n;
    };
    QCOMPARE(total(1), 6);
    QCOMPARE(total(2), 1);
    QCOMPARE(total(children::kNoChild), 1);
    QCOMPARE(total(kAnyChild), 8);
    QList<ChildSummary> rows;
    QVERIFY2(LoadClassSummary(c, from, &rows, &error), qPrintable(error));
    QStringList seen;  // child: days, opened, written, drill score
    for (const ChildSummary& r : rows)
      seen << QString("%1:%2,%3,%4,%5").arg(r.child).arg(r.days).arg(r.opened).arg(r.written).arg(
                  r.drillScore);
    seen.sort();
    QCOMPARE(seen, QStringList({"0:1,1,0,-1", "1:2,2,1,80", "2:1,1,0,-1"}));
  }

  // Removing a child removes exactly their notes, in one go with the profile.
  void removeTakesExactlyTheirNotes_data() { testing::AddBackendRows(); }
  void removeTakesExactlyTheirNotes() {
    QFETCH(Backend, backend);
    testing::TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    Child a, b;
    QString error;
    QVERIFY2(AddTwoChildren(c, &a, &b, &error), qPrintable(error));
    QVERIFY(WriteRecords(c, {Opened(a.id, 0, "山"), Opened(a.id, 1, "水"), Opened(b.id, 0, "火"),
                             Opened(0, 0, "人")},
                         &error));
    // Reviews too: the ones made with no child chosen are kept under 0.
    for (int id : {a.id, b.id, 0})
      QVERIFY(platform::ExecSql(
          c, QString("insert into review_state values (%1, '山', 1, 5, 0, 0, 0, 1, 0, 2)").arg(id)));
    const auto reviewOwners = [&c] {
      QVector<QVector<QVariant>> rows;
      QStringList owners;
      if (platform::ExecQuery(c, "select child_id from review_state order by child_id", {}, &rows,
                              nullptr))
        for (const auto& r : rows) owners << r.value(0).toString();
      return owners;
    };
    int removed = -1;
    QVERIFY2(children::RemoveChild(c, a.id, &removed, &error), qPrintable(error));
    QCOMPARE(removed, 2);
    QCOMPARE(Names(c), QStringList{"小红"});
    QCOMPARE(NoteOwners(c), QStringList({"人:0", QString("火:%1").arg(b.id)}));
    QCOMPARE(reviewOwners(), QStringList({"0", QString::number(b.id)}));
    // A failure half-way keeps the child and their notes.
    QVERIFY(platform::ExecSql(c, "alter table children rename to children_away"));
    QVERIFY(!children::RemoveChild(c, b.id, &removed, &error));
    QVERIFY(platform::ExecSql(c, "alter table children_away rename to children"));
    QCOMPARE(NoteOwners(c), QStringList({"人:0", QString("火:%1").arg(b.id)}));
    QCOMPARE(reviewOwners(), QStringList({"0", QString::number(b.id)}));
    // A number once given is never given again, though no row holds it any more: notes for the
    // removed child still in a seat's spool must not become the next child's.
    QVERIFY2(children::RemoveChild(c, b.id, &removed, &error), qPrintable(error));
    Child next;
    QVERIFY2(children::AddChild(c, "小丙", 2, &next, &error), qPrintable(error));
    QCOMPARE(next.id, b.id + 1);
  }
};

QTEST_MAIN(ChildrenTest)
#include "test_children.moc"
