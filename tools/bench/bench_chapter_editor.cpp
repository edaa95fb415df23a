// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long the character chapter list manager takes to open over 1,000 chapters and 10,000
// items (both queries, grid laid out and drawn), and how long the chapter editor takes to store
// the rename of a chapter with 25 items (checks, chapter row, items, one transaction). On SQLite,
// and on PostgreSQL through ODBC when TINDORA_PG_CONNSTR is set. Run with
// QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

#include "bench_support.h"
#include "data/data_module.h"
#include "data/lesson_database.h"
#include "editors/chapter_windows.h"
#include "platform/dataset.h"

namespace {

constexpr int kChapters = 1000;
constexpr int kItems = 10000;
constexpr int kRenamed = 25;  // items of the renamed chapter, the first one

QString ChapterName(int n) { return QStringLiteral("第%1章").arg(n); }

bool Fill(const ConnectionSpec& spec, QString* error) {
  const QString connection = QStringLiteral("fill");
  bool ok = OpenConnection(connection, spec, error) && CreateSchema(connection, error);
  if (ok) {
    platform::Transaction tx(connection);
    tx.Begin();
    platform::Dataset d(connection);
    d.SetTableName(QStringLiteral("ZJ"));
    d.Open();
    for (int i = 1; ok && i <= kChapters; ++i) {
      d.Append();
      d.SetField(QStringLiteral("章号"), QString::number(i));
      d.SetField(QStringLiteral("章节"), ChapterName(i));
      ok = d.Post();
    }
    d.Close();
    d.SetTableName(QStringLiteral("szSound"));
    d.Open();
    for (int i = 1; ok && i <= kItems; ++i) {
      // The first chapter gets 25 items, the others share the rest.
      const int chapter = i <= kRenamed ? 1 : 2 + (i % (kChapters - 1));
      d.Append();
      d.SetField(QStringLiteral("字号"), QString::number(i));
      d.SetField(QStringLiteral("字名"), QString(QChar(0x4e00 + i)));
      d.SetField(QStringLiteral("章节"), ChapterName(chapter));
      d.SetField(QStringLiteral("拼音词组"), QStringLiteral("pīn yīn"));
      d.Post();
    }
    if (!ok) *error = d.LastError();
    ok = ok && tx.Commit();
  }
  QSqlDatabase::removeDatabase(connection);
  return ok;
}

double Median(QList<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Measure(const QString& label, const ConnectionSpec& spec, QTextStream& out) {
  Tdm module(spec);
  if (!module.Connected()) {
    out << label << ": cannot connect: " << module.ConnectError() << "\n";
    return;
  }
  dm = &module;
  QList<double> open, rename;
  for (int run = 0; run < 9; ++run) {
    QElapsedTimer t;
    t.start();
    TChapterListForm manager(nullptr, LessonKindId::Character);
    manager.setWindowState(Qt::WindowNoState);
    manager.resize(1024, 768);
    manager.show();
    manager.db1->viewport()->repaint();
    open << t.nsecsElapsed() / 1e6;

    TChapterEditForm* editor = nullptr;
    manager.SetEditorShower([&editor](TChapterEditForm* e) { editor = e; });
    dm->ALLQuery->MoveTo(0);
    manager.ModifySbClick();
    editor->nameed->setText(run % 2 ? ChapterName(1) : QStringLiteral("改名的章节"));
    t.restart();
    editor->ModifyBtnClick();
    rename << t.nsecsElapsed() / 1e6;
    delete editor;
  }
  // Every rename stored its 25 items.
  dm->goQuery->Close();
  dm->goQuery->SqlClear();
  dm->goQuery->SqlAdd(Kind(LessonKindId::Character).sqlRenameItems);
  dm->goQuery->SetParam(QStringLiteral("zjname"), QStringLiteral("改名的章节"));
  dm->goQuery->Open();
  out << QStringLiteral(
             "%1: manager over %2 chapters and %3 items opened and drawn in %4 ms (median of "
             "%5); rename of a chapter with %6 items stored in %7 ms (median; %8 items carry the "
             "last name)\n")
             .arg(label)
             .arg(kChapters)
             .arg(kItems)
             .arg(Median(open), 0, 'f', 1)
             .arg(open.size())
             .arg(kRenamed)
             .arg(Median(rename), 0, 'f', 1)
             .arg(dm->goQuery->RecordCount());
  out.flush();
  dm = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QTextStream out(stdout);
  QTemporaryDir dir;
  const ConnectionSpec sqlite = EmbeddedSpec(dir.filePath(QStringLiteral("lessons.db")));
  QString error;
  if (!Fill(sqlite, &error)) {
    out << "SQLite: cannot fill: " << error << "\n";
    return 1;
  }
  Measure(QStringLiteral("SQLite"), sqlite, out);

  const QString pg = qEnvironmentVariable("TINDORA_PG_CONNSTR");
  if (pg.isEmpty()) {
    out << "PostgreSQL: skipped (TINDORA_PG_CONNSTR is not set)\n";
    return 0;
  }
  const BenchSchema postgres(pg, QStringLiteral("tindora_bench_chapters"));
  if (!postgres.Ok() || !Fill(postgres.spec, &error)) {
    out << "PostgreSQL: cannot fill: " << postgres.Error() << error << "\n";
    return 1;
  }
  Measure(QStringLiteral("PostgreSQL"), postgres.spec, out);
  return 0;
}
