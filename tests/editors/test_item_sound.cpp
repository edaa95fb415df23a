// SPDX-License-Identifier: GPL-3.0-or-later
// The item editor's "测试" through the real sound path: SDL's disk driver writes what a listener
// would hear to a file. A file that is no WAV gives the default chime; closing the editor while a
// long recording plays silences it.
#include <QDeadlineTimer>
#include <QLabel>
#include <QToolButton>
#include <QtEndian>
#include <QtTest>
#include <cmath>

#include "editors/item_editor.h"
#include "platform/sdl_sound.h"
#include "platform/sound.h"
#include "platform/wav_file.h"

namespace {

// A 440 Hz tone at half scale, as the program writes its own recordings.
QByteArray ToneWav(double seconds) {
  platform::Samples tone(static_cast<size_t>(seconds * platform::kRecordingRate));
  for (size_t i = 0; i < tone.size(); ++i)
    tone[i] = static_cast<std::int16_t>(
        std::lround(16383 * std::sin(2 * M_PI * 440.0 * i / platform::kRecordingRate)));
  return platform::WavBytes(tone);
}

}  // namespace

class ItemSoundTest : public QObject {
  Q_OBJECT
  QTemporaryDir m_dir;
  QString m_output;
  int m_frameBytes = 0;
  int m_rate = 0;

  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write");
    return path;
  }

  qint64 Mark() const { return QFileInfo(m_output).size() / m_frameBytes * m_frameBytes; }

  // Seconds from `mark` until the last sounding frame within the next `seconds` of output.
  double HeardUntil(qint64 mark, double seconds) const {
    const qint64 wanted = qint64(seconds * m_rate) * m_frameBytes;
    QDeadlineTimer deadline(20000);
    while (QFileInfo(m_output).size() < mark + wanted && !deadline.hasExpired()) QTest::qWait(20);
    QFile f(m_output);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(mark)) return -1;
    const QByteArray pcm = f.read(wanted);
    double last = 0;
    for (qint64 at = 0; at + 2 <= pcm.size(); at += 2)
      if (std::abs(qFromLittleEndian<qint16>(pcm.constData() + at)) > 1000)
        last = double(at / m_frameBytes) / m_rate;
    return last;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_output = m_dir.filePath(QStringLiteral("output.raw"));
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", m_output.toLocal8Bit());
    platform::OpenSdlSoundDevice();
    const platform::SdlSoundStatus status = platform::SdlSoundStatusNow();
    QVERIFY2(status.deviceOpen, "SDL's disk driver did not open");
    m_frameBytes = 2 * status.channels;
    m_rate = status.rate;
  }

  void testButton_data() {
    QTest::addColumn<int>("kind");
    for (const LessonKind* k : AllKinds()) QTest::newRow(qPrintable(k->key)) << int(k->id);
  }
  void testButton() {
    QFETCH(int, kind);
    auto* editor = new TItemEditorForm(nullptr, static_cast<LessonKindId>(kind));
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->show();

    // Not a WAV at all: the 0.4 s chime instead, and the path stays as chosen.
    const QString text = Write(QStringLiteral("说明 文本.wav"), "plain text, no sound");
    editor->SetSoundPath(text);
    const auto defaults = platform::SdlSoundStatusNow().defaults;
    qint64 mark = Mark();
    editor->TestsbClick();
    const double chime = HeardUntil(mark, 1.0);
    QVERIFY2(chime > 0.3 && chime < 0.6, qPrintable(QString::number(chime)));
    QCOMPARE(platform::SdlSoundStatusNow().defaults, defaults + 1);
    QCOMPARE(editor->Sypl->text(), text);

    // A long recording, cut off by closing the editor.
    editor->SetSoundPath(Write(QStringLiteral("长.wav"), ToneWav(4.0)));
    mark = Mark();
    editor->TestsbClick();
    QTest::qWait(300);
    editor->DelSb->click();
    const double heard = HeardUntil(mark, 2.0);
    QVERIFY2(heard > 0.1 && heard < 1.0, qPrintable(QString::number(heard)));
  }

  void cleanupTestCase() { platform::PlaySound(QString()); }
};

QTEST_MAIN(ItemSoundTest)
#include "test_item_sound.moc"
