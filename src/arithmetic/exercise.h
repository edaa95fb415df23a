// SPDX-License-Identifier: GPL-3.0-or-later
// The drill's rules without any widget: drawing exercises, the read-out, the result marks and the
// scoring of a series of five.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "platform/random.h"

namespace drill {

enum class Operation { Addition, Subtraction };

struct Exercise {
  Operation op = Operation::Addition;
  int FirstNum = 0;
  int SecondNum = 0;
  int Answer = 0;
};

// a + b with a, b in 1..9 and a + b <= 10: each of the 45 pairs equally likely.
Exercise DrawAddition(platform::Random& random);
// a − b with 1 <= b < a <= 10: each of the 45 pairs equally likely.
Exercise DrawSubtraction(platform::Random& random);

// Sound files, found by bare name in the current folder.
QString NumberSound(int n);  // "S1.wav" … "S10.wav"
inline const QString kPlusSound = QStringLiteral("ja.wav");
inline const QString kMinusSound = QStringLiteral("jIAN.wav");
inline const QString kEqualsSound = QStringLiteral("dy.wav");
inline const QString kWrongSound = QStringLiteral("cuo.wav");
inline const QString kPraiseSound = QStringLiteral("CM.wav");

// One step of the read-out: wait that many seconds, then play the sound.
struct ReadOutStep {
  int waitSeconds;
  QString sound;
};
// First number, operator word, second number, "equals": 1 + 3 + 3 + 3 seconds.
std::array<ReadOutStep, 4> ReadOut(const Exercise& exercise);

// The awaiting caption of the result label; the exercise is open exactly while it shows this.
inline const QString kOpenAnswer = QStringLiteral("?");
// Result marks: answered by the child, or shown by the screen (U+2169, not the letter X).
inline const QString kRightMark = QStringLiteral("√");
inline const QString kShownMark = QStringLiteral("Ⅹ");

enum class JudgeMode { Given = 0, Revealed = 1 };

constexpr int kSeriesLength = 5;
constexpr int kPointsPerExercise = 20;

// How the child first met an exercise: not yet, answered right at once, or missed first (a wrong
// number, or the answer shown before any try).
enum class FirstAnswer { None, Right, Missed };

// The sum as the learning record keeps it: "7+2", "10-3".
QString SumText(int first, Operation op, int second);

// State of one drill screen: the series so far and the current exercise.
struct DrillState {
  std::array<bool, kSeriesLength> Answered{};
  int Score = 0;
  int Chosen = 0;
  int Answer = 0;
  int FirstNum = 0;
  int SecondNum = 0;
  Operation Op = Operation::Addition;
  FirstAnswer First = FirstAnswer::None;  // of the current exercise
  // The series' exercises met so far with their first answers ("7+2:1", "3-1:0"), for the record.
  QStringList FirstAnswers;

  void ClearSeries();
  void SetExercise(const Exercise& exercise);
  // Notes the child's first answer (or the shown answer) to the current exercise; later ones do
  // not change it. The screen's score is not touched: a later right answer still earns 20.
  void NoteAnswer(bool right);
  // The series' first answers including the open exercise's, when it had one: what the record
  // keeps of a series, finished or given up.
  QStringList SeriesFirstAnswers() const;
  // Takes the first free result box and scores the mark; the box index, or -1 when all five are
  // taken already.
  int RecordResult(const QString& mark);
  bool SeriesComplete() const { return Answered[kSeriesLength - 1]; }
  QString ScoreText() const;  // "0分" … "100分"
};

}  // namespace drill
