// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/flat_speed_button.h"

#include <QApplication>
#include <QCursor>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>

namespace {

// One poll serves every button: a windowless button hears when the pointer arrives, not when it
// leaves, so the hovered button checks every 100 ms whether the pointer is still on it.
QTimer* g_hoverTimer = nullptr;
TFlatSpeedButton* g_hoverButton = nullptr;
int g_instanceCount = 0;

QColor ColourOf(TColor c) { return ResolveColor(c); }

void FillIfPainted(QPainter& p, const QRect& r, TColor c) {
  const QColor q = ColourOf(c);
  if (q.isValid() && !r.isEmpty()) p.fillRect(r, q);
}

constexpr int kCaptionFlags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

}  // namespace

TFlatSpeedButton::TFlatSpeedButton(QWidget* parent) : QWidget(parent) {
  if (!g_hoverTimer) {
    g_hoverTimer = new QTimer();
    g_hoverTimer->setInterval(100);
    QObject::connect(g_hoverTimer, &QTimer::timeout, [] {
      if (g_hoverButton) g_hoverButton->PollHover();
    });
  }
  ++g_instanceCount;
  setGeometry(0, 0, 25, 25);
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);  // moves without a pressed button reveal the pointer's arrival
}

TFlatSpeedButton::~TFlatSpeedButton() {
  StopHoverTimer();
  if (--g_instanceCount == 0) {
    delete g_hoverTimer;
    g_hoverTimer = nullptr;
  }
}

QTimer* TFlatSpeedButton::HoverTimer() { return g_hoverTimer; }
TFlatSpeedButton* TFlatSpeedButton::HoverButton() { return g_hoverButton; }
int TFlatSpeedButton::InstanceCount() { return g_instanceCount; }

// ---- properties -----------------------------------------------------------------------------

void TFlatSpeedButton::setCaption(const QString& caption) {
  m_Caption = caption;
  UpdateAccelerator();
  update();
}

TColor TFlatSpeedButton::Color() const { return m_Colors.Color(this); }

void TFlatSpeedButton::setColor(TColor color) {
  m_Colors.SetColor(color);
  update();
}

void TFlatSpeedButton::setParentColor(bool parentColor) {
  if (m_Colors.SetParentColor(this, parentColor)) update();
}

TColor TFlatSpeedButton::FontColor() const { return m_Colors.FontColor(this); }

void TFlatSpeedButton::setFontColor(TColor color) {
  m_Colors.SetFontColor(color);
  update();
}

bool TFlatSpeedButton::ParentFont() const {
  return !testAttribute(Qt::WA_SetFont) && !m_Colors.HasFontColor();
}

void TFlatSpeedButton::setParentFont(bool parentFont) {
  if (parentFont) {
    setFont(QFont());
    m_Colors.ResetFontColor();
  } else {
    setFont(font());
    m_Colors.SetFontColor(FontColor());
  }
  update();
}

void TFlatSpeedButton::SetFaceColor(int index, TColor color) {
  switch (index) {
    case 0:
      m_ColorFocused = color;
      break;
    case 1:
      m_ColorDown = color;
      break;
    case 2:
      m_ColorBorder = color;
      break;
    case 3:
      m_ColorHighLight = color;
      break;
    case 4:
      m_ColorShadow = color;
      break;
    default:
      return;
  }
  update();
}

void TFlatSpeedButton::SetAdvColor(int index, int step) {
  step = qBound(0, step, 100);
  switch (index) {
    case 0:
      m_AdvColorFocused = step;
      break;
    case 1:
      m_AdvColorDown = step;
      break;
    case 2:
      m_AdvColorBorder = step;
      break;
    default:
      return;
  }
  DeriveAdvColors();
  update();
}

void TFlatSpeedButton::setUseAdvColors(bool use) {
  if (use == m_UseAdvColors) return;
  m_UseAdvColors = use;
  setParentColor(use);
  DeriveAdvColors();
  update();
}

void TFlatSpeedButton::DeriveAdvColors() {
  if (!m_UseAdvColors) return;
  const TColor base = Color();
  m_ColorFocused =
      ShiftLuminance(base, m_ColorFocused, m_AdvColorFocused, TShiftDirection::Lighter);
  m_ColorDown = ShiftLuminance(base, m_ColorDown, m_AdvColorDown, TShiftDirection::Darker);
  m_ColorBorder = ShiftLuminance(base, m_ColorBorder, m_AdvColorBorder, TShiftDirection::Darker);
}

