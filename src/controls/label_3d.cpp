// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/label_3d.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

TLabel3D::TLabel3D(QWidget* parent) : QLabel(parent) {
  resize(65, 17);
  setMouseTracking(true);  // mouse moves are reported without a pressed button too
}

TLabel3D::TLabel3D(const QString& text, QWidget* parent) : TLabel3D(parent) { setText(text); }

void TLabel3D::setText(const QString& text) {
  QLabel::setText(text);
  AdjustBounds();
  update();
}

TColor TLabel3D::Color() const { return m_Colors.Color(this); }

void TLabel3D::setColor(TColor color) {
  m_Colors.SetColor(color);
  update();
}

void TLabel3D::setParentColor(bool parentColor) {
  if (m_Colors.SetParentColor(this, parentColor)) update();
}

TColor TLabel3D::FontColor() const { return m_Colors.FontColor(this); }

void TLabel3D::setFontColor(TColor color) {
  m_Colors.SetFontColor(color);
  update();
}

void TLabel3D::setTransparent(bool transparent) {
  if (transparent == m_Transparent) return;
  m_Transparent = transparent;
  update();
}

void TLabel3D::setAutoSize(bool autoSize) {
  if (autoSize == m_AutoSize) return;
  m_AutoSize = autoSize;
  AdjustBounds();
}

void TLabel3D::setShowAccelChar(bool show) {
  if (show == m_ShowAccelChar) return;
  m_ShowAccelChar = show;
  AdjustBounds();
  update();
}

void TLabel3D::setHighLightColor(TColor color) {
  if (color == m_HighLightColor) return;
  m_HighLightColor = color;
  update();
}

void TLabel3D::setShadowColor(TColor color) {
  if (color == m_ShadowColor) return;
  m_ShadowColor = color;
  update();
}

void TLabel3D::setBevel(TLabel3DBevel bevel) {
  if (bevel == m_Bevel) return;
  m_Bevel = bevel;
  update();
}

void TLabel3D::setShadowSize(int size) {
  size = qBound(0, size, 255);
  if (size == m_ShadowSize) return;
  m_ShadowSize = size;
  update();
}

void TLabel3D::AdjustBounds() {
  if (!m_AutoSize) return;
  int flags = Qt::TextExpandTabs;
  if (m_ShowAccelChar) flags |= Qt::TextShowMnemonic;
  if (wordWrap()) flags |= Qt::TextWordWrap;
  // An empty caption still takes one line's height.
  const QString measured = text().isEmpty() ? QStringLiteral(" ") : text();
  const QRect r =
      fontMetrics().boundingRect(QRect(0, 0, wordWrap() ? width() : 0, 0), flags, measured);
  const QSize wanted(wordWrap() ? width() : r.width(), r.height());
  if (wanted == size()) return;
  const int right = x() + width();
  const Qt::Alignment h = alignment() & Qt::AlignHorizontal_Mask;
  // A right-justified label keeps its right edge.
  const int left = (h & (Qt::AlignRight | Qt::AlignTrailing)) ? right - wanted.width() : x();
  setGeometry(left, y(), wanted.width(), wanted.height());
}

void TLabel3D::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange) AdjustBounds();
  QLabel::changeEvent(e);
}

void TLabel3D::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) m_Pressed = true;
  QLabel::mousePressEvent(e);
}

void TLabel3D::mouseMoveEvent(QMouseEvent* e) {
  Q_EMIT mouseMoved(e->position().toPoint());
  QLabel::mouseMoveEvent(e);
}

void TLabel3D::mouseReleaseEvent(QMouseEvent* e) {
  const bool click =
      e->button() == Qt::LeftButton && m_Pressed && rect().contains(e->position().toPoint());
  if (e->button() == Qt::LeftButton) m_Pressed = false;
  QLabel::mouseReleaseEvent(e);
  if (click) Q_EMIT clicked();
}

void TLabel3D::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!m_Transparent) {
    const QColor background = ResolveColor(Color());
    if (background.isValid()) p.fillRect(rect(), background);
  }
  const Qt::Alignment h = alignment() & Qt::AlignHorizontal_Mask;
  int flags = Qt::AlignTop | Qt::TextExpandTabs | Qt::TextWordWrap;
  if (h & Qt::AlignHCenter)
    flags |= Qt::AlignHCenter;
  else if (h & (Qt::AlignRight | Qt::AlignTrailing))
    flags |= Qt::AlignRight;
  else
    flags |= Qt::AlignLeft;
  DrawLabelText(p, rect(), flags);
}

void TLabel3D::DrawLabelText(QPainter& p, const QRect& rect, int flags) {
  if (m_ShowAccelChar) flags |= Qt::TextShowMnemonic;
  p.setFont(font());
  switch (m_Bevel) {
    case bvNone: {
      // Not greyed when disabled: only the bevelled looks know about that.
      const QColor c = ResolveColor(FontColor());
      if (c.isValid()) {
        p.setPen(c);
        p.drawText(rect, flags, text());
      }
      break;
    }
    case bvLowered:
      DrawBevelText(p, rect, flags, m_ShadowColor, m_HighLightColor);
      break;
    case bvRaised:
      DrawBevelText(p, rect, flags, m_HighLightColor, m_ShadowColor);
      break;
    case bvShadow:
      DrawBevelText(p, rect, flags, clNone, m_ShadowColor);
      break;
  }
}

void TLabel3D::DrawBevelText(QPainter& p, const QRect& rect, int flags, TColor first,
                             TColor second) {
  const int s = m_ShadowSize;
  auto draw = [&](const QRect& r, TColor c) {
    const QColor q = ResolveColor(c);
    if (!q.isValid()) return;
    p.setPen(q);
    p.drawText(r, flags, text());
  };
  if (m_Bevel != bvShadow && isEnabled()) draw(rect.translated(-s, -s), first);
  draw(rect.translated(s, s), second);
  draw(rect, isEnabled() ? FontColor() : clGrayText);
}
