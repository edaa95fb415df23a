// SPDX-License-Identifier: GPL-3.0-or-later
#include "arithmetic/exercise.h"

namespace drill {
namespace {

// A whole number 1 .. n-1: zero is drawn again rather than shifted, as the drill always has.
int DrawNonZero(platform::Random& random, int n) {
  int v = 0;
  while (v == 0) v = random.Below(n);
  return v;
}

}  // namespace

Exercise DrawAddition(platform::Random& random) {
  for (;;) {
    const int a = DrawNonZero(random, 10);
    const int b = DrawNonZero(random, 10);
    if (a + b <= 10) return {Operation::Addition, a, b, a + b};
  }
}

Exercise DrawSubtraction(platform::Random& random) {
  for (;;) {
    const int a = DrawNonZero(random, 11);
    const int b = DrawNonZero(random, 11);
    if (b < a) return {Operation::Subtraction, a, b, a - b};
  }
}

QString NumberSound(int n) { return QStringLiteral("S%1.wav").arg(n); }

std::array<ReadOutStep, 4> ReadOut(const Exercise& exercise) {
  const QString& word = exercise.op == Operation::Addition ? kPlusSound : kMinusSound;
  return {{{1, NumberSound(exercise.FirstNum)},
           {3, word},
           {3, NumberSound(exercise.SecondNum)},
           {3, kEqualsSound}}};
}

QString SumText(int first, Operation op, int second) {
  return QString::number(first) + QChar(op == Operation::Addition ? u'+' : u'-') +
         QString::number(second);
}

void DrillState::ClearSeries() {
  Answered.fill(false);
  Score = 0;
  First = FirstAnswer::None;
  FirstAnswers.clear();
}

void DrillState::SetExercise(const Exercise& exercise) {
  FirstNum = exercise.FirstNum;
  SecondNum = exercise.SecondNum;
  Answer = exercise.Answer;
  Op = exercise.op;
  First = FirstAnswer::None;
}

void DrillState::NoteAnswer(bool right) {
  if (First == FirstAnswer::None) First = right ? FirstAnswer::Right : FirstAnswer::Missed;
}

QStringList DrillState::SeriesFirstAnswers() const {
  QStringList all = FirstAnswers;
  // An exercise still open counts only when the child tried it.
  if (First != FirstAnswer::None)
    all << SumText(FirstNum, Op, SecondNum) +
               (First == FirstAnswer::Right ? QStringLiteral(":1") : QStringLiteral(":0"));
  return all;
}

int DrillState::RecordResult(const QString& mark) {
  for (int i = 0; i < kSeriesLength; ++i) {
    if (Answered[i]) continue;
    Answered[i] = true;
    FirstAnswers = SeriesFirstAnswers();
    First = FirstAnswer::None;
    if (mark == kRightMark) Score += kPointsPerExercise;
    return i;
  }
  return -1;
}

QString DrillState::ScoreText() const { return QStringLiteral("%1分").arg(Score); }

}  // namespace drill
