// SPDX-License-Identifier: GPL-3.0-or-later
// The seam to the code that reads and writes the ZIP files. It is built as a module of its own,
// tindora_packs.so with QuaZip (and Qt Core5Compat under it), which the program loads the first
// time a pack is exported or imported; the set-up tool and the tests compile it in. Callers use
// ExportPack and ImportPack (lesson_pack.h), which find the code through TindoraPackCode.
#pragma once

#include "packs/lesson_pack.h"

namespace packs {

ExportResult ExportPackFile(const QString& connection, const LessonKind& kind,
                            const QString& chapter, const QString& file, const Progress& progress);
ImportResult ImportPackFile(const QString& connection, const QString& file,
                            const QString& soundRoot, const LessonKind* expected,
                            const Progress& progress, const PackLimits& limits);

CourseResult AddCourseFiles(const QString& connection, const QStringList& files);

struct PackCode {
  decltype(&ExportPackFile) exportPack;
  decltype(&ImportPackFile) importPack;
  decltype(&AddCourseFiles) addCourse;
};

}  // namespace packs

// Defined by the pack code; the program resolves it in the module.
extern "C" const packs::PackCode* TindoraPackCode();
