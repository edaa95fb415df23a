// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's icon in several sizes and the About window's pictures (the maker's logo
// and the bullet) into assets/images/. Usage: draw_help_pictures <assets/images folder>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

QFont BoldSans(qreal px) {
  QFont f;
  f.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
  f.setPixelSize(qMax(1, qRound(px)));
  f.setBold(true);
  return f;
}

QPainterPath Star(QPointF centre, qreal outer, qreal inner) {
  QPainterPath path;
  for (int i = 0; i < 10; ++i) {
    const qreal r = (i % 2 == 0) ? outer : inner;
    const qreal a = -M_PI / 2 + i * M_PI / 5;
    const QPointF p(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
    if (i == 0)
      path.moveTo(p);
    else
      path.lineTo(p);
  }
  path.closeSubpath();
  return path;
}

// An open book on a sunny rounded tile with a star above it. Drawn in a 256-unit space and scaled;
// small sizes leave out the letters, which would only blur.
QImage AppIcon(int size) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(size / 256.0, size / 256.0);

  const QRectF tile(8, 8, 240, 240);
  QLinearGradient sky(0, 8, 0, 248);
  sky.setColorAt(0, QColor(255, 226, 92));
  sky.setColorAt(1, QColor(255, 146, 48));
  p.setPen(QPen(QColor(214, 96, 20), size <= 16 ? 16 : 6));
  p.setBrush(sky);
  p.drawRoundedRect(tile, 52, 52);

  // Cover under the pages.
  QPainterPath cover;
  cover.moveTo(24, 112);
  cover.quadTo(76, 96, 128, 120);
  cover.quadTo(180, 96, 232, 112);
  cover.lineTo(232, 214);
  cover.quadTo(180, 198, 128, 222);
  cover.quadTo(76, 198, 24, 214);
  cover.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(36, 112, 210));
  p.drawPath(cover);

  // Two pages.
  const QColor pageEdge(150, 150, 170);
  p.setPen(QPen(pageEdge, 3));
  p.setBrush(QColor(255, 255, 250));
  QPainterPath left;
  left.moveTo(36, 102);
  left.quadTo(84, 86, 124, 110);
  left.lineTo(124, 206);
  left.quadTo(84, 184, 36, 198);
  left.closeSubpath();
  QPainterPath right;
  right.moveTo(220, 102);
  right.quadTo(172, 86, 132, 110);
  right.lineTo(132, 206);
  right.quadTo(172, 184, 220, 198);
  right.closeSubpath();
  p.drawPath(left);
  p.drawPath(right);

  if (size >= 48) {
    p.setFont(BoldSans(64));
    p.setPen(QColor(220, 40, 40));
    p.drawText(QRectF(40, 102, 84, 92), Qt::AlignCenter, QStringLiteral("字"));
    p.setFont(BoldSans(72));
    p.setPen(QColor(30, 150, 60));
    p.drawText(QRectF(134, 100, 84, 92), Qt::AlignCenter, QStringLiteral("A"));
  } else if (size >= 32) {
    // Lines of text on the pages.
    p.setPen(QPen(QColor(120, 120, 140), size <= 16 ? 10 : 7, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
      const qreal y = 128 + i * 24;
      p.drawLine(QPointF(54, y), QPointF(108, y + 2));
      p.drawLine(QPointF(148, y + 2), QPointF(202, y));
    }
  }

  // The star.
  p.setPen(QPen(QColor(200, 30, 30), size <= 16 ? 6 : 4));
  p.setBrush(QColor(235, 50, 50));
  p.drawPath(Star(QPointF(128, 56), size <= 16 ? 46 : 40, size <= 16 ? 22 : 17));
  return img;
}

// The maker's logo: a ring of four colours with a tail, and the name beneath.
QImage MakerLogo() {
  QImage img(160, 128, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  QLinearGradient band(0, 0, 0, 128);
  band.setColorAt(0, QColor(255, 255, 255));
  band.setColorAt(1, QColor(232, 244, 255));
  p.fillRect(img.rect(), band);

  const QRectF ring(50, 8, 60, 60);
  const QColor colours[] = {QColor(234, 67, 53), QColor(251, 188, 5), QColor(52, 168, 83),
                            QColor(66, 133, 244)};
  for (int i = 0; i < 4; ++i) {
    p.setPen(QPen(colours[i], 13, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, (45 + i * 90) * 16, 84 * 16);
  }
  // The tail that makes the ring a "Q".
  p.setPen(QPen(QColor(66, 133, 244), 13, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(96, 56), QPointF(112, 72));

  p.setFont(BoldSans(27));
  p.setPen(QColor(30, 60, 120));
  p.drawText(QRectF(0, 78, 160, 42), Qt::AlignCenter, QStringLiteral("Quorvex"));
  return img;
}

QImage Bullet(int scale) {
  QImage img(8 * scale, 8 * scale, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(scale);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient ball(QPointF(3, 3), 5);
  ball.setColorAt(0, QColor(255, 200, 120));
  ball.setColorAt(1, QColor(230, 80, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(ball);
  p.drawEllipse(QRectF(0.5, 0.5, 7, 7));
  return img;
}

bool Save(const QImage& img, const QDir& dir, const QString& name, const char* format,
          int quality = -1) {
  const QString path = dir.filePath(name);
  if (img.save(path, format, quality)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <assets/images folder>\n", argv[0]);
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  bool ok = true;
  for (int size : {16, 32, 48, 256})
    ok &= Save(AppIcon(size), dir, QStringLiteral("app_icon_%1.png").arg(size), "PNG");
  ok &= Save(MakerLogo(), dir, QStringLiteral("about_logo.jpg"), "JPEG", 92);
  ok &= Save(Bullet(1), dir, QStringLiteral("about_bullet.png"), "PNG");
  ok &= Save(Bullet(2), dir, QStringLiteral("about_bullet@2x.png"), "PNG");
  return ok ? 0 : 1;
}
