// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what a large course costs the character screen and the character chapter list manager:
// 10,000 chapters of 10 items against 5 chapters of 10, each in a process of its own (start-up's
// data module, then the screen opened, laid out and drawn; then the manager). Resident memory is
// the whole process's, so what the data module keeps counts too. Ends with a verdict against
// the targets (<= 40 ms to open, <= 10 MB more than the small course). SQLite; run with
// QT_QPA_PLATFORM=offscreen or on a display.
//   bench_large_course [chapters]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "data/data_module.h"
#include "data/lesson_database.h"
#include "editors/chapter_windows.h"
#include "lessons/character_screen.h"
#include "platform/dataset.h"
#include "process_memory.h"

namespace {

constexpr int kItemsPerChapter = 10;
constexpr int kRuns = 5;

bool Fill(const QString& path, int chapters) {
  const QString connection = QStringLiteral("fill");
  bool ok = false;
  {
    QString error;
    ok = OpenConnection(connection, EmbeddedSpec(path), &error) && CreateSchema(connection, &error);
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    ok = ok && db.transaction();
    QSqlQuery chapter(db), item(db);
    chapter.prepare(QStringLiteral("insert into ZJ (章号, 章节) values (?, ?)"));
    item.prepare(QStringLiteral(
        "insert into szSound (字号, 字名, 章节, 拼音词组, 声音) values (?, ?, ?, ?, ?)"));
    for (int c = 1; ok && c <= chapters; ++c) {
      const QString name = QStringLiteral("第%1章").arg(c);
      chapter.addBindValue(c);
      chapter.addBindValue(name);
      ok = chapter.exec();
      for (int i = 0; ok && i < kItemsPerChapter; ++i) {
        const int number = (c - 1) * kItemsPerChapter + i + 1;
        item.addBindValue(number);
        item.addBindValue(QString(QChar(0x4e00 + number % 20000)));
        item.addBindValue(name);
        item.addBindValue(QStringLiteral("pīn yīn  词组"));
        item.addBindValue(QStringLiteral("/媒体/字语音库/%1.wav").arg(number));
        ok = item.exec();
      }
    }
    ok = ok && db.commit();
    db.close();
  }
  QSqlDatabase::removeDatabase(connection);
  return ok;
}

double Median(QList<double> v) {
  std::sort(v.begin(), v.end());
  return v.isEmpty() ? -1 : v[v.size() / 2];
}

// One process: the data module as start-up opens it, then the screen and the manager, each
// opened kRuns times; prints "<screen ms> <manager ms> <resident MB with both open>".
int Child(const QString& path) {
  Tdm module(EmbeddedSpec(path));
  if (!module.Connected()) return 1;
  dm = &module;
  QList<double> screenMs, managerMs;
  double resident = 0;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer t;
    t.start();
    auto* screen = new TszmainForm(nullptr);
    screen->ShowMaximizedOrDesign(false);
    screen->ListView1->doItemsLayout();
    screen->repaint();
    screenMs << t.nsecsElapsed() / 1e6;

    t.restart();
    auto* manager = new TChapterListForm(nullptr, LessonKindId::Character);
    manager->setWindowState(Qt::WindowNoState);
    manager->resize(1024, 768);
    manager->show();
    manager->db1->viewport()->repaint();
    managerMs << t.nsecsElapsed() / 1e6;
    QApplication::processEvents();
    resident = std::max(resident, MemoryNow().residentMb);
    delete manager;
    delete screen;
  }
  std::printf("%.2f %.2f %.1f\n", Median(screenMs), Median(managerMs), resident);
  dm = nullptr;
  return 0;
}

QList<double> RunChild(const QString& path) {
  QProcess child;
  child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), path});
  child.waitForFinished(120000);
  QList<double> figures;
  for (const QByteArray& w : child.readAllStandardOutput().trimmed().split(' '))
    figures << w.toDouble();
  return figures.size() == 3 ? figures : QList<double>{-1, -1, -1};
}

void Verdict(const char* what, double value, double limit, const char* unit) {
  if (value <= limit)
    std::printf("  %-40s %7.1f %s <= %5.1f %s: met\n", what, value, unit, limit, unit);
  else
    std::printf("  %-40s %7.1f %s >  %5.1f %s: missed by %.1f %s\n", what, value, unit, limit, unit,
                value - limit, unit);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc > 2 && qstrcmp(argv[1], "--child") == 0) return Child(QString::fromLocal8Bit(argv[2]));
  const int large = argc > 1 ? std::max(6, atoi(argv[1])) : 10000;
  QTemporaryDir dir;
  const QString smallPath = dir.filePath(QStringLiteral("small.db"));
  const QString largePath = dir.filePath(QStringLiteral("large.db"));
  if (!Fill(smallPath, 5) || !Fill(largePath, large)) {
    std::printf("cannot fill the databases\n");
    return 1;
  }
  RunChild(largePath);  // warms the file cache
  // Interleaved, three times each; medians.
  QList<double> s[3], l[3];
  for (int round = 0; round < 3; ++round) {
    const QList<double> a = RunChild(smallPath), b = RunChild(largePath);
    for (int i = 0; i < 3; ++i) {
      s[i] << a[i];
      l[i] << b[i];
    }
  }
  std::printf("character screen and chapter list manager, %d items per chapter (medians)\n",
              kItemsPerChapter);
  std::printf("  %-16s %12s %12s %16s\n", "chapters", "screen", "manager", "resident");
  std::printf("  %-16d %9.1f ms %9.1f ms %13.1f MB\n", 5, Median(s[0]), Median(s[1]), Median(s[2]));
  std::printf("  %-16d %9.1f ms %9.1f ms %13.1f MB\n", large, Median(l[0]), Median(l[1]),
              Median(l[2]));
  std::printf("verdict:\n");
  Verdict("screen opened and drawn", Median(l[0]), 40, "ms");
  Verdict("manager opened and drawn", Median(l[1]), 40, "ms");
  Verdict("memory above the 5-chapter course", Median(l[2]) - Median(s[2]), 10, "MB");
  return 0;
}
