// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/shots.h"

#include <QPaintEngine>
#include <QPixmap>
#include <QWidget>
#include <cmath>

namespace testing {

QImage LogicalShot(QWidget* widget, const QRect& rect) {
  const QRect r = rect.isNull() ? widget->rect() : rect;
  const QImage device = widget->grab(r).toImage();
  const qreal dpr = device.devicePixelRatio();
  if (dpr == 1) return device;
  QImage out(r.size(), device.format());
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x)
      out.setPixel(x, y, device.pixel(qMin(device.width() - 1, int(std::floor((x + 0.5) * dpr))),
                                      qMin(device.height() - 1, int(std::floor((y + 0.5) * dpr)))));
  return out;
}

namespace {

// An image whose painter keeps the texts drawn on it and draws nothing.
class TextRecorder : public QImage, QPaintEngine {
 public:
  explicit TextRecorder(QSize size) : QImage(size, QImage::Format_ARGB32) {}
  QPaintEngine* paintEngine() const override { return const_cast<TextRecorder*>(this); }
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState&) override {}
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
  void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
  Type type() const override { return User; }
  QStringList texts;
};

}  // namespace

QStringList DrawnTexts(QWidget* widget) {
  TextRecorder device(widget->size());
  widget->render(&device);
  return device.texts;
}

}  // namespace testing
