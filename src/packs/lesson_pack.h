// SPDX-License-Identifier: GPL-3.0-or-later
// Lesson packs: one ZIP file with the chapters, items and recordings of one lesson kind, so that
// a course moves from one installation to another. The pack holds "manifest.json" (format,
// version, kind, chapters with their items) and the WAVs under "recordings/". No widgets here:
// windows and the set-up tool show the messages, which are written for the user.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "data/lesson_kinds.h"
#include "platform/sound.h"

namespace packs {

inline constexpr int kPackVersion = 1;
inline constexpr char kPackFormat[] = "tindora-lesson-pack";
inline constexpr char kManifestName[] = "manifest.json";

// What an import is willing to unpack. Declared sizes are checked before anything is written and
// the bytes really produced are counted while unpacking, because a hostile pack may lie.
struct PackLimits {
  qint64 maxTotalBytes = qint64(1) << 30;  // all entries together
  qint64 maxEntryBytes = platform::kMaxRecordingBytes;  // a recording; the manifest has its own
  qint64 maxManifestBytes = qint64(8) << 20;
  int maxEntries = 20000;
  int maxChapters = 500;
  int maxItems = 20000;
  // An entry that unpacks to more than `ratioFloor` bytes may not grow more than `maxRatio`-fold
  // (a short silent recording compresses very well, so small entries are exempt).
  qint64 maxRatio = 100;
  qint64 ratioFloor = qint64(1) << 20;
};

// Reports progress (steps done of total); answering false cancels.
using Progress = std::function<bool(int done, int total)>;

struct ExportResult {
  bool ok = false;
  bool cancelled = false;
  QString error;  // the user's message when !ok
  int chapters = 0;
  int items = 0;
  QStringList missingRecordings;  // names of items exported without their recording
};

// Writes the chapter named `chapter` (all chapters of the kind when empty) with its items and
// recordings to `file`. The file appears only when complete; an existing one is replaced.
ExportResult ExportPack(const QString& connection, const LessonKind& kind, const QString& chapter,
                        const QString& file, const Progress& progress = {});

struct ImportResult {
  bool ok = false;
  bool cancelled = false;
  QString error;  // the user's message when !ok
  const LessonKind* kind = nullptr;
  int chapters = 0;
  int items = 0;
  QString soundFolder;  // where the recordings went as files; empty when none or in the database
};

// Imports `file` into the database in one transaction. Each recording is stored once, however
// many items name it: in the database's recordings table on a server, else as a file of the
// recordings library (under `soundRoot` when given, with full paths in the rows). Chapters and
// items are numbered after the highest numbers in use. With `expected` set, a pack of another kind
// is refused. All or nothing: on any failure or cancel the database and the folders stay as they
// were.
ImportResult ImportPack(const QString& connection, const QString& file, const QString& soundRoot,
                        const LessonKind* expected = nullptr, const Progress& progress = {},
                        const PackLimits& limits = {});

// The starter course ("入门课程"): one pack per lesson kind, made at build time, added after the
// chapters already there. Its chapters' ordinals follow their new numbers ("第一章 数字" added
// after four chapters becomes "第五章 数字"); a name still taken gets "（入门）". The SYS row
// "入门课程" marks it added, so a second time adds nothing.
struct CourseKindResult {
  const LessonKind* kind = nullptr;
  int chapters = 0;
  int items = 0;
  int firstChapter = 0;  // the number of its first chapter
};
struct CourseResult {
  bool ok = false;
  bool alreadyAdded = false;
  QString error;  // the user's message when !ok
  QVector<CourseKindResult> kinds;
  QStringList renamed;  // names changed because another chapter had them
};
inline constexpr char kStarterCourseMark[] = "入门课程";

// Adds the packs `files` in one transaction, leaving every row already there as it was.
CourseResult AddCourse(const QString& connection, const QStringList& files);

// The installed starter course's packs, empty when it is not installed.
QStringList StarterCourseFiles();

// The user's data folder, under which imported recordings go by default.
QString UserSoundRoot();

// The kind named by its key ("character", "poem", "english"), or nullptr.
const LessonKind* KindByKey(const QString& key);

}  // namespace packs
