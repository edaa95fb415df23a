// SPDX-License-Identifier: GPL-3.0-or-later
// Sound onset: from the play call to the first non-silent sample handed to the audio device.
// Target: 30 ms at most. Uses the machine's audio device when SDL_AUDIODRIVER is set, otherwise
// SDL's disk driver writing to a temporary file.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/sdl_sound.h"
#include "platform/sound.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace {

constexpr double kTargetMs = 30;

// A 16-bit mono 22050 Hz tone, as long as a long recording an adult might make.
QByteArray LongRecording(double seconds) {
  const int rate = 22050;
  const int frames = static_cast<int>(seconds * rate);
  QByteArray wav(44 + 2 * frames, 0);
  char* p = wav.data();
  auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, p + at); };
  auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, p + at); };
  std::memcpy(p, "RIFF", 4);
  put32(4, static_cast<quint32>(wav.size() - 8));
  std::memcpy(p + 8, "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, 1);
  put32(24, rate);
  put32(28, rate * 2);
  put16(32, 2);
  put16(34, 16);
  std::memcpy(p + 36, "data", 4);
  put32(40, static_cast<quint32>(2 * frames));
  for (int i = 0; i < frames; ++i)
    qToLittleEndian(static_cast<qint16>(8000 * std::sin(i * 0.1)), p + 44 + 2 * i);
  return wav;
}

struct Onset {
  double callMs;   // how long the play call held the caller
  double onsetMs;  // play call to first audible sample at the device
};

Onset PlayOnce(const QString& file) {
  const auto before = platform::SdlSoundStatusNow().sounds;
  const auto start = std::chrono::steady_clock::now();
  platform::SdlSoundPlayer().Play(file);
  const double callMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  platform::SdlSoundStatus s = platform::SdlSoundStatusNow();
  if (s.sounds == before) return {callMs, -1};  // not playable
  for (int i = 0; i < 2000 && s.audibleNs == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(500));
    s = platform::SdlSoundStatusNow();
  }
  if (s.audibleNs == 0) return {callMs, -1};
  return {callMs, (s.audibleNs - s.requestedNs) / 1e6};
}

double Percentile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(std::lround(q * static_cast<double>(v.size() - 1)))];
}

}  // namespace

int main() {
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) {
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", dir.filePath("output.raw").toLocal8Bit());
  }
  const QString media = QStringLiteral(TINDORA_SOURCE_MEDIA);
  const QString longFile = dir.filePath("long.wav");
  {
    QFile f(longFile);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write(LongRecording(60));
  }

  const Onset first = PlayOnce(media + "/S5.wav");
  const platform::SdlSoundStatus status = platform::SdlSoundStatusNow();
  if (!status.deviceOpen) {
    std::printf("bench_sound: no audio device could be opened; nothing measured\n");
    return 1;
  }
  std::printf("bench_sound: driver %s, device %d Hz, %d channels, signed 16-bit\n",
              SDL_GetCurrentAudioDriver(), status.rate, status.channels);
  std::printf("first play (opens the device): call %.1f ms, onset %.1f ms\n\n", first.callMs,
              first.onsetMs);

  struct Case {
    const char* label;
    QString file;
  };
  const std::vector<Case> cases = {
      {"drill sound S5.wav (0.3 s)", media + "/S5.wav"},
      {"character 人.wav (1.2 s)", media + QStringLiteral("/字语音库/人.wav")},
      {"English ELEPHANT.wav", media + QStringLiteral("/英语语音库/ELEPHANT.wav")},
      {"poem 望庐山瀑布.wav (10 s)", media + QStringLiteral("/诗语音库/望庐山瀑布.wav")},
      {"60 s recording", longFile},
  };
  constexpr int kRuns = 40;
  std::printf("%-30s %8s %8s %8s %8s %10s\n", "sound (40 plays each)", "min ms", "median", "p95",
              "max", "call med");
  bool met = first.onsetMs >= 0;
  for (const Case& c : cases) {
    std::vector<double> onsets, calls;
    for (int i = 0; i < kRuns; ++i) {
      const Onset o = PlayOnce(c.file);
      if (o.onsetMs < 0) break;
      onsets.push_back(o.onsetMs);
      calls.push_back(o.callMs);
      // Let it sound for a moment, as a child would hear it, before the next play cuts it off.
      std::this_thread::sleep_for(std::chrono::milliseconds(15 + i % 7));
    }
    if (onsets.size() != kRuns) {
      std::printf("%-30s not heard (%s)\n", c.label, qPrintable(QDir::toNativeSeparators(c.file)));
      met = false;
      continue;
    }
    const double p95 = Percentile(onsets, 0.95);
    met = met && p95 <= kTargetMs;
    std::printf("%-30s %8.1f %8.1f %8.1f %8.1f %10.2f\n", c.label, Percentile(onsets, 0),
                Percentile(onsets, 0.5), p95, Percentile(onsets, 1), Percentile(calls, 0.5));
  }
  platform::SdlSoundPlayer().Play("");
  std::printf("\ntarget: onset <= %.0f ms (p95): %s\n", kTargetMs, met ? "met" : "NOT met");
  return met ? 0 : 2;
}
