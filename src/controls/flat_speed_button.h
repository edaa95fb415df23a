// SPDX-License-Identifier: GPL-3.0-or-later
// TFlatSpeedButton: a flat, windowless push button with hover, pressed, latched and disabled looks,
// an optional glyph strip, and groups of mutually exclusive buttons.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "controls/flat_drawing.h"

class QTimer;

enum class TFaceState : quint8 { Up, Disabled, Pressed, Latched };

class TFlatSpeedButton : public QWidget {
  Q_OBJECT
 public:
  // A new button is 25 × 25 at (0, 0), follows its parent's colour and font, and never takes focus.
  explicit TFlatSpeedButton(QWidget* parent = nullptr);
  ~TFlatSpeedButton() override;

  // One line; "&x" makes x the accelerator (drawn underlined), "&&" draws one "&".
  QString Caption() const { return m_Caption; }
  void setCaption(const QString& caption);

  // Face of the Up and Disabled states. Follows the parent's background while ParentColor is on;
  // assigning a colour turns ParentColor off.
  TColor Color() const;
  void setColor(TColor color);
  bool ParentColor() const { return m_Colors.ParentColor(); }
  void setParentColor(bool parentColor);

  // The caption's colour (the font's colour); the palette's window text while ParentFont is on.
  TColor FontColor() const;
  void setFontColor(TColor color);
  // setFont() turns ParentFont off; setParentFont(true) follows the parent's font and colour again.
  bool ParentFont() const;
  void setParentFont(bool parentFont);

  TColor ColorFocused() const { return m_ColorFocused; }
  TColor ColorDown() const { return m_ColorDown; }
  TColor ColorBorder() const { return m_ColorBorder; }
  TColor ColorHighLight() const { return m_ColorHighLight; }
  TColor ColorShadow() const { return m_ColorShadow; }
  void setColorFocused(TColor c) { SetFaceColor(0, c); }
  void setColorDown(TColor c) { SetFaceColor(1, c); }
  void setColorBorder(TColor c) { SetFaceColor(2, c); }
  void setColorHighLight(TColor c) { SetFaceColor(3, c); }
  void setColorShadow(TColor c) { SetFaceColor(4, c); }
  // Index 0..4: ColorFocused, ColorDown, ColorBorder, ColorHighLight, ColorShadow. Always repaints.
  void SetFaceColor(int index, TColor color);

  // Luminance steps (0..100) for deriving ColorFocused (lighter), ColorDown and ColorBorder
  // (darker) from Color while UseAdvColors is on.
  int AdvColorFocused() const { return m_AdvColorFocused; }
  int AdvColorDown() const { return m_AdvColorDown; }
  int AdvColorBorder() const { return m_AdvColorBorder; }
  void setAdvColorFocused(int step) { SetAdvColor(0, step); }
  void setAdvColorDown(int step) { SetAdvColor(1, step); }
  void setAdvColorBorder(int step) { SetAdvColor(2, step); }
  void SetAdvColor(int index, int step);
  bool UseAdvColors() const { return m_UseAdvColors; }
  void setUseAdvColors(bool use);
  void DeriveAdvColors();

  // 0: an ordinary push button; otherwise the group among the flat buttons of the same parent.
  int GroupIndex() const { return m_GroupIndex; }
  void setGroupIndex(int index);
  // Latched down; only group members can be down, and a down member rises only with AllowAllUp.
  bool Down() const { return m_Down; }
  void setDown(bool down);
  // One value for the whole group: assigning it to a member hands it to every member.
  bool AllowAllUp() const { return m_AllowAllUp; }
  void setAllowAllUp(bool allow);

  // A strip of NumGlyphs equal cells: up, disabled, pressed, latched. A width that is an exact
  // multiple N of the height sets NumGlyphs to N (1 when N > 4). The bottom-left pixel's colour is
  // transparent.
  QImage Glyph() const { return m_Glyph; }
  void setGlyph(const QImage& glyph);
  void setGlyph(const QPixmap& glyph) { setGlyph(glyph.toImage()); }
  int NumGlyphs() const { return m_NumGlyphs; }
  void setNumGlyphs(int count);  // clamped to 1..4

  TButtonLayout Layout() const { return m_Layout; }
  void setLayout(TButtonLayout layout);
  using QWidget::setLayout;
  // Edge to glyph along the layout axis; -1 centres glyph and caption. Values below -1 are ignored.
  int Margin() const { return m_Margin; }
  void setMargin(int margin);
  // Glyph to caption; -1 lets the layout choose.
  int Spacing() const { return m_Spacing; }
  void setSpacing(int spacing);

  // Fires clicked(), as a click or the accelerator does.
  void Click();

  // Delivered by a group member to its siblings when it goes down or changes GroupIndex or
  // AllowAllUp.
  void GroupNotice(int groupIndex, TFlatSpeedButton* sender);

  // Paint state, for screens that look at it and for tests.
  TFaceState FaceState() const { return m_FaceState; }
  bool Hot() const { return m_Hot; }
  bool Tracking() const { return m_Tracking; }
  QRect TextRect() const { return m_TextRect; }
  QPoint GlyphOrigin() const { return m_GlyphOrigin; }

  // The one hover poll shared by every flat button, and the button it watches.
  static QTimer* HoverTimer();
  static TFlatSpeedButton* HoverButton();
  static int InstanceCount();

 Q_SIGNALS:
  void clicked();
  void doubleClicked();
  // Every mouse event, any button, before the button's own handling.
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
  void mouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
  void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

 protected:
  bool event(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  QImage ComposeFace();
  void DrawGlyph(QPainter& p);
  void DrawCaption(QPainter& p);
  void NotifyGroup();
  void PressAt(QMouseEvent* e);
  bool IsInside(QPoint pos) const;
  void TakeHover();
  void PollHover();
  void BeginHover();
  void EndHover();
  void StopHoverTimer();
  void SyncHover();
  bool PointerOverMe() const;
  void UpdateAccelerator();

  bool m_UseAdvColors = false;
  int m_AdvColorFocused = 10;
  int m_AdvColorDown = 10;
  int m_AdvColorBorder = 50;
  QRect m_TextRect;
  QPoint m_GlyphOrigin;
  int m_NumGlyphs = 1;
  TColor m_ColorDown = RGBColor(217, 214, 197);
  TColor m_ColorBorder = RGBColor(160, 150, 131);
  TColor m_ColorHighLight = RGBColor(255, 255, 255);
  TColor m_ColorShadow = RGBColor(0, 0, 0);
  TColor m_ColorFocused = RGBColor(235, 234, 225);
  int m_GroupIndex = 0;
  QImage m_Glyph;
  bool m_Down = false;
  bool m_Tracking = false;
  bool m_AllowAllUp = false;
  TButtonLayout m_Layout = blGlyphTop;
  int m_Spacing = 4;
  int m_Margin = -1;
  bool m_Hot = false;
  TFaceState m_FaceState = TFaceState::Up;

  QString m_Caption;
  ControlColors m_Colors;
  int m_AltShortcutId = 0;
  int m_PlainShortcutId = 0;
};
