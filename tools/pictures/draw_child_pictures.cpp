// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the children's profile pictures into assets/images/ (or the folder given): sixteen animal
// faces, each on a pastel disc, at 96 × 96 and twice that. A child who cannot read finds their
// animal, so each has one clear trait (long ears, a trunk, a mane, stripes ...).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

#include "picture_canvas.h"

namespace {

constexpr int kBig = 256;  // drawing canvas; the faces are designed for it
constexpr int kSize = 96;

const QColor kInk(60, 40, 30);

void Disc(QPainter& p, const QColor& c) {
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawEllipse(QRectF(8, 8, 240, 240));
}

void Shape(QPainter& p, const QRectF& r, const QColor& fill, qreal outline = 5) {
  p.setPen(outline > 0 ? Outline(fill.darker(150), outline) : QPen(Qt::NoPen));
  p.setBrush(fill);
  p.drawEllipse(r);
}

void Poly(QPainter& p, const QList<QPointF>& points, const QColor& fill, qreal outline = 5) {
  QPainterPath path;
  bool first = true;
  for (const QPointF& pt : points) {
    if (first) path.moveTo(pt);
    else path.lineTo(pt);
    first = false;
  }
  path.closeSubpath();
  p.setPen(outline > 0 ? Outline(fill.darker(150), outline) : QPen(Qt::NoPen));
  p.setBrush(fill);
  p.drawPath(path);
}

// The same on both sides of the face: the points as given, then mirrored across x 128.
void MirroredPoly(QPainter& p, const QList<QPointF>& points, const QColor& fill,
                  qreal outline = 5) {
  QList<QPointF> mirrored;
  for (const QPointF& pt : points) mirrored << QPointF(256 - pt.x(), pt.y());
  Poly(p, points, fill, outline);
  Poly(p, mirrored, fill, outline);
}

// Two ellipses, `r` on the left and its mirror on the right.
void MirroredShape(QPainter& p, const QRectF& r, const QColor& fill, qreal outline = 5) {
  Shape(p, r, fill, outline);
  Shape(p, QRectF(256 - r.right(), r.top(), r.width(), r.height()), fill, outline);
}

// An ellipse `r` drawn round `at` and turned there by `degrees`.
void TurnedShape(QPainter& p, const QPointF& at, qreal degrees, const QRectF& r,
                 const QColor& fill, qreal outline = 5) {
  p.save();
  p.translate(at);
  p.rotate(degrees);
  Shape(p, r, fill, outline);
  p.restore();
}

// Two ears centred at x `x` and 256 - `x`, each with a lighter inside centred in it.
void Ears(QPainter& p, qreal x, qreal y, const QSizeF& outer, const QSizeF& inner,
          const QColor& fur, const QColor& inside) {
  for (const qreal cx : {x, 256 - x}) {
    Shape(p, QRectF(cx - outer.width() / 2, y - outer.height() / 2, outer.width(), outer.height()),
          fur);
    Shape(p, QRectF(cx - inner.width() / 2, y - inner.height() / 2, inner.width(), inner.height()),
          inside, 0);
  }
}

// Two nostrils `gap` apart around x 128.
void Nostrils(QPainter& p, qreal y, qreal gap, qreal rx, qreal ry, const QColor& c) {
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawEllipse(QPointF(128 - gap / 2, y), rx, ry);
  p.drawEllipse(QPointF(128 + gap / 2, y), rx, ry);
}

// Two friendly eyes with a glint, `gap` apart around x 128.
void Eyes(QPainter& p, qreal y, qreal gap = 56, qreal r = 12) {
  for (const qreal x : {128 - gap / 2, 128 + gap / 2}) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(x, y), r, r * 1.15);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(x + r * 0.35, y - r * 0.4), r * 0.38, r * 0.38);
  }
}

void Cheeks(QPainter& p, qreal y, qreal gap = 110) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 120, 140, 120));
  for (const qreal x : {128 - gap / 2, 128 + gap / 2}) p.drawEllipse(QPointF(x, y), 14, 9);
}

