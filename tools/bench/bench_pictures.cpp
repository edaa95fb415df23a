// SPDX-License-Identifier: GPL-3.0-or-later
// The items' pictures: the share of items of the sample course and of the starter course that get
// one, per lesson kind, ten matches picked at random with their word (for a look by eye), and
// what the colour font costs in memory when the first pictures are drawn.
//   bench_pictures [seed]
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "app/emoji_picture.h"
#include "data/item_pictures.h"
#include "data/lesson_database.h"
#include "data/lesson_kinds.h"
#include "data/schema_migrations.h"
#include "packs/lesson_pack.h"
#include "platform/dataset.h"
#include "process_memory.h"

namespace {

struct Match {
  QString kind, course, name, text, picture;
};

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
  qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
  QGuiApplication app(argc, argv);
  const quint32 seed = argc > 1 ? QByteArray(argv[1]).toUInt() : QRandomGenerator::global()->generate();
  const QString path = home.filePath(QStringLiteral("lessons.db"));
  const QString c = QStringLiteral("bench");
  QString error;
  QStringList steps, loaded;
  if (!EnsureEmbeddedDatabase(path, &error) || !OpenConnection(c, EmbeddedSpec(path), &error) ||
      !MigrateSchema(c, &error, &steps)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  // The sample course is in a new database; the starter course's items come after its numbers.
  QHash<QString, int> sampleLast;
  for (const LessonKind* k : AllKinds()) {
    platform::Dataset d(c);
    d.SqlAdd(QStringLiteral("select max(%1) from %2").arg(k->numberField, k->itemTable));
    sampleLast[k->key] = d.Open() ? d.ValueAt(0, 0).toInt() : 0;
  }
  const packs::CourseResult added = packs::AddCourse(c, packs::StarterCourseFiles());
  if (!added.ok) std::printf("starter course: %s\n", qPrintable(added.error));

  QList<Match> matches;
  for (const LessonKind* k : AllKinds()) {
    if (!k->pictures) continue;
    platform::Dataset d(c);
    d.SqlAdd(k->sqlAllItems);
    if (!d.Open()) return 1;
    int count[2] = {0, 0}, pictured[2] = {0, 0};
    for (d.First(); !d.Eof(); d.Next()) {
      const int course = d.Field(k->numberField).toInt() > sampleLast[k->key] ? 1 : 0;
      const QString picture = pictures::ItemPicture(d, *k);
      ++count[course];
      if (picture.isEmpty()) continue;
      ++pictured[course];
      matches.append({k->key, course ? QStringLiteral("starter") : QStringLiteral("sample"),
                      d.Field(k->nameField), d.Field(k->textField), picture});
    }
    for (int course : {0, 1})
      std::printf("%-9s %-7s %4d of %4d items have a picture (%.0f %%)\n", qPrintable(k->key),
                  course ? "starter" : "sample", pictured[course], count[course],
                  count[course] ? 100.0 * pictured[course] / count[course] : 0.0);
  }
  if (qEnvironmentVariableIsSet("BENCH_PICTURES_ALL"))
    for (const Match& m : matches)
      std::printf("%s %s %s\n", qPrintable(m.picture), qPrintable(m.name), qPrintable(m.text.simplified()));
  std::printf("ten matches at random (seed %u):\n", seed);
  QRandomGenerator random(seed);
  for (int i = 0; i < 10 && !matches.isEmpty(); ++i) {
    const Match m = matches.takeAt(random.bounded(int(matches.size())));
    std::printf("  %s  %-9s %-7s %s — %s\n", qPrintable(m.picture), qPrintable(m.kind),
                qPrintable(m.course), qPrintable(m.name), qPrintable(m.text.simplified()));
  }

  const ProcessMemory before = MemoryNow();
  for (const QString& e : {QStringLiteral("🐈"), QStringLiteral("🍎"), QStringLiteral("💧")})
    EmojiPixmap(e, 160, 1.75);
  const ProcessMemory after = MemoryNow();
  std::printf("first pictures drawn: resident %+.1f MB, the program's own %+.1f MB\n",
              after.residentMb - before.residentMb, after.ownMb - before.ownMb);
  return 0;
}
