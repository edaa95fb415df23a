// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long the data module takes to open, to load a chapter of 1001 characters, to open
// the all-items query over 10,000 items and to post 100 appends (on SQLite also without waiting
// for the disk, to tell the flush from the rest); SQLite directly and over ODBC.
// Then how long start-up's full integrity check and the quick check take on lesson files of
// growing size, which sets the size up to which start-up runs the full one (50 ms).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

#include "bench_support.h"
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
  int next = 20001;
  const auto hundredAppends = [&] {
    t.restart();
    for (int i = 0; i < 100; ++i) {
      all->Append();
      all->SetField(k.numberField, QString::number(next++));
      all->SetField(k.nameField, QStringLiteral("新"));
      all->SetField(QStringLiteral("章节"), QStringLiteral("其他"));
      all->Post();
    }
    return Ms(t);
  };
  const double appends = hundredAppends();
  // The same appends without waiting for the disk (never so in the program): what is left is
  // the program's and SQLite's own work, the rest is the one flush a committed change needs.
  QString unflushed;
  if (spec.driver == QLatin1String("QSQLITE")) {
    QSqlQuery pragma(QSqlDatabase::database(module.ConnectionName(), false));
    pragma.exec(QStringLiteral("pragma synchronous = off"));
    unflushed = QStringLiteral("; without the disk's flush %1 ms each")
                    .arg(hundredAppends() / 100, 0, 'f', 2);
    pragma.exec(QStringLiteral("pragma synchronous = full"));
  }
  out << QStringLiteral(
             "%1: open data module %2 ms; chapter of %3 items %4 ms; all %5 items %6 ms; "
             "100 appends %7 ms (%8 ms each%9)\n")
             .arg(label)
             .arg(open, 0, 'f', 1)
             .arg(names.size())
             .arg(chapter, 0, 'f', 1)
             .arg(all->RecordCount() - (next - 20001))
             .arg(allItems, 0, 'f', 1)
             .arg(appends, 0, 'f', 1)
             .arg(appends / 100, 0, 'f', 2)
             .arg(unflushed);
}

// The checks on files of about 0.5, 1, 2, 4 and 8 MiB of character items.
void MeasureChecks(const QTemporaryDir& dir) {
  QTextStream out(stdout);
  for (int items : {4000, 8000, 16000, 32000, 64000}) {
    const QString path = dir.filePath(QStringLiteral("check-%1.db").arg(items));
    const QString c = QStringLiteral("check");
    {
      QString error;
      OpenConnection(c, EmbeddedSpec(path), &error);
      CreateSchema(c, &error);
      platform::Transaction tx(c);
      tx.Begin();
      platform::Dataset d(c);
      d.SetTableName(QStringLiteral("szSound"));
      d.Open();
      for (int i = 1; i <= items; ++i) {
        d.Append();
        d.SetField(QStringLiteral("字号"), QString::number(i));
        d.SetField(QStringLiteral("字名"), QString(QChar(0x4e00 + i % 20000)));
        d.SetField(QStringLiteral("章节"), QStringLiteral("第%1章").arg(i / 25));
        d.SetField(QStringLiteral("拼音词组"), QStringLiteral("pīn yīn  词组 %1").arg(i));
        d.SetField(QStringLiteral("声音"),
                   QStringLiteral("/home/teacher/.local/share/Tindora/字语音库/%1.wav").arg(i));
        d.Post();
      }
      tx.Commit();
      QSqlDatabase::database(c, false).close();
    }
    QSqlDatabase::removeDatabase(c);
    double best[2] = {1e9, 1e9};
    for (int round = 0; round < 5; ++round) {
      // A fresh connection each time, as at start-up (nothing in SQLite's cache yet).
      {
        OpenConnection(c, EmbeddedSpec(path), nullptr);
        for (int which = 0; which < 2; ++which) {
          QSqlQuery q(QSqlDatabase::database(c, false));
          QElapsedTimer t;
          t.start();
          q.exec(which == 0 ? QStringLiteral("pragma integrity_check(1)")
                            : QStringLiteral("pragma quick_check(1)"));
          q.next();
          best[which] = std::min(best[which], Ms(t));
        }
        QSqlDatabase::database(c, false).close();
      }
      QSqlDatabase::removeDatabase(c);
    }
    out << QStringLiteral("%1 items, %2 MiB: integrity_check %3 ms, quick_check %4 ms\n")
               .arg(items)
               .arg(QFileInfo(path).size() / 1048576.0, 0, 'f', 2)
               .arg(best[0], 0, 'f', 1)
               .arg(best[1], 0, 'f', 1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  MeasureChecks(dir);
  Run(QStringLiteral("SQLite (QSQLITE)"), EmbeddedSpec(dir.filePath(QStringLiteral("a.db"))));
  Run(QStringLiteral("SQLite over ODBC"),
      {QStringLiteral("QODBC"),
       QStringLiteral("DRIVER=SQLite3;Database=%1;").arg(dir.filePath(QStringLiteral("b.db"))),
       {},
       {},
       QStringLiteral("odbc")});
  const QString pg = qEnvironmentVariable("TINDORA_PG_CONNSTR");
  if (!pg.isEmpty()) {
    const BenchSchema postgres(pg, QStringLiteral("tindora_bench_database"));
    if (postgres.Ok())
      Run(QStringLiteral("PostgreSQL over ODBC"), postgres.spec);
    else
      QTextStream(stdout) << "PostgreSQL: " << postgres.Error() << "\n";
  }
  return 0;
}
