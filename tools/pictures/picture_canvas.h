// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the draw_*_pictures tools: a picture is drawn on a 64 x 64 canvas and scaled down to
// its size (and twice its size, for a grown design), which gives smooth edges.
#pragma once

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

inline constexpr int kCanvas = 64;

// The folder named by the first argument, else the project's assets/images; made when missing.
inline QString PictureFolder(int argc, char** argv) {
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1])
                               : QStringLiteral(TINDORA_SOURCE_MEDIA "/../images");
  QDir().mkpath(dir);
  return dir;
}

inline bool SavePicture(const QString& folder, const QString& name, int size,
                        const std::function<void(QPainter&)>& draw) {
  QImage big(kCanvas, kCanvas, QImage::Format_ARGB32_Premultiplied);
  big.fill(Qt::transparent);
  {
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
  }
  // The picture and its twice-as-sharp twin ("@2x") for a grown design.
  for (int scale : {1, 2}) {
    const QImage small =
        big.scaled(size * scale, size * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QString file = name;
    if (scale == 2) file.replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
    const QString path = QDir(folder).filePath(file);
    if (!small.save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return false;
    }
    std::printf("%s\n", qPrintable(path));
  }
  return true;
}

// A round-capped pen for outlines, in canvas pixels.
inline QPen Outline(const QColor& c, qreal width = 4) {
  return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A pencil lying at 45 degrees with its tip towards the lower left, centred on `at`.
inline void DrawPencil(QPainter& p, const QPointF& at) {
  p.save();
  p.translate(at);
  p.rotate(45);
  p.setPen(Outline(QColor(120, 60, 0), 3));
  p.setBrush(QColor(255, 200, 40));
  p.drawRect(QRectF(-6, -26, 12, 36));
  p.setBrush(QColor(240, 120, 140));
  p.drawRect(QRectF(-6, -32, 12, 6));
  QPainterPath tip;
  tip.moveTo(-6, 10);
  tip.lineTo(6, 10);
  tip.lineTo(0, 22);
  tip.closeSubpath();
  p.setBrush(QColor(245, 215, 170));
  p.drawPath(tip);
  p.restore();
}
