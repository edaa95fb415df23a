// SPDX-License-Identifier: GPL-3.0-or-later
// When a child should see an item again: the FSRS-6 memory model with its published default
// weights, in whole days. No widgets and no database: a card goes in, the reviewed card comes out.
//
// Settings chosen for children: desired retention 0.9, at most 365 days, no fuzz, and no
// same-day learning steps (a child plays a game or two a day, so an item answered wrong comes back
// the next day, not in ten minutes); a second review on the same day still counts, through the
// model's short-term stability. tests/review/make_fsrs_reference.cjs runs the same settings.
#pragma once

namespace review {

enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };
// Stored as these numbers.
enum class MemoryState { New = 0, Learning = 1, Review = 2, Relearning = 3 };

// Days are Julian day numbers (QDate::toJulianDay).
struct Card {
  double stability = 0;   // days until recall falls to 90 %
  double difficulty = 0;  // 1 (easy) .. 10 (hard)
  int due = 0;            // the day it should be reviewed again
  int lastReview = 0;     // 0 before the first review
  int reps = 0;
  int lapses = 0;         // answered wrong after having been learnt
  int scheduledDays = 0;  // the interval the last review chose
  MemoryState state = MemoryState::New;
};

// Whether a reviewed card's memory is one the model can give (difficulty 1 .. 10, stability
// within the model's bounds). A card stored otherwise, by another program or a damaged row, starts
// its memory again as a new card's.
bool PlausibleMemory(const Card& card);

struct SchedulerSettings {
  double desiredRetention = 0.9;
  int maximumInterval = 365;
};

class Scheduler {
 public:
  explicit Scheduler(SchedulerSettings settings = {});

  // The card after a review on `day`. A day before the last review (a clock set back) counts as
  // the same day.
  Card Review(const Card& card, int day, Grade grade) const;
  // Probability that the child still recalls the item on `day`: 0 for a card never reviewed.
  double Retrievability(const Card& card, int day) const;
  // Whole days for a stability, 1 .. the maximum interval.
  int NextInterval(double stability) const;

 private:
  struct Memory {
    double difficulty;
    double stability;
  };
  Memory NextMemory(Memory memory, int elapsed, Grade grade, double retrievability) const;
  double ForgettingCurve(int elapsed, double stability) const;
  double InitDifficulty(Grade grade) const;

  SchedulerSettings settings_;
  double factor_ = 0;
  double intervalModifier_ = 0;
};

}  // namespace review
