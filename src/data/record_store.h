// SPDX-License-Identifier: GPL-3.0-or-later
// The learning record in the lesson database (table learn_record, made by the schema's second
// step): one row per recorded action, with the computer it happened on. Reads come back counted by
// the database, so the window stays quick over years of records.
#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include "platform/dataset.h"
#include "data/record_stats.h"

namespace records {

// One recorded action.
struct Record {
  QString machine;
  QDateTime at;
  Module module = Module::Character;
  QString item;       // the character, poem or English item; drill: the first answers
  QString operation;  // drill: "+" or "-"
  QString results;    // drill: EncodeMarks of the five marks
  int score = 0;      // drill: the score; writing: the strokes missed
  QString id = {};    // the note's identity: a retry after a lost reply finds it written
  int child = {};     // the child who made it; children::kNoChild: unassigned
};

// Whose records a reading counts: one computer's or all (empty machine), one child's, the
// unassigned notes (children::kNoChild) or every child's (kAnyChild).
inline constexpr int kAnyChild = -1;
struct RecordFilter {
  RecordFilter(const QString& machine = {}, int child = kAnyChild)  // NOLINT: a machine alone
      : machine(machine), child(child) {}
  QString machine;
  int child;
};

// Writes the records in one transaction: all or none. A record whose id is already stored is
// skipped.
bool WriteRecords(const QString& connection, const QList<Record>& records, QString* error);

// Counted by the database for the records `filter` names.
bool LoadDayCounts(const QString& connection, const RecordFilter& filter, const QDate& from,
                   QList<DayCount>* counts, QString* error);
// When each note of `filter` since `from` was made, oldest first: the minutes practised.
bool LoadNoteTimes(const QString& connection, const RecordFilter& filter, const QDate& from,
                   QList<QDateTime>* times, QString* error);
// Per item, how often it was practised; a character's count includes its writing.
bool LoadItemCounts(const QString& connection, const RecordFilter& filter, Module module,
                    QList<ItemCount>* counts, QString* error);
bool LoadDrills(const QString& connection, const RecordFilter& filter, const QDate& from,
                QList<DrillSeries>* series, QString* error);
// Characters written, those of the quiz, and strokes missed on the writing screen since `from`.
bool LoadWritingTotals(const QString& connection, const RecordFilter& filter, const QDate& from,
                       WritingTotals* totals, QString* error);
// The characters written with strokes missed since `from`, the strokes missed each, most first.
bool LoadWritingMisses(const QString& connection, const RecordFilter& filter, const QDate& from,
                       QList<ItemCount>* misses, QString* error);
// The characters `child` (0: none chosen) has finished on the writing screen, kept apart from the
// record so that clearing the record keeps the stars.
bool LoadWrittenCharacters(const QString& connection, int child, QSet<QString>* characters,
                           QString* error);
// Whether this login may clear notes: not a classroom seat's.
bool MayClearRecords(const QString& connection);
// `failure` says why it could not.
bool ClearRecords(const QString& connection, const RecordFilter& filter, QString* error,
                  platform::WriteFailure* failure = nullptr);

// The character chapters in chapter order, and the characters of one chapter in item order.
bool LoadCharacterChapters(const QString& connection, QStringList* chapters, QString* error);
bool LoadChapterCharacters(const QString& connection, const QString& chapter,
                           QStringList* characters, QString* error);
// The chapter of the character practised last (empty when none was): the chapter a child is at.
bool LoadLatestCharacterChapter(const QString& connection, const RecordFilter& filter,
                                QString* chapter, QString* error);

// The class at a glance ("全班"): per child (kNoChild for the unassigned notes) since `from`, the
// days practised, the characters opened and written (each counted once), the drill's average
// score (-1 without a series) and the characters the listening game asked.
struct ChildSummary {
  int child = 0;
  int days = 0;
  int opened = 0;
  int written = 0;
  int drillScore = -1;
  int listened = 0;  // characters the listening game asked since `from`
};
bool LoadClassSummary(const QString& connection, const QDate& from, QList<ChildSummary>* rows,
                      QString* error);

}  // namespace records