// A small smile under the nose: "ω" for cats and the like, a plain arc otherwise.
void Smile(QPainter& p, qreal y, bool omega, qreal width = 30) {
  p.setPen(Outline(kInk, 5));
  p.setBrush(Qt::NoBrush);
  if (omega) {
    p.drawArc(QRectF(128 - width / 2 - 1, y - 10, width / 2, 20), 180 * 16, 180 * 16);
    p.drawArc(QRectF(128 + 1, y - 10, width / 2, 20), 180 * 16, 180 * 16);
  } else {
    p.drawArc(QRectF(128 - width / 2, y - width / 2, width, width), 200 * 16, 140 * 16);
  }
}

void Nose(QPainter& p, qreal y, const QColor& c, qreal w = 18, qreal h = 12) {
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawEllipse(QPointF(128, y), w / 2, h / 2);
}

void Whiskers(QPainter& p, qreal y) {
  p.setPen(Outline(kInk, 3));
  for (const int side : {-1, 1})
    for (const int k : {-1, 0, 1})
      p.drawLine(QPointF(128 + side * 46, y + k * 4), QPointF(128 + side * 92, y + k * 12));
}

void Cat(QPainter& p) {
  Disc(p, QColor(255, 236, 200));
  const QColor fur(250, 170, 70), inner(255, 190, 200);
  MirroredPoly(p, {{52, 120}, {62, 36}, {118, 84}}, fur);
  MirroredPoly(p, {{66, 100}, {70, 56}, {102, 84}}, inner, 0);
  Shape(p, QRectF(40, 70, 176, 150), fur);
  // Stripes on the forehead.
  p.setPen(Outline(QColor(210, 120, 30), 7));
  for (const qreal x : {112.0, 128.0, 144.0}) p.drawLine(QPointF(x, 78), QPointF(x, 96));
  Eyes(p, 136, 64);
  Cheeks(p, 170);
  Nose(p, 164, QColor(240, 110, 130));
  Smile(p, 178, true);
  Whiskers(p, 170);
}

void Dog(QPainter& p) {
  Disc(p, QColor(220, 240, 255));
  const QColor fur(230, 190, 140), ear(150, 95, 55);
  Shape(p, QRectF(50, 64, 156, 156), fur);
  // Floppy ears hang down at the sides.
  TurnedShape(p, {58, 110}, 20, QRectF(-26, -40, 50, 100), ear);
  TurnedShape(p, {198, 110}, -20, QRectF(-24, -40, 50, 100), ear);
  Shape(p, QRectF(92, 150, 72, 56), QColor(255, 240, 220), 0);
  // A patch round one eye.
  Shape(p, QRectF(134, 110, 46, 46), QColor(170, 115, 70), 0);
  Eyes(p, 134, 58);
  Nose(p, 162, kInk, 30, 20);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(240, 90, 110));
  p.drawRoundedRect(QRectF(118, 182, 20, 24), 9, 9);
  Smile(p, 176, true, 36);
}

void Rabbit(QPainter& p) {
  Disc(p, QColor(255, 225, 235));
  const QColor fur(250, 250, 250), inner(255, 175, 195);
  Ears(p, 92, 72, {40, 120}, {18, 88}, fur, inner);
  Shape(p, QRectF(48, 92, 160, 136), fur);
  Eyes(p, 148, 62);
  Cheeks(p, 182, 104);
  Nose(p, 174, QColor(240, 110, 140), 16, 12);
  Smile(p, 186, true, 28);
  // Two front teeth.
  p.setPen(Outline(QColor(190, 190, 190), 2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(119, 194, 9, 12));
  p.drawRect(QRectF(128, 194, 9, 12));
}

void Bear(QPainter& p) {
  Disc(p, QColor(230, 245, 210));
  const QColor fur(170, 110, 60), light(225, 185, 140);
  Ears(p, 66, 76, {60, 60}, {32, 32}, fur, light);
  Shape(p, QRectF(44, 62, 168, 160), fur);
  Shape(p, QRectF(90, 146, 76, 60), light, 0);
  Eyes(p, 130, 64);
  Nose(p, 160, kInk, 28, 18);
  Smile(p, 178, true, 30);
  Cheeks(p, 164, 130);
}

void Panda(QPainter& p) {
  Disc(p, QColor(215, 240, 215));
  const QColor black(45, 45, 50);
  for (const qreal x : {66.0, 190.0}) Shape(p, QRectF(x - 30, 44, 60, 60), black, 0);
  Shape(p, QRectF(44, 62, 168, 160), QColor(252, 252, 252));
  // Eye patches leaning outwards.
  for (const int side : {-1, 1})
    TurnedShape(p, {128.0 + side * 34, 136}, side * -30, QRectF(-20, -27, 40, 54), black, 0);
  for (const int side : {-1, 1}) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(128 + side * 32, 132), 9, 10);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(128 + side * 32, 133), 6, 7);
  }
  Nose(p, 168, black, 24, 15);
  Smile(p, 182, true, 28);
  Cheeks(p, 180, 136);
}

