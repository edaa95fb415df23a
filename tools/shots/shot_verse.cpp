// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the poem and English lesson screens at their design size and maximised, on a fresh copy
// of the sample course, to PNG files for looking at. Run with QT_QPA_PLATFORM=offscreen; argument:
// output folder.
#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

#include "data/data_module.h"
#include "data/lesson_database.h"
#include "lessons/verse_screen.h"
#include "platform/sound.h"
#include "shot_support.h"

namespace {

// Screenshots need no sound device.
class SilentPlayer final : public platform::SoundPlayer {
 public:
  void Play(const QString&) override {}
};

void Shoot(TVerseScreen* screen, const QString& path) {
  QApplication::processEvents();
  const QPixmap shot = screen->grab();
  // A doubled crop of the top left, for checking pictures and the title up close.
  QString zoom = path;
  zoom.replace(QStringLiteral(".png"), QStringLiteral("_zoom.png"));
  shot.copy(0, 0, 400, 130).scaled(800, 260).save(zoom);
  if (shot.save(path))
    std::printf("%s\n", qPrintable(path));
  else
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// Shows chapter `chapter` and selects the item at `item`, as a child would.
void Choose(TVerseScreen* screen, int chapter, int item) {
  for (int i = 0; i < chapter; ++i) screen->DownSbClick();
  for (int i = 0; i < item; ++i) screen->XYSSBClick();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SilentPlayer silent;
  platform::SetSoundPlayer(&silent);
  const QString folder = ShotFolder(argc, argv);
  SampleDataModule data;
  if (!data.Ok()) return 1;

  struct Shot {
    LessonKindId kind;
    int chapter, item;
    bool notice;
    const char* name;
    int lines = 0;  // replaces the text by this many lines, to show the scroll bar
  };
  const Shot shots[] = {
      {LessonKindId::Poem, 0, 0, false, "verse_poem.png"},
      {LessonKindId::Poem, 1, 2, false, "verse_poem_longest.png"},
      {LessonKindId::English, 0, 0, false, "verse_english.png"},
      {LessonKindId::English, 1, 3, true, "verse_english_notice.png"},
      {LessonKindId::Poem, 1, 2, false, "verse_poem_maximized.png"},
      {LessonKindId::English, 2, 1, false, "verse_english_maximized.png"},
      {LessonKindId::Poem, 0, 0, false, "verse_poem_scrolling.png", 20},
  };
  for (const Shot& s : shots) {
    TVerseScreen* screen = s.kind == LessonKindId::Poem
                               ? static_cast<TVerseScreen*>(new TxsmainForm(nullptr))
                               : new TXYYMAINForm(nullptr);
    const bool maximized = QByteArray(s.name).contains("maximized");
    if (maximized) {
      // As on a 1280 x 800 screen.
      screen->setWindowState(Qt::WindowNoState);
      screen->resize(1280, 800);
      screen->show();
    } else {
      screen->ShowMaximizedOrDesign(false);
    }
    QApplication::processEvents();
    Choose(screen, s.chapter, s.item);
    if (s.notice) screen->ShowNoSoundNotice();
    QStringList lines;
    for (int i = 1; i <= s.lines; ++i) lines << QStringLiteral("第%1行 春眠不觉晓").arg(i);
    if (s.lines) screen->me1->setPlainText(lines.join(QLatin1Char('\n')));
    screen->UpdateStatusBar();
    Shoot(screen, QDir(folder).filePath(QString::fromLatin1(s.name)));
    delete screen;
  }
  return 0;
}
