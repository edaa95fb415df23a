// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the help windows, the About window and the program's icons to PNG files for a look.
// Usage: shot_help <output folder>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QPainter>
#include <cstdio>

#include "app/about_window.h"
#include "app/app_icon.h"
#include "app/help_windows.h"
#include "controls/flat_speed_button.h"

namespace {

bool Shoot(QWidget* window, const QDir& dir, const QString& name) {
  window->show();
  QApplication::processEvents();
  const QString path = dir.filePath(name);
  const bool ok = window->grab().save(path);
  std::printf("%s %s %dx%d\n", ok ? "wrote" : "FAILED", qPrintable(path), window->width(),
              window->height());
  delete window;
  return ok;
}

// Every icon size at 1:1 and enlarged, and the About pictures, on one sheet.
bool IconSheet(const QDir& dir) {
  QImage sheet(720, 300, QImage::Format_RGB32);
  sheet.fill(QColor(239, 239, 239));
  QPainter p(&sheet);
  int x = 10;
  for (int size : {16, 32, 48}) {
    const QPixmap icon = AppIcon().pixmap(size, size);
    p.drawPixmap(x, 10, icon);
    p.drawPixmap(QRect(x, 70, size * 4, size * 4), icon);
    x += size * 4 + 20;
  }
  p.drawPixmap(x, 10, AppIcon().pixmap(256, 256));
  p.end();
  const QString path = dir.filePath(QStringLiteral("icons.png"));
  return sheet.save(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  QDir dir(QString::fromLocal8Bit(argv[1]));
  dir.mkpath(QStringLiteral("."));
  bool ok = true;
  ok &= Shoot(new TMYHLPForm(nullptr), dir, QStringLiteral("help_character.png"));
  ok &= Shoot(new TxsMYHLPForm(nullptr), dir, QStringLiteral("help_poem.png"));
  ok &= Shoot(new TxyyMYHLPForm(nullptr), dir, QStringLiteral("help_english.png"));
  ok &= Shoot(new TYSMYHLPForm(nullptr), dir, QStringLiteral("help_arithmetic.png"));
  ok &= Shoot(new TAboutForm(nullptr), dir, QStringLiteral("about.png"));
  {
    // The OK button lit up under the pointer.
    auto* about = new TAboutForm(nullptr);
    about->show();
    about->activateWindow();
    QApplication::processEvents();
    QCursor::setPos(about->NextSb->mapToGlobal(about->NextSb->rect().center()));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(about->NextSb, &enter);
    ok &= Shoot(about, dir, QStringLiteral("about_hover.png"));
  }
  ok &= IconSheet(dir);
  return ok ? 0 : 1;
}
