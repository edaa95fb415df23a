// SPDX-License-Identifier: GPL-3.0-or-later
#include "children/child_picker.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/current_child.h"
#include "app/main_form.h"
#include "app/parent_gate.h"
#include "app/pictures.h"
#include "app/prompt_player.h"
#include "app/quit_request.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "controls/label_3d.h"
#include "data/data_module.h"
#include "platform/logging.h"

namespace {

// The biggest buttons (picture and name below) with which every child fits on the screen.
struct Grid {
  int columns = 1, button = 168;
  int Height() const { return button + button / 8; }
  int Gap() const { return button / 6; }
  int Picture() const { return button * 5 / 8; }
  int FontPx() const { return qBound(14, button / 6, 26); }
};
Grid Fit(int count, int width, int height) {
  Grid g;
  for (g.button = 168; g.button > 64; g.button -= 4) {
    g.columns = qMax(1, qMin(count, (width + g.Gap()) / (g.button + g.Gap())));
    const int rows = (count + g.columns - 1) / g.columns;
    if (rows * (g.Height() + g.Gap()) - g.Gap() <= height) break;
  }
  return g;
}

QString ChildButtonStyle() {
  return QStringLiteral(
      "QToolButton { background: rgba(255, 255, 255, 190); border: 3px solid rgb(255, 205, 90);"
      " border-radius: 18px; color: rgb(110, 50, 0); padding: 4px; }"
      "QToolButton:hover { background: white; border-color: rgb(255, 140, 0); }"
      "QToolButton:checked { background: rgb(255, 244, 200); border-color: rgb(230, 90, 0); }");
}

}  // namespace

TChildPickerForm::TChildPickerForm(QWidget* owner)
    : QDialog(owner, Qt::Window | Qt::FramelessWindowHint),
      m_background(new TMenuBackground(this)),
      m_grid(new QWidget(this)) {
  setObjectName(QStringLiteral("ChildPickerForm"));
  setWindowTitle(QStringLiteral("谁来学习？"));
  m_background->lower();

  TitleLb = new TLabel3D(QStringLiteral("谁来学习？"), this);
  TitleLb->setFont(SongFont(40, true));
  TitleLb->setFontColor(RGBColor(230, 60, 0));
  TitleLb->setBevel(bvLowered);
  TitleLb->setTransparent(true);

  EmptyLb = new QLabel(QStringLiteral("还没有小朋友。请家长点右下角的“管理”，为每个小朋友起名字、选一个动物。"),
                       this);
  EmptyLb->setFont(SongFont(20, true));
  EmptyLb->setWordWrap(true);
  EmptyLb->setAlignment(Qt::AlignCenter);
  EmptyLb->setStyleSheet(QStringLiteral("color: rgb(110, 50, 0);"));

  ManageSb = MakeToolButton(this, QStringLiteral("管理"),
                            QIcon(QStringLiteral(":/images/menu_children.png")), QRect(0, 0, 61, 40));
  ManageSb->setFont(SongFont(12, true));
  ManageSb->setToolTip(QStringLiteral("添加、修改、删除小朋友（给家长和老师）"));
  QuitSb = MakeToolButton(this, QString(), QIcon(QStringLiteral(":/images/menu_quit.png")),
                          QRect(0, 0, 67, 40));
  QuitSb->setFont(SongFont(12, true));
  connect(ManageSb, &QToolButton::clicked, this, &TChildPickerForm::ManageSbClick);
  connect(QuitSb, &QToolButton::clicked, this, &TChildPickerForm::QuitSbClick);

  resize(TMainForm::kDesignWidth, TMainForm::kDesignHeight);
  StartMaximized(this);
  Reload();
}

void TChildPickerForm::Reload() {
  qDeleteAll(ChildSbs);
  ChildSbs.clear();
  QString error;
  if (dm && !children::LoadChildren(dm->ConnectionName(), &m_children, &error)) {
    qCWarning(lcDb) << "children: cannot read the profiles:" << error;
    m_children.clear();
    EmptyLb->setText(QStringLiteral("无法读取小朋友的名单，请检查数据库连接后再试。"));
  }
  // A child removed meanwhile is no longer chosen.
  const int current = CurrentChildId();
  if (current != children::kNoChild &&
      std::none_of(m_children.begin(), m_children.end(),
                   [&](const children::Child& c) { return c.id == current; }))
    SetCurrentChild({});
  for (int i = 0; i < m_children.size(); ++i) {
    const children::Child& child = m_children[i];
    auto* b = new QToolButton(m_grid);
    b->setObjectName(QStringLiteral("ChildSb%1").arg(i));
    b->setText(child.name);
    b->setIcon(PictureIcon(children::PictureResource(child.picture)));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCheckable(true);
    b->setChecked(child.id == CurrentChildId());
    b->setToolTip(child.name);
    b->setStyleSheet(ChildButtonStyle());
    connect(b, &QToolButton::clicked, this, [this, i] { ChildSbClick(i); });
    SpeakButton(b, child.name);
    b->show();
    ChildSbs << b;
  }
  EmptyLb->setVisible(m_children.isEmpty());
  const bool chosen = CurrentChildId() != children::kNoChild;
  QuitSb->setText(chosen ? QStringLiteral("返回→") : QStringLiteral("退出"));
  QuitSb->setToolTip(chosen ? QStringLiteral("回到主界面") : QStringLiteral("退出本系统"));
  Layout();
}

