// SPDX-License-Identifier: GPL-3.0-or-later
// The clock seam: current time and a short sleep, both replaceable in tests so that pauses and
// clock displays run instantly and deterministically.
#pragma once

#include <QDateTime>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime Now() const = 0;
  virtual void SleepMs(int ms) = 0;
};

// The clock in use: the system clock unless a test has installed another.
Clock& CurrentClock();
// Installs `clock` (not owned); nullptr restores the system clock.
void SetClock(Clock* clock);

}  // namespace platform
