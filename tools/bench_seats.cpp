// SPDX-License-Identifier: GPL-3.0-or-later
// Load run of several seats on one server database: each seat (a thread with its own connection)
// browses chapters and items and edits an item in 1 of 10 actions, all at once; afterwards every
// committed change must be there and no row lost or duplicated. Prints figures; asserts nothing.
//   bench_seats [--seconds 60] [--seats 20] [--odbc CONNECTION]
// CONNECTION defaults to TINDORA_PG_CONNSTR. The run works in a schema of its own
// (tindora_bench), so it does not disturb lesson tables in the same database.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

#include "data/lesson_database.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"

namespace {

constexpr char kSchema[] = "tindora_bench";

struct Edit {
  QString table, number, before, after;
};

struct SeatResult {
  long actions = 0, edits = 0, conflicts = 0, failures = 0;
  std::vector<double> chapterMs;
  std::vector<Edit> committed;
};

// An item's key and text, table by table.
using Snapshot = QHash<QString, QHash<QString, QString>>;

// Also counts rows, and rows whose number was already seen (duplicates).
bool Snap(const QString& connection, Snapshot* out, long* rows, long* duplicates) {
  *rows = *duplicates = 0;
  for (const LessonKind* kind : AllKinds()) {
    platform::Dataset d(connection);
    d.SetTableName(kind->itemTable);
    if (!d.Open()) return false;
    auto& items = (*out)[kind->itemTable];
    for (d.First(); !d.Eof(); d.Next()) {
      ++*rows;
      if (items.contains(d.Field(kind->numberField))) ++*duplicates;
      items.insert(d.Field(kind->numberField), d.Field(kind->textField));
    }
  }
  return true;
}

void Seat(int seat, const ConnectionSpec& spec, std::atomic<bool>& stop, SeatResult& result) {
  const QString connection = QStringLiteral("seat-%1").arg(seat);
  QString error;
  if (!OpenConnection(connection, spec, &error)) {
    std::fprintf(stderr, "seat %d: %s\n", seat, qPrintable(error));
    ++result.failures;
    return;
  }
  {
    QRandomGenerator random(static_cast<quint32>(seat * 7919 + 1));
    platform::Dataset chapters(connection), items(connection);
    QElapsedTimer t;
    while (!stop) {
      const LessonKind& kind = *AllKinds()[random.bounded(static_cast<int>(AllKinds().size()))];
      ++result.actions;
      t.start();
      chapters.Close();
      chapters.SqlClear();
      chapters.SqlAdd(kind.sqlChapters);
      if (!chapters.Open() || chapters.IsEmpty()) {
        ++result.failures;
        continue;
      }
      result.chapterMs.push_back(t.nsecsElapsed() / 1e6);
      chapters.MoveTo(random.bounded(chapters.RecordCount()));
      items.Close();
      items.SqlClear();
      items.SqlAdd(kind.sqlItemsLine1);
      items.SetParam(QStringLiteral("zzj"), chapters.Field(QStringLiteral("章节")));
      items.SqlAdd(kind.sqlItemsLine2);
      if (!items.Open()) {
        ++result.failures;
        continue;
      }
      if (random.bounded(10) != 0 || items.IsEmpty()) continue;
      items.MoveTo(random.bounded(items.RecordCount()));
      Edit e{kind.itemTable, items.Field(kind.numberField), items.Field(kind.textField),
             QStringLiteral("seat %1 edit %2").arg(seat).arg(result.edits)};
      items.Edit();
      items.SetField(kind.textField, e.after);
      ++result.edits;
      if (items.Post()) {
        result.committed.push_back(e);
      } else {
        items.Cancel();
        ++result.conflicts;  // changed meanwhile by another seat: refused, nothing overwritten
      }
    }
  }
  QSqlDatabase::database(connection, false).close();
  QSqlDatabase::removeDatabase(connection);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int seconds = 60, seats = 20;
  QString odbc = qEnvironmentVariable("TINDORA_PG_CONNSTR");
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--seconds") seconds = args[i + 1].toInt();
    if (args[i] == "--seats") seats = args[i + 1].toInt();
    if (args[i] == "--odbc") odbc = args[i + 1];
  }
  if (odbc.isEmpty()) {
    std::printf("bench_seats: no server (set TINDORA_PG_CONNSTR or pass --odbc)\n");
    return 0;
  }
  // Every connection works in the benchmark's own schema.
  ConnectionSpec spec{QStringLiteral("QODBC"),
                      odbc + QStringLiteral(";ConnSettings=set search_path to %1;").arg(kSchema),
                      {},
                      {},
                      QStringLiteral("bench")};
  ConnectionSpec admin{QStringLiteral("QODBC"), odbc, {}, {}, QStringLiteral("bench")};
  QString error;
  if (!OpenConnection("admin", admin, &error) ||
      !platform::ExecSql("admin", QStringLiteral("drop schema if exists %1 cascade").arg(kSchema),
                         &error) ||
      !platform::ExecSql("admin", QStringLiteral("create schema %1").arg(kSchema), &error) ||
      !OpenConnection("setup", spec, &error) || !CreateSchema("setup", &error) ||
      !LoadCourse("setup", SampleCourseJson(), InstallationFolder(), &error)) {
    std::printf("bench_seats: set-up failed: %s\n", qPrintable(error));
    return 1;
  }
  Snapshot before;
  long rowsBefore = 0, duplicatesBefore = 0;
  Snap("setup", &before, &rowsBefore, &duplicatesBefore);

