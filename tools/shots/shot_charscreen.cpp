// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the character screen and its pop-up to PNG files for a look:
//   shot_charscreen [output folder]   (QT_QPA_PLATFORM=offscreen works)
// Uses a fresh embedded database with the sample course in a temporary folder.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/shared_routines.h"
#include "data/data_module.h"
#include "data/lesson_database.h"
#include "lessons/character_screen.h"
#include "lessons/pronunciation_popup.h"
#include "platform/dataset.h"

namespace {

bool Save(QWidget* w, const QString& path) {
  const bool ok = w->grab().save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QTemporaryDir dir;
  const QString db = dir.filePath(QStringLiteral("lessons.db"));
  QString error;
  if (!EnsureEmbeddedDatabase(db, &error)) {
    std::fprintf(stderr, "database: %s\n", qPrintable(error));
    return 1;
  }
  Tdm module(EmbeddedSpec(db));
  dm = &module;

  bool ok = true;
  {
    TszmainForm screen(nullptr);
    Tsendsongform* last = nullptr;
    screen.SetPopupShower([&last](Tsendsongform* popup) { last = popup; });
    screen.ShowMaximizedOrDesign(false);
    QApplication::processEvents();
    screen.DownSbClick();
    screen.ListView1->setCurrentRow(2);
    screen.UpdateStatusBar();
    QApplication::processEvents();
    ok &= Save(&screen, out + QStringLiteral("/charscreen_screen.png"));

    screen.ListView1Click();
    if (last) {
      last->Timer1->stop();
      last->show();
      QApplication::processEvents();
      ok &= Save(last, out + QStringLiteral("/charscreen_popup.png"));
      CurrentSoundFile.clear();
      last->PlayAndClose();
      QApplication::processEvents();
      ok &= Save(last, out + QStringLiteral("/charscreen_popup_norecording.png"));
      // A two-character word with a long pinyin line.
      last->ZILB->setText(QStringLiteral("老师"));
      last->FYLB->setText(QStringLiteral("发音+词组: lǎo shī  老师好  好老师  老师们"));
      QApplication::processEvents();
      ok &= Save(last, out + QStringLiteral("/charscreen_popup_word.png"));
      delete last;
    }
    screen.resize(1280, 800);
    QApplication::processEvents();
    ok &= Save(&screen, out + QStringLiteral("/charscreen_screen_wide.png"));
  }
  {
    // A full chapter of 25 two-character words at the design size, and the pop-up where it
    // opens over the screen.
    const QString c = module.ConnectionName();
    const QStringList words = {"妈妈", "爸爸", "老师", "朋友", "大人", "小孩", "你好",
                               "再见", "谢谢", "学校", "书包", "铅笔", "太阳", "月亮",
                               "星星", "白云", "小狗", "小猫", "苹果", "香蕉", "银行",
                               "音乐", "睡觉", "长江", "重新"};
    ok &=
        platform::ExecSql(c, QStringLiteral("insert into ZJ (章号, 章节) values (99, '满满一章')"));
    for (int i = 0; i < words.size(); ++i)
      ok &= platform::ExecSql(
          c, QStringLiteral("insert into szSound (字号, 字名, 章节, 拼音词组, 声音) "
                            "values (%1, '%2', '满满一章', '', '')")
                 .arg(900 + i)
                 .arg(words[i]));
    TszmainForm screen(nullptr);
    Tsendsongform* last = nullptr;
    screen.SetPopupShower([&last](Tsendsongform* popup) { last = popup; });
    screen.ShowMaximizedOrDesign(false);
    QApplication::processEvents();
    screen.CB1->setCurrentIndex(screen.CB1->count() - 1);
    screen.CB1Change();
    screen.UpdateStatusBar();
    QApplication::processEvents();
    ok &= Save(&screen, out + QStringLiteral("/charscreen_full_chapter.png"));
    screen.ListView1->setCurrentRow(20);
    screen.ListView1Click();
    if (last) {
      last->Timer1->stop();
      last->show();
      QApplication::processEvents();
      QImage both = screen.grab().toImage();
      QPainter p(&both);
      const QPoint at = last->pos() - screen.mapToGlobal(QPoint(0, 0));
      p.drawPixmap(at, last->grab());
      p.setPen(QPen(Qt::yellow, 2));
      p.drawRect(QRect(at, last->size()));
      p.end();
      const QString path = out + QStringLiteral("/charscreen_popup_placed.png");
      ok &= both.save(path);
      std::printf("wrote %s\n", qPrintable(path));
      delete last;
    }
  }
  dm = nullptr;
  return ok ? 0 : 1;
}
