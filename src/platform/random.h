// SPDX-License-Identifier: GPL-3.0-or-later
// The random seam: a uniform source, seeded once from the clock in the program, fixed in tests.
#pragma once

#include <cstdint>
#include <random>

namespace platform {

class Random {
 public:
  virtual ~Random() = default;
  // A whole number uniformly drawn from 0 .. n-1 (n > 0).
  virtual int Below(int n) = 0;
};

class SeededRandom final : public Random {
 public:
  explicit SeededRandom(std::uint64_t seed) : m_engine(seed) {}
  int Below(int n) override { return std::uniform_int_distribution<int>(0, n - 1)(m_engine); }

 private:
  std::mt19937_64 m_engine;
};

// The program's source, seeded from the clock on first use unless a test has installed one.
Random& CurrentRandom();
void SetRandom(Random* random);

}  // namespace platform
