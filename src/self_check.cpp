// SPDX-License-Identifier: GPL-3.0-or-later
#include "self_check.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTextStream>

#include "app/shared_routines.h"
#include "arithmetic/exercise.h"
#include "data/lesson_database.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"
#include "platform/install_paths.h"

namespace {

// Existing and a RIFF WAVE file: a missing or misnamed file would play only the default sound.
bool IsWave(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = f.read(12);
  return head.size() == 12 && head.startsWith("RIFF") && head.mid(8) == "WAVE";
}

// Counts the playable files among `paths`; `missing` gets the first one that is not.
int CountWaves(const QStringList& paths, QString* missing) {
  int found = 0;
  for (const QString& p : paths) {
    if (IsWave(p))
      ++found;
    else if (missing->isEmpty())
      *missing = p;
  }
  return found;
}

bool CheckCourse(const QString& connection, QTextStream& out, QStringList* recordings) {
  bool ok = true;
  for (const LessonKind* kind : AllKinds()) {
    platform::Dataset chapters(connection);
    chapters.SetTableName(kind->chapterTable);
    platform::Dataset items(connection);
    items.SetTableName(kind->itemTable);
    if (!chapters.Open() || !items.Open()) {
      out << "自检失败: 读不出 " << kind->itemTable << ": " << chapters.LastError()
          << items.LastError() << "\n";
      return false;
    }
    out << "课程 " << kind->key << ": " << chapters.RecordCount() << " 章, " << items.RecordCount()
        << " 项\n";
    ok = ok && chapters.RecordCount() > 0 && items.RecordCount() > 0;
    for (items.First(); !items.Eof(); items.Next())
      if (!items.Field(QStringLiteral("声音")).isEmpty()) *recordings << items.Field("声音");
  }
  if (!ok) out << "自检失败: 示例课程不完整\n";
  return ok;
}

}  // namespace

int RunSelfCheck(QTextStream& out) {
  // The same data folder as the program's, whichever tool runs the check.
  QCoreApplication::setApplicationName(kApplicationTitle);
  const QString path = EmbeddedDatabasePath();
  const bool existed = QFileInfo::exists(path);
  QString error;
  if (!EnsureEmbeddedDatabase(path, &error)) {
    out << "自检失败: 无法建立数据库 " << path << ": " << error << "\n";
    return 1;
  }
  out << "数据库: " << path << (existed ? " (已有)" : " (新建)") << "\n";

  const QString connection = QStringLiteral("tindora-self-check");
  QStringList recordings;
  bool ok = OpenConnection(connection, EmbeddedSpec(path), &error);
  if (!ok) out << "自检失败: 打不开数据库: " << error << "\n";
  ok = ok && CheckCourse(connection, out, &recordings);
  QSqlDatabase::database(connection, false).close();
  QSqlDatabase::removeDatabase(connection);
  if (!ok) return 1;

  QString missing;
  const int playable = CountWaves(recordings, &missing);
  out << "录音: " << playable << "/" << recordings.size() << " 个可用"
      << (recordings.isEmpty() ? QString() : ", 例如 " + recordings.first()) << "\n";
  if (recordings.isEmpty() || playable != recordings.size()) {
    out << "自检失败: 找不到录音 " << missing << "\n";
    return 1;
  }

  QStringList drill{drill::kPlusSound, drill::kMinusSound, drill::kEqualsSound, drill::kWrongSound,
                    drill::kPraiseSound};
  for (int n = 1; n <= 10; ++n) drill << drill::NumberSound(n);
  QStringList drillFiles;
  for (const QString& name : drill) drillFiles << SoundFilePath(name);
  missing.clear();
  const int sounds = CountWaves(drillFiles, &missing);
  out << "算数声音: " << sounds << "/" << drillFiles.size() << " 个可用, 例如 "
      << drillFiles.first() << "\n";
  if (sounds != drillFiles.size()) {
    out << "自检失败: 找不到算数声音 " << missing << "\n";
    return 1;
  }
  out << "自检通过\n";
  return 0;
}
