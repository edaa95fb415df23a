// SPDX-License-Identifier: GPL-3.0-or-later
// Load run of several seats on one server database: each seat (a thread with its own connection)
// browses chapters and items and, in half of its actions, changes an item's text, renames an
// item, deletes one or adds one, all at once. Every committed change carries a token no other
// change has, so afterwards each one is looked for by itself: every committed change must be in
// the table (or overwritten by a later committed change that read it), no row lost, none doubled.
// Prints figures, with the exact count; asserts nothing.
//   bench_seats [--seconds 60] [--seats 20] [--odbc CONNECTION]
// CONNECTION defaults to TINDORA_PG_CONNSTR. The run works in a schema of its own
// (tindora_bench_seats), so it does not disturb lesson tables in the same database. bench_seats_mutant
// is the same run on a core whose changes hold whatever the row holds now: it must report lost
// updates.
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

#include "bench_support.h"
#include "data/lesson_database.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"

namespace {

enum class Op { Text, Rename, Delete, Insert };
constexpr int kOps = 4;
const char* const kOpNames[kOps] = {"text changes", "renames", "deletes", "inserts"};

// One committed change. `before` is what the change read (text or name; for a delete the text,
// with the name in `beforeName`), `after` what it wrote.
struct Change {
  Op op;
  QString table, number, before, beforeName, after;
};

struct SeatResult {
  long actions = 0, failures = 0;
  long tried[kOps] = {}, refused[kOps] = {};
  std::vector<double> chapterMs;
  std::vector<Change> committed;
};

struct Row {
  QString name, text;
};
// Table -> item number -> row.
using Snapshot = QHash<QString, QHash<QString, Row>>;

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
      items.insert(d.Field(kind->numberField),
                   {d.Field(kind->nameField), d.Field(kind->textField)});
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
    long made = 0;
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
      const QString chapter = chapters.Field(QStringLiteral("章节"));
      items.Close();
      items.SqlClear();
      items.SqlAdd(kind.sqlItemsLine1);
      items.SetParam(QStringLiteral("zzj"), chapter);
      items.SqlAdd(kind.sqlItemsLine2);
      if (!items.Open()) {
        ++result.failures;
        continue;
      }
      const int pick = random.bounded(8);
      if (pick >= kOps || (pick != int(Op::Insert) && items.IsEmpty())) continue;
      const Op op = Op(pick);
      // Unique across the run: no two changes ever write the same value.
      const QString token = QStringLiteral("s%1-%2").arg(seat).arg(++made);
      Change c{op, kind.itemTable, {}, {}, {}, {}};
      ++result.tried[pick];
      bool ok = false;
      if (op == Op::Insert) {
        c.number = QString::number(1000000 + seat * 100000 + made);
        c.after = token;
        items.Append();
        items.SetField(kind.numberField, c.number);
        items.SetField(kind.nameField, QStringLiteral("n") + token);
        items.SetField(QStringLiteral("章节"), chapter);
        items.SetField(kind.textField, QStringLiteral("t") + token);
        ok = items.Post();
      } else {
        items.MoveTo(random.bounded(items.RecordCount()));
        c.number = items.Field(kind.numberField);
        if (op == Op::Delete) {
          c.before = items.Field(kind.textField);
          c.beforeName = items.Field(kind.nameField);
          ok = items.Delete();
        } else {
          const QString& field = op == Op::Text ? kind.textField : kind.nameField;
          c.before = items.Field(field);
          c.after = (op == Op::Text ? QStringLiteral("t") : QStringLiteral("n")) + token;
          items.Edit();
          items.SetField(field, c.after);
          ok = items.Post();
        }
      }
      if (ok) {
        result.committed.push_back(c);
      } else {
        items.Cancel();
        ++result.refused[pick];  // changed meanwhile by another seat: refused, nothing overwritten
      }
    }
  }
  QSqlDatabase::database(connection, false).close();
  QSqlDatabase::removeDatabase(connection);
}

