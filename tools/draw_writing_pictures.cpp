// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the writing screen's button pictures into assets/images/ (or the folder given), 32 × 32
// at 1× and 2×: 看笔顺 (an eye over a red stroke), 描一描 (a pencil tracing), 默写 (a pencil writing
// on an empty grid), 再写一遍 (a round arrow).
#include <QGuiApplication>

#include "picture_canvas.h"

namespace {

const QColor kRed(222, 30, 30);

void Watch(QPainter& p) {
  // An eye above a red stroke that grows to the right.
  QPainterPath eye;
  eye.moveTo(6, 24);
  eye.quadTo(32, 0, 58, 24);
  eye.quadTo(32, 48, 6, 24);
  p.setPen(Outline(QColor(40, 70, 140), 3));
  p.setBrush(Qt::white);
  p.drawPath(eye);
  p.setBrush(QColor(60, 130, 230));
  p.drawEllipse(QPointF(32, 24), 9, 9);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 30, 60));
  p.drawEllipse(QPointF(32, 24), 4, 4);
  p.setPen(QPen(kRed, 7, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10, 52), QPointF(44, 52));
  p.setPen(Qt::NoPen);
  p.setBrush(kRed);
  QPolygonF arrow;
  arrow << QPointF(46, 44) << QPointF(58, 52) << QPointF(46, 60);
  p.drawPolygon(arrow);
}

void Trace(QPainter& p) {
  // A pale character stroke being traced in red by a pencil.
  p.setPen(QPen(QColor(210, 210, 210), 9, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8, 14), QPointF(40, 14));
  p.drawLine(QPointF(24, 14), QPointF(12, 54));
  p.setPen(QPen(kRed, 9, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8, 14), QPointF(30, 14));
  DrawPencil(p, QPointF(44, 26));
}

void Quiz(QPainter& p) {
  // An empty 田字格 with a red stroke being written in it by a pencil.
  QPen grid(QColor(214, 60, 60), 3);
  p.setPen(grid);
  p.setBrush(QColor(255, 253, 244));
  p.drawRect(QRectF(4, 8, 44, 44));
  QPen dashed(QColor(214, 60, 60), 2, Qt::DashLine);
  p.setPen(dashed);
  p.drawLine(QPointF(26, 8), QPointF(26, 52));
  p.drawLine(QPointF(4, 30), QPointF(48, 30));
  p.setPen(QPen(kRed, 7, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(13, 22), QPointF(36, 22));
  DrawPencil(p, QPointF(44, 26));
}

void Again(QPainter& p) {
  // A green arrow going round.
  p.setPen(QPen(QColor(40, 150, 60), 8, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(10, 10, 44, 44), 100 * 16, 290 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 150, 60));
  QPolygonF head;
  head << QPointF(22, 2) << QPointF(36, 12) << QPointF(22, 22);
  p.drawPolygon(head);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = PictureFolder(argc, argv);
  bool ok = SavePicture(dir, QStringLiteral("writing_watch.png"), 32, Watch);
  ok = SavePicture(dir, QStringLiteral("writing_trace.png"), 32, Trace) && ok;
  ok = SavePicture(dir, QStringLiteral("writing_quiz.png"), 32, Quiz) && ok;
  ok = SavePicture(dir, QStringLiteral("writing_again.png"), 32, Again) && ok;
  std::printf("%s\n", ok ? "pictures written" : "some pictures failed");
  return ok ? 0 : 1;
}
