// SPDX-License-Identifier: GPL-3.0-or-later
// The starter course: the packs' size, the time to add it to a fresh home's database (the sample
// course in it) and to find it added a second time, and the first and second play of a character
// of chapter 37 (the recording spoken, stored and named in the row; then found). On the embedded
// database, and on PostgreSQL when TINDORA_PG_CONNSTR is set.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "data/recordings_library.h"
#include "data/schema_migrations.h"
#include "packs/lesson_pack.h"

namespace {

constexpr double kFirstPlayTargetMs = 1500;

double Ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

void Measure(const ConnectionSpec& spec, const char* label, bool* missed) {
  const QString c = QStringLiteral("bench-%1").arg(QLatin1String(label));
  QString error;
  QStringList steps, loaded;
  if (!OpenConnection(c, spec, &error) || !MigrateSchema(c, &error, &steps) ||
      !LoadCourseIntoEmptyTables(c, SampleCourseJson(), {}, &loaded, &error)) {
    std::printf("%s: %s\n", label, qPrintable(error));
    *missed = true;
    return;
  }
  const QStringList files = packs::StarterCourseFiles();
  QElapsedTimer t;
  t.start();
  const packs::CourseResult r = packs::AddCourse(c, files);
  const double add = Ms(t);
  t.restart();
  const packs::CourseResult again = packs::AddCourse(c, files);
  const double second = Ms(t);
  if (!r.ok || !again.alreadyAdded) {
    std::printf("%s: %s\n", label, qPrintable(r.ok ? again.error : r.error));
    *missed = true;
    return;
  }
  int items = 0;
  for (const packs::CourseKindResult& k : r.kinds) items += k.items;
  std::printf("%s: course added in %.0f ms (%d items), second time (adds nothing) %.1f ms\n", label,
              add, items, second);

  const LessonKind& k = Kind(LessonKindId::Character);
  platform::Dataset chapter(c);
  chapter.SqlAdd(QStringLiteral("select * from ZJ where 章号 = 37"));
  platform::Dataset rows(c);
  rows.SqlAdd(k.sqlAllItems);
  if (!chapter.Open() || chapter.IsEmpty() || !rows.Open() ||
      !rows.Locate(QStringLiteral("章节"), chapter.Field(QStringLiteral("章节")), false)) {
    std::printf("%s: no chapter 37\n", label);
    *missed = true;
    return;
  }
  const QString name = rows.Field(k.nameField);
  t.restart();
  const QString made = RecordFirstPlay(rows, k, &error);
  const double first = Ms(t);
  t.restart();
  const QString found = recordings::LocalPath(c, rows.Field(QStringLiteral("声音")));
  const double again2 = Ms(t);
  const bool ok = !made.isEmpty() && found == made && QFileInfo(found).isFile();
  std::printf("%s: first play of %s (%s) %.0f ms [target %.0f], second play %.2f ms%s\n", label,
              qPrintable(name), qPrintable(chapter.Field(QStringLiteral("章节"))), first,
              kFirstPlayTargetMs, again2, ok ? "" : "  FAILED");
  if (!ok || first > kFirstPlayTargetMs) *missed = true;
  QSqlDatabase::database(c, false).close();
}

}  // namespace

int main(int argc, char** argv) {
  // The recordings library and cache in a home of the run's own.
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
  qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tindora"));
  const QStringList files = packs::StarterCourseFiles();
  if (files.isEmpty()) {
    std::fprintf(stderr, "the starter course is not built\n");
    return 1;
  }
  qint64 bytes = 0;
  for (const QString& f : files) {
    std::printf("%s: %lld bytes\n", qPrintable(QFileInfo(f).fileName()), QFileInfo(f).size());
    bytes += QFileInfo(f).size();
  }
  std::printf("packs together: %.1f KiB\n", double(bytes) / 1024);
  bool missed = false;
  const int status = MeasureOnEachDatabase(
      {}, QStringLiteral("tindora_bench_starter"),
      [&](const ConnectionSpec& spec, const char* label) { Measure(spec, label, &missed); });
  std::printf("%s\n", missed ? "verdict: MISSED" : "verdict: ok");
  return status != 0 ? status : missed ? 1 : 0;
}
