// Draws the character screen's pictures into assets/images/: the loudspeaker of the character list
// and the 16 × 16 button pictures. Run from the project root: draw_charscreen_pictures [folder]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cstdio>

namespace {

int g_scale = 1;  // 2 for the sharp pictures of a grown design ("@2x")

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

QImage Help() {
  QImage img = Blank(16);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(20, 70, 160), 1));
  p.setBrush(QColor(60, 130, 230));
  p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(12);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
  return img;
}

// An open book; with a pencil for the character editor.
QImage Book(bool pencil) {
  QImage img = Blank(16);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 90, 40), 1));
  p.setBrush(QColor(110, 200, 110));
  p.drawRect(QRectF(1.5, 3.5, 6, 10));
  p.drawRect(QRectF(8.5, 3.5, 6, 10));
  p.setPen(QPen(QColor(255, 255, 255), 1));
  for (int y = 6; y <= 11; y += 2) {
    p.drawLine(QPointF(3, y + 0.5), QPointF(6.5, y + 0.5));
    p.drawLine(QPointF(10, y + 0.5), QPointF(13.5, y + 0.5));
  }
  if (pencil) {
    p.translate(11, 5);
    p.rotate(45);
    p.setPen(QPen(QColor(120, 60, 0), 0.8));
    p.setBrush(QColor(255, 190, 40));
    p.drawRect(QRectF(-1.6, -6, 3.2, 9));
    p.setBrush(QColor(230, 80, 80));
    p.drawRect(QRectF(-1.6, -7.5, 3.2, 1.5));
    QPainterPath tip;
    tip.moveTo(-1.6, 3);
    tip.lineTo(1.6, 3);
    tip.lineTo(0, 6);
    tip.closeSubpath();
    p.setBrush(QColor(250, 220, 170));
    p.drawPath(tip);
  }
  return img;
}

// A fat arrow pointing left (previous) or right (next); grey when disabled.
QImage Arrow(bool right, bool enabled) {
  QImage img = Blank(16);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  if (right) {
    p.translate(16, 0);
    p.scale(-1, 1);
  }
  QPainterPath a;
  a.moveTo(1, 8);
  a.lineTo(8, 1.5);
  a.lineTo(8, 5);
  a.lineTo(15, 5);
  a.lineTo(15, 11);
  a.lineTo(8, 11);
  a.lineTo(8, 14.5);
  a.closeSubpath();
  if (enabled) {
    QLinearGradient g(0, 1, 0, 15);
    g.setColorAt(0, QColor(120, 220, 90));
    g.setColorAt(1, QColor(30, 150, 40));
    p.setPen(QPen(QColor(20, 100, 20), 1));
    p.setBrush(g);
  } else {
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(QColor(205, 205, 205));
  }
  p.drawPath(a);
  return img;
}

// A door with an arrow leading out.
QImage Quit() {
  QImage img = Blank(16);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(110, 60, 20), 1));
  p.setBrush(QColor(190, 120, 60));
  p.drawRect(QRectF(1.5, 1.5, 7, 13));
  p.setBrush(QColor(255, 220, 90));
  p.drawEllipse(QRectF(6, 7.5, 1.6, 1.6));
  QPainterPath a;
  a.moveTo(15.5, 8);
  a.lineTo(11, 3.5);
  a.lineTo(11, 6);
  a.lineTo(7, 6);
  a.lineTo(7, 10);
  a.lineTo(11, 10);
  a.lineTo(11, 12.5);
  a.closeSubpath();
  p.setPen(QPen(QColor(160, 20, 20), 1));
  p.setBrush(QColor(235, 60, 50));
  p.drawPath(a);
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString folder =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets/images");
  for (g_scale = 1; g_scale <= 2; ++g_scale) {
    const std::pair<const char*, QImage> pictures[] = {
        {"charscreen_speaker", Speaker()},
        {"charscreen_help", Help()},
        {"charscreen_chapters", Book(false)},
        {"charscreen_characters", Book(true)},
        {"charscreen_previous", Arrow(false, true)},
        {"charscreen_previous_disabled", Arrow(false, false)},
        {"charscreen_next", Arrow(true, true)},
        {"charscreen_next_disabled", Arrow(true, false)},
        {"charscreen_quit", Quit()},
    };
    for (const auto& [name, image] : pictures) {
      const QString path = folder + QLatin1Char('/') + QLatin1String(name) +
                           (g_scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png"));
      if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
      }
    }
  }
  return 0;
}
