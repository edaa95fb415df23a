// SPDX-License-Identifier: GPL-3.0-or-later
// The item editor's recording controls: "合成" and "录音"/"停止" put a new recording named after
// the item into Sypl and "测试" plays it; nothing is asked and nothing reaches the library before
// "保存"; "拼音" proposes the pinyin. The microphone is SDL's disk driver reading a file.
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>
#include <cmath>

#include "data/item_recordings.h"
#include "editors/item_editor.h"
#include "editors/item_recording_controls.h"
#include "platform/microphone.h"
#include "support/fakes.h"
#include "support/wav_check.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

Q_DECLARE_METATYPE(LessonKindId)

namespace {

void WriteMicrophone(const QString& path, bool silent = false) {
  // Half a second of silence, a second of tone, then the file ends (silence from then on).
  std::vector<std::int16_t> s(platform::kRecordingRate * 3 / 2, 0);
  for (int i = platform::kRecordingRate / 2; !silent && i < static_cast<int>(s.size()); ++i)
    s[i] = static_cast<std::int16_t>(10000 *
                                     std::sin(2 * M_PI * 330.0 * i / platform::kRecordingRate));
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the microphone file");
  f.write(reinterpret_cast<const char*>(s.data()), static_cast<qint64>(s.size() * 2));
}

bool PlayableWav(const QString& path) {
  SDL_AudioSpec spec{};
  Uint8* buf = nullptr;
  Uint32 len = 0;
  if (!SDL_LoadWAV(QFile::encodeName(path).constData(), &spec, &buf, &len)) return false;
  SDL_FreeWAV(buf);
  return spec.freq == 22050 && spec.channels == 1 && spec.format == AUDIO_S16LSB && len > 4410;
}

}  // namespace

class ItemRecordingControlsTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir m_dir;

  static void Make(TItemEditorForm& editor, const QString& how) {
    editors::ItemRecordingControls* r = editor.Recording;
    if (how == QLatin1String("合成")) {
      r->SpeakSb->click();
      return;
    }
    r->RecordSb->click();
    QVERIFY(r->StopSb->isEnabled() && !r->RecordSb->isEnabled() && !editor.Selectfb->isEnabled() &&
            !editor.AddBtn->isEnabled());
    QTest::qWait(300);  // the disk driver delivers seconds of "microphone" meanwhile
    r->StopSb->click();
    QVERIFY(!r->StopSb->isEnabled() && r->RecordSb->isEnabled() && editor.Selectfb->isEnabled() &&
            editor.AddBtn->isEnabled());
  }

 private Q_SLOTS:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    const QString mic = m_dir.filePath("microphone.raw");
    WriteMicrophone(mic);
    WriteMicrophone(m_dir.filePath("silence.raw"), true);
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(mic));
    qputenv("SDL_DISKAUDIODELAY", "0");
    // Each test fakes the player; should the real one open, it writes here, not in the build.
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_dir.filePath("speaker.raw")));
  }
  void init() {
    for (const LessonKind* k : AllKinds()) QDir(RecordingsFolder(*k)).removeRecursively();
  }

  void makesTheItemsRecording_data() {
    QTest::addColumn<LessonKindId>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("file");
    const struct {
      LessonKindId kind;
      const char* name;
      const char* text;
      const char* file;
    } items[] = {{LessonKindId::Character, "绿", "lǜ  绿色", "绿.wav"},
                 {LessonKindId::Poem, "春晓", "春眠不觉晓，处处闻啼鸟。", "春晓.wav"},
                 {LessonKindId::English, "ice cream", "冰淇淋", "ICE_CREAM.wav"}};
    for (const auto& i : items)
      for (const char* how : {"合成", "录音"})
        QTest::addRow("%s %s", how, Kind(i.kind).key.toLatin1().constData())
            << i.kind << QString::fromUtf8(i.name) << QString::fromUtf8(i.text)
            << QString::fromUtf8(how) << QString::fromUtf8(i.file);
  }
  void makesTheItemsRecording() {
    QFETCH(LessonKindId, kind);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, how);
    QFETCH(QString, file);
    testing::ScriptedMessageBox boxes;
    testing::RecordingSoundPlayer player;
    std::unique_ptr<TItemEditorForm> editor(NewItemEditor(nullptr, kind));
    editor->nameed->setText(name);
    editor->SetText(text);
    Make(*editor, how);
    QCOMPARE(boxes.TitlesAndTexts(), QStringList());
    // Named after the item and the bytes' hash; nothing reaches the library before "保存".
    const QString kept = editor->Sypl->text();
    const QString base = Kind(kind).soundFolder + QLatin1Char('/') + file.chopped(4) + '-';
    QVERIFY2(kept.startsWith(base) && kept.endsWith(QLatin1String(".wav")), qPrintable(kept));
    QVERIFY(PlayableWav(editor->SoundToPlay()));
    QCOMPARE(testing::WavHeaderFault(editor->SoundToPlay()), QString());
    editor->Testsb->click();
    QCOMPARE(player.Names().last(), editor->SoundToPlay());
    // Again: no question whatever the answer might have been, and still nothing in the library.
    Make(*editor, how);
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(QFileInfo(editor->SoundToPlay()).isFile());
    QVERIFY(!QFileInfo::exists(RecordingsFolder(Kind(kind))));
    // Left without saving: the copies made for listening go too.
    const QString heard = editor->SoundToPlay();
    editor->reject();
    QVERIFY(!QFileInfo::exists(heard));
  }

  void refusesWithOneMessage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("driver");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("message");
    QTest::newRow("no capture device")
        << "一" << QByteArray("no-such-driver") << "录音" << platform::NoCaptureDeviceMessage();
    QTest::newRow("recording without a name") << "" << QByteArray("disk") << "录音"
                                              << "请先填写“字(词)”：声音文件用它来命名。";
    QTest::newRow("synthesis without a name") << " " << QByteArray("disk") << "合成"
                                              << "请先填写“字(词)”：声音文件用它来命名。";
    QTest::newRow("nothing heard") << "一" << QByteArray("disk silence.raw") << "录音"
                                   << "没有录到声音。请靠近麦克风，按“录音”再录一次。";
  }
  void refusesWithOneMessage() {
    QFETCH(QString, name);
    QFETCH(QByteArray, driver);  // and the microphone's file, when not the usual one
    QFETCH(QString, how);
    QFETCH(QString, message);
    testing::ScriptedMessageBox boxes;
    testing::RecordingSoundPlayer player;
    TSzsoundaddForm editor(nullptr);
    editor.nameed->setText(name);
    editor.SetSoundPath(QStringLiteral("/old/一.wav"));
    const QByteArray usual = qgetenv("SDL_DISKAUDIOFILEIN");
    qputenv("SDL_AUDIODRIVER", driver.split(' ').first());
    if (driver.contains(' '))
      qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(m_dir.filePath(driver.split(' ').last())));
    (how == QLatin1String("合成") ? editor.Recording->SpeakSb : editor.Recording->RecordSb)
        ->click();
    if (editor.Recording->IsRecording()) {
      QTest::qWait(300);
      editor.Recording->StopSb->click();
    }
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILEIN", usual);
    QCOMPARE(boxes.TitlesAndTexts(), QStringList{QStringLiteral("注意|") + message});
    QVERIFY(!editor.Recording->IsRecording());
    QVERIFY(editor.Recording->RecordSb->isEnabled() && !editor.Recording->StopSb->isEnabled());
    QCOMPARE(editor.Sypl->text(), QStringLiteral("/old/一.wav"));
    QVERIFY(!QFileInfo::exists(RecordingsFolder(Kind(LessonKindId::Character))));
  }

  void closingEndsARecording() {
    testing::RecordingSoundPlayer player;
    TSzsoundaddForm editor(nullptr);
    editor.nameed->setText(QStringLiteral("一"));
    editor.Recording->RecordSb->click();
    QVERIFY(editor.Recording->IsRecording());
    editor.reject();
    QVERIFY(!editor.Recording->IsRecording());
    QVERIFY(editor.Sypl->text().isEmpty());
  }

  void proposesPinyin_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<bool>("offered");  // "拼音" enabled
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("renamed");  // the name typed afterwards, if any
    QTest::addColumn<QString>("final");
    QTest::newRow("button") << u"一二"_qs << QString() << true << true << u"yī èr"_qs << QString()
                            << u"yī èr"_qs;
    QTest::newRow("leaving the name box")
        << u"绿"_qs << QString() << true << false << u"lǜ"_qs << u"山"_qs << u"shān"_qs;
    QTest::newRow("renamed to a name without a reading")
        << u"三个"_qs << QString() << true << false << u"sān gè"_qs << u"🐱"_qs << QString();
    QTest::newRow("the adult's line stays")
        << u"一"_qs << u"yi1"_qs << false << false << u"yi1"_qs << u"山"_qs << u"yi1"_qs;
    QTest::newRow("Latin name: nothing")
        << u"ab"_qs << QString() << false << false << QString() << QString() << QString();
  }
  void proposesPinyin() {
    QFETCH(QString, name);
    QFETCH(QString, pinyin);
    QFETCH(bool, offered);
    QFETCH(bool, byButton);
    QFETCH(QString, after);
    QFETCH(QString, renamed);
    QFETCH(QString, final);
    TSzsoundaddForm editor(nullptr);
    editor.PYED->setText(pinyin);
    editor.nameed->setText(name);
    QCOMPARE(editor.Recording->PinyinSb->isEnabled(), offered);
    if (byButton)
      editor.Recording->PinyinSb->click();
    else
      Q_EMIT editor.nameed->editingFinished();
    QCOMPARE(editor.PYED->text(), after);
    QVERIFY(!editor.Recording->PinyinSb->isEnabled());
    if (!renamed.isEmpty()) editor.nameed->setText(renamed);
    QCOMPARE(editor.PYED->text(), final);
    // An edited proposal is the adult's own: a later name leaves it alone.
    editor.PYED->setText(final + u" 山水"_qs);
    editor.nameed->setText(u"一"_qs);
    QCOMPARE(editor.PYED->text(), final + u" 山水"_qs);
  }
};

QTEST_MAIN(ItemRecordingControlsTest)
#include "test_item_recording_controls.moc"
