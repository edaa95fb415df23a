// SPDX-License-Identifier: GPL-3.0-or-later
// The dataset layer and the data module over every backend: QSQLITE, the SQLite3 ODBC driver and
// PostgreSQL through psqlODBC.
#include <QtTest>

#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"
#include "platform/dialogs.h"
#include "support/test_db.h"

using platform::Dataset;
using testing::Backend;
using testing::TestDatabase;

namespace {

void AddRow(Dataset& d, const QList<std::pair<QString, QString>>& fields) {
  d.Append();
  for (const auto& [name, value] : fields) QVERIFY(d.SetField(name, value));
  QVERIFY2(d.Post(), qPrintable(d.LastError()));
}

void Issue(Dataset& d, const QString& line1, const QString& param = {}, const QString& value = {},
           const QString& line2 = {}) {
  d.Close();
  d.SqlClear();
  d.SqlAdd(line1);
  if (!param.isEmpty()) d.SetParam(param, value);
  if (!line2.isEmpty()) d.SqlAdd(line2);
  QVERIFY2(d.Open(), qPrintable(d.LastError()));
}

QStringList Column(Dataset& d, const QString& field) {
  QStringList out;
  for (d.First(); !d.Eof(); d.Next()) out << d.Field(field);
  return out;
}

// Records every SQL text sent on one connection.
struct SqlLog {
  QStringList texts;
  explicit SqlLog(const QString& connection) {
    platform::SetSqlObserver([this, connection](const QString& c, const QString& sql) {
      if (c == connection) texts << sql;
    });
  }
  ~SqlLog() { platform::SetSqlObserver({}); }
};

}  // namespace

class LessonDatabaseTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void chaptersAndItemsInNumberOrder_data() { testing::AddBackendAndKindRows(); }
  void chaptersAndItemsInNumberOrder() {
    QFETCH(Backend, backend);
    QFETCH(int, kind);
    const LessonKind& k = Kind(static_cast<LessonKindId>(kind));
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    Dataset d(db.Connection());
    d.SetTableName(k.chapterTable);
    QVERIFY(d.Open());
    for (const char* n : {"10", "9", "2"})
      AddRow(d, {{"章号", QLatin1String(n)},
                 {"章节", QStringLiteral("第%1章").arg(QLatin1String(n))}});
    d.SetTableName(k.itemTable);
    QVERIFY(d.Open() || d.Reopen());
    d.Close();
    QVERIFY(d.Open());
    AddRow(d, {{k.numberField, "3"}, {k.nameField, "三"}, {"章节", "第9章"}, {k.textField, "c"}});
    AddRow(d, {{k.numberField, "1"}, {k.nameField, "一"}, {"章节", "第9章"}, {k.textField, "a"}});
    AddRow(d, {{k.numberField, "2"}, {k.nameField, "二"}, {"章节", "第9章"}, {k.textField, "b"}});
    AddRow(d, {{k.numberField, "4"}, {k.nameField, "四"}, {"章节", "第2章"}, {k.textField, "d"}});

    SqlLog log(db.Connection());
    Issue(d, k.sqlChapters);
    QCOMPARE(Column(d, "章节"), (QStringList{"第2章", "第9章", "第10章"}));
    QCOMPARE(Column(d, "章号"), (QStringList{"2", "9", "10"}));

    // The parameter is set before the second line is added, and keeps its value.
    Issue(d, k.sqlItemsLine1, "zzj", "第9章", k.sqlItemsLine2);
    QCOMPARE(Column(d, k.nameField), (QStringList{"一", "二", "三"}));
    QCOMPARE(Column(d, k.numberField), (QStringList{"1", "2", "3"}));
    QCOMPARE(log.texts, (QStringList{k.sqlChapters, k.sqlItemsLine1 + "\n" + k.sqlItemsLine2}));

    d.Close();
    QVERIFY(d.Open());
    QCOMPARE(d.RecordCount(), 3);
  }

  void locateWholeValues_data() { testing::AddBackendRows(); }
  void locateWholeValues() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    Dataset d(db.Connection());
    d.SetTableName("xyySound");
    QVERIFY(d.Open());
    AddRow(d, {{"语号", "3"}, {"英语名", "Applesauce"}, {"章节", "水果"}, {"汉语翻译", "苹果酱"}});
    AddRow(d, {{"语号", "2"}, {"英语名", "Apple"}, {"章节", "水果"}, {"汉语翻译", "苹果"}});
    AddRow(d, {{"语号", "1"}, {"英语名", "apple"}, {"章节", "水果"}, {"汉语翻译", "苹果"}});
    const LessonKind& k = Kind(LessonKindId::English);
    Issue(d, k.sqlItemsLine1, "zzj", "水果", k.sqlItemsLine2);
    QVERIFY(d.Locate("英语名", "APPLE", true));
    QCOMPARE(d.Field("语号"), QString("1"));
    QVERIFY(d.Locate("英语名", "Apple", false));
    QCOMPARE(d.Field("语号"), QString("2"));
    QVERIFY(!d.Locate("英语名", "App", true));
    QCOMPARE(d.Field("语号"), QString("2"));  // stays put
    QVERIFY(!d.Locate("英语名", "apple ", true));
  }

  void appendEditDeleteThenReopen_data() { testing::AddBackendRows(); }
  void appendEditDeleteThenReopen() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    Dataset d(db.Connection());
    Issue(d, Kind(LessonKindId::Character).sqlChapterGrid);
    QVERIFY(d.IsEmpty());
    QVERIFY(d.Eof());
    AddRow(d, {{"章号", "1"}, {"章节", "动物"}});
    AddRow(d, {{"章号", "2"}, {"章节", "植物"}});
    QVERIFY(d.Reopen());
    QCOMPARE(Column(d, "章节"), (QStringList{"动物", "植物"}));

    QVERIFY(d.Locate("章节", "动物", true));
    d.Edit();
    d.SetField("章号", "5");
    d.SetField("章节", "小动物");
    QVERIFY2(d.Post(), qPrintable(d.LastError()));
    // The row keeps its place and can be changed again before any reopen (its number is now
    // held as text).
    d.Edit();
    d.SetField("章节", "小动物们");
    QVERIFY2(d.Post(), qPrintable(d.LastError()));
    d.Edit();
    d.SetField("章节", "小动物");
    QVERIFY2(d.Post(), qPrintable(d.LastError()));
    QVERIFY(d.Reopen());
    QCOMPARE(Column(d, "章节"), (QStringList{"植物", "小动物"}));
    QCOMPARE(Column(d, "章号"), (QStringList{"2", "5"}));

    d.First();
    QVERIFY2(d.Delete(), qPrintable(d.LastError()));
    QVERIFY(d.Reopen());
    QCOMPARE(Column(d, "章节"), (QStringList{"小动物"}));

    // An item without a recording reads as null, which screens can tell from empty text.
    Dataset items(db.Connection());
    items.SetTableName("szSound");
    QVERIFY(items.Open());
    AddRow(items, {{"字号", "1"}, {"字名", "人"}, {"章节", "小动物"}, {"拼音词组", ""}});
    QVERIFY(items.Reopen());
    QVERIFY(items.FieldIsNull("声音"));
    QVERIFY(!items.FieldIsNull("拼音词组"));
  }

  void duplicateNumberRejectedAndCancelled_data() { testing::AddBackendRows(); }
  void duplicateNumberRejectedAndCancelled() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    Dataset d(db.Connection());
    d.SetTableName("szSound");
    QVERIFY(d.Open());
    AddRow(d, {{"字号", "7"}, {"字名", "人"}, {"章节", "第一章"}});
    d.Append();
    d.SetField("字号", "7");
    d.SetField("字名", "口");
    d.SetField("章节", "第一章");
    QVERIFY(!d.Post());
    QVERIFY(!d.LastError().isEmpty());
    QCOMPARE(d.state(), Dataset::State::Insert);  // pending until cancelled
    d.Cancel();
    QCOMPARE(d.state(), Dataset::State::Browse);
    QVERIFY(d.Reopen());
    QCOMPARE(Column(d, "字名"), (QStringList{"人"}));

    // A required name left out is refused by the database as well.
    d.Append();
    d.SetField("字号", "8");
    QVERIFY(!d.Post());
    d.Cancel();
    QVERIFY(d.Reopen());
    QCOMPARE(d.RecordCount(), 1);
  }

  // A row removed behind the dataset's back can be neither changed nor deleted, and saying so
  // matters: the editor must not tell the teacher it was stored. A pending row that can't be
  // stored keeps the dataset where it is.
  void vanishedRowAndFailedImplicitPost_data() { testing::AddBackendRows(); }
  void vanishedRowAndFailedImplicitPost() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    Dataset d(db.Connection());
    d.SetTableName("ZJ");
    QVERIFY(d.Open());
    AddRow(d, {{"章号", "1"}, {"章节", "甲"}});
    AddRow(d, {{"章号", "2"}, {"章节", "乙"}});
    QVERIFY(d.Reopen());
    QVERIFY(platform::ExecSql(db.Connection(), "delete from ZJ where 章号 = 1"));
    d.First();
    d.Edit();
    d.SetField("章节", "丙");
    QVERIFY(!d.Post());
    QVERIFY(!d.LastError().isEmpty());
    d.Cancel();
    QVERIFY(!d.Delete());

    d.Last();
    d.Append();
    d.SetField("章号", "2");  // a duplicate number: the store fails
    d.SetField("章节", "丁");
    d.First();
    QCOMPARE(d.state(), Dataset::State::Insert);
    QCOMPARE(d.Field("章节"), QString("丁"));
    QVERIFY(!d.Locate("章节", "乙", false));
    d.Cancel();
    QVERIFY(d.Locate("章节", "乙", false));
    QVERIFY(d.Reopen());
    QCOMPARE(Column(d, "章节"), (QStringList{"乙"}));
  }

  // Two seats on one database: a change or delete holds only while the columns it touches still
  // hold what the seat read; the other seat's work is never overwritten.
  void twoSeatsNeverOverwrite_data() { testing::AddBackendRows(); }
  void twoSeatsNeverOverwrite() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString seatB = db.Connection() + "-b";
    QString error;
    QVERIFY2(OpenConnection(seatB, db.Spec(), &error), qPrintable(error));
    {
      Dataset a(db.Connection()), b(seatB);
      a.SetTableName("szSound");
      QVERIFY(a.Open());
      AddRow(a, {{"字号", "1"}, {"字名", "人"}, {"章节", "第一章"}, {"拼音词组", "ren"}});
      AddRow(a, {{"字号", "2"}, {"字名", "口"}, {"章节", "第一章"}});
      b.SetTableName("szSound");
      QVERIFY(a.Reopen() && b.Open());

      a.First();
      a.Edit();
      a.SetField("字名", "大");
      QVERIFY2(a.Post(), qPrintable(a.LastError()));
      b.First();
      b.Edit();
      b.SetField("字名", "小");
      QVERIFY(!b.Post());
      QVERIFY(!b.LastError().isEmpty());
      b.Cancel();
      // A column nobody else changed may still be changed from the old reading.
      b.Edit();
      b.SetField("拼音词组", "rén");
      QVERIFY2(b.Post(), qPrintable(b.LastError()));
      // Row 2 changed on seat A (its null pinyin made empty text, its empty recording set):
      // seat B, which read both as null, may neither change nor delete it.
      a.Next();
      a.Edit();
      a.SetField("拼音词组", "");
      QVERIFY2(a.Post(), qPrintable(a.LastError()));
      a.Edit();
      a.SetField("声音", "/x.wav");
      QVERIFY(a.Post());
      b.Next();
      b.Edit();
      b.SetField("拼音词组", "kǒu");
      QVERIFY(!b.Post());
      b.Cancel();
      QVERIFY(!b.Delete());
      QVERIFY(a.Reopen());
      QCOMPARE(Column(a, "字名"), (QStringList{"大", "口"}));
      QCOMPARE(Column(a, "拼音词组"), (QStringList{"rén", ""}));
      a.Last();
      QVERIFY(!a.FieldIsNull("拼音词组"));  // stored as empty text, not as null
      QCOMPARE(Column(a, "声音"), (QStringList{QString(), "/x.wav"}));
      // Read afresh, the same delete goes through.
      QVERIFY(b.Reopen());
      b.Last();
      QVERIFY2(b.Delete(), qPrintable(b.LastError()));
    }
    QSqlDatabase::database(seatB, false).close();
    QSqlDatabase::removeDatabase(seatB);
  }

  void transactionRolledBack_data() { testing::AddBackendRows(); }
  void transactionRolledBack() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    Dataset d(db.Connection());
    d.SetTableName("ZJ");
    QVERIFY(d.Open());
    AddRow(d, {{"章号", "1"}, {"章节", "甲"}});
    {
      platform::Transaction tx(db.Connection());
      QVERIFY2(tx.Begin(), qPrintable(tx.LastError()));
      d.Edit();
      d.SetField("章节", "乙");
      QVERIFY(d.Post());
      AddRow(d, {{"章号", "2"}, {"章节", "丙"}});
      tx.Rollback();
    }
    QVERIFY(d.Reopen());
    QCOMPARE(Column(d, "章节"), (QStringList{"甲"}));
    {
      platform::Transaction tx(db.Connection());
      QVERIFY(tx.Begin());
      AddRow(d, {{"章号", "3"}, {"章节", "丁"}});
      QVERIFY2(tx.Commit(), qPrintable(tx.LastError()));
    }
    QVERIFY(d.Reopen());
    QCOMPARE(d.RecordCount(), 2);
  }

  void dataModuleOpensDatasetsInOrder_data() { testing::AddBackendRows(); }
  void dataModuleOpensDatasetsInOrder() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    QStringList texts;
    // On a server the module also asks what its login may do: only the datasets' texts count here.
    platform::SetSqlObserver([&texts](const QString&, const QString& sql) {
      if (sql.startsWith(QLatin1String("select * from "))) texts << sql;
    });
    {
      Tdm module(db.Spec());
      QVERIFY(module.Connected());
      // Every text ran, but no rows are held until a screen asks for its own.
      for (platform::Dataset* d :
           {module.SYSTable, module.ALLQuery, module.goQuery, module.nameQuery})
        QVERIFY(!d->Active());
      QCOMPARE(module.ALLQueryds->rowCount(), 0);
    }
    platform::SetSqlObserver({});
    QCOMPARE(texts, (QStringList{"select * from SYS", "select * from ZJ", "select * from szSound",
                                 "select * from ZJ"}));
  }

  void dataModuleReportsAFailingDataset() {
    TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    QVERIFY(platform::ExecSql(db.Connection(), "drop table szSound"));
    QStringList shown;
    platform::SetMessageBoxHandler(
        [&shown](QWidget*, const QString& text, const QString& title, unsigned flags) {
          shown << title << text;
          [&] { QCOMPARE(flags, platform::MB_ICONERROR); }();
          return platform::IDOK;
        });
    Tdm module(db.Spec());
    platform::SetMessageBoxHandler({});
    QVERIFY(module.Connected());
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0], QString("Tindora"));
    QVERIFY2(shown[1].contains("tindora_dbsetup"), qPrintable(shown[1]));  // the driver's: log
    QVERIFY(!module.goQuery->Active());
    QVERIFY(!module.nameQuery->Active());  // the rest are not tried; the program goes on
  }
};

QTEST_GUILESS_MAIN(LessonDatabaseTest)
#include "test_lesson_database.moc"
