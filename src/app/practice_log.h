// SPDX-License-Identifier: GPL-3.0-or-later
// Noting what a child does, for the learning record. A note costs the screen nothing: it is
// queued and written on a thread of its own; a write that fails is logged, never shown. Notes the
// database does not take (server away) wait in a spool file in the user's data folder and are
// tried again with growing pauses while the program runs and at its next start.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "data/lesson_kinds.h"

namespace records {

// Notes kept in the spool at most; beyond this the oldest are given up.
inline constexpr int kSpoolLimit = 100000;
// The spool's bytes read at most (its newest part), and the longest line taken for a note, its
// line break included.
inline constexpr qint64 kSpoolBytes = qint64(64) << 20;
inline constexpr qsizetype kSpoolLineBytes = 16 * 1024;
// Quitting waits this long for the writer; what it has not written goes to the spool.
inline constexpr int kStopWaitMs = 2000;

// The spool in the user's data folder.
QString DefaultSpoolFile();

// Starts writing notes to the database of `connectionName` (an open connection of this thread,
// cloned for the writer), first those left in `spoolFile`. Notes made while no practice log runs
// are dropped.
void Start(const QString& connectionName, const QString& spoolFile = DefaultSpoolFile());
// Tries what is queued once more, waiting at most kStopWaitMs; the rest is spooled.
void Stop();
// Waits until every note made so far (those the spool held included) has been tried; false when that took longer than `ms`.
bool Flush(int ms = 10000);

// A character opened, a poem or English item read aloud.
void Note(LessonKindId kind, const QString& item);
// How a character was written: traced over its model, or from memory (默写) alone or after its
// model was shown for a stroke missed again and again; or left before it was finished.
enum class WritingWay { Traced, Alone, Helped, Unfinished };
// A character written on the writing screen, with every stroke missed on the way; for one left
// unfinished, only the strokes missed.
void NoteWriting(const QString& character, int missed, WritingWay way = WritingWay::Traced);
// A drill series finished or given up: its operation ("+" or "-"), the marks of its resolved
// exercises, its score and each exercise's first answer ("7+2:1", "3-1:0").
void NoteDrill(const QString& operation, const QStringList& marks, int score,
               const QStringList& firstAnswers);
// The same with the result boxes that show the marks; empty boxes are exercises not resolved.
template <class Boxes>
void NoteDrill(const QString& operation, const Boxes& boxes, int score,
               const QStringList& firstAnswers) {
  QStringList marks;
  for (const auto* box : boxes) marks << box->text();
  NoteDrill(operation, marks, score, firstAnswers);
}

// This computer's name, kept with every record.
QString MachineName();

// Points on the spool's way where a test may hold the writer or end the process: before the
// writer reads the spool, and each step of keeping notes at exit while the writer is stuck.
enum class SpoolStep { Reading, ExitFileMade, ExitWritten, ExitSynced, ExitReplaced };
using SpoolStepHook = std::function<void(SpoolStep)>;
void SetSpoolStepHook(SpoolStepHook hook);

}  // namespace records