void Pig(QPainter& p) {
  Disc(p, QColor(225, 240, 255));
  const QColor skin(255, 180, 195);
  MirroredPoly(p, {{58, 110}, {56, 40}, {112, 78}}, skin);
  Shape(p, QRectF(42, 66, 172, 156), skin);
  Eyes(p, 128, 70, 11);
  Shape(p, QRectF(92, 146, 72, 50), QColor(255, 140, 165));
  Nostrils(p, 171, 28, 7, 10, QColor(190, 80, 105));
  Smile(p, 206, false, 26);
}

void Chick(QPainter& p) {
  Disc(p, QColor(215, 240, 255));
  const QColor yellow(255, 215, 60);
  // A tuft on top.
  for (const int a : {-1, 0, 1}) Shape(p, QRectF(116 + a * 14, 34, 20, 44), yellow, 4);
  Shape(p, QRectF(44, 56, 168, 168), yellow);
  // Little wings.
  MirroredShape(p, QRectF(30, 140, 40, 56), QColor(250, 195, 40));
  Eyes(p, 124, 64);
  Poly(p, {{108, 150}, {148, 150}, {128, 182}}, QColor(250, 140, 30), 4);
  Cheeks(p, 160, 120);
}

void Duck(QPainter& p) {
  Disc(p, QColor(210, 238, 250));
  Shape(p, QRectF(46, 50, 164, 164), QColor(255, 240, 130));
  Eyes(p, 116, 72);
  // A wide flat bill.
  QPainterPath bill;
  bill.addRoundedRect(QRectF(76, 144, 104, 40), 20, 20);
  p.setPen(Outline(QColor(200, 100, 20), 5));
  p.setBrush(QColor(255, 150, 40));
  p.drawPath(bill);
  p.setPen(Outline(QColor(200, 100, 20), 4));
  p.drawLine(QPointF(86, 164), QPointF(170, 164));
  Cheeks(p, 150, 140);
  // A curl of feather on the head.
  p.setPen(Outline(QColor(230, 200, 60), 7));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(120, 36, 30, 30), 0, 270 * 16);
}

void Frog(QPainter& p) {
  Disc(p, QColor(255, 240, 200));
  const QColor green(110, 200, 90);
  for (const qreal x : {86.0, 170.0}) Shape(p, QRectF(x - 34, 48, 68, 64), green);
  Shape(p, QRectF(32, 84, 192, 140), green);
  for (const qreal x : {86.0, 170.0}) {
    Shape(p, QRectF(x - 24, 58, 48, 46), Qt::white, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(x, 84), 12, 14);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(x + 4, 78), 4, 4);
  }
  // A wide smile.
  p.setPen(Outline(QColor(40, 110, 40), 6));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(74, 110, 108, 80), 200 * 16, 140 * 16);
  Cheeks(p, 168, 150);
}

void Monkey(QPainter& p) {
  Disc(p, QColor(255, 235, 210));
  const QColor fur(140, 90, 50), face(240, 205, 160);
  Ears(p, 44, 132, {56, 56}, {30, 30}, fur, face);
  Shape(p, QRectF(52, 52, 152, 168), fur);
  // The face: two rounds above, one wide below.
  p.setPen(Qt::NoPen);
  p.setBrush(face);
  p.drawEllipse(QRectF(72, 94, 60, 66));
  p.drawEllipse(QRectF(124, 94, 60, 66));
  p.drawEllipse(QRectF(76, 136, 104, 74));
  Eyes(p, 126, 50, 11);
  Nostrils(p, 158, 16, 4, 3, QColor(120, 70, 40));
  Smile(p, 168, false, 40);
}

