// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random.h"

#include <chrono>
#include <memory>

namespace platform {
namespace {
Random* g_random = nullptr;

Random& ClockSeeded() {
  static SeededRandom r(
      static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  return r;
}
}  // namespace

Random& CurrentRandom() { return g_random ? *g_random : ClockSeeded(); }
void SetRandom(Random* random) { g_random = random; }

}  // namespace platform
