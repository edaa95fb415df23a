// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/fsrs.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace review {
namespace {

// FSRS-6 default weights.
constexpr std::array<double, 21> kW = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                       0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                       1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;

// Math.round: halves go up, also below zero.
double RoundHalfUp(double x) {
  const double floor = std::floor(x);
  return x - floor >= 0.5 ? floor + 1 : floor;
}
// The model rounds its intermediate values to eight decimals; so do we, so that the intervals
// fall on the same side of a half day.
double Round8(double x) { return RoundHalfUp(x * 1e8) / 1e8; }

double Clamp(double value, double low, double high) { return std::min(std::max(value, low), high); }

int Value(Grade grade) { return static_cast<int>(grade); }

}  // namespace

bool PlausibleMemory(const Card& card) {
  // Written so that NaN fails each test.
  return card.difficulty >= 1 && card.difficulty <= 10 && card.stability >= kMinStability &&
         card.stability <= kMaxStability;
}

Scheduler::Scheduler(SchedulerSettings settings) : settings_(settings) {
  const double decay = -kW[20];
  factor_ = Round8(std::exp(std::pow(decay, -1) * std::log(0.9)) - 1);
  intervalModifier_ = Round8((std::pow(settings_.desiredRetention, 1 / decay) - 1) / factor_);
}

double Scheduler::ForgettingCurve(int elapsed, double stability) const {
  return Round8(std::pow(1 + factor_ * elapsed / stability, -kW[20]));
}

double Scheduler::InitDifficulty(Grade grade) const {
  return Round8(kW[4] - std::exp((Value(grade) - 1) * kW[5]) + 1);
}

int Scheduler::NextInterval(double stability) const {
  const double days = std::max(1.0, RoundHalfUp(stability * intervalModifier_));
  return static_cast<int>(std::min(days, double(settings_.maximumInterval)));
}

double Scheduler::Retrievability(const Card& card, int day) const {
  if (card.state == MemoryState::New || !PlausibleMemory(card)) return 0;
  return ForgettingCurve(std::max(0, day - card.lastReview), Round8(card.stability));
}

Scheduler::Memory Scheduler::NextMemory(Memory m, int elapsed, Grade grade,
                                        double retrievability) const {
  const int g = Value(grade);
  if (m.difficulty == 0 && m.stability == 0)
    return {Clamp(InitDifficulty(grade), 1, 10), std::max(kW[g - 1], 0.1)};
  // A stored card whose values another program left out of range starts its memory again.
  if (!PlausibleMemory({.stability = m.stability, .difficulty = m.difficulty}))
    return {Clamp(InitDifficulty(grade), 1, 10), std::max(kW[g - 1], 0.1)};
  const double d = m.difficulty, s = m.stability, r = retrievability;
  double next;
  if (elapsed == 0) {
    // Same day: the short-term stability.
    const double sinc = std::pow(s, -kW[19]) * std::exp(kW[17] * (g - 3 + kW[18]));
    next = Round8(Clamp(s * (g >= Value(Grade::Hard) ? std::max(sinc, 1.0) : sinc),
                        kMinStability, kMaxStability));
  } else if (grade == Grade::Again) {
    const double afterFail = Round8(Clamp(kW[11] * std::pow(d, -kW[12]) *
                                              (std::pow(s + 1, kW[13]) - 1) *
                                              std::exp((1 - r) * kW[14]),
                                          kMinStability, kMaxStability));
    next = Clamp(Round8(s / std::exp(kW[17] * kW[18])), kMinStability, afterFail);
  } else {
    const double hard = grade == Grade::Hard ? kW[15] : 1;
    const double easy = grade == Grade::Easy ? kW[16] : 1;
    next = Round8(Clamp(s * (1 + std::exp(kW[8]) * (11 - d) * std::pow(s, -kW[9]) *
                                     (std::exp((1 - r) * kW[10]) - 1) * hard * easy),
                        kMinStability, kMaxStability));
  }
  // Difficulty moves by grade, damped towards 10, and reverts a little to the easy start.
  const double delta = -kW[6] * (g - 3);
  const double damped = d + Round8(delta * (10 - d) / 9);
  const double reverted = Round8(kW[7] * InitDifficulty(Grade::Easy) + (1 - kW[7]) * damped);
  return {Clamp(reverted, 1, 10), next};
}

Card Scheduler::Review(const Card& card, int day, Grade grade) const {
  const bool reviewed = card.state != MemoryState::New && card.lastReview > 0;
  const int elapsed = reviewed ? std::max(0, day - card.lastReview) : 0;
  Card next = card;
  next.lastReview = day;
  next.reps += 1;
  next.state = MemoryState::Review;
  if (card.state != MemoryState::Review) {
    // New, or learning steps left by another setting: no steps here, so straight to review.
    const Memory m = NextMemory({card.difficulty, card.stability}, elapsed, grade,
                                ForgettingCurve(elapsed, std::max(card.stability, kMinStability)));
    next.difficulty = m.difficulty;
    next.stability = m.stability;
    next.scheduledDays = NextInterval(m.stability);
  } else {
    const double r = ForgettingCurve(elapsed, card.stability);
    const Memory m = NextMemory({card.difficulty, card.stability}, elapsed, grade, r);
    next.difficulty = m.difficulty;
    next.stability = m.stability;
    if (grade == Grade::Again) {
      next.lapses += 1;
      next.scheduledDays = NextInterval(m.stability);
    } else {
      // Hard never longer than Good, Good longer than Hard, Easy longer than Good; none past the
      // maximum (the reference lets Good and Easy pass it by a day or two when Hard reaches it).
      const auto at = [&](Grade g) {
        return NextInterval(NextMemory({card.difficulty, card.stability}, elapsed, g, r).stability);
      };
      const int good = at(Grade::Good);
      const int hard = std::min(at(Grade::Hard), good);
      const int goodAfterHard = std::max(good, hard + 1);
      int interval = hard;
      if (grade == Grade::Good) interval = goodAfterHard;
      if (grade == Grade::Easy) interval = std::max(at(Grade::Easy), goodAfterHard + 1);
      next.scheduledDays = std::min(interval, settings_.maximumInterval);
    }
  }
  next.due = day + next.scheduledDays;
  return next;
}

}  // namespace review
