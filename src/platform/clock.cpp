// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

#include <QThread>

namespace platform {
namespace {

class SystemClock final : public Clock {
 public:
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
  void SleepMs(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }
};

SystemClock g_system;
Clock* g_clock = &g_system;

}  // namespace

Clock& CurrentClock() { return *g_clock; }
void SetClock(Clock* clock) { g_clock = clock ? clock : &g_system; }

}  // namespace platform
