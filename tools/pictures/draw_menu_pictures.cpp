// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the main menu's button pictures into assets/images/ (or the folder given) at 1× and 2×
// (PNG). The background is a gradient the menu draws itself.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <functional>

#include "picture_canvas.h"

namespace {

using Draw = std::function<void(QPainter&)>;  // draws on a 32 × 32 or 16 × 16 canvas

QFont BoldFont(const QString& family, qreal px) {
  QFont f(family);
  f.setPixelSize(qRound(px));
  f.setBold(true);
  return f;
}

void RoundTile(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom,
               qreal radius) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setPen(QPen(bottom.darker(135), 1));
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
}

void Letter(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
            const QColor& color) {
  p.setFont(font);
  p.setPen(color);
  p.drawText(r, Qt::AlignCenter, text);
}

// 识字: a red character card with "字".
void Characters(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 45));
  p.drawRoundedRect(QRectF(3.5, 4.5, 27, 27), 6, 6);
  RoundTile(p, QRectF(1.5, 1.5, 27, 27), QColor(255, 120, 100), QColor(220, 40, 40), 6);
  Letter(p, QRectF(1.5, 1.0, 27, 27), QStringLiteral("字"),
         BoldFont(QStringLiteral("Noto Sans CJK SC"), 21), Qt::white);
}

// 学诗: an open book under a crescent moon.
void Poems(QPainter& p) {
  QPainterPath moon;
  moon.addEllipse(QRectF(18, 1, 12, 12));
  QPainterPath bite;
  bite.addEllipse(QRectF(14.5, -1.5, 12, 12));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 200, 0));
  p.drawPath(moon.subtracted(bite));
  p.setBrush(QColor(255, 220, 60));
  p.drawEllipse(QPointF(8, 6), 1.4, 1.4);
  p.drawEllipse(QPointF(13, 3), 1.0, 1.0);

  // Cover, then the two pages curving up from the spine.
  p.setBrush(QColor(40, 110, 210));
  p.setPen(QPen(QColor(20, 70, 150), 1));
  QPainterPath cover;
  cover.moveTo(1, 15);
  cover.lineTo(16, 17.5);
  cover.lineTo(31, 15);
  cover.lineTo(31, 29);
  cover.lineTo(16, 31);
  cover.lineTo(1, 29);
  cover.closeSubpath();
  p.drawPath(cover);
  p.setBrush(QColor(255, 252, 235));
  p.setPen(QPen(QColor(150, 130, 90), 0.8));
  QPainterPath left;
  left.moveTo(16, 17);
  left.cubicTo(12, 13.5, 7, 13, 3, 14);
  left.lineTo(3, 27);
  left.cubicTo(7, 26, 12, 26.5, 16, 29);
  left.closeSubpath();
  p.drawPath(left);
  QTransform mirror(-1, 0, 0, 1, 32, 0);
  p.drawPath(mirror.map(left));
  p.setPen(QPen(QColor(120, 120, 140), 1));
  for (int i = 0; i < 3; ++i) {
    const qreal y = 17.5 + i * 3;
    p.drawLine(QPointF(5.5, y), QPointF(13.5, y + 1));
    p.drawLine(QPointF(18.5, y + 1), QPointF(26.5, y));
  }
}

// 学英语: three letter blocks, A, B and C.
void English(QPainter& p) {
  const QFont f = BoldFont(QStringLiteral("DejaVu Sans"), 11);
  struct Block {
    QRectF r;
    QColor top, bottom;
    const char* letter;
  } blocks[] = {
      {QRectF(1.5, 16.5, 14, 14), QColor(255, 110, 100), QColor(220, 40, 40), "A"},
      {QRectF(16.5, 16.5, 14, 14), QColor(110, 210, 90), QColor(40, 150, 40), "B"},
      {QRectF(9, 2.5, 14, 14), QColor(100, 170, 255), QColor(30, 90, 210), "C"},
  };
  for (const Block& b : blocks) {
    RoundTile(p, b.r, b.top, b.bottom, 3);
    Letter(p, b.r.adjusted(0, 0.5, 0, 0.5), QString::fromLatin1(b.letter), f, Qt::white);
  }
}

// 算数: an abacus with coloured beads.
void Arithmetic(QPainter& p) {
  const QColor wood(160, 95, 40);
  p.setPen(QPen(wood.darker(140), 1));
  p.setBrush(wood);
  p.drawRoundedRect(QRectF(1.5, 2.5, 29, 4), 1.5, 1.5);
  p.drawRoundedRect(QRectF(1.5, 25.5, 29, 4), 1.5, 1.5);
  p.drawRect(QRectF(1.5, 2.5, 3, 27));
  p.drawRect(QRectF(27.5, 2.5, 3, 27));
  p.setPen(QPen(QColor(120, 120, 120), 1));
  const QColor beads[] = {QColor(235, 60, 60), QColor(255, 170, 0), QColor(60, 170, 60),
                          QColor(50, 120, 230)};
  const int counts[] = {3, 1, 2, 4};
  const int slots[4][4] = {{0, 1, 2, -1}, {2, -1, -1, -1}, {0, 3, -1, -1}, {0, 1, 2, 3}};
  for (int row = 0; row < 4; ++row) {
    const qreal y = 9.5 + row * 4.5;
    p.setPen(QPen(QColor(110, 80, 50), 1));
    p.drawLine(QPointF(4.5, y), QPointF(27.5, y));
    p.setPen(QPen(beads[row].darker(150), 0.8));
    p.setBrush(beads[row]);
    for (int i = 0; i < counts[row]; ++i) {
      const int slot = slots[row][i];
      const qreal x = 7.5 + slot * 5 + (slot >= 2 ? 4 : 0);
      p.drawEllipse(QRectF(x - 2.5, y - 2, 5, 4));
    }
  }
}

