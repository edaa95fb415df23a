// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long the data module takes to open, to load a chapter of 1001 characters, to open
// the all-items query over 10,000 items and to post 100 appends; SQLite directly and over ODBC.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTextStream>

#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"

namespace {

double Ms(QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

void Fill(const QString& connection) {
  platform::Transaction tx(connection);
  tx.Begin();
  platform::Dataset d(connection);
  d.SetTableName(QStringLiteral("szSound"));
  d.Open();
  for (int i = 1; i <= 10000; ++i) {
    d.Append();
    d.SetField(QStringLiteral("字号"), QString::number(i));
    d.SetField(QStringLiteral("字名"), QString(QChar(0x4e00 + i)));
    d.SetField(QStringLiteral("章节"), i <= 1001 ? QStringLiteral("大章") : QStringLiteral("其他"));
    d.SetField(QStringLiteral("拼音词组"), QStringLiteral("pīn yīn  词组"));
    d.Post();
  }
  tx.Commit();
}

void Run(const QString& label, const ConnectionSpec& spec) {
  QTextStream out(stdout);
  {
    QString error;
    OpenConnection(QStringLiteral("fill"), spec, &error);
    CreateSchema(QStringLiteral("fill"), &error);
    Fill(QStringLiteral("fill"));
    QSqlDatabase::database(QStringLiteral("fill"), false).close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("fill"));

  QElapsedTimer t;
  t.start();
  Tdm module(spec);
  const double open = Ms(t);
  const LessonKind& k = Kind(LessonKindId::Character);
  platform::Dataset* q = module.ALLQuery;
  t.restart();
  q->Close();
  q->SqlClear();
  q->SqlAdd(k.sqlItemsLine1);
  q->SetParam(QStringLiteral("zzj"), QStringLiteral("大章"));
  q->SqlAdd(k.sqlItemsLine2);
  q->Open();
  QStringList names;
  for (q->First(); !q->Eof(); q->Next()) names << q->Field(k.nameField);
  const double chapter = Ms(t);
  t.restart();
  platform::Dataset* all = module.goQuery;
  all->Close();
  all->SqlClear();
  all->SqlAdd(k.sqlAllItems);
  all->Open();
  const double allItems = Ms(t);
  t.restart();
  for (int i = 0; i < 100; ++i) {
    all->Append();
    all->SetField(k.numberField, QString::number(20001 + i));
    all->SetField(k.nameField, QStringLiteral("新"));
    all->SetField(QStringLiteral("章节"), QStringLiteral("其他"));
    all->Post();
  }
  const double appends = Ms(t);
  out << QStringLiteral(
             "%1: open data module %2 ms; chapter of %3 items %4 ms; all %5 items %6 ms; "
             "100 appends %7 ms (%8 ms each)\n")
             .arg(label)
             .arg(open, 0, 'f', 1)
             .arg(names.size())
             .arg(chapter, 0, 'f', 1)
             .arg(all->RecordCount() - 100)
             .arg(allItems, 0, 'f', 1)
             .arg(appends, 0, 'f', 1)
             .arg(appends / 100, 0, 'f', 2);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  Run(QStringLiteral("SQLite (QSQLITE)"), EmbeddedSpec(dir.filePath(QStringLiteral("a.db"))));
  Run(QStringLiteral("SQLite over ODBC"),
      {QStringLiteral("QODBC"),
       QStringLiteral("DRIVER=SQLite3;Database=%1;").arg(dir.filePath(QStringLiteral("b.db"))),
       {},
       {},
       QStringLiteral("odbc")});
  const QString pg = qEnvironmentVariable("TINDORA_PG_CONNSTR");
  if (!pg.isEmpty()) {
    QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("drop"));
    {
      QSqlDatabase db = QSqlDatabase::database(QStringLiteral("drop"), false);
      db.setDatabaseName(pg);
      db.open();
      for (const char* t : {"ZJ", "xsZJ", "xyyZJ", "szSound", "xsSound", "xyySound", "SYS"})
        platform::ExecSql(QStringLiteral("drop"),
                          QStringLiteral("drop table if exists %1").arg(QLatin1String(t)));
      db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("drop"));
    Run(QStringLiteral("PostgreSQL over ODBC"), {QStringLiteral("QODBC"), pg, {}, {}, pg});
  }
  return 0;
}
