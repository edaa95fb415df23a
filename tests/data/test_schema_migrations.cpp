// SPDX-License-Identifier: GPL-3.0-or-later
// Schema versions: a new database gets the current version, an old or half-made one is brought
// up to date without losing rows, a repeated run does nothing, a newer one is refused.
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <thread>

#include "data/lesson_database.h"
#include "data/lesson_kinds.h"
#include "data/schema_migrations.h"
#include "platform/dataset.h"
#include "support/test_db.h"

using testing::Backend;
using testing::TestDatabase;

namespace {
// Makes the database look as one from before versions existed.
void ForgetVersion(const QString& connection) {
  platform::ExecSql(connection, "pragma user_version = 0");
  platform::ExecSql(connection, "drop table if exists tindora_schema");
}
}  // namespace

class SchemaMigrationsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void upToDateWithoutLoss_data() {
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<bool>("unversioned");
    QTest::addColumn<bool>("halfMade");
    for (auto [name, b] :
         {std::pair{"sqlite", Backend::Sqlite}, std::pair{"odbc-sqlite", Backend::OdbcSqlite},
          std::pair{"odbc-postgres", Backend::OdbcPostgres}}) {
      QTest::newRow(qPrintable(QString("%1/current").arg(name))) << b << false << false;
      QTest::newRow(qPrintable(QString("%1/unversioned").arg(name))) << b << true << false;
      QTest::newRow(qPrintable(QString("%1/half-made").arg(name))) << b << true << true;
    }
  }
  void upToDateWithoutLoss() {
    QFETCH(Backend, backend);
    QFETCH(bool, unversioned);
    QFETCH(bool, halfMade);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    QCOMPARE(StoredSchemaVersion(c), CurrentSchemaVersion());
    QVERIFY(platform::ExecSql(c, "insert into ZJ (章号, 章节) values (1, '动物')"));
    if (unversioned) ForgetVersion(c);
    if (halfMade) QVERIFY(platform::ExecSql(c, "drop table xyySound"));
    QCOMPARE(StoredSchemaVersion(c), unversioned ? 0 : CurrentSchemaVersion());

    QString error;
    QStringList done;
    QVERIFY2(MigrateSchema(c, &error, &done), qPrintable(error));
    // A database from before versions (all first tables there) only gets its version noted.
    QCOMPARE(done.size(), unversioned ? CurrentSchemaVersion() - (halfMade ? 0 : 1) : 0);
    QCOMPARE(StoredSchemaVersion(c), CurrentSchemaVersion());
    platform::Dataset d(c);
    d.SetTableName("ZJ");
    QVERIFY(d.Open());
    QCOMPARE(d.RecordCount(), 1);
    d.Close();
    d.SetTableName("xyySound");
    QVERIFY2(d.Open(), qPrintable(d.LastError()));
    QVERIFY(d.FieldIndex("图片") >= 0);  // the last step's column, added to a remade table too

    done.clear();
    QVERIFY(MigrateSchema(c, &error, &done));
    QVERIFY(done.isEmpty());
  }

  // Two seats starting at once on an older server database both come up, and each missing step
  // runs once. A lock held meanwhile makes both wait at the same statement, so they go on
  // together; the race is run a number of times, since one run may not hit the bad moment.
  void twoSeatsAtOnce_data() {
    QTest::addColumn<bool>("unversioned");
    QTest::newRow("version 1") << false;
    QTest::newRow("unversioned") << true;
  }
  void twoSeatsAtOnce() {
    QFETCH(bool, unversioned);
    TestDatabase db(Backend::OdbcPostgres);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    QSqlQuery q(QSqlDatabase::database(c));
    const auto count = [&q](const QString& sql) {
      return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    };
    for (int round = 0; round < 12; ++round) {
      QVERIFY(platform::ExecSql(c, "drop table learn_record"));
      QVERIFY(platform::ExecSql(c, "delete from tindora_schema"));
      QVERIFY(platform::ExecSql(c, "insert into tindora_schema (version) values (1)"));
      if (unversioned) ForgetVersion(c);
      platform::Transaction hold(c);
      QVERIFY(hold.Begin());
      QVERIFY(platform::ExecSql(c, unversioned
                                       ? "lock table ZJ in access exclusive mode"
                                       : "lock table tindora_schema in access exclusive mode"));
      struct Seat {
        bool up = false;
        QString error;
        QStringList done;
      } seats[2];
      std::vector<std::thread> threads;
      for (int i = 0; i < 2; ++i)
        threads.emplace_back([&db, &seat = seats[i], name = c + "-seat" + QString::number(i)] {
          if (OpenConnection(name, db.Spec(), &seat.error))
            seat.up = MigrateSchema(name, &seat.error, &seat.done);
          QSqlDatabase::database(name, false).close();
          QSqlDatabase::removeDatabase(name);
        });
      QDeadlineTimer deadline(20000);
      while (count("select count(*) from pg_locks l join pg_class t on t.oid = l.relation where "
                   "not l.granted and t.relnamespace = to_regnamespace(current_schema())") < 2 &&
             !deadline.hasExpired())
        QThread::msleep(5);
      hold.Commit();
      for (std::thread& t : threads) t.join();
      QVERIFY2(seats[0].up, qPrintable(seats[0].error));
      QVERIFY2(seats[1].up, qPrintable(seats[1].error));
      QCOMPARE(seats[0].done.size() + seats[1].done.size(), CurrentSchemaVersion() - 1);
      QCOMPARE(count("select count(*) from tindora_schema"), 1);
      QCOMPARE(StoredSchemaVersion(c), CurrentSchemaVersion());
      QCOMPARE(count("select count(*) from learn_record"), 0);
    }
  }

  // Two seats upgrading one embedded file a step behind: the one that loses the race still starts.
  // A write lock held meanwhile lets both start before either writes.
  void twoSeatsOnOneFile() {
    TestDatabase db(Backend::Sqlite);
    for (int round = 0; round < 12; ++round) {
      const int behind = CurrentSchemaVersion() - 1;
      QVERIFY(platform::ExecSql(db.Connection(), QString("pragma user_version = %1").arg(behind)));
      QVERIFY(platform::ExecSql(db.Connection(), "begin immediate"));
      QString errors[2];
      std::vector<std::thread> seats;
      for (QString& error : errors)
        seats.emplace_back([&db, &error, name = "seat" + QString::number(seats.size())] {
          if (OpenConnection(name, db.Spec(), &error) && MigrateSchema(name, &error)) error = "up";
          QSqlDatabase::database(name, false).close();
          QSqlDatabase::removeDatabase(name);
        });
      QThread::msleep(100);
      QVERIFY(platform::ExecSql(db.Connection(), "commit"));
      for (std::thread& t : seats) t.join();
      QCOMPARE(errors[0] + errors[1], "upup");
    }
  }

  // The set-up tool run again: the sample course goes only where a kind's tables are empty.
  void sampleCourseOnlyIntoEmptyTables_data() { testing::AddBackendRows(); }
  void sampleCourseOnlyIntoEmptyTables() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    QVERIFY(platform::ExecSql(c, "insert into xsZJ (章号, 章节) values (1, '老师的诗')"));
    QStringList loaded;
    QString error;
    QVERIFY2(
        LoadCourseIntoEmptyTables(c, SampleCourseJson(), InstallationFolder(), &loaded, &error),
        qPrintable(error));
    QCOMPARE(loaded, (QStringList{"character", "english"}));
    platform::Dataset d(c);
    d.SetTableName("szSound");
    QVERIFY(d.Open());
    const int characters = d.RecordCount();
    QVERIFY(characters > 0);

    loaded.clear();
    QVERIFY(
        LoadCourseIntoEmptyTables(c, SampleCourseJson(), InstallationFolder(), &loaded, &error));
    QVERIFY(loaded.isEmpty());
    QVERIFY(d.Reopen());
    QCOMPARE(d.RecordCount(), characters);
    d.Close();
    d.SetTableName("xsSound");
    QVERIFY(d.Open());
    QVERIFY(d.IsEmpty());
  }

  // Chapter names and numbers become unique where the rows allow it (here the poems'); a table
  // already holding duplicates (here the characters') keeps working, and they are reported.
  void uniqueChapters_data() { testing::AddBackendRows(); }
  void uniqueChapters() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    // As the step before this one left it.
    QVERIFY(platform::ExecSql(c, "drop index zj_name"));
    QVERIFY(platform::ExecSql(c, "drop index xszj_name"));
    QVERIFY(platform::ExecSql(c, backend == Backend::Sqlite
                                     ? "pragma user_version = 2"
                                     : "update tindora_schema set version = 2"));
    QVERIFY(platform::ExecSql(c, "insert into ZJ (章号, 章节) values (1, '动物'), (2, '动物')"));
    QVERIFY(platform::ExecSql(c, "insert into xsZJ (章号, 章节) values (1, '动物')"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("duplicate chapters:.*ZJ"));
    QString error;
    QVERIFY2(MigrateSchema(c, &error), qPrintable(error));
    QCOMPARE(StoredSchemaVersion(c), CurrentSchemaVersion());
    QStringList reported;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("duplicate chapters:.*ZJ"));
    QVERIFY2(EnsureChapterConstraints(c, &reported, &error), qPrintable(error));
    QCOMPARE(reported,
             QStringList{"ZJ：章节“动物”有 2 行，这个表暂不限制章节重复，请改名或删除多余的行"});
    // Two seats adding the same name, or the same number: the second is refused where the rule is.
    QVERIFY(platform::ExecSql(c, "insert into ZJ (章号, 章节) values (3, '动物')"));
    QVERIFY(!platform::ExecSql(c, "insert into xsZJ (章号, 章节) values (2, '动物')"));
    QVERIFY(!platform::ExecSql(c, "insert into xsZJ (章号, 章节) values (1, '植物')"));
  }

  // A chapter's items are found through the index, not by reading the whole item table.
  void chapterItemsThroughAnIndex_data() {
    QTest::addColumn<int>("kind");
    for (const LessonKind* k : AllKinds()) QTest::newRow(qPrintable(k->key)) << int(k->id);
  }
  void chapterItemsThroughAnIndex() {
    QFETCH(int, kind);
    TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    QSqlQuery plan(QSqlDatabase::database(db.Connection(), false));
    const LessonKind& k = Kind(LessonKindId(kind));
    QVERIFY(plan.prepare("explain query plan " + k.sqlItemsLine1 + "\n" + k.sqlItemsLine2));
    plan.bindValue(":zzj", "第一章");
    QVERIFY2(plan.exec() && plan.next(), qPrintable(plan.lastError().text()));
    QVERIFY2(plan.value(3).toString().contains("USING INDEX " + k.itemTable.toLower() + "_chapter"),
             qPrintable(plan.value(3).toString()));
  }

  // The embedded file: every commit synced through the write-ahead log, nothing left beside it
  // once closed.
  void embeddedFileCommitsThroughTheLog() {
    QTemporaryDir dir;
    const QString path = dir.filePath("lessons.db");
    {
      QString error;
      QVERIFY2(OpenConnection("wal", EmbeddedSpec(path), &error), qPrintable(error));
      QSqlQuery q(QSqlDatabase::database("wal", false));
      QVERIFY(q.exec("pragma journal_mode") && q.next());
      QCOMPARE(q.value(0).toString(), QString("wal"));
      QVERIFY(q.exec("pragma synchronous") && q.next());
      QCOMPARE(q.value(0).toInt(), 2);  // full
      QVERIFY(CreateSchema("wal", &error));
      QSqlDatabase::database("wal", false).close();
    }
    QSqlDatabase::removeDatabase("wal");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"lessons.db"});
  }

  void newerDatabaseRefused_data() { testing::AddBackendRows(); }
  void newerDatabaseRefused() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const int newer = CurrentSchemaVersion() + 1;
    if (backend == Backend::Sqlite)
      QVERIFY(platform::ExecSql(db.Connection(), QString("pragma user_version = %1").arg(newer)));
    else
      QVERIFY(platform::ExecSql(db.Connection(),
                                QString("update tindora_schema set version = %1").arg(newer)));
    QString error;
    QVERIFY(!MigrateSchema(db.Connection(), &error));
    QVERIFY2(error.contains(QString::number(newer)), qPrintable(error));
    QCOMPARE(StoredSchemaVersion(db.Connection()), newer);
  }
};

QTEST_GUILESS_MAIN(SchemaMigrationsTest)
#include "test_schema_migrations.moc"
