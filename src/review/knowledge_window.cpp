// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/knowledge_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>

#include "app/current_child.h"
#include "app/emoji_picture.h"
#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "controls/label_3d.h"
#include "data/children.h"
#include "data/data_module.h"
#include "data/item_pictures.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/logging.h"
#include "review/review_store.h"

using namespace review;

namespace {

constexpr int kTile = 40;
constexpr int kPictureSide = 16;
constexpr int kGap = 6;
constexpr int kHeading = 30;
constexpr int kMargin = 10;

QColor StateColour(Knowledge k) {
  switch (k) {
    case Knowledge::New: return QColor(215, 218, 226);
    case Knowledge::Learning: return QColor(255, 196, 84);
    case Knowledge::Known: return QColor(96, 196, 110);
    case Knowledge::Due: return QColor(240, 96, 84);
  }
  return Qt::white;
}

QString Swatch(Knowledge k) {
  return QStringLiteral("<span style='background:%1; color:%1'>&nbsp;&nbsp;&nbsp;&nbsp;</span> "
                        "<b>%2</b>：%3")
      .arg(StateColour(k).name(), KnowledgeName(k), KnowledgeMeaning(k));
}

}  // namespace

QString KnowledgeSummaryText(const KnowledgeView& view) {
  return QStringLiteral("认识的字 %1 个（学过 %2 个）　　今天该复习 %3 个")
      .arg(view.known)
      .arg(view.learned)
      .arg(view.due);
}

// --- grid ------------------------------------------------------------------------------------

TKnowledgeGrid::TKnowledgeGrid(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void TKnowledgeGrid::SetItems(const QStringList& chapters, const QStringList& items,
                              const QList<int>& chapterOf, const QList<Knowledge>& states) {
  m_chapters = chapters;
  m_items = items;
  m_chapterOf = chapterOf;
  m_states = states;
  m_rows = Layout(width());
  setMinimumHeight(m_rows.isEmpty() ? 0 : m_rows.last().top + kTile + kMargin);
  updateGeometry();
  update();
}

QList<TKnowledgeGrid::Row> TKnowledgeGrid::Layout(int width) const {
  QList<Row> rows;
  const int perRow = qMax(1, (width - 2 * kMargin + kGap) / (kTile + kGap));
  int top = kMargin;
  int i = 0;
  while (i < m_items.size()) {
    const int chapter = m_chapterOf.value(i);
    rows.append({top, chapter, i, 0});
    top += kHeading;
    int end = i;
    while (end < m_items.size() && m_chapterOf.value(end) == chapter) ++end;
    for (; i < end; i = qMin(i + perRow, end)) {
      rows.append({top, -1, i, qMin(perRow, end - i)});
      top += kTile + kGap;
    }
    top += kGap;
  }
  return rows;
}

int TKnowledgeGrid::heightForWidth(int width) const {
  const QList<Row> rows = Layout(width);
  return rows.isEmpty() ? 0 : rows.last().top + kTile + kMargin;
}

void TKnowledgeGrid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_rows = Layout(width());
  setMinimumHeight(m_rows.isEmpty() ? 0 : m_rows.last().top + kTile + kMargin);
}

void TKnowledgeGrid::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRect visible = event->rect();
  QFont heading = SongFont(15, true);
  QFont tile = SongFont(24, true);
  QFont word = SongFont(14, true);
  // The first row in view, found by bisection over the rows' tops.
  const auto first = std::lower_bound(m_rows.begin(), m_rows.end(), visible.top() - kTile - kGap,
                                      [](const Row& r, int top) { return r.top < top; });
  for (auto row = first; row != m_rows.end() && row->top <= visible.bottom(); ++row) {
    if (row->chapter >= 0 && row->count == 0) {
      p.setFont(heading);
      p.setPen(QColor(40, 60, 130));
      p.drawText(QRect(kMargin, row->top, width() - 2 * kMargin, kHeading - 4),
                 Qt::AlignLeft | Qt::AlignVCenter, m_chapters.value(row->chapter));
      continue;
    }
    for (int k = 0; k < row->count; ++k) {
      const int i = row->first + k;
      const QRect box(kMargin + k * (kTile + kGap), row->top, kTile, kTile);
      const QColor colour = StateColour(m_states.value(i));
      p.setPen(QPen(colour.darker(130), 1));
      p.setBrush(colour);
      p.drawRoundedRect(box, 6, 6);
      p.setPen(QColor(40, 30, 20));
      p.setFont(m_items[i].size() > 1 ? word : tile);
      const QString picture = m_pictures.value(i);
      if (picture.isEmpty()) {
        p.drawText(box, Qt::AlignCenter, m_items[i]);
        continue;
      }
      // The character moves down and left for the picture in the upper right corner.
      p.drawText(box.adjusted(0, 6, -8, 0), Qt::AlignCenter, m_items[i]);
      p.drawPixmap(box.right() - kPictureSide, box.top() + 1,
                   EmojiPixmap(picture, kPictureSide, devicePixelRatioF()));
    }
  }
}

// --- window ----------------------------------------------------------------------------------

