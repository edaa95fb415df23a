// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the learning record window over a made-up month of practice on the sample course, at
// its design size and maximised, to PNG files for looking at. Argument: output folder.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>

#include "app/practice_log.h"
#include "data/data_module.h"
#include "data/lesson_database.h"
#include "data/record_store.h"
#include "platform/dataset.h"
#include "records/record_window.h"

using namespace records;

namespace {

// A child who practises most days, more at weekends, and gets better at the drill.
QList<Record> MadeUpMonth(const QStringList& characters) {
  QRandomGenerator random(7);
  const QDate today = QDate::currentDate();
  const QStringList poems = {"静夜思", "春晓", "咏鹅"};
  const QStringList english = {"apple", "cat", "dog", "sun"};
  QList<Record> made;
  for (int back = 29; back >= 0; --back) {
    const QDate day = today.addDays(-back);
    if (random.bounded(5) == 0) continue;
    const int weight = day.dayOfWeek() >= 6 ? 2 : 1;
    const QDateTime at = day.startOfDay().addSecs(17 * 3600);
    for (const QString& machine : {MachineName(), QStringLiteral("教室电脑2")}) {
      for (int i = random.bounded(3, 9) * weight; i > 0; --i) {
        // The first characters of the course come up most.
        const int c = int(random.bounded(12)) * int(random.bounded(12)) / 11;
        made.append(
            {machine, at.addSecs(i * 60), Module::Character, characters.value(c), {}, {}, 0});
      }
      for (int i = random.bounded(0, 3) * weight; i > 0; --i)
        made.append({machine,
                     at.addSecs(900 + i * 60),
                     Module::Poem,
                     poems[random.bounded(int(poems.size()))],
                     {},
                     {},
                     0});
      for (int i = random.bounded(0, 4) * weight; i > 0; --i)
        made.append({machine,
                     at.addSecs(1500 + i * 60),
                     Module::English,
                     english[random.bounded(int(english.size()))],
                     {},
                     {},
                     0});
      for (int i = random.bounded(0, 3); i > 0; --i) {
        QString results;
        for (int e = 0; e < 5; ++e)
          results += random.bounded(40) < 18 + (29 - back) / 2 ? '1' : '0';
        made.append({machine,
                     at.addSecs(2400 + i * 300),
                     Module::Drill,
                     {},
                     i % 2 ? QStringLiteral("+") : QStringLiteral("-"),
                     results,
                     int(results.count('1')) * 20});
      }
      // Characters written: traced, from memory alone or with help, or left with misses.
      for (int i = random.bounded(0, 4); i > 0; --i) {
        const char* ways[] = {"", kQuizAlone, kQuizHelped, kUnfinished};
        made.append({machine,
                     at.addSecs(3600 + i * 60),
                     Module::Writing,
                     characters.value(int(random.bounded(8))),
                     QLatin1String(ways[random.bounded(4)]),
                     {},
                     int(random.bounded(3))});
      }
    }
  }
  return made;
}

bool Shoot(TRecordsForm* window, const QSize& size, const QString& path) {
  window->setWindowState(Qt::WindowNoState);
  window->resize(size);
  window->show();
  QApplication::processEvents();
  const bool ok = window->grab().save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
  out.mkpath(QStringLiteral("."));
  QTemporaryDir tmp;
  const QString path = tmp.filePath(QStringLiteral("lessons.db"));
  QString error;
  if (!EnsureEmbeddedDatabase(path, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  Tdm module(EmbeddedSpec(path));
  dm = &module;
  bool ok = true;
  {
    auto* empty = new TRecordsForm(nullptr);
    ok &= Shoot(empty, QSize(800, 578), out.filePath(QStringLiteral("records_empty.png")));
    delete empty;
  }
  QStringList chapters, characters, more;
  LoadCharacterChapters(module.ConnectionName(), &chapters, &error);
  for (const QString& chapter : chapters) {
    LoadChapterCharacters(module.ConnectionName(), chapter, &more, &error);
    characters << more;
  }
  if (!WriteRecords(module.ConnectionName(), MadeUpMonth(characters), &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  // A chapter of words practised today: the window opens on it.
  const QStringList words = {"大人", "你好", "妈妈", "老师", "朋友", "字12", "字13", "字14",
                             "字15", "字16", "字17", "字18", "字19", "字20", "字21", "字22"};
  platform::ExecSql(module.ConnectionName(),
                    QStringLiteral("insert into ZJ (章号, 章节) values (97, '词语')"));
  QList<Record> today;
  for (int i = 0; i < words.size(); ++i) {
    platform::ExecSql(module.ConnectionName(),
                      QStringLiteral("insert into szSound (字号, 字名, 章节, 拼音词组, 声音) "
                                     "values (%1, '%2', '词语', '', '')")
                          .arg(800 + i)
                          .arg(words[i]));
    for (int n = i < 5 ? 6 - i : 0; n > 0; --n)
      today.append({MachineName(),
                    QDate::currentDate().startOfDay().addSecs(23 * 3600 + 60 * n),
                    Module::Character,
                    words[i],
                    {},
                    {},
                    0});
  }
  WriteRecords(module.ConnectionName(), today, &error);
  auto* window = new TRecordsForm(nullptr);
  ok &= Shoot(window, QSize(800, 578), out.filePath(QStringLiteral("records_week.png")));
  window->MonthSb->click();
  ok &= Shoot(window, QSize(800, 578), out.filePath(QStringLiteral("records_month.png")));
  window->AllCb->click();
  window->ChapterCb->setCurrentIndex(1);
  ok &= Shoot(window, QSize(1280, 800), out.filePath(QStringLiteral("records_all_large.png")));
  delete window;
  dm = nullptr;
  return ok ? 0 : 1;
}
