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

#include "records/record_stats.h"

namespace records {

// One recorded action.
struct Record {
  QString machine;
  QDateTime at;
  Module module = Module::Character;
  QString item;       // the character, poem or English item; empty for the drill
  QString operation;  // drill: "+" or "-"
  QString results;    // drill: EncodeMarks of the five marks
  int score = 0;      // drill: the score; writing: the strokes missed
  QString id = {};    // the note's identity: a retry after a lost reply finds it written
};

// Writes the records in one transaction: all or none. A record whose id is already stored is
// skipped.
bool WriteRecords(const QString& connection, const QList<Record>& records, QString* error);

// `machine` empty: every computer's records.
bool LoadDayCounts(const QString& connection, const QString& machine, const QDate& from,
                   QList<DayCount>* counts, QString* error);
// Per item, how often it was practised; a character's count includes its writing.
bool LoadItemCounts(const QString& connection, const QString& machine, Module module,
                    QList<ItemCount>* counts, QString* error);
bool LoadDrills(const QString& connection, const QString& machine, const QDate& from,
                QList<DrillSeries>* series, QString* error);
// Characters written and strokes missed on the writing screen since `from`.
bool LoadWritingTotals(const QString& connection, const QString& machine, const QDate& from,
                       int* written, int* missed, QString* error);
// The characters `child` (0: none chosen) has finished on the writing screen, kept apart from the
// record so that clearing the record keeps the stars.
bool LoadWrittenCharacters(const QString& connection, int child, QSet<QString>* characters,
                           QString* error);
bool ClearRecords(const QString& connection, const QString& machine, QString* error);

// The character chapters in chapter order, and the characters of one chapter in item order.
bool LoadCharacterChapters(const QString& connection, QStringList* chapters, QString* error);
bool LoadChapterCharacters(const QString& connection, const QString& chapter,
                           QStringList* characters, QString* error);
// The chapter of the character practised last (empty when none was): the chapter a child is at.
bool LoadLatestCharacterChapter(const QString& connection, const QString& machine, QString* chapter,
                                QString* error);

}  // namespace records
