// SPDX-License-Identifier: GPL-3.0-or-later
// Observation points of the SDL sound player, for tests and benchmarks.
#pragma once

#include <cstdint>

namespace platform {

struct SdlSoundStatus {
  bool deviceOpen = false;
  int rate = 0;                  // device sample rate; samples are signed 16-bit, interleaved
  int channels = 0;              // device channels
  std::uint64_t sounds = 0;      // sounds started so far, default sounds included (not stops)
  std::uint64_t defaults = 0;    // default sounds played in place of an unplayable name
  std::int64_t requestedNs = 0;  // steady clock: when the latest sound was requested
  std::int64_t audibleNs = 0;    // when its first non-silent sample went to the device; 0 = not yet
};

// A snapshot; cheap, safe from any thread.
SdlSoundStatus SdlSoundStatusNow();

// Opens the device now rather than at the first sound (stopping before any sound opens none);
// false when there is none.
bool OpenSdlSoundDevice();

}  // namespace platform
