// SPDX-License-Identifier: GPL-3.0-or-later
// The item editor's own recordings: time from "停止" to the saved WAV for a 60 s recording
// (stop, trim, write, rename), and time to synthesise and save a four-line poem. Target: both
// under 300 ms. Records through SDL's disk driver from a generated capture file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "platform/microphone.h"
#include "platform/wav_file.h"

namespace {

constexpr double kTargetMs = 300;
constexpr int kRuns = 5;

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
      .count();
}

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s median %7.1f ms, worst %7.1f ms (target %.0f ms): %s\n", what,
              ms[ms.size() / 2], ms.back(), kTargetMs, ms.back() < kTargetMs ? "met" : "MISSED");
}

}  // namespace

int main() {
  QTemporaryDir dir;
  const QString input = dir.filePath("microphone.raw");
  {  // A voice-like 62 s: a tone that comes and goes every half second.
    platform::Samples s(62 * platform::kRecordingRate);
    for (std::size_t i = 0; i < s.size(); ++i)
      s[i] = (i / 11025) % 2 ? 0
                             : static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * 220.0 * i /
                                                                         platform::kRecordingRate));
    QFile f(input);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write(reinterpret_cast<const char*>(s.data()), static_cast<qint64>(s.size() * 2));
  }
  qputenv("SDL_AUDIODRIVER", "disk");
  qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(input));
  qputenv("SDL_DISKAUDIODELAY", "0");  // the file is read as fast as it goes, not in real time

  std::vector<double> stopToSaved;
  for (int run = 0; run < kRuns; ++run) {
    platform::Microphone recorder;
    QString error;
    if (!recorder.Start(&error)) {
      std::fprintf(stderr, "bench_recording: %s\n", qPrintable(error));
      return 1;
    }
    while (recorder.Seconds() < 60) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto pressed = std::chrono::steady_clock::now();
    const platform::Samples tidy = platform::Tidy(recorder.Stop());
    const QString path = dir.filePath(QStringLiteral("一-%1.wav").arg(run));
    if (!platform::SaveWav(tidy, path, platform::Overwrite::Never, &error)) {
      std::fprintf(stderr, "bench_recording: %s\n", qPrintable(error));
      return 1;
    }
    stopToSaved.push_back(Ms(pressed));
  }
  Report("\"停止\" to saved WAV, 60 s recording", stopToSaved);

  const LessonKind& poem = Kind(LessonKindId::Poem);
  const ItemSpeech speech =
      SpeechFor(poem, QStringLiteral("静夜思"),
                QStringLiteral("唐·李白\n床前明月光，疑是地上霜。\n举头望明月，低头思故乡。"));
  std::vector<double> synthesis;
  double seconds = 0;
  for (int run = 0; run <= kRuns; ++run) {
    const auto pressed = std::chrono::steady_clock::now();
    platform::Samples samples;
    QString error;
    if (!Speak(speech, &samples, &error) ||
        !platform::SaveWav(samples, dir.filePath(QStringLiteral("静夜思-%1.wav").arg(run)),
                           platform::Overwrite::Never, &error)) {
      std::fprintf(stderr, "bench_recording: %s\n", qPrintable(error));
      return 1;
    }
    const double ms = Ms(pressed);
    if (run == 0)
      std::printf("%-44s %7.1f ms (first, starting espeak-ng)\n", "\"合成\" four-line poem", ms);
    else
      synthesis.push_back(ms);
    seconds = static_cast<double>(samples.size()) / platform::kRecordingRate;
  }
  Report("\"合成\" four-line poem, saved", synthesis);
  std::printf("(the poem lasts %.1f s)\n", seconds);
  return 0;
}
