// SPDX-License-Identifier: GPL-3.0-or-later
// Colour values, the integer hue/luminance/saturation model and the drawing helpers shared by the
// flat speed button and the three-dimensional label.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>

class QWidget;

// A colour value: an RGB colour (red in the lowest byte, then green, then blue), a reference to a
// system colour (high byte 0x80, resolved against the application palette when drawn) or clNone.
using TColor = std::uint32_t;

constexpr TColor RGBColor(int r, int g, int b) {
  return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int GetRValue(TColor c) { return int(c & 0xFF); }
constexpr int GetGValue(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return int((c >> 16) & 0xFF); }

constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnHighlight = 0x80000014;
// "Not painted": a frame side, face, caption or text copy in clNone leaves what lies beneath.
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clWhite = RGBColor(255, 255, 255);
constexpr TColor clYellow = RGBColor(255, 255, 0);

constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == 0x80000000u; }

// The colour as RGB: system colours map onto the application palette (button face → Button,
// button shadow → Dark, button highlight → Light, disabled text → disabled Text). clNone and
// unknown references come back as an invalid QColor.
QColor ResolveColor(TColor c);
// The colour value of a QColor's RGB (alpha is dropped).
TColor ColorFromQColor(const QColor& c);

// Background and caption colours of a control, which follow its parent until told otherwise.
class ControlColors {
 public:
  // The background: the parent's window colour while ParentColor is on.
  TColor Color(const QWidget* owner) const;
  // Assigning a colour stops following the parent.
  void SetColor(TColor color) {
    m_color = color;
    m_parentColor = false;
  }
  bool ParentColor() const { return m_parentColor; }
  // True when it changed. Stopping keeps the colour last shown.
  bool SetParentColor(const QWidget* owner, bool parentColor);
  // The caption's colour: the palette's window text unless one was set.
  TColor FontColor(const QWidget* owner) const;
  void SetFontColor(TColor color) { m_fontColor = color; }
  bool HasFontColor() const { return m_fontColor.has_value(); }
  void ResetFontColor() { m_fontColor.reset(); }

 private:
  TColor m_color = clBtnFace;
  bool m_parentColor = true;
  std::optional<TColor> m_fontColor;
};

// Integer hue/luminance/saturation on a scale of 240; a grey has hue 160.
struct Hls {
  int H = 0;
  int L = 0;
  int S = 0;
  friend bool operator==(const Hls&, const Hls&) = default;
};

Hls RgbToHls(int r, int g, int b);
Hls RgbToHls(TColor rgb);
int HueValue(int m1, int m2, int h);
TColor HlsToRgb(int h, int l, int s);

enum class TShiftDirection { Lighter, Darker };
// `base` shifted in luminance by `step` (L capped to 0..234); a step of 0 returns `current`.
TColor ShiftLuminance(TColor base, TColor current, int step, TShiftDirection direction);

// Side of the caption on which a flat button's glyph stands.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct FaceLayout {
  QPoint GlyphOrigin;
  QRect TextRect;
};

// Places glyph cell and caption inside `client`, both moved by `offset` (the press offset).
// `textSize` is the caption's single-line extent, `glyphSize` one glyph cell; either may be empty.
// A margin of -1 centres the block; a spacing of -1 lets the layout choose it.
FaceLayout ComputeFaceLayout(const QRect& client, const QPoint& offset, const QSize& textSize,
                             const QSize& glyphSize, TButtonLayout layout, int margin, int spacing);

// A greyed copy of `source`: background everywhere, `shadow` where the source has the key colour,
// and (with `drawHighlight`) a `highlight` copy of those pixels one pixel right and down under it.
QImage MakeDisabledGlyph(const QImage& source, TColor key, TColor background, TColor highlight,
                         TColor shadow, bool drawHighlight);
