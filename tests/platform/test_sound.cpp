// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL player end to end, through SDL's disk driver: what it writes to the output file is
// what a listener would have heard, in device order and at real-time pace.
#include <QtEndian>
#include <QtTest>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/sdl_sound.h"
#include "platform/sound.h"

namespace {

constexpr int kPcm = 1;
constexpr int kFloat = 3;
constexpr int kHeard = 1000;  // sample level above which the output counts as sounding

// A sine tone as WAV file bytes.
QByteArray ToneWav(int formatTag, int bits, int channels, int rate, double seconds,
                   double amplitude) {
  const int frames = static_cast<int>(seconds * rate);
  const int bytesPerSample = bits / 8;
  QByteArray data;
  data.reserve(frames * channels * bytesPerSample);
  for (int i = 0; i < frames; ++i) {
    const double v = amplitude * std::sin(2 * M_PI * 440.0 * i / rate);
    for (int c = 0; c < channels; ++c) {
      if (formatTag == kFloat) {
        const float f = static_cast<float>(v);
        data.append(reinterpret_cast<const char*>(&f), 4);
      } else if (bits == 8) {
        data.append(static_cast<char>(static_cast<quint8>(std::lround(128 + v * 127))));
      } else {
        const qint64 s = std::llround(v * ((qint64{1} << (bits - 1)) - 1));
        for (int b = 0; b < bytesPerSample; ++b)
          data.append(static_cast<char>((s >> (8 * b)) & 0xff));
      }
    }
  }
  auto le32 = [](quint32 v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
  };
  auto le16 = [](quint16 v) {
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
  };
  const int blockAlign = channels * bytesPerSample;
  QByteArray fmt = le16(formatTag) + le16(channels) + le32(rate) + le32(rate * blockAlign) +
                   le16(blockAlign) + le16(bits);
  QByteArray body =
      "WAVE" + ("fmt " + le32(fmt.size()) + fmt) + ("data" + le32(data.size()) + data);
  return "RIFF" + le32(body.size()) + body;
}

QByteArray Tone(double seconds, double amplitude = 0.5) {
  return ToneWav(kPcm, 16, 1, 22050, seconds, amplitude);
}

// The stretch of output in which something sounded, in seconds from its first sounding frame.
struct Heard {
  double start = -1;  // seconds from the beginning of the examined output; -1: all silent
  double length = 0;
  int peak = 0;
};

}  // namespace

class SoundTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir m_dir;
  QString m_output;
  int m_rate = 0;
  int m_channels = 0;

  QString Fixture(const QString& name, const QByteArray& bytes) {
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
      qFatal("cannot write fixture");
    return path;
  }

  // Where the output file ends now, at a whole frame.
  qint64 Mark() const {
    const qint64 frame = 2 * m_channels;
    return QFileInfo(m_output).size() / frame * frame;
  }

  // Looks at `seconds` of output from `mark` on, counting frames above `level`. Waits for the
  // device to have written that much, so a busy machine slows the test down instead of failing it.
  Heard Listen(qint64 mark, double seconds, int level = kHeard) const {
    const qint64 wanted = static_cast<qint64>(seconds * m_rate) * 2 * m_channels;
    QDeadlineTimer deadline(20000);
    while (QFileInfo(m_output).size() < mark + wanted && !deadline.hasExpired()) Sleep(0.02);
    QFile f(m_output);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(mark)) return {};
    const QByteArray bytes = f.read(wanted);
    const qint64 frames = bytes.size() / (2 * m_channels);
    qint64 first = -1, last = -1;
    Heard h;
    for (qint64 i = 0; i < frames; ++i) {
      for (int c = 0; c < m_channels; ++c) {
        const int v =
            std::abs(qFromLittleEndian<qint16>(bytes.constData() + 2 * (i * m_channels + c)));
        h.peak = std::max(h.peak, v);
        if (v > level) {
          if (first < 0) first = i;
          last = i;
        }
      }
    }
    if (first >= 0) {
      h.start = double(first) / m_rate;
      h.length = double(last + 1 - first) / m_rate;
    }
    return h;
  }

  // Waits until the output from `mark` has sounded for `seconds`: the device's time, which a busy
  // machine stretches for the device and this thread alike, unlike a sleep.
  void WaitSounded(qint64 mark, double seconds) const {
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
      const qint64 frames = (QFileInfo(m_output).size() - mark) / (2 * m_channels);
      if (Listen(mark, double(frames) / m_rate).length >= seconds) return;
      Sleep(0.01);
    }
  }

  static void Sleep(double seconds) {
    // A plain sleep, no event loop: the sound has to go on without the calling thread.
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_output = m_dir.filePath("output.raw");
    // The player opens its device at first use, so this must come before any play.
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", m_output.toLocal8Bit());
    platform::OpenSdlSoundDevice();
    const platform::SdlSoundStatus status = platform::SdlSoundStatusNow();
    QVERIFY(status.deviceOpen);
    m_rate = status.rate;
    m_channels = status.channels;
    QVERIFY(m_rate > 0 && m_channels > 0);
  }

  void playsInFullWhileCallerSleeps_data() {
    QTest::addColumn<int>("formatTag");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<double>("seconds");
    QTest::newRow("8-bit mono 11025 Hz") << kPcm << 8 << 1 << 11025 << 0.4;
    QTest::newRow("16-bit stereo 44100 Hz") << kPcm << 16 << 2 << 44100 << 0.5;
    QTest::newRow("24-bit mono 48000 Hz") << kPcm << 24 << 1 << 48000 << 0.3;
    QTest::newRow("32-bit stereo 8000 Hz") << kPcm << 32 << 2 << 8000 << 0.3;
    QTest::newRow("float mono 22050 Hz") << kFloat << 32 << 1 << 22050 << 0.3;
  }
  void playsInFullWhileCallerSleeps() {
    QFETCH(int, formatTag);
    QFETCH(int, bits);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(double, seconds);
    const QString file =
        Fixture("variant.wav", ToneWav(formatTag, bits, channels, rate, seconds, 0.5));
    const auto before = platform::SdlSoundStatusNow().sounds;
    const qint64 mark = Mark();
    platform::SdlSoundPlayer().Play(file);
    Sleep(seconds);
    const Heard h = Listen(mark, seconds + 0.3);
    QVERIFY2(h.start >= 0, "nothing was heard");
    QVERIFY2(std::abs(h.length - seconds) < 0.02, qPrintable(QString::number(h.length)));
    // Half of full scale, give or take the resampler's ripple: no level or sign mix-up.
    QVERIFY2(std::abs(h.peak - 16384) < 16384 / 8, qPrintable(QString::number(h.peak)));
    const platform::SdlSoundStatus status = platform::SdlSoundStatusNow();
    QCOMPARE(status.sounds, before + 1);
    QVERIFY(status.audibleNs >= status.requestedNs);
  }

  void findsFilesByPathAndBareName_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("played");
    QTest::newRow("bare name") << "S1.wav"
                               << "S1.wav";
    QTest::newRow("bare chinese name") << QStringLiteral("一.wav") << QStringLiteral("一.wav");
    QTest::newRow("full path, chinese folder")
        << QStringLiteral("诗语音库/静夜思.wav")
        << m_dir.filePath(QStringLiteral("诗语音库/静夜思.wav"));
  }
  void findsFilesByPathAndBareName() {
    QFETCH(QString, stored);
    QFETCH(QString, played);
    Fixture(stored, Tone(0.3));
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    const qint64 mark = Mark();
    platform::SdlSoundPlayer().Play(played);
    QDir::setCurrent(home);
    QVERIFY(std::abs(Listen(mark, 0.6).length - 0.3) < 0.02);
  }

  void newSoundCutsOffOld() {
    const QString quiet = Fixture("quiet.wav", Tone(1.0, 0.2));
    const QString loud = Fixture("loud.wav", Tone(0.3, 0.6));
    const qint64 mark = Mark();
    platform::SdlSoundPlayer().Play(quiet);
    WaitSounded(mark, 0.25);
    platform::SdlSoundPlayer().Play(loud);
    const Heard all = Listen(mark, 1.0);
    const Heard second = Listen(mark, 1.0, 13000);
    // The quiet sound is heard first, then the loud one in full, and nothing after it.
    QVERIFY(all.start >= 0 && second.start >= 0);
    QVERIFY2(second.start - all.start > 0.15,
             qPrintable(QString::number(second.start - all.start)));
    QVERIFY(std::abs(second.length - 0.3) < 0.02);
    QVERIFY(std::abs((all.start + all.length) - (second.start + second.length)) < 0.005);
  }

  void stopSilences() {
    const QString file = Fixture("long.wav", Tone(1.0));
    const qint64 mark = Mark();
    platform::SdlSoundPlayer().Play(file);
    WaitSounded(mark, 0.25);
    platform::SdlSoundPlayer().Play("");
    const Heard h = Listen(mark, 1.0);
    QVERIFY(h.start >= 0);
    QVERIFY2(h.length < 0.5, qPrintable(QString::number(h.length)));
    // A stop with nothing playing changes nothing.
    const qint64 quiet = Mark();
    platform::SdlSoundPlayer().Play("");
    QCOMPARE(Listen(quiet, 0.2).start, -1.0);
  }

  // Names that name no playable WAV: like any new sound the request ends the one still sounding,
  // and the short default sound plays in its place, as the platform does; nothing crashes.
  void unplayableFilePlaysDefaultSound_data() {
    QTest::addColumn<QByteArray>("bytes");  // null: no file at all
    const QByteArray good = Tone(0.5);
    QByteArray zeroChannels = good;
    zeroChannels[22] = 0;
    QByteArray zeroRate = good;
    qToLittleEndian<quint32>(0, zeroRate.data() + 24);
    QByteArray oddBits = good;
    qToLittleEndian<quint16>(13, oddBits.data() + 34);
    QByteArray garbage(4096, 0);
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) ^ (i >> 3));
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("header cut short") << good.left(30);
    QTest::newRow("no samples") << good.left(44);
    QTest::newRow("garbage") << garbage;
    QTest::newRow("RIFF then garbage") << QByteArray("RIFF\x10\0\0\0WAVE", 12) + garbage;
    QTest::newRow("zero channels") << zeroChannels;
    QTest::newRow("zero rate") << zeroRate;
    QTest::newRow("13-bit samples") << oddBits;
  }
  void unplayableFilePlaysDefaultSound() {
    QFETCH(QByteArray, bytes);
    const QString playing = Fixture("playing.wav", Tone(1.5));
    const QString bad = bytes.isNull() ? m_dir.filePath("missing.wav") : Fixture("bad.wav", bytes);
    const platform::SdlSoundStatus before = platform::SdlSoundStatusNow();
    const qint64 mark = Mark();
    platform::SdlSoundPlayer().Play(playing);
    WaitSounded(mark, 0.2);
    platform::SdlSoundPlayer().Play(bad);
    // 0.2 s of the tone, then the 0.4 s chime, then silence: not the rest of the 1.5 s tone (a
    // slow sanitizer build may take a little longer to swap).
    const Heard h = Listen(mark, 1.5);
    QVERIFY(h.start >= 0);
    QVERIFY2(h.length > 0.5 && h.length < 1.1, qPrintable(QString::number(h.length)));
    const platform::SdlSoundStatus after = platform::SdlSoundStatusNow();
    QCOMPARE(after.sounds, before.sounds + 2);
    QCOMPARE(after.defaults, before.defaults + 1);
  }

  // Files whose sizes promise more than they hold play what is there.
  void truncatedFilePlaysWhatIsThere_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<double>("seconds");
    QTest::newRow("data cut short") << Tone(1.0).left(44 + 2 * 2205) << 0.1;
    QByteArray hugeChunks = Tone(0.3);
    qToLittleEndian<quint32>(0xfffffff0u, hugeChunks.data() + 4);
    qToLittleEndian<quint32>(0xfffffff0u, hugeChunks.data() + 40);
    QTest::newRow("chunk sizes beyond the file") << hugeChunks << 0.3;
  }
  void truncatedFilePlaysWhatIsThere() {
    QFETCH(QByteArray, bytes);
    QFETCH(double, seconds);
    const QString file = Fixture("truncated.wav", bytes);
    const qint64 mark = Mark();
    platform::SdlSoundPlayer().Play(file);
    QVERIFY(std::abs(Listen(mark, seconds + 0.3).length - seconds) < 0.02);
  }

  // The corpus of good and hostile WAV inputs (made at test time, see tests/CMakeLists.txt):
  // "play-" files start their own sound, "refuse-" files the default sound in their place ("any-"
  // files either); none crashes or blocks the caller.
  void corpusPlayedOrRefused_data() {
    QTest::addColumn<QString>("file");
    const QString corpus = qEnvironmentVariable("TINDORA_WAV_CORPUS");
    if (corpus.isEmpty()) return;
    for (const QFileInfo& f :
         QDir(corpus).entryInfoList({"*.wav"}, QDir::AllEntries | QDir::System))
      QTest::newRow(qPrintable(f.fileName())) << f.filePath();
  }
  void corpusPlayedOrRefused() {
    if (qEnvironmentVariableIsEmpty("TINDORA_WAV_CORPUS"))
      QSKIP("no WAV corpus (TINDORA_WAV_CORPUS is set when CTest runs this test)");
    QFETCH(QString, file);
    const QString name = QFileInfo(file).fileName();
    const auto before = platform::SdlSoundStatusNow();
    platform::SdlSoundPlayer().Play(file);
    const auto after = platform::SdlSoundStatusNow();
    QCOMPARE(after.sounds - before.sounds, 1u);
    if (name.startsWith("play-")) QCOMPARE(after.defaults, before.defaults);
    if (name.startsWith("refuse-")) QCOMPARE(after.defaults - before.defaults, 1u);
    Sleep(0.01);  // let the audio thread convert a little of it
    platform::SdlSoundPlayer().Play("");
  }

  void cleanupTestCase() { platform::SdlSoundPlayer().Play(""); }
};

QTEST_GUILESS_MAIN(SoundTest)
#include "test_sound.moc"
