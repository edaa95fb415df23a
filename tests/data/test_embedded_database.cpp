// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded lesson database as start-up finds it: missing, empty, half-built, damaged, from an
// older version, or built by two first starts at the same moment. Nothing of the user's is ever
// deleted and the program always ends up with a complete, current database.
#include <unistd.h>

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <thread>

#include "data/embedded_database.h"
#include "data/lesson_database.h"
#include "data/schema_migrations.h"
#include "platform/dataset.h"

namespace {

// Runs `sql` (";"-separated) on a SQLite file of the test's own.
void Exec(const QString& path, const QString& sql) {
  {
    QString error;
    QVERIFY2(OpenConnection("prepare", EmbeddedSpec(path), &error), qPrintable(error));
    for (const QString& s : sql.split(';', Qt::SkipEmptyParts)) {
      if (s == "v1")  // the first schema, as a version before this one left it
        QVERIFY2(SchemaMigrations().front().run("prepare", &error), qPrintable(error));
      else
        QVERIFY2(platform::ExecSql("prepare", s, &error), qPrintable(error));
    }
    QSqlDatabase::database("prepare", false).close();
  }
  QSqlDatabase::removeDatabase("prepare");
}

// Chapter names of the character course, or "(broken)" when the file isn't a complete database.
QStringList Chapters(const QString& path) {
  QStringList names;
  {
    OpenConnection("look", EmbeddedSpec(path), nullptr);
    if (StoredSchemaVersion("look") != CurrentSchemaVersion()) names << "(old version)";
    platform::Dataset d("look");
    for (const char* table : {"xsSound", "xyySound", "SYS"}) {
      d.Close();
      d.SetTableName(table);
      if (!d.Open()) names << "(broken)";
    }
    d.Close();
    d.SqlClear();
    d.SqlAdd("select * from ZJ order by 章号");
    if (!d.Open()) names << "(broken)";
    for (d.First(); !d.Eof(); d.Next()) names << d.Field("章节");
    d.Close();
    QSqlDatabase::database("look", false).close();
  }
  QSqlDatabase::removeDatabase("look");
  return names;
}

QStringList SampleChapters() {
  QTemporaryDir dir;
  const QString path = dir.filePath("sample.db");
  QString error;
  EnsureEmbeddedDatabase(path, &error);
  return Chapters(path);
}

}  // namespace

class EmbeddedDatabaseTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void madeUsable_data() {
    QTest::addColumn<QByteArray>("bytes");  // written as the file first, when not empty
    QTest::addColumn<QString>("sql");       // then run on it
    QTest::addColumn<bool>("movedAside");
    QTest::addColumn<QStringList>("kept");  // chapters expected afterwards; empty = the sample
    const QString half = "create table ZJ (章号 integer not null, 章节 varchar(200) not null)";
    QTest::newRow("missing") << QByteArray() << QString() << false << QStringList();
    QTest::newRow("zero bytes") << QByteArray("") << QString() << false << QStringList();
    QTest::newRow("half-built, no lessons") << QByteArray() << half << false << QStringList();
    QTest::newRow("incomplete with lessons")
        << QByteArray() << half + ";insert into ZJ values (1, '老师的')" << true << QStringList();
    QTest::newRow("not a database") << QByteArray(4096, 'x') << QString() << true << QStringList();
    // Too large for a check of its pages before the menu: reading the schema still tells.
    QTest::newRow("not a database, past the start's check of pages")
        << QByteArray((8 << 20) + 4096, 'x') << QString() << true << QStringList();
    // Only an index out of step with its table: rebuilt, nothing moved aside or lost.
    QTest::newRow("index out of step with its table")
        << QByteArray()
        << "v1;insert into ZJ values (1, '老师的');insert into ZJ values (2, '第二章');"
           "pragma writable_schema = 1;update sqlite_master set sql = replace(sql, '(章号)', "
           "'(章节)') where name = 'zj_number'"
        << false << QStringList{"老师的", "第二章"};
    QTest::newRow("older version with lessons")
        << QByteArray() << "v1;pragma user_version = 0;insert into ZJ values (1, '老师的')" << false
        << QStringList{"老师的"};
  }
  void madeUsable() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, sql);
    QFETCH(bool, movedAside);
    QFETCH(QStringList, kept);
    QTemporaryDir dir;
    const QString path = dir.filePath("lessons.db");
    if (!bytes.isNull()) {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(bytes);
    }
    if (!sql.isEmpty()) Exec(path, sql);
    // What a first start killed while building leaves behind.
    for (const char* left : {"lessons.db.Ab12Cd.new", "lessons.db.Ab12Cd.new-journal"}) {
      QFile f(dir.filePath(left));
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QString error, notice;
    QVERIFY2(EnsureEmbeddedDatabase(path, &error, &notice), qPrintable(error));
    const QStringList aside = QDir(dir.path()).entryList({"lessons.db.damaged-*"});
    QCOMPARE(aside.size(), movedAside ? 1 : 0);
    QCOMPARE(!notice.isEmpty(), movedAside);
    if (movedAside) {
      QVERIFY2(notice.contains(path) && notice.contains(dir.filePath(aside[0])),
               qPrintable(notice));
      QFile moved(dir.filePath(aside[0]));
      QVERIFY(moved.open(QIODevice::ReadOnly));
      if (!bytes.isEmpty()) QCOMPARE(moved.readAll(), bytes);  // the user's bytes, untouched
    }
    QCOMPARE(Chapters(path), kept.isEmpty() ? SampleChapters() : kept);
    // Nothing half-made is left behind.
    QCOMPARE(QDir(dir.path()).entryList({"*.new*"}), QStringList());
  }

  // Whatever keeps the lessons from being written (a locked folder, a read-only disk, a full disk,
  // a database file that cannot be written) is named as the cause; a good database there is
  // opened for reading only, with editing off.
  void unwritableFolder_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("database");
    QTest::addColumn<QString>("cause");
    const QString denied = "没有写入这个文件夹的权限", readOnlyDisk = "文件夹所在的磁盘是只读的",
                  full = "磁盘已满";
    for (bool database : {true, false}) {
      const char* db = database ? "good database" : "no database yet";
      QTest::addRow("locked folder, %s", db) << "folder" << database << denied;
      QTest::addRow("read-only disk, %s", db) << "read-only" << database << readOnlyDisk;
      QTest::addRow("full disk, %s", db) << "full" << database << full;
    }
    QTest::addRow("database file read-only") << "file" << true << "数据库文件是只读的";
  }
  void unwritableFolder() {
    QFETCH(QString, how);
    QFETCH(bool, database);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    const bool root = ::geteuid() == 0;
    // A small disk of its own, so that it can be filled or made read-only.
    const QString disk = dir.filePath("disk");
    QVERIFY(QDir().mkpath(disk));
    const bool ownDisk = how == "read-only" || how == "full";
    if (ownDisk && QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=4m", "tmpfs", disk}) != 0)
      QSKIP("no disk of its own can be mounted here");
    const auto unmount = qScopeGuard([&] {
      if (ownDisk) QProcess::execute("umount", {disk});
    });
    const QString path = disk + "/data/lessons.db";
    QString error, notice, reason;
    if (database) QVERIFY2(EnsureEmbeddedDatabase(path, &error), qPrintable(error));
    // Root writes through mode 555 and 444; an immutable file or folder stops it too.
    const QString locked = how == "file" ? path : database ? disk + "/data" : disk;
    const auto lock = [&](bool on) {
      const char* mode = how == "file" ? (on ? "444" : "644") : (on ? "555" : "755");
      return QProcess::execute(root ? "chattr" : "chmod", {root ? (on ? "+i" : "-i") : mode,
                                                           locked}) == 0;
    };
    if (how == "folder" || how == "file") {
      if (!lock(true)) QSKIP("nothing can be made unwritable here");
    } else if (how == "read-only") {
      QVERIFY(QProcess::execute("mount", {"-o", "remount,ro", disk}) == 0);
    } else {
      QFile filler(disk + "/filler");
      QVERIFY(filler.open(QIODevice::WriteOnly));
      const QByteArray block(64 * 1024, 'x');
      while (filler.write(block) == block.size() && filler.flush()) {
      }
    }
    bool readOnly = false;
    const bool ok = EnsureEmbeddedDatabase(path, &error, &notice, &readOnly, &reason);
    if (how == "folder" || how == "file") QVERIFY(lock(false));
    if (how == "read-only") QProcess::execute("mount", {"-o", "remount,rw", disk});
    if (how == "full") QFile::remove(disk + "/filler");
    QCOMPARE(ok, database);
    QCOMPARE(readOnly, database);
    const QString said = database ? notice : error;
    QVERIFY2(said.contains(cause) && !said.contains("另一个"), qPrintable(said));
    if (database) {
      QVERIFY(notice.contains("编辑已关闭"));
      QVERIFY2(reason.contains(cause), qPrintable(reason));
      QCOMPARE(Chapters(path), SampleChapters());  // nothing moved aside or rebuilt
    }
  }

  // A file too large for start-up's whole check is checked whole later: damage in indexes only
  // is mended by rebuilding them, other damage is reported, and a sound file left alone.
  void wholeCheckLater_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("mayRepair");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("chapters");
    const QString two = "insert into ZJ values (1, '一');insert into ZJ values (2, '二');";
    // The index names the other column: its entries no longer match the table.
    const QString stale = "pragma writable_schema = 1;update sqlite_master set sql = "
                          "replace(sql, '(章号)', '(章节)') where name = 'zj_number'";
    using O = WholeFileCheck::Outcome;
    QTest::newRow("sound") << two << true << int(O::Sound) << QStringList{"一", "二"};
    QTest::newRow("index out of step") << two + stale << true << int(O::Repaired)
                                       << QStringList{"一", "二"};
    QTest::newRow("index out of step, read only")
        << two + stale << false << int(O::Damaged) << QStringList();
    // Two rows where a unique index allows one: rebuilding cannot mend that.
    QTest::newRow("duplicate under a unique index")
        << two + "drop index zj_number;insert into ZJ values (2, '二又');"
                 "create index zj_number on ZJ (章号);pragma writable_schema = 1;"
                 "update sqlite_master set sql = 'create unique index zj_number on ZJ (章号)' "
                 "where name = 'zj_number'"
        << true << int(O::Damaged) << QStringList();
  }
  void wholeCheckLater() {
    QFETCH(QString, sql);
    QFETCH(bool, mayRepair);
    QFETCH(int, outcome);
    QFETCH(QStringList, chapters);
    QTemporaryDir dir;
    const QString path = dir.filePath("lessons.db");
    Exec(path, "v1;" + sql);
    const WholeFileCheck r = CheckWholeFile(path, mayRepair);
    QCOMPARE(int(r.outcome), outcome);
    if (chapters.isEmpty()) return;
    QStringList stored;
    {
      QVERIFY(OpenConnection("after", EmbeddedSpec(path), nullptr));
      QSqlQuery q(QSqlDatabase::database("after"));
      QVERIFY(q.exec("select 章节 from ZJ order by 章号"));
      while (q.next()) stored << q.value(0).toString();
      QSqlDatabase::database("after").close();
    }
    QSqlDatabase::removeDatabase("after");
    QCOMPARE(stored, chapters);
  }

  // Files up to the first bound are checked whole at start-up, up to the second page by page;
  // the pages of larger ones are read only once the menu shows. All but the first wait for the
  // menu's whole check.
  void wholeCheckWaitsOnlyForLargeFiles_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("atStart");
    QTest::newRow("at the bound") << (qint64(1) << 20) << int(StartCheck::Whole);
    QTest::newRow("past the bound") << (qint64(1) << 20) + 1 << int(StartCheck::Pages);
    QTest::newRow("at the pages' bound") << (qint64(8) << 20) << int(StartCheck::Pages);
    QTest::newRow("past the pages' bound") << (qint64(8) << 20) + 1 << int(StartCheck::Schema);
  }
  void wholeCheckWaitsOnlyForLargeFiles() {
    QFETCH(qint64, size);
    QFETCH(int, atStart);
    QTemporaryDir dir;
    QFile f(dir.filePath("lessons.db"));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size));
    QCOMPARE(int(StartCheckFor(size)), atStart);
    QCOMPARE(WholeCheckWaitsForMenu(f.fileName()), atStart != int(StartCheck::Whole));
  }

  // Two (here: six) first starts at the same moment build the database once, whole.
  void simultaneousFirstStarts() {
    const QStringList sample = SampleChapters();
    for (int round = 0; round < 3; ++round) {
      QTemporaryDir dir;
      const QString path = dir.filePath("lessons.db");
      std::atomic<int> ok{0};
      std::vector<std::thread> starts;
      for (int i = 0; i < 6; ++i)
        starts.emplace_back([path, &ok] {
          QString error;
          if (EnsureEmbeddedDatabase(path, &error)) ++ok;
        });
      for (auto& s : starts) s.join();
      QCOMPARE(ok.load(), 6);
      QCOMPARE(Chapters(path), sample);
      QCOMPARE(QDir(dir.path()).entryList({"lessons.db*"}), QStringList{"lessons.db"});
    }
  }
};

QTEST_GUILESS_MAIN(EmbeddedDatabaseTest)
#include "test_embedded_database.moc"
