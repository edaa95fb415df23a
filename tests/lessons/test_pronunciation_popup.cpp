// SPDX-License-Identifier: GPL-3.0-or-later
// The pronunciation pop-up's sequence under a fake clock and a recording sound player.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/shared_routines.h"
#include "lessons/pronunciation_popup.h"
#include "platform/sound.h"
#include "support/fakes.h"

using testing::FakeClock;

namespace {

// Records each start with the fake time and whether the hourglass was showing.
class CursorRecordingPlayer final : public platform::SoundPlayer {
 public:
  struct Start {
    QString name;
    QDateTime at;
    bool hourglass;
  };
  explicit CursorRecordingPlayer(const FakeClock& clock) : m_clock(clock) {
    platform::SetSoundPlayer(this);
  }
  ~CursorRecordingPlayer() override { platform::SetSoundPlayer(nullptr); }
  void Play(const QString& name) override {
    const QCursor* c = QApplication::overrideCursor();
    plays.push_back({name, m_clock.Now(), c && c->shape() == Qt::WaitCursor});
  }
  QList<Start> plays;

 private:
  const FakeClock& m_clock;
};

}  // namespace

class PronunciationPopupTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void playsThreeTimesAndCloses() {
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("山.wav"));
    QFile f(wav);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("RIFF");
    f.close();
    CurrentSoundFile = wav;
    FakeClock clock;
    CursorRecordingPlayer sound(clock);

    QPointer<Tsendsongform> popup = new Tsendsongform(nullptr);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    QDateTime closedAt;
    connect(popup, &QDialog::finished, this, [&] { closedAt = clock.Now(); });
    QElapsedTimer opened;
    opened.start();
    const QDateTime start = clock.Now();
    popup->show();
    QVERIFY(sound.plays.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!popup, 3000);
    // Started by the half-second timer, not at once.
    QVERIFY(opened.elapsed() >= 450);

    QCOMPARE(sound.plays.size(), 3);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(sound.plays[i].name, wav);
      QCOMPARE(start.msecsTo(sound.plays[i].at), 3000 * i);
      QVERIFY(sound.plays[i].hourglass);
    }
    QCOMPARE(sound.plays[2].at.msecsTo(closedAt), 4000);
    QVERIFY(!QApplication::overrideCursor());
  }

  void withoutRecordingShowsTheNotice_data() {
    QTest::addColumn<QString>("recording");
    QTest::newRow("empty") << "";
    QTest::newRow("missing") << "/no/such/folder/山.wav";
    QTest::newRow("deleted") << "deleted";
    QTest::newRow("a folder") << "folder";
  }
  void withoutRecordingShowsTheNotice() {
    QFETCH(QString, recording);
    QTemporaryDir dir;
    if (recording == QLatin1String("deleted")) {
      recording = dir.filePath(QStringLiteral("gone.wav"));
      QFile f(recording);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.close();
      QVERIFY(QFile::remove(recording));
    } else if (recording == QLatin1String("folder")) {
      recording = dir.path();
    }
    CurrentSoundFile = recording;
    FakeClock clock;
    CursorRecordingPlayer sound(clock);

    QPointer<Tsendsongform> popup = new Tsendsongform(nullptr);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->show();
    QVERIFY(!popup->NOLB->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(popup->NOLB->isVisible(), 2000);
    QCOMPARE(popup->NOLB->text(), QStringLiteral("此字没有录音,请录制声音进行教学"));
    QVERIFY(!popup->Timer1->isActive());
    QVERIFY(sound.plays.isEmpty());
    QVERIFY(!QApplication::overrideCursor());

    // It waits: Escape, a click on the character and the second click of the double-click that
    // opened it do not close it; a click on the background once it has been up does.
    const QPoint background(370, 385);
    QTest::keyClick(popup.data(), Qt::Key_Escape);
    QTest::mouseClick(popup->ZILB, Qt::LeftButton);
    clock.Advance(QApplication::doubleClickInterval());
    QTest::mouseDClick(popup.data(), Qt::LeftButton, {}, background);
    QVERIFY(popup && popup->isVisible());
    clock.Advance(1);
    QTest::mouseClick(popup.data(), Qt::LeftButton, {}, background);
    QTRY_VERIFY(!popup);
  }
};

QTEST_MAIN(PronunciationPopupTest)
#include "test_pronunciation_popup.moc"
