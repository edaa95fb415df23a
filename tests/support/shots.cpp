// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/shots.h"

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

}  // namespace testing
