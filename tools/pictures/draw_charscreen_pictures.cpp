// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the character screen's own picture into assets/images/: the loudspeaker of the character
// list (the top bar's pictures are the lesson screens' shared ones). Run from the project root:
// draw_charscreen_pictures [folder]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cstdio>

namespace {

int g_scale = 1;  // 2 for the sharp picture of a grown design ("@2x")

QImage Blank(int size) {
  QImage img(size * g_scale, size * g_scale, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(g_scale);
  img.fill(Qt::transparent);
  return img;
}

// A friendly loudspeaker with three sound waves, for the black list field.
QImage Speaker() {
  QImage img = Blank(50);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Body and cone.
  QLinearGradient body(0, 16, 0, 34);
  body.setColorAt(0, QColor(255, 226, 120));
  body.setColorAt(1, QColor(232, 150, 20));
  p.setPen(QPen(QColor(120, 70, 0), 1.5));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(5, 17, 10, 16), 2, 2);
  QPainterPath cone;
  cone.moveTo(15, 18);
  cone.lineTo(27, 7);
  cone.lineTo(27, 43);
  cone.lineTo(15, 32);
  cone.closeSubpath();
  QLinearGradient coneFill(15, 0, 27, 0);
  coneFill.setColorAt(0, QColor(255, 200, 60));
  coneFill.setColorAt(1, QColor(255, 240, 170));
  p.setBrush(coneFill);
  p.drawPath(cone);
  // Waves, brightest nearest the cone.
  const QColor waves[] = {QColor(120, 220, 255), QColor(90, 190, 250), QColor(60, 150, 235)};
  for (int i = 0; i < 3; ++i) {
    const qreal r = 7 + i * 6;
    p.setPen(QPen(waves[i], 2.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(27 - r, 25 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
  }
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString folder =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets/images");
  for (g_scale = 1; g_scale <= 2; ++g_scale) {
    const QString path = folder + (g_scale == 1 ? QStringLiteral("/charscreen_speaker.png")
                                                : QStringLiteral("/charscreen_speaker@2x.png"));
    if (!Speaker().save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