void TChildPickerForm::Layout() {
  const int titleTop = qMax(12, height() / 14);
  TitleLb->move((width() - TitleLb->width()) / 2, titleTop);
  const int below = titleTop + TitleLb->height() + 16;
  const int bottom = 64;  // the adult's buttons
  const Grid grid = Fit(int(ChildSbs.size()), width() - 48, height() - below - bottom);
  const int gap = grid.Gap(), columns = grid.columns, h = grid.Height();
  const int rows = (int(ChildSbs.size()) + columns - 1) / columns;
  const int fullWidth = columns * grid.button + (columns - 1) * gap;
  for (int i = 0; i < ChildSbs.size(); ++i) {
    QToolButton* b = ChildSbs[i];
    b->setFixedSize(grid.button, h);
    b->setIconSize(QSize(grid.Picture(), grid.Picture()));
    // A long name gets smaller type rather than being cut.
    int px = grid.FontPx();
    while (px > 10 && QFontMetrics(SongFont(px, true)).horizontalAdvance(b->text()) > grid.button - 14)
      --px;
    b->setFont(SongFont(px, true));
    // The last row is centred under the others.
    const int row = i / columns;
    const int inRow = row == rows - 1 ? int(ChildSbs.size()) - row * columns : columns;
    const int rowWidth = inRow * grid.button + (inRow - 1) * gap;
    b->move((fullWidth - rowWidth) / 2 + (i % columns) * (grid.button + gap), row * (h + gap));
  }
  const int gridHeight = qMax(0, rows * h + (rows - 1) * gap);
  m_grid->resize(fullWidth, gridHeight);
  m_grid->move((width() - fullWidth) / 2,
               qMax(below, below + (height() - below - bottom - gridHeight) / 2));
  EmptyLb->setGeometry(width() / 2 - 300, height() / 2 - 60, 600, 120);
  QuitSb->move(width() - QuitSb->width() - 16, height() - QuitSb->height() - 12);
  ManageSb->move(QuitSb->x() - ManageSb->width() - 8, QuitSb->y());
}

void TChildPickerForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  m_background->setGeometry(rect());
  Layout();
}

void TChildPickerForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  SayPrompt(QStringLiteral("谁来学习？"));
  QStringList names;
  for (const children::Child& c : m_children) names << c.name;
  PreparePrompts(names);
}

void TChildPickerForm::ChildSbClick(int index) {
  if (index < 0 || index >= m_children.size()) return;
  SetCurrentChild(m_children[index]);
  accept();
}

void TChildPickerForm::ManageSbClick() {
  // A seat's login cannot write the profiles: it says so rather than fail at the first change.
  if (RefuseEditing(this) || !PassParentGate(this)) return;
  ShowScreen(QStringLiteral("TChildrenForm"), this);
  Reload();
  // With one child left there is nothing to choose between.
  if (m_children.size() == 1) {
    SetCurrentChild(m_children.first());
    accept();
  }
}

void TChildPickerForm::QuitSbClick() {
  if (CurrentChildId() != children::kNoChild || m_children.isEmpty()) {
    accept();
    return;
  }
  if (MainForm) MainForm->QuitSbClick();
}

void TChildPickerForm::reject() {
  // The program ending (退出 answered 是) closes every window, this one too.
  if (CurrentChildId() != children::kNoChild || m_children.isEmpty() || QuitRequested())
    QDialog::reject();
}

bool children::ChooseAtStart(const QString& connection) {
  QList<Child> all;
  QString error;
  if (!LoadChildren(connection, &all, &error)) {
    qCWarning(lcDb) << "children: cannot read the profiles at start:" << error;
    return false;
  }
  if (all.size() == 1) SetCurrentChild(all.first());
  return all.size() >= 2;
}