void TFlatSpeedButton::setGroupIndex(int index) {
  if (index == m_GroupIndex) return;
  m_GroupIndex = index;
  // Outside a group nothing could ever raise a latched button again.
  if (index == 0 && m_Down) {
    m_Down = false;
    m_FaceState = TFaceState::Up;
    update();
  }
  NotifyGroup();
}

void TFlatSpeedButton::setDown(bool down) {
  if (m_GroupIndex == 0) down = false;
  if (down == m_Down) return;
  if (m_Down && !m_AllowAllUp) return;
  m_Down = down;
  if (down) {
    if (m_FaceState == TFaceState::Up) update();
    m_FaceState = TFaceState::Latched;
    NotifyGroup();
  } else {
    m_FaceState = TFaceState::Up;
    repaint();
  }
}

void TFlatSpeedButton::setAllowAllUp(bool allow) {
  if (allow == m_AllowAllUp) return;
  m_AllowAllUp = allow;
  NotifyGroup();
}

void TFlatSpeedButton::setGlyph(const QImage& glyph) {
  m_Glyph = glyph.isNull() ? QImage() : glyph.convertToFormat(QImage::Format_ARGB32);
  const int w = m_Glyph.width();
  const int h = m_Glyph.height();
  if (!m_Glyph.isNull() && h > 0 && w % h == 0) {
    const int n = w / h;
    m_NumGlyphs = n <= 4 ? n : 1;
  }
  update();
}

void TFlatSpeedButton::setNumGlyphs(int count) {
  count = qBound(1, count, 4);
  if (count == m_NumGlyphs) return;
  m_NumGlyphs = count;
  update();
}

void TFlatSpeedButton::setLayout(TButtonLayout layout) {
  if (layout == m_Layout) return;
  m_Layout = layout;
  update();
}

void TFlatSpeedButton::setMargin(int margin) {
  if (margin == m_Margin || margin < -1) return;
  m_Margin = margin;
  update();
}

void TFlatSpeedButton::setSpacing(int spacing) {
  if (spacing == m_Spacing) return;
  m_Spacing = spacing;
  update();
}

void TFlatSpeedButton::Click() { Q_EMIT clicked(); }

// ---- groups ---------------------------------------------------------------------------------

void TFlatSpeedButton::NotifyGroup() {
  if (m_GroupIndex == 0 || !parentWidget()) return;
  const QObjectList siblings = parentWidget()->children();
  for (QObject* child : siblings)
    if (auto* button = qobject_cast<TFlatSpeedButton*>(child))
      button->GroupNotice(m_GroupIndex, this);
}

void TFlatSpeedButton::GroupNotice(int groupIndex, TFlatSpeedButton* sender) {
  if (sender == this || groupIndex != m_GroupIndex || !sender) return;
  if (sender->m_Down && m_Down) {
    m_Down = false;
    m_FaceState = TFaceState::Up;
    update();
  }
  m_AllowAllUp = sender->m_AllowAllUp;
}

// ---- accelerator ----------------------------------------------------------------------------

void TFlatSpeedButton::UpdateAccelerator() {
  if (m_AltShortcutId) releaseShortcut(m_AltShortcutId);
  if (m_PlainShortcutId) releaseShortcut(m_PlainShortcutId);
  m_AltShortcutId = m_PlainShortcutId = 0;
  const QKeySequence alt = QKeySequence::mnemonic(m_Caption);
  if (alt.isEmpty()) return;
  m_AltShortcutId = grabShortcut(alt);
  // The bare character too: a focused edit box takes its own typing before shortcuts see it.
  m_PlainShortcutId = grabShortcut(QKeySequence(alt[0].key()));
}

bool TFlatSpeedButton::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    auto* se = static_cast<QShortcutEvent*>(e);
    if ((se->shortcutId() == m_AltShortcutId || se->shortcutId() == m_PlainShortcutId) &&
        isEnabled()) {
      Click();
      return true;
    }
    return false;
  }
  return QWidget::event(e);
}

void TFlatSpeedButton::changeEvent(QEvent* e) {
  switch (e->type()) {
    case QEvent::EnabledChange:
      if (!isEnabled()) {
        m_Hot = false;
        m_FaceState = TFaceState::Disabled;
        StopHoverTimer();
      }
      SyncHover();
      update();
      break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
      if (m_UseAdvColors) {
        m_Colors.SetParentColor(this, true);
        DeriveAdvColors();
      }
      update();
      break;
    case QEvent::FontChange:
      update();
      break;
    default:
      break;
  }
  QWidget::changeEvent(e);
}

// ---- mouse ----------------------------------------------------------------------------------

bool TFlatSpeedButton::IsInside(QPoint pos) const {
  // The row just below the button still counts, the column right of it does not.
  return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
}

