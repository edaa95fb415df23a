// SPDX-License-Identifier: GPL-3.0-or-later
// Recording end to end through SDL's disk driver, which reads the "microphone" from a raw file
// (SDL_DISKAUDIOFILEIN), and the safety of the saved files.
#include <sys/mount.h>

#include <QtTest>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/microphone.h"
#include "platform/wav_file.h"
#include "support/wav_check.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace {

using platform::Samples;

// Silence, a 440 Hz tone, silence; with a little hiss throughout, as a real microphone gives.
Samples ToneBetweenSilences(double before, double tone, double after) {
  const auto n = [](double s) { return static_cast<std::size_t>(s * platform::kRecordingRate); };
  Samples s(n(before) + n(tone) + n(after));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double hiss = static_cast<int>((i * 7919) % 61) - 30;
    const bool inTone = i >= n(before) && i < n(before) + n(tone);
    const double v = inTone ? 12000 * std::sin(2 * M_PI * 440.0 * i / platform::kRecordingRate) : 0;
    s[i] = static_cast<std::int16_t>(v + hiss);
  }
  return s;
}

void WriteRaw(const QString& path, const Samples& s) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) ||
      f.write(reinterpret_cast<const char*>(s.data()), static_cast<qint64>(s.size() * 2)) !=
          static_cast<qint64>(s.size() * 2))
    qFatal("cannot write the capture file");
}

// A saved WAV as SDL (and so the player) reads it.
struct Decoded {
  bool ok = false;
  SDL_AudioSpec spec{};
  Samples samples;
};

Decoded Decode(const QString& path) {
  Decoded d;
  Uint8* buf = nullptr;
  Uint32 len = 0;
  if (!SDL_LoadWAV(QFile::encodeName(path).constData(), &d.spec, &buf, &len)) return d;
  d.samples.assign(reinterpret_cast<std::int16_t*>(buf),
                   reinterpret_cast<std::int16_t*>(buf) + len / 2);
  SDL_FreeWAV(buf);
  d.ok = true;
  return d;
}

double Frequency(const Samples& s) {
  int crossings = 0;
  for (std::size_t i = 1; i < s.size(); ++i) crossings += (s[i - 1] < 0) != (s[i] < 0);
  return crossings / 2.0 / (static_cast<double>(s.size()) / platform::kRecordingRate);
}

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

}  // namespace

class MicrophoneTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir m_dir;
  QString m_input;

  // Records from `capture`; `fast` lets the disk driver deliver without waiting for real time.
  Samples Record(const Samples& capture, bool fast, double seconds, int limit, bool* limitReached) {
    WriteRaw(m_input, capture);
    qputenv("SDL_DISKAUDIODELAY", fast ? "0" : "");
    if (!fast) qunsetenv("SDL_DISKAUDIODELAY");
    platform::Microphone recorder(limit);
    QString error;
    if (!recorder.Start(&error)) qFatal("recording did not start: %s", qPrintable(error));
    QDeadlineTimer deadline(60000);
    if (fast)
      while (recorder.Seconds() < seconds && !recorder.LimitReached() && !deadline.hasExpired())
        Sleep(0.005);
    else
      Sleep(seconds);
    *limitReached = recorder.LimitReached();
    return recorder.Stop();
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_input = m_dir.filePath("microphone.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(m_input));
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_dir.filePath("speaker.raw")));
    QStandardPaths::setTestModeEnabled(true);
  }

  void toneIsTrimmedAndSaved() {
    bool full = false;
    const Samples raw = Record(ToneBetweenSilences(0.6, 1.0, 0.6), true, 2.5, 300, &full);
    QVERIFY(!full);
    QVERIFY(raw.size() >= 2.5 * platform::kRecordingRate);
    const QString path = m_dir.filePath("字语音库/一.wav");
    QString error;
    QVERIFY2(platform::SaveWav(platform::Tidy(raw), path, platform::Overwrite::Never, &error),
             qPrintable(error));

    QCOMPARE(testing::WavHeaderFault(path), QString());
    const Decoded wav = Decode(path);
    QVERIFY(wav.ok);
    QCOMPARE(wav.spec.freq, 22050);
    QCOMPARE(wav.spec.channels, 1);
    QCOMPARE(wav.spec.format, AUDIO_S16LSB);
    // The tone and a few tens of milliseconds around it; the silences are gone.
    const double seconds = static_cast<double>(wav.samples.size()) / 22050;
    QVERIFY2(seconds > 1.0 && seconds < 1.12, qPrintable(QString::number(seconds)));
    const Samples middle(wav.samples.begin() + 4410, wav.samples.begin() + 4410 + 11025);
    QVERIFY2(std::abs(Frequency(middle) - 440) < 5, qPrintable(QString::number(Frequency(middle))));
    const auto loudest = *std::max_element(wav.samples.begin(), wav.samples.end());
    QVERIFY(loudest > 20000);  // evened to -3 dBFS
  }

  // A silent or muted microphone, or hiss below what counts as sound, leaves nothing to keep;
  // the quietest sound that counts is kept.
  void quietRecordings_data() {
    QTest::addColumn<int>("peak");
    QTest::addColumn<bool>("kept");
    QTest::newRow("silence") << 0 << false;
    QTest::newRow("just below sound") << 299 << false;
    QTest::newRow("quietest sound") << 300 << true;
  }
  void quietRecordings() {
    QFETCH(int, peak);
    QFETCH(bool, kept);
    Samples capture(platform::kRecordingRate, 0);  // a 100 Hz square wave of the given peak
    for (std::size_t i = 0; i < capture.size(); ++i)
      capture[i] = static_cast<std::int16_t>(i / 110 % 2 ? peak : -peak);
    bool full = false;
    const Samples raw = Record(capture, true, 1.0, 300, &full);
    QVERIFY(raw.size() >= std::size_t(platform::kRecordingRate));
    QCOMPARE(!platform::Tidy(raw).empty(), kept);
  }

  // What counts as sound is relative to the loudest part: a hiss of up to a fiftieth of it is
  // cut with the silence around the sound, which keeps 20 ms on either side.
  void tidyKeepsTheSoundWithItsEdges_data() {
    QTest::addColumn<int>("hiss");
    QTest::addColumn<int>("windows");  // 10 ms windows kept of 150
    QTest::newRow("hiss over the floor, under a fiftieth") << 200 << 54;
    QTest::newRow("hiss at a fiftieth") << 240 << 54;
    QTest::newRow("hiss just over a fiftieth") << 241 << 150;
  }
  void tidyKeepsTheSoundWithItsEdges() {
    QFETCH(int, hiss);
    QFETCH(int, windows);
    const int window = platform::kRecordingRate / 100;
    Samples s(150 * window);  // hiss, a 12000 square wave from window 50 to 99, hiss
    for (std::size_t i = 0; i < s.size(); ++i) {
      const int peak = i >= 50u * window && i < 100u * window ? 12000 : hiss;
      s[i] = static_cast<std::int16_t>(i / 20 % 2 ? peak : -peak);
    }
    const int tail = platform::kRecordingRate * 30 / 1000;  // silence after the sound
    QCOMPARE(int(platform::Tidy(s).size()), windows * window + tail);
  }

  void stops_data() {
    QTest::addColumn<bool>("fast");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("limitReached");
    QTest::newRow("stop after 0.5 s") << false << 0.5 << platform::kRecordingLimitSeconds << false;
    QTest::newRow("the limit ends it") << true << 400.0 << platform::kRecordingLimitSeconds << true;
  }
  void stops() {
    QFETCH(bool, fast);
    QFETCH(double, seconds);
    QFETCH(int, limit);
    QFETCH(bool, limitReached);
    bool full = false;
    const auto started = std::chrono::steady_clock::now();
    const Samples raw = Record(ToneBetweenSilences(0, limit + 5, 0), fast, seconds, limit, &full);
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    QCOMPARE(full, limitReached);
    const double recorded = static_cast<double>(raw.size()) / platform::kRecordingRate;
    if (limitReached)
      QCOMPARE(raw.size(), static_cast<std::size_t>(limit) * platform::kRecordingRate);
    else  // never more than the time that passed, and not nothing
      QVERIFY2(recorded > 0.1 && recorded <= took + 0.05, qPrintable(QString::number(recorded)));
    QVERIFY(!platform::Tidy(raw).empty());
  }

  void noCaptureDevice_data() {
    QTest::addColumn<QByteArray>("driver");
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("no such audio system") << QByteArray("no-such-driver") << QByteArray();
    QTest::newRow("device fails to open")
        << QByteArray("disk") << QByteArray("/nonexistent/mic.raw");
  }
  void noCaptureDevice() {
    QFETCH(QByteArray, driver);
    QFETCH(QByteArray, input);
    qputenv("SDL_AUDIODRIVER", driver);
    if (!input.isEmpty()) qputenv("SDL_DISKAUDIOFILEIN", input);
    platform::Microphone recorder;
    QString error;
    const bool started = recorder.Start(&error);
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(m_input));
    QVERIFY(!started);
    QVERIFY(!recorder.IsRecording());
    QCOMPARE(error, platform::NoCaptureDeviceMessage());
    QVERIFY(error.startsWith(QStringLiteral("没有找到录音设备")));
    QVERIFY(recorder.Stop().empty());
  }

  void existingFileIsNotOverwritten() {
    const QString path = m_dir.filePath("诗语音库/静夜思.wav");
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("keep me") == 7);
    old.close();
    QString error;
    const Samples s = platform::Tidy(ToneBetweenSilences(0.1, 0.5, 0.1));
    QVERIFY(!platform::SaveWav(s, path, platform::Overwrite::Never, &error));
    QVERIFY(error.contains(QStringLiteral("同名")));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("keep me"));
  }

  void fullDiskLeavesNoFile() {
    const QString small = m_dir.filePath("small");
    QVERIFY(QDir().mkpath(small));
    if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=64k") != 0)
      QSKIP("a small tmpfs needs root (mount failed); not run here");
    const QString path = small + QStringLiteral("/APPLE.wav");
    QString error;
    const bool saved =
        platform::SaveWav(ToneBetweenSilences(0, 3, 0), path, platform::Overwrite::Never, &error);
    const QStringList left = QDir(small).entryList(QDir::Files | QDir::Hidden);
    ::umount(QFile::encodeName(small).constData());
    QVERIFY(!saved);
    QVERIFY2(error.contains(QStringLiteral("磁盘已满")), qPrintable(error));
    QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
  }
};

QTEST_GUILESS_MAIN(MicrophoneTest)
#include "test_microphone.moc"
