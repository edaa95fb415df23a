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
// The misses of a character left before it was finished: no character written.
inline constexpr char kUnfinished[] = "U";

// Days are stored as yyyymmdd numbers, so that every database groups and compares them alike.
int DayNumber(const QDate& date);
QDate DayDate(int number);

// Drill results as stored: one character per resolved exercise, '1' answered right, '0' answer
// shown; empty marks (exercises not resolved) are left out.
QString EncodeMarks(const QStringList& marks);

// Exercises in a drill series.
inline constexpr int kDrillSeriesLength = 5;

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
  // Each exercise met with its first answer, "7+2:1,3-1:0" (1: right at once; 0: a wrong number
  // or the answer shown first). Empty in records made before it was kept.
  QString firstAnswers = {};
};

// Practice per day and module over the `days` days ending with `today`, oldest first; days
// without practice count zero and records outside the period are left out.
struct DailyPractice {
  QList<QDate> days;
  std::array<QList<int>, kModuleCount> counts;  // counts[module][day index]
  int total = 0;
};
DailyPractice PracticePerDay(const QList<DayCount>& counts, const QDate& today, int days);

// Minutes practised on each of the `days` days up to `today`, from the notes' times (oldest
// first): the time between two notes of a day counts when it is kMinutesGap or less (a child at
// work), and each stretch of work counts one minute more for its last note.
inline constexpr int kMinutesGap = 5;
QList<int> MinutesPerDay(const QList<QDateTime>& times, const QDate& today, int days);

// The chapter's items opened most, most first (ties in chapter order), at most `limit`.
QList<ItemCount> MostPractised(const QList<ItemCount>& counts, const QStringList& chapterItems,
                               int limit);
// The chapter's items never opened, in chapter order.
QStringList NeverOpened(const QList<ItemCount>& counts, const QStringList& chapterItems);

// Scores of the finished drill series in time order, one line per operation, and per operation how
// many exercises were answered right and how many had their answer shown. A line of more than
// `maxPoints` series (a classroom's month) shows each day's average score at noon instead.
// The first answers count every exercise met, in series given up too: the screen's score lets a
// child try numbers until one fits, the record does not.
struct ScorePoint {
  QDateTime at;
  int score = 0;
};
struct DrillProgress {
  std::array<QList<ScorePoint>, 2> scores;  // [0] addition, [1] subtraction
  bool dailyAverages = false;
  std::array<int, 2> right{};
  std::array<int, 2> shown{};
  std::array<int, 2> firstRight{};  // exercises answered right at the first try
  std::array<int, 2> firstMet{};    // exercises with a first answer
  // The sums missed at the first try, most often first ("7+2"), ties in sum order.
  QList<ItemCount> missedFirst;
  // Share of right answers in percent, or -1 when the operation was not practised.
  int RightPercent(int operation) const;
  // Share of exercises answered right at the first try, or -1 when none is known.
  int FirstRightPercent(int operation) const;
};
DrillProgress DrillScores(const QList<DrillSeries>& series, int maxPoints = 200);

// "7+2" as a child reads it: "7 + 2".
QString SumLabel(const QString& sum);

// The writing screen over a period: characters written (traced or from memory), those of the
// quiz (默写) written alone and with help, and every stroke missed, of characters left unfinished
// too.
struct WritingTotals {
  int written = 0;
  int alone = 0;
  int helped = 0;
  int missed = 0;
};
// "写字 3 个，描错 2 笔：山 1 笔、水 1 笔。默写 2 个：自己写出 1 个，看了提示 1 个。", empty when
// nothing was written or missed; `misses` names the characters, most first.
QString WritingSummary(const WritingTotals& totals, const QList<ItemCount>& misses);

}  // namespace records
