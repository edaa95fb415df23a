// SPDX-License-Identifier: GPL-3.0-or-later
// TLabel3D: a text label whose caption is drawn with a bevel — light and dark copies of the text
// offset up-left and down-right — so that it looks raised, sunk or shadowed.
#pragma once

#include <QLabel>

#include "controls/flat_drawing.h"

enum TLabel3DBevel : quint8 { bvNone, bvLowered, bvRaised, bvShadow };

// Used like a QLabel: setText/text, setFont, setAlignment (its horizontal part: left, right or
// centre; the text always starts at the top and breaks between words at the label's width).
// Like the toolkit label it starts 65 × 17, opaque, auto-sized and with "&" marking accelerators.
class TLabel3D : public QLabel {
  Q_OBJECT
 public:
  explicit TLabel3D(QWidget* parent = nullptr);
  explicit TLabel3D(const QString& text, QWidget* parent = nullptr);

  // Hides QLabel::setText so that auto-size follows the text; call it on a TLabel3D.
  void setText(const QString& text);
  QString Caption() const { return text(); }
  void setCaption(const QString& caption) { setText(caption); }

  // Background when opaque; the parent's background while ParentColor is on.
  TColor Color() const;
  void setColor(TColor color);
  bool ParentColor() const { return m_Colors.ParentColor(); }
  void setParentColor(bool parentColor);
  // The caption's colour (the font's colour); the palette's window text unless set.
  TColor FontColor() const;
  void setFontColor(TColor color);

  bool Transparent() const { return m_Transparent; }
  void setTransparent(bool transparent);
  // Resizes the label to its plain caption (wrapped at the current width while wordWrap is on).
  bool AutoSize() const { return m_AutoSize; }
  void setAutoSize(bool autoSize);
  bool ShowAccelChar() const { return m_ShowAccelChar; }
  void setShowAccelChar(bool show);

  TColor HighLightColor() const { return m_HighLightColor; }
  void setHighLightColor(TColor color);
  TColor ShadowColor() const { return m_ShadowColor; }
  void setShadowColor(TColor color);
  TLabel3DBevel Bevel() const { return m_Bevel; }
  void setBevel(TLabel3DBevel bevel);
  int ShadowSize() const { return m_ShadowSize; }
  void setShadowSize(int size);  // 0..255

  // Draws the caption with the bevel into `rect`; `flags` are Qt text flags.
  void DrawLabelText(QPainter& p, const QRect& rect, int flags);

 Q_SIGNALS:
  // A left press released over the label.
  void clicked();
  // The pointer moved over the label (pressed or not).
  void mouseMoved(QPoint pos);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void DrawBevelText(QPainter& p, const QRect& rect, int flags, TColor first, TColor second);
  void AdjustBounds();

  TColor m_HighLightColor = clBtnHighlight;
  TColor m_ShadowColor = clBtnShadow;
  TLabel3DBevel m_Bevel = bvRaised;
  int m_ShadowSize = 1;

  ControlColors m_Colors;
  bool m_Transparent = false;
  bool m_AutoSize = true;
  bool m_ShowAccelChar = true;
  bool m_Pressed = false;
};
