// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long the learning record window takes to open over 100,000 records of twenty
// children (from creating it until it has been laid out and drawn) on one child and on the whole
// class, to switch to a month, to this computer only and to the class, and what
// noting one action costs the screen that notes it. On the embedded SQLite database; also on
// PostgreSQL when TINDORA_PG_CONNSTR is set. Run with QT_QPA_PLATFORM=offscreen or on a display.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QToolButton>
#include <algorithm>
#include <cstdio>

#include "app/current_child.h"
#include "app/practice_log.h"
#include "bench_support.h"
#include "data/children.h"
#include "data/data_module.h"
#include "data/lesson_database.h"
#include "data/record_store.h"
#include "platform/dataset.h"
#include "records/record_window.h"

using namespace records;

namespace {

constexpr int kRecords = 100000;
constexpr int kRuns = 5;

constexpr int kChildren = 20;

// A classroom's year: three computers, twenty children, most practice on characters, the last
// month busiest.
QList<Record> Year(const QStringList& characters) {
  QRandomGenerator random(19);
  const QDateTime now = QDateTime::currentDateTime();
  const QStringList machines = {MachineName(), QStringLiteral("pc-2"), QStringLiteral("pc-3")};
  QList<Record> year;
  year.reserve(kRecords);
  for (int i = 0; i < kRecords; ++i) {
    const int back = random.bounded(2) ? random.bounded(30) : random.bounded(365);
    const QDateTime at = now.addDays(-back).addSecs(-random.bounded(36000));
    const QString& machine = machines[random.bounded(3)];
    const int kind = random.bounded(10);
    const int child = 1 + random.bounded(kChildren);
    if (kind < 6)
      year.append({machine,
                   at,
                   Module::Character,
                   characters[random.bounded(int(characters.size()))],
                   {},
                   {},
                   0,
                   {},
                   child});
    else if (kind < 9)
      year.append({machine,
                   at,
                   kind == 6 ? Module::Poem : Module::English,
                   QStringLiteral("item %1").arg(random.bounded(40)),
                   {},
                   {},
                   0,
                   {},
                   child});
    else
      year.append({machine,
                   at,
                   Module::Drill,
                   {},
                   random.bounded(2) ? "+" : "-",
                   QString::number(random.bounded(32), 2).rightJustified(5, '0'),
                   60,
                   {},
                   child});
  }
  return year;
}

double Median(QList<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

void Report(const char* what, const QList<double>& ms) {
  std::printf("  %-34s median %7.1f ms   min %7.1f   max %7.1f\n", what, Median(ms),
              *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

void Measure(const ConnectionSpec& spec, const char* label) {
  Tdm module(spec);
  if (!module.Connected()) {
    std::printf("%s: cannot connect: %s\n", label, qPrintable(module.ConnectError()));
    return;
  }
  dm = &module;
  const QString c = module.ConnectionName();
  QString error;
  ClearRecords(c, {}, &error);
  QStringList characters;
  for (int i = 0; i < 60; ++i) characters << QString(QChar(0x4e00 + i));
  QElapsedTimer fill;
  fill.start();
  if (!WriteRecords(c, Year(characters), &error)) {
    std::printf("%s: cannot write: %s\n", label, qPrintable(error));
    dm = nullptr;
    return;
  }
  std::printf("%s: %d records written in %.1f s\n", label, kRecords, fill.elapsed() / 1000.0);
  platform::ExecSql(c, QStringLiteral("delete from children"));
  QStringList names;
  for (int i = 1; i <= kChildren; ++i) names << QStringLiteral("小朋友%1").arg(i);
  QList<children::Child> added;
  if (!children::AddClassList(c, names, &added, nullptr, &error) || added.size() != kChildren) {
    std::printf("%s: cannot add the children: %s\n", label, qPrintable(error));
    dm = nullptr;
    return;
  }
  // A server's autovacuum would have gathered the statistics by the time anyone looks.
  if (spec.driver == QLatin1String("QODBC"))
    platform::ExecSql(c, QStringLiteral("analyze learn_record"));

  {
    // The reads alone, for telling the database's share from the drawing's.
    const QDate from = QDate::currentDate().addDays(-29);
    QList<DayCount> days;
    QList<ItemCount> items;
    QList<DrillSeries> drills;
    QList<double> d, i, s;
    for (int run = 0; run < kRuns; ++run) {
      QElapsedTimer t;
      t.start();
      LoadDayCounts(c, MachineName(), from, &days, &error);
      d << t.nsecsElapsed() / 1e6;
      t.restart();
      LoadItemCounts(c, MachineName(), Module::Character, &items, &error);
      i << t.nsecsElapsed() / 1e6;
      t.restart();
      LoadDrills(c, MachineName(), from, &drills, &error);
      s << t.nsecsElapsed() / 1e6;
    }
    Report("read: practice per day, 30 days", d);
    Report("read: characters opened", i);
    Report("read: drill series, 30 days", s);
  }
  QList<double> open, month, all, wholeClass, openClass;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer t;
    SetCurrentChild({});  // none chosen: the window opens on the class
    t.start();
    {
      TRecordsForm window(nullptr);
      window.setWindowState(Qt::WindowNoState);
      window.resize(1024, 700);
      window.show();
      window.repaint();
      QApplication::processEvents();
      openClass << t.nsecsElapsed() / 1e6;
    }
    SetCurrentChild(added.first());
    t.restart();
    auto* window = new TRecordsForm(nullptr);
    window->setWindowState(Qt::WindowNoState);
    window->resize(1024, 700);
    window->show();
    window->repaint();
    QApplication::processEvents();
    open << t.nsecsElapsed() / 1e6;
    t.restart();
    window->MonthSb->click();
    window->repaint();
    QApplication::processEvents();
    month << t.nsecsElapsed() / 1e6;
    t.restart();
    window->AllCb->click();
    window->repaint();
    QApplication::processEvents();
    all << t.nsecsElapsed() / 1e6;
    window->WeekSb->click();
    t.restart();
    window->ChildCb->setCurrentIndex(window->ChildCb->findData(TRecordsForm::kWholeClass));
    window->repaint();
    QApplication::processEvents();
    wholeClass << t.nsecsElapsed() / 1e6;
    delete window;
  }
  SetCurrentChild({});
  Report("open on one child (7 days)", open);
  Report("switch to 30 days", month);
  Report("switch to this computer only", all);
  Report("switch to the class (20 children)", wholeClass);
  Report("open on the class (20 children)", openClass);

  // What a screen pays for noting an action: queueing it, not writing it.
  Start(c);
  constexpr int kNotes = 2000;
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < kNotes; ++i) Note(LessonKindId::Character, characters[i % 60]);
  const double perNote = t.nsecsElapsed() / 1e3 / kNotes;
  t.restart();
  Flush(60000);
  std::printf("  noting one action on the screen: %.2f us; %d notes written in %.0f ms\n", perNote,
              kNotes, t.nsecsElapsed() / 1e6);
  Stop();
  ClearRecords(c, {}, &error);
  platform::ExecSql(c, QStringLiteral("delete from children"));
  dm = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return MeasureOnEachDatabase(
      QString::asprintf(
          "Learning record window over %d records, %d runs (target: open under 200 ms)\n",
          kRecords, kRuns),
      QStringLiteral("tindora_bench_records"), Measure);
}
