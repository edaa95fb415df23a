// SPDX-License-Identifier: GPL-3.0-or-later
// Spoken prompts: made once by real speech synthesis and kept; played only when made and switched
// on; a menu button speaks after the pointer rests on it and when pressed; the adult's switch in
// the children's window turns them off.
#include <QCheckBox>
#include <QDir>
#include <QEnterEvent>
#include <QStandardPaths>
#include <QToolButton>
#include <QtTest>

#include "app/main_form.h"
#include "app/prompt_player.h"
#include "children/children_window.h"
#include "platform/wav_file.h"
#include "support/fakes.h"

using testing::RecordingSoundPlayer;

class PromptPlayerTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/prompts")
        .removeRecursively();
    SetPromptsOn(true);
  }
  void cleanupTestCase() { SetPromptsOn(true); }

  // The first call starts making the voice and plays nothing (it would play late over whatever
  // followed); once made it is a real WAV in the cache and plays at once, the same file each time.
  void madeOnceThenPlayed() {
    RecordingSoundPlayer player;
    QVERIFY(!SayPrompt(QStringLiteral("谁来学习？")));
    WaitForPrompts();
    QVERIFY(player.calls.isEmpty());
    QString error;
    const QString file = PromptFile(QStringLiteral("谁来学习？"), &error);
    QVERIFY2(!file.isEmpty(), qPrintable(error));
    platform::Samples samples;
    int rate = 0;
    QVERIFY(platform::ReadWav(file, &samples, &rate));
    QVERIFY2(samples.size() > size_t(rate) / 2, "less than half a second of speech");
    QVERIFY(SayPrompt(QStringLiteral("谁来学习？")));
    QVERIFY(SayPrompt(QStringLiteral("谁来学习？")));
    QCOMPARE(player.Names(), (QStringList{file, file}));
    QVERIFY(!SayPrompt(QString()));
  }

  // Off: nothing is said, and a prompt playing stops at once.
  void switchedOff() {
    RecordingSoundPlayer player;
    const QString file = PromptFile(QStringLiteral("幼儿识字"));
    QVERIFY(SayPrompt(QStringLiteral("幼儿识字")));
    SetPromptsOn(false);
    QVERIFY(!SayPrompt(QStringLiteral("幼儿识字")));
    SetPromptsOn(true);
    QCOMPARE(player.Names(), (QStringList{file, QString()}));
  }

  // The menu's button speaks its name after resting under the pointer, not when the pointer only
  // passes, and at once when pressed; the quit button says "退出", not its arrow.
  void menuButtonsSpeak() {
    RecordingSoundPlayer player;
    const QString characters = PromptFile(QStringLiteral("幼儿识字"));
    const QString quit = PromptFile(QStringLiteral("退出"));
    QVERIFY(!characters.isEmpty() && !quit.isEmpty());
    TMainForm menu;
    const QPointF at(5, 5);
    QEnterEvent enter(at, at, at);
    QEvent leave(QEvent::Leave);
    // Passing over: gone before the half second.
    QCoreApplication::sendEvent(menu.szsb, &enter);
    QCoreApplication::sendEvent(menu.szsb, &leave);
    QTest::qWait(kPromptHoverMs + 200);
    QVERIFY(player.calls.isEmpty());
    QCoreApplication::sendEvent(menu.szsb, &enter);
    QTRY_COMPARE(player.Names(), QStringList{characters});
    Q_EMIT menu.QuitSb->pressed();
    QCOMPARE(player.Names(), (QStringList{characters, quit}));
  }

  // The adult's switch shows the setting and changes it.
  void windowSwitch() {
    testing::ScriptedMessageBox boxes;  // no database: the window says so
    TChildrenForm window(nullptr);
    QVERIFY(window.PromptCb->isChecked());
    window.PromptCb->click();
    QVERIFY(!PromptsOn());
    TChildrenForm again(nullptr);
    QVERIFY(!again.PromptCb->isChecked());
    again.PromptCb->click();
    QVERIFY(PromptsOn());
  }
};

QTEST_MAIN(PromptPlayerTest)
#include "test_prompt_player.moc"
