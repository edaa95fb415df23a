// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long choosing a listening game's items for one child takes, and the record's
// knowledge view ("认识的字", read and drawn), over a course of 20,000 items in 400 chapters and 20
// children with 100 reviews each. On the embedded SQLite database; also on PostgreSQL when
// TINDORA_PG_CONNSTR is set. Targets: 20 ms and 100 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

#include "bench_support.h"
#include "data/data_module.h"
#include "data/lesson_database.h"
#include "platform/dataset.h"
#include "app/practice_log.h"
#include "data/record_store.h"
#include "review/knowledge_window.h"
#include "review/review_store.h"

namespace {

constexpr int kItems = 20000;
constexpr int kChapters = 400;
constexpr int kChildren = 20;
constexpr int kReviews = 100;
constexpr int kRuns = 7;

double Median(QList<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

void Report(const char* what, const QList<double>& ms) {
  std::printf("  %-44s median %7.1f ms   min %7.1f   max %7.1f\n", what, Median(ms),
              *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

bool Fill(const QString& c, QString* error) {
  platform::Transaction t(c);
  if (!t.Begin()) return false;
  for (int ch = 0; ch < kChapters; ++ch)
    if (!platform::ExecQuery(c, QStringLiteral("insert into ZJ (章号, 章节) values (?, ?)"),
                             {ch + 100, QStringLiteral("第%1章").arg(ch + 1)}, nullptr, error))
      return false;
  for (int i = 0; i < kItems; ++i) {
    // Characters from the common block, every tenth a two-character word.
    QString name(QChar(0x4e00 + i % 20000));
    if (i % 10 == 9) name += QChar(0x4e00 + (i * 7) % 20000);
    if (!platform::ExecQuery(
            c,
            QStringLiteral("insert into szSound (字号, 字名, 章节, 拼音词组, 声音) values (?, ?, ?, ?, ?)"),
            {i + 1000, name, QStringLiteral("第%1章").arg(i / (kItems / kChapters) + 1), QString(),
             QString()},
            nullptr, error))
      return false;
  }
  return t.Commit();
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
  QElapsedTimer fill;
  fill.start();
  if (!Fill(c, &error)) {
    std::printf("%s: cannot fill the course: %s\n", label, qPrintable(error));
    dm = nullptr;
    return;
  }
  // Every child has answered 100 times over the last half year
  const int today = int(QDate::currentDate().toJulianDay());
  const review::Scheduler scheduler;
  QRandomGenerator random(33);
  QList<records::Record> opened;
  for (int child = 0; child < kChildren; ++child) {
    review::ChildCards cards;
    int day = today - 180;
    for (int r = 0; r < kReviews; ++r) {
      const QString item = QString(QChar(0x4e00 + random.bounded(kItems / 4)));
      day = std::min(today, day + random.bounded(3));
      const review::Card next = scheduler.Review(cards.value(item), day,
                                                 review::Grade(1 + random.bounded(3)));
      cards.insert(item, next);
      review::SaveCard(c, child, item, next, day, &error);
    }
  }
  // and has opened characters of the first forty chapters 250 times.
  for (int i = 0; i < kChildren * 250; ++i)
    opened.append({records::MachineName(), QDateTime::currentDateTime(), records::Module::Character,
                   QString(QChar(0x4e00 + random.bounded(kItems / 10))), {}, {}, 0, {},
                   i % kChildren});
  records::WriteRecords(c, opened, &error);
  if (spec.driver == QLatin1String("QODBC")) platform::ExecSql(c, QStringLiteral("analyze"));
  std::printf("%s: %d items, %d children x %d reviews set up in %.1f s\n", label, kItems,
              kChildren, kReviews, fill.elapsed() / 1000.0);

  QList<double> choose;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer t;
    t.start();
    review::GameSelection selection;
    if (!review::ChooseForChild(c, run % kChildren, today, scheduler, &selection, &error))
      std::printf("  choice failed: %s\n", qPrintable(error));
    choose << t.nsecsElapsed() / 1e6;
    if (run == 0)
      std::printf("  a game: %d items (%d due, %d new)\n", int(selection.choice.items.size()),
                  selection.choice.due, selection.choice.fresh);
  }
  Report("choosing a game's items for one child", choose);

  QList<double> view;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer t;
    t.start();
    auto* window = new TKnowledgeForm(nullptr);
    window->resize(1024, 700);
    window->show();
    window->repaint();
    QApplication::processEvents();
    view << t.nsecsElapsed() / 1e6;
    if (run == 0)
      std::printf("  knowledge view: %s\n", qPrintable(KnowledgeSummaryText(window->View())));
    delete window;
  }
  Report("knowledge view: read, count, lay out and draw", view);
  dm = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return MeasureOnEachDatabase(
      QString::asprintf(
          "Listening game and knowledge view, %d runs (targets: 20 ms and 100 ms)\n", kRuns),
      QStringLiteral("tindora_bench_review"), Measure);
}
