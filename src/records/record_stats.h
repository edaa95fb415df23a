// SPDX-License-Identifier: GPL-3.0-or-later
// The learning record's chart data, without any widget: practice per day and module, the
// characters practised most and never, and the drill's scores and share of right answers.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace records {

enum class Module { Character = 0, Poem = 1, English = 2, Drill = 3, Writing = 4 };
inline constexpr int kModuleCount = 5;
// "识字", "学诗", "学英语", "算数", "写字"
QString ModuleName(Module module);

// A writing record's operation (one letter, as the column holds) for a character written from
// memory (默写), alone or with its model shown; empty for one traced.
inline constexpr char kQuizAlone[] = "A";
inline constexpr char kQuizHelped[] = "H";

// Days are stored as yyyymmdd numbers, so that every database groups and compares them alike.
int DayNumber(const QDate& date);
QDate DayDate(int number);

// Drill results as stored: one character per exercise, '1' answered right, '0' answer shown.
QString EncodeMarks(const QStringList& marks);

// Counted records, as the database groups them.
struct DayCount {
  int day = 0;  // yyyymmdd
  Module module = Module::Character;
  int count = 0;
};
struct ItemCount {
  QString item;
  int count = 0;
};
struct DrillSeries {
  QDateTime at;
  QString operation;  // "+" or "-"
  QString results;    // EncodeMarks
  int score = 0;
};

// Practice per day and module over the `days` days ending with `today`, oldest first; days
// without practice count zero and records outside the period are left out.
struct DailyPractice {
  QList<QDate> days;
  std::array<QList<int>, kModuleCount> counts;  // counts[module][day index]
  int total = 0;
};
DailyPractice PracticePerDay(const QList<DayCount>& counts, const QDate& today, int days);

// The chapter's items opened most, most first (ties in chapter order), at most `limit`.
QList<ItemCount> MostPractised(const QList<ItemCount>& counts, const QStringList& chapterItems,
                               int limit);
// The chapter's items never opened, in chapter order.
QStringList NeverOpened(const QList<ItemCount>& counts, const QStringList& chapterItems);

// Scores of the drill series in time order, one line per operation, and per operation how many
// exercises were answered right and how many had their answer shown. A line of more than
// `maxPoints` series (a classroom's month) shows each day's average score at noon instead.
struct ScorePoint {
  QDateTime at;
  int score = 0;
};
struct DrillProgress {
  std::array<QList<ScorePoint>, 2> scores;  // [0] addition, [1] subtraction
  bool dailyAverages = false;
  std::array<int, 2> right{};
  std::array<int, 2> shown{};
  // Share of right answers in percent, or -1 when the operation was not practised.
  int RightPercent(int operation) const;
};
DrillProgress DrillScores(const QList<DrillSeries>& series, int maxPoints = 200);

}  // namespace records