// Walks the changes of one field of one row from its first value: each change holds only while
// the value is the one it read, so they form one chain. Returns the chain's end; `unused` counts
// committed changes that are not on it (lost updates).
QString Chain(const QString& first, const QList<const Change*>& changes, long* unused) {
  QMultiHash<QString, const Change*> byBefore;
  for (const Change* c : changes) byBefore.insert(c->before, c);
  QString value = first;
  long used = 0;
  while (byBefore.contains(value)) {
    const Change* next = byBefore.take(value);
    value = next->after;
    ++used;
  }
  *unused += changes.size() - used;
  return value;
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
  // Named after the program, so bench_seats and bench_seats_mutant may run at once.
  const BenchSchema bench(odbc, QStringLiteral("tindora_") + QCoreApplication::applicationName());
  const ConnectionSpec& spec = bench.spec;
  QString error = bench.Error();
  if (!bench.Ok() || !OpenConnection("setup", spec, &error) || !CreateSchema("setup", &error) ||
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
    all.failures += r.failures;
    for (int o = 0; o < kOps; ++o) {
      all.tried[o] += r.tried[o];
      all.refused[o] += r.refused[o];
    }
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

  // Every row the run knew (the course's and the committed inserts') with its committed changes.
  Snapshot after;
  long rowsAfter = 0, duplicated = 0;
  Snap("setup", &after, &rowsAfter, &duplicated);
  Snapshot known = before;
  QHash<QString, QList<const Change*>> byRow;  // table + number
  for (const Change& c : all.committed) {
    if (c.op == Op::Insert)
      known[c.table].insert(c.number,
                            {QStringLiteral("n") + c.after, QStringLiteral("t") + c.after});
    else
      byRow[c.table + '\n' + c.number] << &c;
  }
  long lostChanges = 0, lostRows = 0, deletedTwice = 0, deletesUndone = 0, unexpected = 0;
  for (auto table = known.cbegin(); table != known.cend(); ++table) {
    for (auto row = table->cbegin(); row != table->cend(); ++row) {
      QList<const Change*> texts, names, deletes;
      for (const Change* c : byRow.value(table.key() + '\n' + row.key()))
        (c->op == Op::Text ? texts : c->op == Op::Rename ? names : deletes) << c;
      const QString text = Chain(row->text, texts, &lostChanges);
      const QString name = Chain(row->name, names, &lostChanges);
      const auto now = after[table.key()].constFind(row.key());
      if (now != after[table.key()].cend()) {
        deletesUndone += deletes.size();
        if (now->text != text || now->name != name) ++lostChanges;
      } else if (deletes.isEmpty()) {
        ++lostRows;
      } else {
        deletedTwice += deletes.size() - 1;
        // A delete holds only for the row as read: a change committed after that reading is
        // lost under it.
        if (deletes.first()->before != text || deletes.first()->beforeName != name) ++lostChanges;
      }
    }
    for (auto row = after[table.key()].cbegin(); row != after[table.key()].cend(); ++row)
      if (!table->contains(row.key())) ++unexpected;
  }
  const long wrong =
      lostChanges + lostRows + deletedTwice + deletesUndone + unexpected + duplicated;

  std::printf("seats %d, %.1f s\n", seats, elapsed);
  std::printf("actions %ld (%.1f per second); failures %ld\n", all.actions, all.actions / elapsed,
              all.failures);
  for (int o = 0; o < kOps; ++o)
    std::printf("%s: %ld tried, %ld committed, %ld refused as changed meanwhile\n", kOpNames[o],
                all.tried[o], all.tried[o] - all.refused[o], all.refused[o]);
  std::printf("chapter load: median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n",
              percentile(0.5), percentile(0.99), all.chapterMs.empty() ? 0 : all.chapterMs.back());
  std::printf("rows %ld before, %ld after\n", rowsBefore, rowsAfter);
  std::printf(
      "committed changes %zu: %ld lost updates, %ld rows lost, %ld deleted twice, %ld deletes "
      "undone, %ld unexpected rows, %ld duplicated\n",
      all.committed.size(), lostChanges, lostRows, deletedTwice, deletesUndone, unexpected,
      duplicated);
  std::printf("%s: %zu of %zu committed changes found exactly as committed\n",
              wrong == 0 ? "ALL ACCOUNTED FOR" : "LOST UPDATES",
              all.committed.size() - std::min<size_t>(all.committed.size(), size_t(wrong)),
              all.committed.size());
  QSqlDatabase::database("setup", false).close();
  return wrong == 0 ? 0 : 3;
}