TKnowledgeForm::TKnowledgeForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint) {
  setWindowTitle(QStringLiteral("认识的字"));
  const QVariant named = owner ? owner->property(kKnowledgeChildProperty) : QVariant();
  m_child = named.isValid() ? named.toInt() : CurrentChildId();
  setFont(SongFont(12));
  resize(800, 578);
  SetSkyBackground(this);

  // Whose characters they are, when a child's record is shown.
  QString whose;
  QList<children::Child> all;
  if (dm && m_child != children::kNoChild && children::LoadChildren(dm->ConnectionName(), &all, nullptr))
    for (const children::Child& c : all)
      if (c.id == m_child) whose = c.name;
  if (!whose.isEmpty()) setWindowTitle(whose + QStringLiteral("认识的字"));
  Label3D1 = new TLabel3D(whose + QStringLiteral("认识的字"), this);
  Label3D1->setFont(SongFont(24, true));
  Label3D1->setFontColor(RGBColor(0, 0, 255));
  Label3D1->setBevel(bvLowered);
  Label3D1->setTransparent(true);
  SummaryLb = new QLabel(this);
  SummaryLb->setFont(SongFont(20, true));
  SummaryLb->setStyleSheet(QStringLiteral("color: rgb(150, 60, 0);"));
  QuitSb = MakeToolButton(this, QStringLiteral("返回→"),
                          QIcon(QStringLiteral(":/images/verse_quit.png")), QRect(0, 0, 67, 40));
  QuitSb->setFont(SongFont(12, true));
  QuitSb->setFixedSize(67, 40);
  QuitSb->setToolTip(QStringLiteral("返回学习记录"));
  connect(QuitSb, &QToolButton::clicked, this, &QDialog::close);

  LegendLb = new QLabel(this);
  LegendLb->setFont(SongFont(14));
  LegendLb->setTextFormat(Qt::RichText);
  LegendLb->setWordWrap(true);
  LegendLb->setStyleSheet(QStringLiteral(
      "background: rgba(255, 255, 255, 215); border-radius: 8px; padding: 6px 10px;"));
  LegendLb->setText(QStringList{Swatch(Knowledge::Known), Swatch(Knowledge::Learning),
                                Swatch(Knowledge::Due), Swatch(Knowledge::New)}
                        .join(QStringLiteral("<br>")));

  auto* setting = new QLabel(QStringLiteral("“听音找字”每天最多学新字："), this);
  setting->setFont(SongFont(14, true));
  NewPerDaySe = new QSpinBox(this);
  NewPerDaySe->setRange(0, kNewPerDayMax);
  NewPerDaySe->setSuffix(QStringLiteral(" 个"));
  NewPerDaySe->setFont(SongFont(14));
  NewPerDaySe->setToolTip(QStringLiteral("给家长：0 表示只复习学过的字"));

  Grid = new TKnowledgeGrid(this);
  Scroll = new QScrollArea(this);
  Scroll->setWidget(Grid);
  Scroll->setWidgetResizable(true);
  Scroll->setFrameShape(QFrame::NoFrame);
  Scroll->setStyleSheet(QStringLiteral("QScrollArea { background: rgba(255, 255, 255, 200); }"));
  Scroll->viewport()->setAutoFillBackground(false);
  Grid->setAutoFillBackground(false);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(10, 6, 10, 10);
  grid->setSpacing(8);
  grid->addWidget(Label3D1, 0, 0);
  grid->addWidget(SummaryLb, 0, 1);
  grid->addWidget(QuitSb, 0, 3, Qt::AlignRight);
  grid->addWidget(LegendLb, 1, 0, 1, 4);
  auto* settingRow = new QHBoxLayout;
  settingRow->addWidget(setting);
  settingRow->addWidget(NewPerDaySe);
  settingRow->addStretch(1);
  grid->addLayout(settingRow, 2, 0, 1, 4);
  grid->addWidget(Scroll, 3, 0, 1, 4);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(3, 1);

  Reload();
  // The setting is the course's: a seat's login cannot store it.
  if (dm && !dm->EditingOffReason().isEmpty()) {
    NewPerDaySe->setEnabled(false);
    NewPerDaySe->setToolTip(dm->EditingOffReason());
  }
  connect(NewPerDaySe, &QSpinBox::valueChanged, this, [this](int value) {
    QString error;
    if (dm && SaveNewPerDay(dm->ConnectionName(), value, &error)) return;
    qCWarning(lcDb) << "new items a day not stored:" << error;
    platform::MessageBox(this, QStringLiteral("每天学新字的个数没有保存，请检查数据库连接后再试。"),
                         QStringLiteral("认识的字"), platform::MB_OK | platform::MB_ICONERROR);
    Reload();
  });
}

void TKnowledgeForm::Reload() {
  const int today = int(platform::CurrentClock().Now().date().toJulianDay());
  QStringList chapters, items;
  QList<int> chapterOf;
  ChildCards cards;
  int perDay = kNewPerDayDefault;
  QString error;
  const QString c = dm ? dm->ConnectionName() : QString();
  const bool ok = !c.isEmpty() && LoadCourseItems(c, &chapters, &items, &chapterOf, &error) &&
                  LoadChildCards(c, m_child, today, &cards, nullptr, &error) &&
                  LoadNewPerDay(c, &perDay, &error);
  m_view = SummariseKnowledge(cards, items, today);
  Grid->SetItems(chapters, items, chapterOf, m_view.states);
  // The proposal here comes from the name alone: the items' texts are not read.
  QHash<QString, QString> chosen;
  QString why;
  if (ok && !LoadChosenPictures(c, &chosen, &why)) qCInfo(lcDb) << "no chosen pictures:" << why;
  QStringList shown;
  for (const QString& name : items)
    shown << pictures::ItemPicture(chosen.contains(name) ? QVariant(chosen.value(name)) : QVariant(),
                                   name, QString());
  Grid->SetPictures(shown);
  SummaryLb->setText(ok ? KnowledgeSummaryText(m_view)
                        : QStringLiteral("读不到学习情况：请检查数据库连接后再打开"));
  if (!ok) qCWarning(lcDb) << "knowledge view:" << error;
  const QSignalBlocker quiet(NewPerDaySe);
  NewPerDaySe->setValue(perDay);
}
