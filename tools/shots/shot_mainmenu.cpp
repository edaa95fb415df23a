// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the main menu to PNG for a person to look at: at its design size, on a wide screen
// (design area centred), with the pointer over a button, and its pictures enlarged.
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QPainter>
#include <QToolButton>
#include <cstdio>

#include "app/main_form.h"

namespace {

bool Write(const QImage& image, const QString& path) {
  const bool ok = image.save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

QImage PictureSheet() {
  const char* names[] = {"menu_characters", "menu_poems",    "menu_english", "menu_arithmetic",
                         "menu_about",      "menu_minimize", "menu_quit"};
  QImage sheet(7 * 140, 300, QImage::Format_ARGB32);
  sheet.fill(QColor(255, 248, 210));
  QPainter p(&sheet);
  for (int i = 0; i < 7; ++i) {
    const QImage one(QStringLiteral(":/images/%1.png").arg(QLatin1String(names[i])));
    const QImage two(QStringLiteral(":/images/%1@2x.png").arg(QLatin1String(names[i])));
    p.drawImage(QPoint(i * 140 + 10, 10), one);
    p.drawImage(QRect(i * 140 + 10, 60, one.width() * 4, one.height() * 4), one);
    p.drawImage(QRect(i * 140 + 10, 200, two.width() * 1.5, two.height() * 1.5), two);
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  bool ok = true;

  TMainForm menu;
  menu.setWindowState(Qt::WindowNoState);
  menu.resize(TMainForm::kDesignWidth, TMainForm::kDesignHeight);
  menu.show();
  QApplication::processEvents();
  ok = Write(menu.grab().toImage(), dir + "/mainmenu.png") && ok;

  // The pointer over a module button raises it.
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(menu.xssb, &enter);
  menu.xssb->setAttribute(Qt::WA_UnderMouse);
  menu.xssb->update();
  ok = Write(menu.grab().toImage(), dir + "/mainmenu_hover.png") && ok;

  menu.resize(1280, 800);
  QApplication::processEvents();
  ok = Write(menu.grab().toImage(), dir + "/mainmenu_wide.png") && ok;

  ok = Write(PictureSheet(), dir + "/mainmenu_pictures.png") && ok;
  return ok ? 0 : 1;
}
