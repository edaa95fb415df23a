// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/flat_drawing.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWidget>
#include <algorithm>

QColor ResolveColor(TColor c) {
  if (c == clNone) return QColor();
  if (IsSystemColor(c)) {
    const QPalette pal = QGuiApplication::palette();
    switch (c & 0xFF) {
      case clBtnFace & 0xFF:
        return pal.color(QPalette::Active, QPalette::Button);
      // Dark, not Shadow: Shadow is the near-black outer edge of a 3D frame, Dark the
      // mid-grey inner one that button shadows and embossed text use.
      case clBtnShadow & 0xFF:
        return pal.color(QPalette::Active, QPalette::Dark);
      case clBtnHighlight & 0xFF:
        return pal.color(QPalette::Active, QPalette::Light);
      case clGrayText & 0xFF:
        return pal.color(QPalette::Disabled, QPalette::Text);
      default:
        return QColor();
    }
  }
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor ColorFromQColor(const QColor& c) { return RGBColor(c.red(), c.green(), c.blue()); }

TColor ControlColors::Color(const QWidget* owner) const {
  if (!m_parentColor) return m_color;
  const QWidget* source = owner->parentWidget() ? owner->parentWidget() : owner;
  return ColorFromQColor(source->palette().color(QPalette::Active, QPalette::Window));
}

bool ControlColors::SetParentColor(const QWidget* owner, bool parentColor) {
  if (parentColor == m_parentColor) return false;
  if (!parentColor) m_color = Color(owner);
  m_parentColor = parentColor;
  return true;
}

TColor ControlColors::FontColor(const QWidget* owner) const {
  if (m_fontColor) return *m_fontColor;
  return ColorFromQColor(owner->palette().color(QPalette::Active, QPalette::WindowText));
}

Hls RgbToHls(int r, int g, int b) {
  const int mx = std::max({r, g, b});
  const int mn = std::min({r, g, b});
  Hls out;
  out.L = ((mx + mn) * 240 + 255) / 510;
  if (mx == mn) {
    out.S = 0;
    out.H = 160;
    return out;
  }
  const int d = mx - mn;
  const int s = mx + mn;
  if (out.L <= 120)
    out.S = (d * 240 + s / 2) / s;
  else
    out.S = (d * 240 + (510 - s) / 2) / (510 - s);
  const int rd = (d / 2 + (mx - r) * 40) / d;
  const int gd = (d / 2 + (mx - g) * 40) / d;
  const int bd = (d / 2 + (mx - b) * 40) / d;
  int h;
  if (r == mx)
    h = bd - gd;
  else if (g == mx)
    h = rd + 80 - bd;
  else
    h = gd + 160 - rd;
  h %= 240;
  if (h < 0) h += 240;
  out.H = h;
  return out;
}

Hls RgbToHls(TColor rgb) { return RgbToHls(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)); }

int HueValue(int m1, int m2, int h) {
  h %= 240;
  if (h < 0) h += 240;
  if (h < 40) return m1 + ((m2 - m1) * h + 20) / 40;
  if (h < 120) return m2;
  if (h < 160) return m1 + ((m2 - m1) * (160 - h) + 20) / 40;
  return m1;
}

TColor HlsToRgb(int h, int l, int s) {
  if (s == 0) {
    const int v = (l * 255) / 240;
    return RGBColor(v, v, v);
  }
  const int m2 = l <= 120 ? (l * (s + 240) + 120) / 240 : l + s - (l * s + 120) / 240;
  const int m1 = 2 * l - m2;
  const int r = (HueValue(m1, m2, h + 80) * 255 + 120) / 240;
  const int g = (HueValue(m1, m2, h) * 255 + 120) / 240;
  const int b = (HueValue(m1, m2, h - 80) * 255 + 120) / 240;
  return RGBColor(r, g, b);  // each channel keeps its low byte
}

