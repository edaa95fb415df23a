// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/lesson_frame.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyleOption>
#include <QToolButton>

#include "app/drop_down.h"
#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "controls/label_3d.h"
#include "data/lesson_kinds.h"
#include "lessons/lesson_clock.h"
#include "platform/clock.h"

namespace {

const QColor kSkyTop(250, 253, 255);
const QColor kSkyBottom(186, 218, 250);
const QColor kGolden(255, 210, 83);
const QColor kGoldenEdge(176, 128, 24);
const QColor kStatusColour(236, 236, 236);
constexpr int kArrowWidth = 16;
constexpr int kTextPadding = 4;

QIcon TwoStatePicture(const QString& normal, const QString& disabled) {
  QIcon icon(normal);
  icon.addFile(disabled, QSize(), QIcon::Disabled);
  return icon;
}

}  // namespace

void FillBackground(QWidget* w, const QBrush& brush) {
  QPalette pal = w->palette();
  pal.setBrush(QPalette::Window, brush);
  w->setPalette(pal);
  w->setAutoFillBackground(true);
}

TLabel3D* MakeScreenTitle(QWidget* bar, const QString& text, int width) {
  auto* title = new TLabel3D(text, bar);
  title->setFont(SongFont(24, true));
  title->setFontColor(RGBColor(0, 0, 255));
  title->setBevel(bvLowered);
  title->setTransparent(true);
  title->setAutoSize(false);
  // The CJK fonts standing in for 宋体 need a taller line than the design's.
  title->setGeometry(16, 21, width, title->fontMetrics().height());
  return title;
}

QToolButton* MakeTopButton(QWidget* bar, const QString& caption, const QString& picture,
                           const QRect& at, const QString& hint) {
  QToolButton* b = MakeToolButton(bar, caption, QIcon(picture), at);
  b->setToolTip(hint);
  return b;
}

QToolButton* MakeHelpButton(QWidget* bar, int left) {
  return MakeTopButton(bar, QStringLiteral("使用方法"), QStringLiteral(":/images/verse_help.png"),
                       QRect(left, 13, 61, 40));
}

QToolButton* MakeQuitButton(QWidget* bar) {
  return MakeTopButton(bar, QStringLiteral("返回→"), QStringLiteral(":/images/verse_quit.png"),
                       QRect(frame::kQuitLeft, 10, 67, 40), QStringLiteral("返回主界面"));
}

void KeepQuitInCorner(QToolButton* quit, int width) {
  quit->move(width - (frame::kDesignWidth - frame::kQuitLeft), quit->y());
}

// --- chapter selector ------------------------------------------------------------------------

TChapterSelector::TChapterSelector(QWidget* parent) : QComboBox(parent) {
  setObjectName(QStringLiteral("CB1"));
  setEditable(false);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(565, 16, 105, 24);
  QPalette pal = palette();
  pal.setColor(QPalette::Button, kGolden);
  pal.setColor(QPalette::Base, kGolden);
  setPalette(pal);
  CapDropDownWidth(this);
  // After the cap's own tooltip, so that the hand-painted text's room decides.
  connect(this, &QComboBox::currentIndexChanged, this, &TChapterSelector::UpdateToolTip);
}

QRect TChapterSelector::TextRect() const {
  return rect().adjusted(kTextPadding, 1, -kArrowWidth - 1, -1);
}

void TChapterSelector::SetChapters(const QStringList& names, int current) {
  // A cut entry of the opened list shows whole when hovered, measured then by the drop-down's
  // delegate: measuring every name here cost 60 ms with 10,000 chapters.
  clear();
  addItems(names);
  setCurrentIndex(current);
  UpdateToolTip();
}

void TChapterSelector::UpdateToolTip() {
  const bool cut = fontMetrics().horizontalAdvance(currentText()) > TextRect().width();
  setToolTip(cut ? currentText() : QString());
}

void TChapterSelector::showPopup() {
  // The opened list grows to the longest name, up to twice the box's width.
  const QFontMetrics metrics(view()->font());
  int widest = 0;
  for (int i = 0; i < count(); ++i) widest = qMax(widest, metrics.horizontalAdvance(itemText(i)));
  const int chrome =
      2 * view()->frameWidth() + 4 * kTextPadding + view()->verticalScrollBar()->sizeHint().width();
  view()->setMinimumWidth(qMin(qMax(width(), widest + chrome), 2 * width()));
  QComboBox::showPopup();
}