void TFlatSpeedButton::PressAt(QMouseEvent* e) {
  Q_EMIT mouseDown(e->button(), e->modifiers(), e->position().toPoint());
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  if (!m_Down) {
    m_FaceState = TFaceState::Pressed;
    update();
  }
  m_Tracking = true;
}

void TFlatSpeedButton::mousePressEvent(QMouseEvent* e) { PressAt(e); }

void TFlatSpeedButton::mouseDoubleClickEvent(QMouseEvent* e) {
  PressAt(e);
  if (e->button() == Qt::LeftButton && m_Down) Q_EMIT doubleClicked();
}

void TFlatSpeedButton::mouseMoveEvent(QMouseEvent* e) {
  Q_EMIT mouseMove(e->modifiers(), e->position().toPoint());
  if (g_hoverButton != this && QApplication::widgetAt(e->globalPosition().toPoint()) == this)
    TakeHover();
  if (!m_Tracking) return;
  TFaceState state;
  if (m_Down)
    state = TFaceState::Latched;
  else
    state = IsInside(e->position().toPoint()) ? TFaceState::Pressed : TFaceState::Up;
  if (state != m_FaceState) {
    m_FaceState = state;
    update();
  }
}

void TFlatSpeedButton::mouseReleaseEvent(QMouseEvent* e) {
  Q_EMIT mouseUp(e->button(), e->modifiers(), e->position().toPoint());
  if (!m_Tracking) return;
  m_Tracking = false;
  const bool inside = IsInside(e->position().toPoint());
  if (m_GroupIndex == 0) {
    m_FaceState = TFaceState::Up;
    m_Hot = false;
    if (inside) update();
  } else if (inside) {
    setDown(!m_Down);
    if (m_Down) repaint();
  } else {
    if (m_Down) m_FaceState = TFaceState::Latched;
    repaint();
  }
  if (inside)
    Click();
  else
    EndHover();
  SyncHover();
}

// ---- hover ----------------------------------------------------------------------------------

bool TFlatSpeedButton::PointerOverMe() const {
  return QApplication::widgetAt(QCursor::pos()) == this;
}

void TFlatSpeedButton::TakeHover() {
  if (g_hoverButton && g_hoverButton != this) g_hoverButton->EndHover();
  // Nothing lights up while another program's window is active.
  if (!QApplication::activeWindow()) return;
  g_hoverTimer->stop();
  g_hoverButton = this;
  g_hoverTimer->start();
  BeginHover();
}

void TFlatSpeedButton::PollHover() {
  if (!PointerOverMe()) EndHover();
}

void TFlatSpeedButton::BeginHover() {
  if (!isEnabled() || m_Hot) return;
  m_Hot = true;
  repaint();
}

void TFlatSpeedButton::EndHover() {
  // A tracked press keeps the button hot, and the poll running, while the pointer is outside.
  if (!isEnabled() || !m_Hot || m_Tracking) return;
  m_Hot = false;
  StopHoverTimer();
  update();
}

void TFlatSpeedButton::StopHoverTimer() {
  if (g_hoverButton != this) return;
  if (g_hoverTimer) g_hoverTimer->stop();
  g_hoverButton = nullptr;
}

void TFlatSpeedButton::SyncHover() {
  if (!isEnabled()) return;
  if (PointerOverMe() && QApplication::activeWindow()) {
    // Also become the watched button, or the look would stay lit after the pointer leaves.
    if (g_hoverButton != this) {
      if (g_hoverButton) g_hoverButton->EndHover();
      g_hoverTimer->stop();
      g_hoverButton = this;
      g_hoverTimer->start();
    }
    m_Hot = true;
    repaint();
  } else {
    m_Hot = false;
    StopHoverTimer();
    update();
  }
}

// ---- painting -------------------------------------------------------------------------------

void TFlatSpeedButton::paintEvent(QPaintEvent*) {
  const QImage face = ComposeFace();
  QPainter p(this);
  p.drawImage(0, 0, face);
}

