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
    // The quick check reads every page but never compares an index with its table.
    QTest::newRow("index out of step with its table")
        << QByteArray()
        << "v1;insert into ZJ values (1, '老师的');insert into ZJ values (2, '第二章');"
           "pragma writable_schema = 1;update sqlite_master set sql = replace(sql, '(章号)', "
           "'(章节)') where name = 'zj_number'"
        << true << QStringList();
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

  // A folder nobody may write in is named as the cause; a good database in it is read only.
  void unwritableFolder_data() {
    QTest::addColumn<bool>("database");
    QTest::newRow("good database") << true;
    QTest::newRow("no database yet") << false;
  }
  void unwritableFolder() {
    QFETCH(bool, database);
    QTemporaryDir dir;
    const QString path = dir.filePath("data/lessons.db");
    QString error, notice;
    QVERIFY(QDir().mkpath(dir.filePath("data")));
    if (database) QVERIFY2(EnsureEmbeddedDatabase(path, &error), qPrintable(error));
    // Root writes through mode 555; an immutable folder stops it too.
    const bool root = ::geteuid() == 0;
    const auto lockFolder = [&](bool locked) {
      const char* how = root ? (locked ? "+i" : "-i") : (locked ? "555" : "755");
      return QProcess::execute(root ? "chattr" : "chmod", {how, dir.filePath("data")}) == 0;
    };
    if (!lockFolder(true)) QSKIP("the folder cannot be made unwritable here");
    bool readOnly = false;
    const bool ok = EnsureEmbeddedDatabase(path, &error, &notice, &readOnly);
    QVERIFY(lockFolder(false));
    QCOMPARE(ok, database);
    QCOMPARE(readOnly, database);
    const QString said = database ? notice : error;
    QVERIFY2(said.contains("没有写入这个文件夹的权限") && !said.contains("另一个"),
             qPrintable(said));
    if (database) QVERIFY(notice.contains("编辑已关闭"));
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
