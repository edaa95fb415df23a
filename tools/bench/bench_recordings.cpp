// SPDX-License-Identifier: GPL-3.0-or-later
// A seat's first play of a 5-second recording that another seat saved on the PostgreSQL server:
// from the click (resolving the item's 声音) to the first audible sample at SDL's device, fetched
// from the server (target 100 ms) and again from the seat's cache (target 10 ms). Needs
// TINDORA_PG_CONNSTR; works in a schema of its own, dropped at the end.
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "data/lesson_database.h"
#include "data/lesson_kinds.h"
#include "data/recordings_library.h"
#include "data/schema_migrations.h"
#include "platform/dataset.h"
#include "platform/sdl_sound.h"
#include "platform/sound.h"
#include "platform/wav_file.h"

namespace {

using Clock = std::chrono::steady_clock;

// Click to first audible sample, in ms; -1 when nothing played.
double ClickToSound(const QString& connection, const QString& sound) {
  const auto click = Clock::now();
  const QString path = recordings::LocalPath(connection, sound);
  platform::SdlSoundPlayer().Play(path);
  platform::SdlSoundStatus s = platform::SdlSoundStatusNow();
  for (int i = 0; i < 4000 && s.audibleNs == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(250));
    s = platform::SdlSoundStatusNow();
  }
  if (s.audibleNs == 0 || path == sound) return -1;
  const auto clickNs =
      std::chrono::duration_cast<std::chrono::nanoseconds>(click.time_since_epoch()).count();
  return (s.audibleNs - clickNs) / 1e6;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tindora_bench_recordings"));
  const QString server = qEnvironmentVariable("TINDORA_PG_CONNSTR");
  if (server.isEmpty()) {
    std::printf("bench_recordings: TINDORA_PG_CONNSTR is not set; nothing measured\n");
    return 1;
  }
  QTemporaryDir dir;
  qputenv("SDL_AUDIODRIVER", "disk");
  qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(dir.filePath(QStringLiteral("out.raw"))));
  qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("cache"))));
  const QString schema = QStringLiteral("tindora_bench_recordings");
  QString error;
  const ConnectionSpec admin{QStringLiteral("QODBC"), server, {}, {}, QStringLiteral("server")};
  if (!OpenConnection(QStringLiteral("admin"), admin, &error) ||
      !platform::ExecSql(QStringLiteral("admin"),
                         QStringLiteral("drop schema if exists %1 cascade").arg(schema), &error) ||
      !platform::ExecSql(QStringLiteral("admin"), QStringLiteral("create schema %1").arg(schema),
                         &error)) {
    std::printf("bench_recordings: %s\n", qPrintable(error));
    return 1;
  }
  const ConnectionSpec seat{
      QStringLiteral("QODBC"),
      server + QStringLiteral(";ConnSettings=set search_path to %1;").arg(schema),
      {},
      {},
      QStringLiteral("seat")};
  if (!OpenConnection(QStringLiteral("seat"), seat, &error) ||
      !MigrateSchema(QStringLiteral("seat"), &error)) {
    std::printf("bench_recordings: %s\n", qPrintable(error));
    return 1;
  }

  // Seat A's recordings: 5 seconds each, different bytes so every first play fetches.
  constexpr int kRuns = 15;
  std::vector<QString> names;
  for (int run = 0; run < kRuns; ++run) {
    platform::Samples tone(5 * platform::kRecordingRate);
    for (size_t i = 0; i < tone.size(); ++i)
      tone[i] = static_cast<std::int16_t>(
          8000 * std::sin(2 * M_PI * (300.0 + run) * double(i) / platform::kRecordingRate));
    const QByteArray wav = platform::WavBytes(tone);
    const QString name = recordings::NameFor(QStringLiteral("seat"), Kind(LessonKindId::Character),
                                             QStringLiteral("绿"), wav, &error);
    if (name.isEmpty() ||
        !recordings::Publish(QStringLiteral("seat"), name, wav, nullptr, &error)) {
      std::printf("bench_recordings: %s\n", qPrintable(error));
      return 1;
    }
    names.push_back(name);
  }
  ClickToSound(QStringLiteral("seat"), names[0]);  // opens the device; not counted
  std::vector<double> fetched, cached, lookup;
  for (const QString& name : names) {
    QDir(recordings::CacheRoot()).removeRecursively();
    fetched.push_back(ClickToSound(QStringLiteral("seat"), name));
    cached.push_back(ClickToSound(QStringLiteral("seat"), name));
    const auto start = Clock::now();
    recordings::LocalPath(QStringLiteral("seat"), name);
    lookup.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  platform::SdlSoundPlayer().Play(QString());
  std::printf("bench_recordings: 5 s recording (%d bytes), %d plays each, driver disk\n",
              5 * platform::kRecordingRate * 2 + 44, kRuns);
  std::printf("%-34s median %6.1f ms  max %6.1f ms  (target 100 ms)\n",
              "first play, fetched from server", Median(fetched),
              *std::max_element(fetched.begin(), fetched.end()));
  std::printf("%-34s median %6.1f ms  max %6.1f ms  (target 10 ms)\n", "again, from the cache",
              Median(cached), *std::max_element(cached.begin(), cached.end()));
  std::printf("%-34s median %6.3f ms  (the rest is the device's own onset)\n",
              "finding the cached copy", Median(lookup));
  platform::ExecSql(QStringLiteral("admin"),
                    QStringLiteral("drop schema if exists %1 cascade").arg(schema));
  return 0;
}
