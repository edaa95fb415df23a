// SPDX-License-Identifier: GPL-3.0-or-later
// Records from the default microphone through SDL's capture API, as mono 16-bit samples at
// 22,050 Hz, up to a time limit. The user interface polls the level and the state with a timer.
#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/wav_file.h"

namespace platform {

constexpr int kRecordingLimitSeconds = 5 * 60;

// What the user is told when no microphone can be opened.
QString NoCaptureDeviceMessage();

class Microphone {
 public:
  explicit Microphone(int limitSeconds = kRecordingLimitSeconds);
  ~Microphone();
  Microphone(const Microphone&) = delete;
  Microphone& operator=(const Microphone&) = delete;

  // Opens the default capture device and starts recording; on failure `error` gets
  // NoCaptureDeviceMessage() and nothing else changes.
  bool Start(QString* error);
  // Stops recording and closes the device; returns everything recorded, untrimmed.
  Samples Stop();

  bool IsRecording() const { return m_device != 0; }
  // The limit was reached: recording has ended by itself, Stop() collects it.
  bool LimitReached() const { return m_full.load(); }
  double Seconds() const;
  // The loudest sample since the last call, 0 to 1, for a level meter.
  double TakeLevel();

 private:
  static void Callback(void* self, unsigned char* stream, int len);

  const std::size_t m_limit;
  unsigned m_device = 0;
  mutable std::mutex m_mutex;  // guards m_samples against the audio thread
  Samples m_samples;
  std::atomic<bool> m_full{false};
  std::atomic<int> m_level{0};
};

}  // namespace platform