// 写字: a 田字格 card with a red stroke and a pencil writing it.
void Writing(QPainter& p) {
  p.setPen(QPen(QColor(190, 40, 40), 1.2));
  p.setBrush(QColor(255, 252, 235));
  p.drawRect(QRectF(1.5, 3.5, 24, 24));
  QPen dashed(QColor(220, 90, 90), 0.8, Qt::DashLine);
  dashed.setDashPattern({2, 1.5});
  p.setPen(dashed);
  p.drawLine(QPointF(13.5, 4), QPointF(13.5, 27));
  p.drawLine(QPointF(2, 15.5), QPointF(25, 15.5));
  p.setPen(QPen(QColor(225, 30, 30), 3.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(6, 12), QPointF(20, 12));
  p.drawLine(QPointF(13.5, 12), QPointF(8, 23));
  // The pencil, tip down at the stroke's end, drawn at half the canvas' size.
  p.scale(0.5, 0.5);
  DrawPencil(p, QPointF(46, 20));
}

// 听音找字: an orange loudspeaker sounding towards a small red character card.
void Listening(QPainter& p) {
  p.setPen(QPen(QColor(150, 80, 0), 1));
  p.setBrush(QColor(255, 170, 40));
  QPolygonF speaker;
  speaker << QPointF(1.5, 9.5) << QPointF(6, 9.5) << QPointF(11.5, 4.5) << QPointF(11.5, 21.5)
          << QPointF(6, 16.5) << QPointF(1.5, 16.5);
  p.drawPolygon(speaker);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(40, 130, 230), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(8, 7.5, 8, 11), -50 * 16, 100 * 16);
  p.drawArc(QRectF(7, 4.5, 13, 17), -50 * 16, 100 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 45));
  p.drawRoundedRect(QRectF(16.5, 13.5, 15, 17), 3.5, 3.5);
  RoundTile(p, QRectF(15, 12, 15, 17), QColor(255, 120, 100), QColor(220, 40, 40), 3.5);
  Letter(p, QRectF(15, 11.5, 15, 17), QStringLiteral("字"),
         BoldFont(QStringLiteral("Noto Sans CJK SC"), 11.5), Qt::white);
}

// 关于: a blue "i" badge.
void About(QPainter& p) {
  QRadialGradient g(QPointF(6, 5), 9);
  g.setColorAt(0, QColor(120, 180, 255));
  g.setColorAt(1, QColor(30, 90, 210));
  p.setPen(QPen(QColor(20, 60, 160), 1));
  p.setBrush(g);
  p.drawEllipse(QRectF(1, 1, 14, 14));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
  p.drawRoundedRect(QRectF(6.9, 6.7, 2.2, 6), 0.8, 0.8);
}

// 最小化: a window sinking to a bar.
void Minimize(QPainter& p) {
  p.setPen(QPen(QColor(60, 90, 140), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1.5, 1.5, 13, 9));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(50, 120, 230));
  p.drawRect(QRectF(2, 2, 12, 2.5));
  p.setBrush(QColor(40, 160, 60));
  QPolygonF arrow;
  arrow << QPointF(5, 6) << QPointF(11, 6) << QPointF(8, 10.5);
  p.drawPolygon(arrow);
  p.setBrush(QColor(60, 90, 140));
  p.drawRoundedRect(QRectF(1.5, 12.5, 13, 2.5), 1, 1);
}

// 退出: a door with a red arrow leaving it.
void Quit(QPainter& p) {
  p.setPen(QPen(QColor(110, 60, 20), 1));
  p.setBrush(QColor(190, 120, 60));
  p.drawRect(QRectF(1.5, 1.5, 8, 13));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 220, 80));
  p.drawEllipse(QPointF(7.5, 8.5), 0.9, 0.9);
  p.setBrush(QColor(225, 40, 40));
  p.setPen(QPen(QColor(150, 20, 20), 0.7));
  QPolygonF arrow;
  arrow << QPointF(6.5, 6.5) << QPointF(10.5, 6.5) << QPointF(10.5, 3.5) << QPointF(15.2, 8)
        << QPointF(10.5, 12.5) << QPointF(10.5, 9.5) << QPointF(6.5, 9.5);
  p.drawPolygon(arrow);
}

// 学习记录: a white card with three bars in the colours of the modules.
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

bool Save(const QImage& image, const QString& path, const char* format, int quality = -1) {
  if (image.save(path, format, quality)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

bool Picture(const QString& dir, const QString& name, int size, const Draw& draw) {
  for (int scale : {1, 2}) {
    QImage image(size * scale, size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    draw(p);
    p.end();
    const QString file = scale == 1 ? name + ".png" : name + "@2x.png";
    if (!Save(image, dir + "/" + file, "PNG")) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = PictureFolder(argc, argv);
  bool ok = Picture(dir, "menu_characters", 32, Characters);
  ok = Picture(dir, "menu_poems", 32, Poems) && ok;
  ok = Picture(dir, "menu_english", 32, English) && ok;
  ok = Picture(dir, "menu_arithmetic", 32, Arithmetic) && ok;
  ok = Picture(dir, "menu_writing", 32, Writing) && ok;
  ok = Picture(dir, "menu_listening", 32, Listening) && ok;
  ok = Picture(dir, "menu_about", 16, About) && ok;
  ok = Picture(dir, "menu_minimize", 16, Minimize) && ok;
  ok = Picture(dir, "menu_quit", 16, Quit) && ok;
  ok = Picture(dir, "menu_records", 16, Records) && ok;
  std::printf("%s\n", ok ? "pictures written" : "some pictures failed");
  return ok ? 0 : 1;
}