  std::vector<SeatResult> results(static_cast<size_t>(seats));
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  QElapsedTimer wall;
  wall.start();
  for (int s = 0; s < seats; ++s)
    threads.emplace_back(Seat, s, std::cref(spec), std::ref(stop), std::ref(results[s]));
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  stop = true;
  for (auto& t : threads) t.join();
  const double elapsed = wall.elapsed() / 1000.0;

  SeatResult all;
  for (auto& r : results) {
    all.actions += r.actions;
    all.edits += r.edits;
    all.conflicts += r.conflicts;
    all.failures += r.failures;
    all.chapterMs.insert(all.chapterMs.end(), r.chapterMs.begin(), r.chapterMs.end());
    all.committed.insert(all.committed.end(), r.committed.begin(), r.committed.end());
  }
  std::sort(all.chapterMs.begin(), all.chapterMs.end());
  auto percentile = [&](double p) {
    return all.chapterMs.empty()
               ? 0.0
               : all.chapterMs[std::min(all.chapterMs.size() - 1,
                                        static_cast<size_t>(p * all.chapterMs.size()))];
  };

  // Each item's committed changes form one chain from its first text to its last (a change holds
  // only while the text is the one it read); the chain's end must be what the table holds.
  Snapshot after;
  long rowsAfter = 0, duplicated = 0, lost = 0, added = 0, missingChanges = 0;
  Snap("setup", &after, &rowsAfter, &duplicated);
  for (auto table = before.begin(); table != before.end(); ++table) {
    for (auto item = table->begin(); item != table->end(); ++item)
      if (!after[table.key()].contains(item.key())) ++lost;
    for (auto item = after[table.key()].begin(); item != after[table.key()].end(); ++item)
      if (!table->contains(item.key())) ++added;
  }
  // Each item's committed changes form one chain from its first text to its last (a change holds
  // only while the text is the one it read); the chain's end must be what the table holds.
  QHash<QString, QHash<QString, QString>> chains;  // table + number -> text before -> after
  for (const Edit& e : all.committed) chains[e.table + '\n' + e.number].insert(e.before, e.after);
  for (auto it = chains.begin(); it != chains.end(); ++it) {
    const QStringList key = it.key().split('\n');
    QString text = before[key[0]].value(key[1]);
    long steps = 0;
    while (it->contains(text) && steps < it->size()) text = it->value(text), ++steps;
    missingChanges += it->size() - steps;
    if (after[key[0]].value(key[1]) != text) ++missingChanges;
  }

  std::printf("seats %d, %.1f s\n", seats, elapsed);
  std::printf(
      "actions %ld (%.1f per second), edits %ld: %zu committed, %ld refused as changed "
      "meanwhile; failures %ld\n",
      all.actions, all.actions / elapsed, all.edits, all.committed.size(), all.conflicts,
      all.failures);
  std::printf("chapter load: median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n",
              percentile(0.5), percentile(0.99), all.chapterMs.empty() ? 0 : all.chapterMs.back());
  std::printf(
      "rows %ld before, %ld after: %ld lost, %ld duplicated, %ld unexpected; committed "
      "changes missing: %ld\n",
      rowsBefore, rowsAfter, lost, duplicated, added, missingChanges);
  platform::ExecSql("admin", QStringLiteral("drop schema if exists %1 cascade").arg(kSchema));
  return 0;
}
