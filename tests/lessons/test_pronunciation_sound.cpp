// SPDX-License-Identifier: GPL-3.0-or-later
// The pronunciation pop-up end to end with the real sound path: SDL's disk driver writes what a
// listener would hear, in real time, to a file that the test then examines.
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QPointer>
#include <QtEndian>
#include <QtTest>
#include <cmath>

#include "app/shared_routines.h"
#include "lessons/pronunciation_popup.h"
#include "platform/sound.h"

#if __has_include("platform/sdl_sound.h")
#include "platform/sdl_sound.h"
#define HAVE_SDL_PLAYER
#endif

namespace {

// One second of a 440 Hz tone at half scale: 16-bit mono PCM, 22050 Hz.
QByteArray OneSecondTone() {
  constexpr int rate = 22050;
  QByteArray samples(rate * 2, Qt::Uninitialized);
  for (int i = 0; i < rate; ++i)
    qToLittleEndian<qint16>(qint16(std::lround(16383 * std::sin(2 * M_PI * 440.0 * i / rate))),
                            samples.data() + 2 * i);
  QByteArray wav("RIFF");
  auto u32 = [&wav](quint32 v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&wav](quint16 v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
  u32(36 + samples.size());
  wav.append("WAVEfmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  wav.append("data");
  u32(samples.size());
  return wav + samples;
}

struct Burst {
  double start;  // seconds from the examined output's beginning
  double length;
};

// Stretches of sound in 16-bit interleaved output, parted by at least 0.3 s of silence.
QList<Burst> Bursts(const QByteArray& pcm, int rate, int channels) {
  QList<Burst> out;
  const qint64 frames = pcm.size() / (2 * channels);
  const qint64 gap = rate * 3 / 10;
  qint64 first = -1, last = -1;
  for (qint64 i = 0; i < frames; ++i) {
    bool loud = false;
    for (int c = 0; c < channels; ++c)
      loud |= std::abs(qFromLittleEndian<qint16>(pcm.constData() + 2 * (i * channels + c))) > 1000;
    if (!loud) continue;
    if (first >= 0 && i - last > gap) {
      out << Burst{double(first) / rate, double(last + 1 - first) / rate};
      first = -1;
    }
    if (first < 0) first = i;
    last = i;
  }
  if (first >= 0) out << Burst{double(first) / rate, double(last + 1 - first) / rate};
  return out;
}

#ifdef HAVE_SDL_PLAYER
// Passes every sound on to the SDL player and notes when, by the wall clock, it was started.
class TimedSdlPlayer final : public platform::SoundPlayer {
 public:
  explicit TimedSdlPlayer(const QElapsedTimer& since) : m_since(since) {
    platform::SetSoundPlayer(this);
  }
  ~TimedSdlPlayer() override { platform::SetSoundPlayer(nullptr); }
  void Play(const QString& name) override {
    starts << m_since.elapsed() / 1000.0;
    platform::SdlSoundPlayer().Play(name);
  }
  QList<double> starts;

 private:
  const QElapsedTimer& m_since;
};
#endif

}  // namespace

class PronunciationSoundTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir m_dir;
  QString m_output;

 private Q_SLOTS:
  void initTestCase() {
#ifndef HAVE_SDL_PLAYER
    QSKIP("the sound path is still the silent placeholder: there is no SDL player to listen to");
#endif
    QVERIFY(m_dir.isValid());
    m_output = m_dir.filePath(QStringLiteral("output.raw"));
    // The player opens its device at first use, so this must come before any play.
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", m_output.toLocal8Bit());
  }

  void heardThreeTimesThreeSecondsApart() {
#ifdef HAVE_SDL_PLAYER
    const QString wav = m_dir.filePath(QStringLiteral("山.wav"));
    {
      QFile f(wav);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(OneSecondTone());
    }
    platform::PlaySound(QString());  // opens the device
    const platform::SdlSoundStatus status = platform::SdlSoundStatusNow();
    QVERIFY2(status.deviceOpen, "SDL's disk driver did not open");
    const int frame = 2 * status.channels;
    const qint64 mark = QFileInfo(m_output).size() / frame * frame;

    CurrentSoundFile = wav;
    QPointer<Tsendsongform> popup = new Tsendsongform(nullptr);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    QElapsedTimer open;
    open.start();
    TimedSdlPlayer timed(open);
    popup->show();
    QTRY_VERIFY_WITH_TIMEOUT(!popup, 20000);
    const double seconds = open.elapsed() / 1000.0;
    QVERIFY2(seconds > 10.3 && seconds < 11.5, qPrintable(QString::number(seconds)));
    QCOMPARE(timed.starts.size(), 3);
    QVERIFY2(std::abs(timed.starts[0] - 0.5) < 0.4, qPrintable(QString::number(timed.starts[0])));
    for (int i = 1; i < 3; ++i)
      QVERIFY(std::abs(timed.starts[i] - timed.starts[i - 1] - 3.0) < 0.1);

    // The device writes at real-time pace; wait until it has caught up with the close.
    const qint64 wanted = mark + qint64(seconds * status.rate) * frame;
    QDeadlineTimer deadline(10000);
    while (QFileInfo(m_output).size() < wanted && !deadline.hasExpired()) QTest::qWait(20);
    QFile out(m_output);
    QVERIFY(out.open(QIODevice::ReadOnly) && out.seek(mark));
    const QList<Burst> bursts = Bursts(out.read(wanted - mark), status.rate, status.channels);

    QString seen;
    for (const Burst& b : bursts)
      seen += QStringLiteral("%1 s for %2 s; ").arg(b.start).arg(b.length);
    QVERIFY2(bursts.size() == 3, qPrintable(seen));
    // The disk driver paces its writes with plain sleeps, so its time runs a few per cent off
    // the wall clock and falls behind when the machine is busy: when the first sound starts is
    // checked on the wall clock above, and only "about 3 s" apart holds here.
    for (int i = 0; i < 3; ++i) {
      QVERIFY2(std::abs(bursts[i].length - 1.0) < 0.05, qPrintable(seen));
      if (i > 0)
        QVERIFY2(std::abs(bursts[i].start - bursts[i - 1].start - 3.0) < 0.5, qPrintable(seen));
    }
#endif
  }
};

QTEST_MAIN(PronunciationSoundTest)
#include "test_pronunciation_sound.moc"
