// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screen_scale.h"

#include <QtGui/private/qhighdpiscaling_p.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "platform/logging.h"

namespace {
constexpr double kDesignWidth = 800;
constexpr double kDesignHeight = 600;
constexpr double kStep = 0.25;

void UsePassThroughRounding() {
  // Fractional factors (1.25, 1.75) must reach the widgets unrounded.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}
}  // namespace

double DesignScale(const QSizeF& available) {
  const double fit = std::min(available.width() / kDesignWidth, available.height() / kDesignHeight);
  // A hair of tolerance so that exactly 1.25 x the design counts as fitting.
  const double steps = std::floor(fit / kStep + 1e-9);
  return std::max(1.0, steps * kStep);
}

std::optional<double> ScaleOverride(const QByteArray& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !(value >= 0.5 && value <= 8)) return std::nullopt;
  return value;
}

void PrepareScreenScale() { UsePassThroughRounding(); }

double ApplyScreenScale() {
  const QByteArray wanted = qgetenv("TINDORA_SCALE");
  std::optional<double> factor = ScaleOverride(wanted);
  if (!wanted.isEmpty() && !factor)
    qCWarning(lcUi) << "TINDORA_SCALE must be a number from 0.5 to 8, not" << wanted;
  if (!factor) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    factor = screen ? DesignScale(screen->availableGeometry().size()) : 1.0;
  }
  // A factor the desktop or the user already set stays: ours multiplies it, as the available
  // size measured above was already in its units. Qt reads QT_SCALE_FACTOR only while the
  // application object is made; its own setter takes the factor later, as long as no window
  // exists yet, which saves a second application object just to measure the screen.
  const double desktop = ScaleOverride(qgetenv("QT_SCALE_FACTOR")).value_or(1.0);
  if (*factor != 1.0) QHighDpiScaling::setGlobalFactor(desktop * *factor);
  qCInfo(lcUi) << "design scale" << *factor;
  return *factor;
}
