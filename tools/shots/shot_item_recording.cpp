// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the character item editor while it records (the microphone being SDL's disk driver
// reading a tone) with a proposed pinyin line, and the poem editor after "合成", to PNG files.
// Run with QT_QPA_PLATFORM=offscreen; argument: output folder.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <cmath>
#include <cstdio>

#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "editors/item_editor.h"
#include "editors/item_recording_controls.h"
#include "platform/wav_file.h"
#include "shot_support.h"

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);  // recordings go to a test folder
  QApplication app(argc, argv);
  const QString folder = ShotFolder(argc, argv);
  QTemporaryDir tmp;
  const QString mic = tmp.filePath(QStringLiteral("microphone.raw"));
  {
    platform::Samples s(10 * platform::kRecordingRate);
    for (std::size_t i = 0; i < s.size(); ++i)
      s[i] = static_cast<std::int16_t>(6000 * std::sin(2 * M_PI * 200.0 * i / 22050) *
                                       (0.6 + 0.4 * std::sin(i / 3000.0)));
    QFile f(mic);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write(reinterpret_cast<const char*>(s.data()), static_cast<qint64>(s.size() * 2));
  }
  for (const LessonKind* k : AllKinds()) QDir(RecordingsFolder(*k)).removeRecursively();
  qputenv("SDL_AUDIODRIVER", "disk");
  qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(mic));
  qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(tmp.filePath(QStringLiteral("speaker.raw"))));

  TSzsoundaddForm character(nullptr);
  character.ModifyBtn->hide();
  character.numed->setText(QStringLiteral("29"));
  character.nameed->setText(QStringLiteral("绿"));
  character.ZJPL->setText(QStringLiteral("第三章 自然"));
  Q_EMIT character.nameed->editingFinished();  // leaving the name box proposes the pinyin
  character.show();
  character.Recording->RecordSb->click();
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 1300) QApplication::processEvents(QEventLoop::AllEvents, 20);
  SaveShot(&character, QDir(folder).filePath(QStringLiteral("item_recording_character.png")));
  character.Recording->StopSb->click();
  SaveShot(&character, QDir(folder).filePath(QStringLiteral("item_recording_character_saved.png")));

  TxssoundaddForm poem(nullptr);
  poem.ModifyBtn->hide();
  poem.numed->setText(QStringLiteral("9"));
  poem.nameed->setText(QStringLiteral("咏鹅"));
  poem.ZJPL->setText(QStringLiteral("第一章 读一读"));
  poem.SetText(QStringLiteral("唐·骆宾王\n鹅，鹅，鹅，曲项向天歌。\n白毛浮绿水，红掌拨清波。"));
  poem.show();
  poem.Recording->SpeakSb->click();
  SaveShot(&poem, QDir(folder).filePath(QStringLiteral("item_recording_poem.png")));
  return 0;
}