void TChapterSelector::paintEvent(QPaintEvent*) {
  // Drawn by hand: the styles paint a gradient over the golden colour.
  QPainter p(this);
  p.fillRect(rect(), kGolden);
  p.setPen(kGoldenEdge);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  QStyleOption arrow;
  arrow.initFrom(this);
  arrow.rect = QRect(width() - kArrowWidth - 2, 0, kArrowWidth, height());
  arrow.palette.setColor(QPalette::ButtonText, Qt::black);
  style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
  p.setPen(Qt::black);
  const QRect text = TextRect();
  p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
             fontMetrics().elidedText(currentText(), Qt::ElideRight, text.width()));
}

// --- status bar ------------------------------------------------------------------------------

TLessonStatusBar::TLessonStatusBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("statusBar"));
  FillBackground(this, kStatusColour);
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(this);
    panel->setFrameStyle(QFrame::Panel | (i == 0 ? QFrame::Raised : QFrame::Sunken));
    panel->setIndent(4);
    m_panels << panel;
  }
  m_panels[0]->setText(QStringLiteral("Quorvex"));
}

void TLessonStatusBar::Update(const QString& chapter) {
  m_panels[1]->setText(LessonChapterText(chapter));
  m_panels[2]->setText(LessonClockText(platform::CurrentClock().Now()));
  Layout();
}

QString TLessonStatusBar::Text(int panel) const {
  return panel >= 0 && panel < m_panels.size() ? m_panels[panel]->text() : QString();
}

void TLessonStatusBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Layout();
}

void TLessonStatusBar::Layout() {
  // A long chapter name widens its panel into the clock's, which keeps the room its text needs
  // and reaches to the bar's end, so neither is cut off.
  const int clock = qMax(200, m_panels[2]->sizeHint().width());
  const int chapter = qMax(250, qMin(m_panels[1]->sizeHint().width(), width() - 200 - clock));
  const int widths[] = {200, chapter, qMax(200, width() - 200 - chapter)};
  int x = 0;
  for (int i = 0; i < 3; ++i) {
    m_panels[i]->setGeometry(x, 0, widths[i], height());
    x += widths[i];
  }
}

// --- top bar ---------------------------------------------------------------------------------

LessonTopBar BuildLessonTopBar(QWidget* parent, const LessonKind& kind) {
  LessonTopBar t;
  t.bar = new QWidget(parent);
  t.bar->setObjectName(QStringLiteral("topBar"));
  QLinearGradient sky(0, 0, 0, frame::kTopBarHeight);
  sky.setColorAt(0, kSkyTop);
  sky.setColorAt(1, kSkyBottom);
  FillBackground(t.bar, sky);

  t.Label3D7 = MakeScreenTitle(t.bar, kind.screenTitle, kind.titleWidth);
  t.HELPSB = MakeHelpButton(t.bar, kind.helpButtonLeft);
  t.zjsb = MakeTopButton(t.bar, QStringLiteral("编辑章节"),
                         QStringLiteral(":/images/verse_chapters.png"),
                         QRect(kind.chapterButtonLeft, 13, 61, 40));
  t.zsb = MakeTopButton(t.bar, kind.itemEditorButton, QStringLiteral(":/images/verse_items.png"),
                        QRect(kind.itemButtonLeft, 13, 61, 40));
  t.UpSb = MakeToolButton(t.bar, QStringLiteral("上一章节"),
                          TwoStatePicture(QStringLiteral(":/images/verse_up.png"),
                                          QStringLiteral(":/images/verse_up_off.png")),
                          QRect(457, 13, 51, 40));
  t.UpSb->setToolTip(QStringLiteral("查看上一章节"));
  t.DownSb = MakeToolButton(t.bar, QStringLiteral("下一章节"),
                            TwoStatePicture(QStringLiteral(":/images/verse_down.png"),
                                            QStringLiteral(":/images/verse_down_off.png")),
                            QRect(508, 13, 51, 40));
  t.DownSb->setToolTip(QStringLiteral("查看下一章节"));
  t.CB1 = new TChapterSelector(t.bar);
  t.QuitSb = MakeQuitButton(t.bar);
  return t;
}
