// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the pictures of the chapter list managers' "导出" and "导入" buttons into
// assets/images/editor_export.png and editor_import.png (16 x 16): a parcel with a green arrow
// leaving it or a blue arrow going into it. Run with QT_QPA_PLATFORM=offscreen; optional
// argument: the output folder.
#include <QGuiApplication>
#include <QPainterPath>

#include "picture_canvas.h"

namespace {

void Parcel(QPainter& p) {
  p.setPen(Outline(QColor(120, 70, 20), 3));
  p.setBrush(QColor(225, 170, 100));
  p.drawRect(QRectF(4, 26, 40, 34));
  p.setBrush(QColor(245, 200, 130));
  p.drawRect(QRectF(2, 20, 44, 10));
  p.setPen(Outline(QColor(200, 40, 40), 4));
  p.drawLine(QPointF(24, 20), QPointF(24, 60));
}

// An arrow pointing up (`up`) or down, its shaft centred on x = 48.
void Arrow(QPainter& p, bool up, const QColor& dark, const QColor& light) {
  QPainterPath a;
  const qreal tip = up ? 4 : 40, base = 22, end = up ? 40 : 4;
  a.moveTo(48, tip);
  a.lineTo(62, base);
  a.lineTo(54, base);
  a.lineTo(54, end);
  a.lineTo(42, end);
  a.lineTo(42, base);
  a.lineTo(34, base);
  a.closeSubpath();
  p.setPen(Outline(dark, 3));
  p.setBrush(light);
  p.drawPath(a);
}

void Export(QPainter& p) {
  Parcel(p);
  Arrow(p, true, QColor(20, 110, 30), QColor(80, 200, 70));
}

void Import(QPainter& p) {
  Parcel(p);
  Arrow(p, false, QColor(20, 60, 150), QColor(70, 140, 240));
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString folder =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets/images");
  bool ok = SavePicture(folder, QStringLiteral("editor_export.png"), 16, Export);
  ok = SavePicture(folder, QStringLiteral("editor_import.png"), 16, Import) && ok;
  return ok ? 0 : 1;
}
