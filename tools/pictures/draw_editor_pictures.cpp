// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the editors' button pictures into assets/images/editor_*.png: the list managers' top bar
// (16 x 16) and the editors' save and give-up buttons (32 x 32). Run with
// QT_QPA_PLATFORM=offscreen; optional argument: the output folder.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

#include "picture_canvas.h"

namespace {

// A sheet of paper, the ground of "新增" and "修改".
void Sheet(QPainter& p) {
  p.setPen(Outline(QColor(90, 110, 150), 3));
  p.setBrush(QColor(255, 255, 250));
  p.drawRoundedRect(QRectF(8, 4, 40, 54), 4, 4);
  p.setPen(Outline(QColor(150, 180, 230), 3));
  for (int y : {16, 26, 36}) p.drawLine(QPointF(15, y), QPointF(40, y));
}

void Add(QPainter& p) {
  Sheet(p);
  p.setPen(Outline(QColor(20, 110, 30), 3));
  p.setBrush(QColor(70, 190, 70));
  p.drawEllipse(QRectF(30, 30, 32, 32));
  p.setPen(Outline(Qt::white, 6));
  p.drawLine(QPointF(46, 37), QPointF(46, 55));
  p.drawLine(QPointF(37, 46), QPointF(55, 46));
}

void Modify(QPainter& p) {
  Sheet(p);
  DrawPencil(p, QPointF(44, 34));
}

void Delete(QPainter& p) {
  // A red cross.
  p.setPen(Outline(QColor(150, 20, 20), 18));
  p.drawLine(QPointF(14, 14), QPointF(50, 50));
  p.drawLine(QPointF(50, 14), QPointF(14, 50));
  p.setPen(Outline(QColor(240, 70, 60), 10));
  p.drawLine(QPointF(14, 14), QPointF(50, 50));
  p.drawLine(QPointF(50, 14), QPointF(14, 50));
}

void Return(QPainter& p) {
  // A door with an arrow leading out.
  p.setPen(Outline(QColor(110, 60, 20), 3));
  p.setBrush(QColor(190, 120, 60));
  p.drawRect(QRectF(6, 6, 28, 52));
  p.setBrush(QColor(255, 220, 90));
  p.drawEllipse(QRectF(24, 30, 6, 6));
  QPainterPath a;
  a.moveTo(62, 32);
  a.lineTo(44, 14);
  a.lineTo(44, 24);
  a.lineTo(28, 24);
  a.lineTo(28, 40);
  a.lineTo(44, 40);
  a.lineTo(44, 50);
  a.closeSubpath();
  p.setPen(Outline(QColor(160, 20, 20), 3));
  p.setBrush(QColor(235, 60, 50));
  p.drawPath(a);
}

void SaveDisk(QPainter& p) {
  // A floppy disk with a green tick.
  p.setPen(Outline(QColor(20, 50, 120), 3));
  p.setBrush(QColor(60, 120, 220));
  p.drawRoundedRect(QRectF(4, 4, 52, 52), 5, 5);
  p.setBrush(QColor(230, 235, 245));
  p.drawRect(QRectF(14, 6, 30, 18));
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(QRectF(12, 32, 36, 22));
  p.setPen(Outline(QColor(20, 120, 30), 8));
  p.drawLine(QPointF(30, 46), QPointF(42, 58));
  p.drawLine(QPointF(42, 58), QPointF(60, 34));
  p.setPen(Outline(QColor(90, 210, 80), 4));
  p.drawLine(QPointF(30, 46), QPointF(42, 58));
  p.drawLine(QPointF(42, 58), QPointF(60, 34));
}

void Cancel(QPainter& p) {
  // A round "no" sign.
  p.setPen(Outline(QColor(160, 30, 20), 3));
  p.setBrush(QColor(240, 90, 60));
  p.drawEllipse(QRectF(4, 4, 56, 56));
  p.setPen(Outline(Qt::white, 9));
  p.drawLine(QPointF(20, 20), QPointF(44, 44));
  p.drawLine(QPointF(44, 20), QPointF(20, 44));
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString folder =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets/images");
  bool ok = SavePicture(folder, QStringLiteral("editor_add.png"), 16, Add);
  ok = SavePicture(folder, QStringLiteral("editor_modify.png"), 16, Modify) && ok;
  ok = SavePicture(folder, QStringLiteral("editor_delete.png"), 16, Delete) && ok;
  ok = SavePicture(folder, QStringLiteral("editor_return.png"), 16, Return) && ok;
  ok = SavePicture(folder, QStringLiteral("editor_save.png"), 32, SaveDisk) && ok;
  ok = SavePicture(folder, QStringLiteral("editor_cancel.png"), 32, Cancel) && ok;
  return ok ? 0 : 1;
}
