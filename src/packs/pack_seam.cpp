// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include "packs/lesson_pack.h"
#include "packs/pack_code.h"
#include "platform/install_paths.h"
#include "platform/logging.h"

// Compiled in, the pack code defines it; in the program it stays null and the module is loaded.
extern "C" const packs::PackCode* TindoraPackCode() __attribute__((weak));

namespace packs {
namespace {

const PackCode* Code(QString* error) {
  static const PackCode* code = nullptr;
  if (code) return code;
  if (TindoraPackCode) return code = TindoraPackCode();
  // Never unloaded, like the windows built as modules.
  const QString module = QStringLiteral("tindora_packs");
  QLibrary library(QDir(ModuleFolder()).filePath(module));
  const auto entry = reinterpret_cast<decltype(&TindoraPackCode)>(library.resolve("TindoraPackCode"));
  if (!entry) {
    qCWarning(lcDb) << "cannot load module" << module << library.errorString();
    *error = QStringLiteral("无法读写课程包：程序文件 %1 缺少或已损坏。请重新安装本程序。").arg(module);
    return nullptr;
  }
  return code = entry();
}

}  // namespace

ExportResult ExportPack(const QString& connection, const LessonKind& kind, const QString& chapter,
                        const QString& file, const Progress& progress) {
  ExportResult r;
  const PackCode* code = Code(&r.error);
  return code ? code->exportPack(connection, kind, chapter, file, progress) : r;
}

ImportResult ImportPack(const QString& connection, const QString& file, const QString& soundRoot,
                        const LessonKind* expected, const Progress& progress,
                        const PackLimits& limits) {
  ImportResult r;
  const PackCode* code = Code(&r.error);
  return code ? code->importPack(connection, file, soundRoot, expected, progress, limits) : r;
}

CourseResult AddCourse(const QString& connection, const QStringList& files) {
  CourseResult r;
  const PackCode* code = Code(&r.error);
  return code ? code->addCourse(connection, files) : r;
}

QStringList StarterCourseFiles() {
  // Installed beside the recordings; a program run from the build finds the build's.
  for (const QString& folder : {QDir(DataFolder()).filePath(QStringLiteral("starter_course")),
                                QStringLiteral(TINDORA_BUILT_STARTER_COURSE)}) {
    QStringList files;
    for (const char* kind : {"character", "poem", "english"}) {
      const QString file = QDir(folder).filePath(QStringLiteral("%1.tindora").arg(QLatin1String(kind)));
      if (QFileInfo::exists(file)) files << file;
    }
    if (files.size() == 3) return files;
  }
  return {};
}

}  // namespace packs