QImage TFlatSpeedButton::ComposeFace() {
  // Settle the state before the press offset is taken, so that a latched button enabled again
  // draws its caption sunk on the very first paint.
  if (!isEnabled()) {
    m_FaceState = TFaceState::Disabled;
    m_Tracking = false;
  } else if (m_FaceState == TFaceState::Disabled) {
    m_FaceState = m_Down && m_GroupIndex != 0 ? TFaceState::Latched : TFaceState::Up;
  }

  const qreal dpr = devicePixelRatioF();
  QImage work(size() * dpr, QImage::Format_ARGB32_Premultiplied);
  work.setDevicePixelRatio(dpr);
  // Same resolution as the widget, so that text measured on the widget fits the work bitmap.
  work.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
  work.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
  work.fill(Qt::transparent);  // clNone parts show what lies beneath

  const bool sunk = m_FaceState == TFaceState::Pressed || m_FaceState == TFaceState::Latched;
  const QPoint offset = sunk ? QPoint(1, 1) : QPoint(0, 0);
  const QSize textSize =
      m_Caption.isEmpty()
          ? QSize(0, 0)
          : fontMetrics().size(Qt::TextSingleLine | Qt::TextShowMnemonic, m_Caption);
  const QSize glyphSize =
      m_Glyph.isNull() ? QSize(0, 0) : QSize(m_Glyph.width() / m_NumGlyphs, m_Glyph.height());
  const FaceLayout layout =
      ComputeFaceLayout(rect(), offset, textSize, glyphSize, m_Layout, m_Margin, m_Spacing);
  m_GlyphOrigin = layout.GlyphOrigin;
  m_TextRect = layout.TextRect;

  QPainter p(&work);
  p.setFont(font());
  const int w = width();
  const int h = height();

  TColor first, second;
  switch (m_FaceState) {
    case TFaceState::Up:
      first = m_Hot ? m_ColorHighLight : m_ColorBorder;
      second = m_Hot ? m_ColorShadow : m_ColorBorder;
      break;
    case TFaceState::Disabled:
      first = second = m_ColorBorder;
      break;
    default:
      first = m_ColorShadow;
      second = m_ColorHighLight;
      break;
  }
  // The second colour owns the top-right and bottom-left corners.
  FillIfPainted(p, QRect(0, 0, 1, h - 1), first);
  FillIfPainted(p, QRect(0, 0, w - 1, 1), first);
  FillIfPainted(p, QRect(w - 1, 0, 1, h), second);
  FillIfPainted(p, QRect(0, h - 1, w, 1), second);

  TColor faceColour;
  switch (m_FaceState) {
    case TFaceState::Up:
      faceColour = m_Hot ? m_ColorFocused : Color();
      break;
    case TFaceState::Disabled:
      faceColour = Color();
      break;
    case TFaceState::Pressed:
      faceColour = m_ColorDown;
      break;
    case TFaceState::Latched:
    default:
      faceColour = m_Hot ? m_ColorFocused : m_ColorDown;
      break;
  }
  FillIfPainted(p, QRect(1, 1, w - 2, h - 2), faceColour);

  DrawGlyph(p);
  DrawCaption(p);
  return work;
}

void TFlatSpeedButton::DrawGlyph(QPainter& p) {
  if (m_Glyph.isNull()) return;
  const int w = m_Glyph.width();
  const int h = m_Glyph.height();
  const int c = w / m_NumGlyphs;
  if (c <= 0) return;

  // Columns [from, to) of the strip for this state; the last used cell runs to the strip's end.
  int from = 0;
  int to = c;
  auto cell = [&](int k) {
    from = k * c;
    to = (k + 1) * c;
  };
  auto tail = [&](int k) {
    from = k * c;
    to = w;
  };
  const int state = static_cast<int>(m_FaceState);  // Up, Disabled, Pressed, Latched
  switch (m_NumGlyphs) {
    case 1:
      from = 0;
      to = w;
      break;
    case 2:
      if (state == 1)
        tail(1);
      else
        cell(0);
      break;
    case 3:
      if (state == 0)
        cell(0);
      else if (state == 1)
        cell(1);
      else
        tail(2);
      break;
    default:
      if (state == 3)
        tail(3);
      else
        cell(state);
      break;
  }
  QImage image = m_Glyph.copy(from, 0, to - from, h);
  if (image.width() != c) image = image.scaled(c, h);

  QRgb transparent = m_Glyph.pixel(0, h - 1);
  if (m_NumGlyphs == 1 && m_FaceState == TFaceState::Disabled) {
    image = MakeDisabledGlyph(image, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
    transparent = image.pixel(0, image.height() - 1);
  }
  image = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
  }
  p.drawImage(m_GlyphOrigin, image);
}

void TFlatSpeedButton::DrawCaption(QPainter& p) {
  if (m_Caption.isEmpty()) return;
  auto draw = [&](const QRect& r, TColor c) {
    const QColor q = ColourOf(c);
    if (!q.isValid()) return;
    p.setPen(q);
    p.drawText(r, kCaptionFlags, m_Caption);
  };
  if (m_FaceState == TFaceState::Disabled) {
    draw(m_TextRect.translated(1, 1), clBtnHighlight);
    draw(m_TextRect, clBtnShadow);
  } else {
    draw(m_TextRect, FontColor());
  }
}