TColor ShiftLuminance(TColor base, TColor current, int step, TShiftDirection direction) {
  if (step == 0) return current;
  const QColor resolved = ResolveColor(base);
  if (!resolved.isValid()) return current;  // nothing to derive from clNone
  Hls hls = RgbToHls(resolved.red(), resolved.green(), resolved.blue());
  if (direction == TShiftDirection::Lighter)
    hls.L = hls.L + step > 234 ? 234 : hls.L + step;
  else
    hls.L = hls.L - step < 0 ? 0 : hls.L - step;
  return HlsToRgb(hls.H, hls.L, hls.S);
}

FaceLayout ComputeFaceLayout(const QRect& client, const QPoint& offset, const QSize& textSize,
                             const QSize& glyphSize, TButtonLayout layout, int margin,
                             int spacing) {
  const int w = client.width();
  const int h = client.height();
  const int gw = glyphSize.width();
  const int gh = glyphSize.height();
  const int tw = textSize.width();
  const int th = textSize.height();
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;

  int gx = 0, gy = 0, tx = 0, ty = 0;
  if (horizontal) {
    gy = (h - gh + 1) / 2;
    ty = (h - th + 1) / 2;
  } else {
    gx = (w - gw + 1) / 2;
    tx = (w - tw + 1) / 2;
  }

  if (tw == 0 || gw == 0) spacing = 0;

  const int extent = horizontal ? w : h;
  const int g = horizontal ? gw : gh;
  const int t = horizontal ? tw : th;
  if (margin == -1 && spacing == -1) {
    margin = (extent - (g + t)) / 3;
    spacing = margin;
  } else if (margin == -1) {
    margin = (extent - (g + spacing + t) + 1) / 2;
  } else if (spacing == -1) {
    spacing = ((extent - (margin + g)) - t) / 2;
  }

  switch (layout) {
    case blGlyphLeft:
      gx = margin;
      tx = gx + gw + spacing;
      break;
    case blGlyphRight:
      gx = w - margin - gw;
      tx = gx - spacing - tw;
      break;
    case blGlyphTop:
      gy = margin;
      ty = gy + gh + spacing;
      break;
    case blGlyphBottom:
      gy = h - margin - gh;
      ty = gy - spacing - th;
      break;
  }

  FaceLayout out;
  out.GlyphOrigin = QPoint(client.left() + gx + offset.x(), client.top() + gy + offset.y());
  out.TextRect =
      QRect(QPoint(client.left() + tx + offset.x(), client.top() + ty + offset.y()), QSize(tw, th));
  return out;
}

QImage MakeDisabledGlyph(const QImage& source, TColor key, TColor background, TColor highlight,
                         TColor shadow, bool drawHighlight) {
  const QImage src = source.convertToFormat(QImage::Format_ARGB32);
  QImage out(src.size(), QImage::Format_ARGB32);
  const QColor bg = ResolveColor(background);
  out.fill(bg.isValid() ? bg.rgb() : qRgba(0, 0, 0, 0));
  const QColor keyColour = ResolveColor(key);
  if (!keyColour.isValid()) return out;
  const QRgb keyRgb = keyColour.rgb() & RGB_MASK;
  // A fully transparent pixel has no colour, so it never matches the key.
  auto masked = [&](int x, int y) {
    const QRgb p = src.pixel(x, y);
    return qAlpha(p) != 0 && (p & RGB_MASK) == keyRgb;
  };
  const QColor hi = ResolveColor(highlight);
  const QColor sh = ResolveColor(shadow);
  if (drawHighlight && hi.isValid()) {
    for (int y = 0; y + 1 < src.height(); ++y)
      for (int x = 0; x + 1 < src.width(); ++x)
        if (masked(x, y)) out.setPixel(x + 1, y + 1, hi.rgb());
  }
  if (sh.isValid()) {
    for (int y = 0; y < src.height(); ++y)
      for (int x = 0; x < src.width(); ++x)
        if (masked(x, y)) out.setPixel(x, y, sh.rgb());
  }
  return out;
}