void Tiger(QPainter& p) {
  Disc(p, QColor(225, 245, 215));
  const QColor fur(250, 160, 40), black(50, 40, 30);
  Ears(p, 68, 76, {52, 52}, {24, 24}, fur, QColor(255, 230, 200));
  Shape(p, QRectF(40, 64, 176, 158), fur);
  // 王 on the forehead and stripes at the sides.
  p.setPen(Outline(black, 7));
  p.drawLine(QPointF(112, 84), QPointF(144, 84));
  p.drawLine(QPointF(114, 98), QPointF(142, 98));
  p.drawLine(QPointF(110, 112), QPointF(146, 112));
  p.drawLine(QPointF(128, 84), QPointF(128, 112));
  for (const int side : {-1, 1}) {
    p.drawLine(QPointF(128 + side * 86, 128), QPointF(128 + side * 64, 134));
    p.drawLine(QPointF(128 + side * 86, 150), QPointF(128 + side * 62, 152));
  }
  Shape(p, QRectF(86, 150, 84, 60), QColor(255, 245, 230), 0);
  Eyes(p, 134, 62);
  Nose(p, 160, QColor(230, 90, 100), 20, 13);
  Smile(p, 176, true, 30);
}

void Lion(QPainter& p) {
  Disc(p, QColor(255, 240, 215));
  const QColor mane(215, 110, 30), face(255, 205, 90);
  // The mane: a ring of round tufts.
  for (int i = 0; i < 12; ++i)
    TurnedShape(p, {128, 136}, i * 30, QRectF(-30, -112, 60, 60), mane, 4);
  Shape(p, QRectF(56, 66, 144, 140), face);
  for (const qreal x : {76.0, 180.0}) Shape(p, QRectF(x - 16, 62, 32, 32), face);
  Shape(p, QRectF(56, 66, 144, 140), face, 0);
  Eyes(p, 128, 56);
  Shape(p, QRectF(98, 148, 60, 44), QColor(255, 235, 180), 0);
  Nose(p, 154, QColor(150, 70, 40), 22, 14);
  Smile(p, 170, true, 28);
}

void Elephant(QPainter& p) {
  Disc(p, QColor(255, 230, 240));
  const QColor grey(160, 175, 200);
  MirroredShape(p, QRectF(10, 60, 84, 118), grey);
  MirroredShape(p, QRectF(22, 76, 56, 84), QColor(240, 180, 200), 0);
  Shape(p, QRectF(62, 48, 132, 140), grey);
  // The trunk curls up at its end.
  QPainterPath trunk;
  trunk.moveTo(112, 160);
  trunk.cubicTo(108, 200, 118, 232, 150, 228);
  trunk.cubicTo(166, 226, 168, 208, 156, 206);
  trunk.cubicTo(142, 208, 140, 196, 144, 160);
  trunk.closeSubpath();
  p.setPen(Outline(grey.darker(150), 5));
  p.setBrush(grey);
  p.drawPath(trunk);
  Eyes(p, 118, 58, 10);
  Cheeks(p, 150, 100);
}

void Fish(QPainter& p) {
  Disc(p, QColor(210, 240, 255));
  const QColor body(90, 170, 250), fin(60, 130, 230);
  Poly(p, {{178, 128}, {238, 80}, {232, 176}}, fin);
  Poly(p, {{104, 74}, {150, 52}, {160, 84}}, fin);
  Shape(p, QRectF(30, 70, 170, 118), body);
  // Scales as soft arcs.
  p.setPen(Outline(QColor(60, 130, 220), 4));
  p.setBrush(Qt::NoBrush);
  for (const qreal x : {112.0, 140.0})
    for (const qreal y : {110.0, 138.0}) p.drawArc(QRectF(x, y, 26, 26), 90 * 16, 180 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(78, 118), 18, 18);
  p.setBrush(kInk);
  p.drawEllipse(QPointF(80, 120), 10, 11);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(84, 115), 4, 4);
  p.setPen(Outline(kInk, 5));
  p.drawArc(QRectF(44, 140, 28, 20), 200 * 16, 140 * 16);
  // Bubbles.
  p.setPen(Outline(QColor(120, 190, 250), 4));
  p.setBrush(QColor(235, 248, 255));
  p.drawEllipse(QPointF(40, 50), 10, 10);
  p.drawEllipse(QPointF(62, 28), 7, 7);
}

