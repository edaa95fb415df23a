// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the poem and English screens' small pictures (button pictures and list entry pictures)
// into assets/images/verse_*.png. Run with QT_QPA_PLATFORM=offscreen; optional argument: the
// output folder.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

#include "picture_canvas.h"

namespace {

bool Save(const QString& folder, const QString& name, const std::function<void(QPainter&)>& draw) {
  return SavePicture(folder, name, 16, draw);
}

void Help(QPainter& p) {
  p.setPen(Outline(QColor(20, 70, 160)));
  p.setBrush(QColor(60, 130, 230));
  p.drawEllipse(QRectF(4, 4, 56, 56));
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(46);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 2, 64, 62), Qt::AlignCenter, QStringLiteral("?"));
}

void Chapters(QPainter& p) {
  // An open book: two pages on an orange cover.
  p.setPen(Outline(QColor(150, 70, 10)));
  p.setBrush(QColor(240, 140, 40));
  p.drawRoundedRect(QRectF(3, 12, 58, 44), 6, 6);
  p.setBrush(QColor(255, 252, 235));
  QPainterPath left;
  left.moveTo(32, 18);
  left.cubicTo(24, 10, 12, 10, 7, 12);
  left.lineTo(7, 50);
  left.cubicTo(12, 48, 24, 48, 32, 54);
  left.closeSubpath();
  QPainterPath right;
  right.moveTo(32, 18);
  right.cubicTo(40, 10, 52, 10, 57, 12);
  right.lineTo(57, 50);
  right.cubicTo(52, 48, 40, 48, 32, 54);
  right.closeSubpath();
  p.setPen(Outline(QColor(150, 110, 60), 3));
  p.drawPath(left);
  p.drawPath(right);
  p.setPen(Outline(QColor(120, 160, 220), 3));
  for (int y : {24, 33, 42}) {
    p.drawLine(QPointF(13, y), QPointF(27, y + 2));
    p.drawLine(QPointF(37, y + 2), QPointF(51, y));
  }
}

void Items(QPainter& p) {
  // A sheet of paper with a pencil across it.
  p.setPen(Outline(QColor(110, 110, 130), 3));
  p.setBrush(QColor(255, 255, 255));
  p.drawRoundedRect(QRectF(6, 4, 40, 54), 4, 4);
  p.setPen(Outline(QColor(150, 180, 220), 3));
  for (int y : {16, 26, 36, 46}) p.drawLine(QPointF(13, y), QPointF(38, y));
  DrawPencil(p, QPointF(44, 34));
}

void Arrow(QPainter& p, bool up, const QColor& fill, const QColor& edge) {
  QPainterPath a;
  if (up) {
    a.moveTo(32, 4);
    a.lineTo(60, 34);
    a.lineTo(44, 34);
    a.lineTo(44, 60);
    a.lineTo(20, 60);
    a.lineTo(20, 34);
    a.lineTo(4, 34);
  } else {
    a.moveTo(32, 60);
    a.lineTo(60, 30);
    a.lineTo(44, 30);
    a.lineTo(44, 4);
    a.lineTo(20, 4);
    a.lineTo(20, 30);
    a.lineTo(4, 30);
  }
  a.closeSubpath();
  p.setPen(Outline(edge));
  p.setBrush(fill);
  p.drawPath(a);
}

void Quit(QPainter& p) {
  // A door with an arrow leaving through it.
  p.setPen(Outline(QColor(110, 60, 20)));
  p.setBrush(QColor(200, 130, 60));
  p.drawRect(QRectF(6, 4, 30, 56));
  p.setBrush(QColor(255, 220, 90));
  p.drawEllipse(QRectF(26, 30, 6, 6));
  QPainterPath a;
  a.moveTo(62, 32);
  a.lineTo(44, 14);
  a.lineTo(44, 24);
  a.lineTo(22, 24);
  a.lineTo(22, 40);
  a.lineTo(44, 40);
  a.lineTo(44, 50);
  a.closeSubpath();
  p.setPen(Outline(QColor(20, 110, 40)));
  p.setBrush(QColor(70, 200, 90));
  p.drawPath(a);
}

