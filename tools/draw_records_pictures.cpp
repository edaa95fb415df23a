// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the learning record's menu picture into assets/images/ (or the folder given): three
// coloured bars on a little chart, at 1× and 2× (PNG).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <cstdio>

namespace {

// 学习记录: a white card with a bar chart of the modules' colours and a rising line.
void Records(QPainter& p) {
  p.setPen(QPen(QColor(60, 90, 140), 1));
  p.setBrush(QColor(255, 255, 250));
  p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2.5, 2.5);
  const struct {
    qreal x, top;
    QColor colour;
  } bars[] = {
      {3, 9, QColor(231, 76, 60)}, {6.5, 6, QColor(52, 132, 219)}, {10, 3.5, QColor(46, 170, 90)}};
  for (const auto& b : bars) {
    QLinearGradient g(b.x, b.top, b.x + 3, b.top);
    g.setColorAt(0, b.colour.lighter(125));
    g.setColorAt(1, b.colour);
    p.setPen(QPen(b.colour.darker(140), 0.6));
    p.setBrush(g);
    p.drawRect(QRectF(b.x, b.top, 3, 13 - b.top));
  }
  p.setPen(QPen(QColor(60, 90, 140), 1));
  p.drawLine(QPointF(2, 13.5), QPointF(14, 13.5));
}

bool Picture(const QString& dir, const QString& name, int size) {
  for (int scale : {1, 2}) {
    QImage image(size * scale, size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    Records(p);
    p.end();
    const QString file = dir + "/" + name + (scale == 1 ? ".png" : "@2x.png");
    if (!image.save(file, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1])
                               : QStringLiteral(TINDORA_SOURCE_MEDIA "/../images");
  QDir().mkpath(dir);
  const bool ok = Picture(dir, QStringLiteral("menu_records"), 16);
  std::printf("%s\n", ok ? "pictures written" : "some pictures failed");
  return ok ? 0 : 1;
}
