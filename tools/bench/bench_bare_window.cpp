// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for bench_startup: the smallest Qt Widgets program a Chinese children's program could
// be, one full-screen window with one Chinese label. Built on its own against Qt Widgets alone,
// so it loads only what any such program must load.
#include <QApplication>
#include <QLabel>
#include <QScreen>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel label(QStringLiteral("幼儿识字"));
  QFont font;
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                    QStringLiteral("Noto Sans CJK SC")});
  font.setPixelSize(19);
  font.setBold(true);
  label.setFont(font);
  label.setAlignment(Qt::AlignCenter);
  label.setWindowFlag(Qt::FramelessWindowHint);
  // As the menu does: the screen's whole available area even without a window manager.
  label.setGeometry(label.screen()->availableGeometry());
  label.showMaximized();
  return QApplication::exec();
}