void PoemItem(QPainter& p) {
  // A scroll: parchment between two wooden rollers, with lines of writing.
  p.setPen(Outline(QColor(150, 110, 50), 3));
  p.setBrush(QColor(255, 240, 200));
  p.drawRect(QRectF(10, 10, 44, 44));
  p.setPen(Outline(QColor(190, 40, 40), 4));
  for (int x : {20, 29, 38, 47}) p.drawLine(QPointF(x, 17), QPointF(x, 47));
  p.setPen(Outline(QColor(100, 50, 10), 3));
  p.setBrush(QColor(170, 90, 30));
  p.drawRoundedRect(QRectF(2, 4, 60, 9), 4, 4);
  p.drawRoundedRect(QRectF(2, 51, 60, 9), 4, 4);
}

void EnglishItem(QPainter& p) {
  // A toy letter block with a big A.
  p.setPen(Outline(QColor(30, 90, 170)));
  p.setBrush(QColor(110, 180, 250));
  p.drawRoundedRect(QRectF(4, 4, 56, 56), 10, 10);
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(46);
  f.setBold(true);
  p.setFont(f);
  p.setPen(QColor(230, 30, 40));
  p.drawText(QRectF(0, 2, 64, 62), Qt::AlignCenter, QStringLiteral("A"));
}

void Read(QPainter& p) {
  // A loudspeaker with sound waves.
  QPainterPath s;
  s.moveTo(4, 24);
  s.lineTo(16, 24);
  s.lineTo(32, 8);
  s.lineTo(32, 56);
  s.lineTo(16, 40);
  s.lineTo(4, 40);
  s.closeSubpath();
  p.setPen(Outline(QColor(30, 60, 120)));
  p.setBrush(QColor(70, 120, 220));
  p.drawPath(s);
  p.setBrush(Qt::NoBrush);
  p.setPen(Outline(QColor(240, 110, 30), 5));
  p.drawArc(QRectF(22, 18, 24, 28), -50 * 16, 100 * 16);
  p.drawArc(QRectF(18, 8, 40, 48), -50 * 16, 100 * 16);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString folder =
      argc > 1 ? QString::fromLocal8Bit(argv[1])
               : QDir(QStringLiteral(TINDORA_SOURCE_MEDIA "/../images")).absolutePath();
  QDir().mkpath(folder);
  const QColor green(60, 180, 80), darkGreen(20, 100, 40);
  const QColor grey(190, 190, 190), darkGrey(130, 130, 130);
  bool ok = true;
  ok &= Save(folder, QStringLiteral("verse_help.png"), Help);
  ok &= Save(folder, QStringLiteral("verse_chapters.png"), Chapters);
  ok &= Save(folder, QStringLiteral("verse_items.png"), Items);
  ok &= Save(folder, QStringLiteral("verse_up.png"),
             [&](QPainter& p) { Arrow(p, true, green, darkGreen); });
  ok &= Save(folder, QStringLiteral("verse_up_off.png"),
             [&](QPainter& p) { Arrow(p, true, grey, darkGrey); });
  ok &= Save(folder, QStringLiteral("verse_down.png"),
             [&](QPainter& p) { Arrow(p, false, green, darkGreen); });
  ok &= Save(folder, QStringLiteral("verse_down_off.png"),
             [&](QPainter& p) { Arrow(p, false, grey, darkGrey); });
  ok &= Save(folder, QStringLiteral("verse_next.png"),
             [&](QPainter& p) { Arrow(p, false, QColor(250, 170, 40), QColor(160, 90, 0)); });
  ok &= Save(folder, QStringLiteral("verse_previous.png"),
             [&](QPainter& p) { Arrow(p, true, QColor(250, 170, 40), QColor(160, 90, 0)); });
  ok &= Save(folder, QStringLiteral("verse_quit.png"), Quit);
  ok &= Save(folder, QStringLiteral("verse_poem_item.png"), PoemItem);
  ok &= Save(folder, QStringLiteral("verse_english_item.png"), EnglishItem);
  ok &= Save(folder, QStringLiteral("verse_read.png"), Read);
  return ok ? 0 : 1;
}