void Fox(QPainter& p) {
  Disc(p, QColor(225, 245, 225));
  const QColor fur(245, 130, 40), dark(90, 50, 30);
  MirroredPoly(p, {{48, 124}, {54, 30}, {116, 86}}, fur);
  MirroredPoly(p, {{54, 58}, {56, 30}, {78, 48}}, dark, 0);
  // A face narrowing to the chin.
  QPainterPath head;
  head.moveTo(36, 116);
  head.cubicTo(40, 70, 216, 70, 220, 116);
  head.cubicTo(214, 170, 160, 214, 128, 224);
  head.cubicTo(96, 214, 42, 170, 36, 116);
  p.setPen(Outline(fur.darker(150), 5));
  p.setBrush(fur);
  p.drawPath(head);
  QPainterPath cheeks;
  cheeks.moveTo(52, 140);
  cheeks.cubicTo(80, 150, 110, 160, 128, 222);
  cheeks.cubicTo(146, 160, 176, 150, 204, 140);
  cheeks.cubicTo(190, 180, 150, 214, 128, 222);
  cheeks.cubicTo(106, 214, 66, 180, 52, 140);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 245, 235));
  p.drawPath(cheeks);
  Eyes(p, 132, 70, 11);
  Nose(p, 196, kInk, 18, 13);
}

void Cow(QPainter& p) {
  Disc(p, QColor(220, 245, 220));
  const QColor white(252, 250, 245), spot(60, 55, 55);
  MirroredPoly(p, {{84, 64}, {74, 26}, {100, 56}}, QColor(240, 220, 170), 4);
  for (const int side : {-1, 1})
    TurnedShape(p, {128.0 + side * 92, 96}, side * 20, QRectF(-28, -15, 56, 30), white);
  Shape(p, QRectF(52, 52, 152, 164), white);
  Shape(p, QRectF(64, 70, 46, 40), spot, 0);
  Shape(p, QRectF(150, 96, 38, 30), spot, 0);
  Shape(p, QRectF(70, 150, 116, 68), QColor(255, 190, 200));
  Nostrils(p, 182, 44, 8, 10, QColor(180, 90, 110));
  Eyes(p, 126, 58, 11);
}

// In the order of children::AnimalName.
const std::function<void(QPainter&)> kAnimals[] = {Cat,    Dog,   Rabbit, Bear, Panda, Pig,
                                                   Chick,  Duck,  Frog,   Monkey, Tiger, Lion,
                                                   Elephant, Fish, Fox,   Cow};

bool Save(const QString& folder, int index, const std::function<void(QPainter&)>& draw) {
  QImage big(kBig, kBig, QImage::Format_ARGB32_Premultiplied);
  big.fill(Qt::transparent);
  {
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
  }
  for (int scale : {1, 2}) {
    const QString name = QStringLiteral("child_%1%2.png")
                             .arg(index, 2, 10, QLatin1Char('0'))
                             .arg(scale == 2 ? QStringLiteral("@2x") : QString());
    const QString path = QDir(folder).filePath(name);
    if (!big.scaled(kSize * scale, kSize * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
             .save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return false;
    }
    std::printf("%s\n", qPrintable(path));
  }
  return true;
}

// The menu's "换小朋友": two little faces side by side, on the 64 canvas.
void SwitchChild(QPainter& p) {
  const QColor colours[2] = {QColor(250, 150, 60), QColor(80, 160, 240)};
  for (int k = 0; k < 2; ++k) {
    const qreal x = k == 0 ? 20 : 44;
    p.setPen(Outline(colours[k].darker(150), 3));
    p.setBrush(colours[k]);
    p.drawRoundedRect(QRectF(x - 16, 38, 32, 24), 10, 10);
    p.setBrush(QColor(255, 225, 190));
    p.drawEllipse(QPointF(x, 26), 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(x - 5, 25), 2.5, 2.5);
    p.drawEllipse(QPointF(x + 5, 25), 2.5, 2.5);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = PictureFolder(argc, argv);
  bool ok = true;
  int index = 0;
  for (const auto& draw : kAnimals) ok = Save(dir, index++, draw) && ok;
  ok = SavePicture(dir, QStringLiteral("menu_children.png"), 16, SwitchChild) && ok;
  return ok ? 0 : 1;
}
