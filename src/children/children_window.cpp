// SPDX-License-Identifier: GPL-3.0-or-later
#include "children/children_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/course_notice.h"
#include "app/current_child.h"
#include "app/practice_log.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "packs/lesson_pack.h"
#include "platform/dialogs.h"
#include "platform/logging.h"

namespace {

QToolButton* TextButton(QWidget* parent, const QString& text) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setFocusPolicy(Qt::NoFocus);
  b->setFont(SongFont(15, true));
  b->setMinimumSize(92, 36);
  b->setStyleSheet(
      QStringLiteral("QToolButton { border: 1px solid rgb(200, 160, 60); border-radius: 8px;"
                     " background: rgb(255, 246, 214); color: rgb(120, 70, 0); padding: 2px 10px; }"
                     "QToolButton:hover { border-color: rgb(230, 120, 0); }"
                     "QToolButton:disabled { color: rgb(180, 160, 130); }"));
  return b;
}

// The driver's words go to the log; the adult reads what to do.
QString DatabaseTrouble(const QString& error) {
  if (error.isEmpty() || error.at(0).unicode() >= 0x80) return error;
  qCWarning(lcDb) << "children:" << error;
  return QStringLiteral("数据库没有接受这次修改，请检查数据库连接后再试。");
}

}  // namespace

TChildrenForm::TChildrenForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("管理小朋友"));
  setFont(SongFont(14));
  if (dm) m_connection = dm->ConnectionName();
  SetSkyBackground(this);

  ChildList = new QListWidget(this);
  ChildList->setIconSize(QSize(40, 40));
  ChildList->setFont(SongFont(18, true));
  ChildList->setMinimumWidth(250);
  ChildList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ChildList->setTextElideMode(Qt::ElideNone);
  ChildList->setStyleSheet(QStringLiteral(
      "QListWidget { background: rgba(255, 255, 255, 220); border: 1px solid rgb(200, 160, 60);"
      " border-radius: 8px; } QListWidget::item { padding: 3px; }"
      "QListWidget::item:selected { background: rgb(255, 220, 120); color: rgb(90, 40, 0); }"));
  CountLb = new QLabel(this);
  CountLb->setFont(SongFont(12));

  auto* nameLabel = new QLabel(QStringLiteral("名字（最多 %1 个字）:").arg(children::kNameMaxChars),
                               this);
  nameLabel->setFont(SongFont(15, true));
  nameed = new QLineEdit(this);
  nameed->setFont(SongFont(20, true));
  nameed->setMaxLength(40);
  auto* pictureLabel = new QLabel(QStringLiteral("选一个动物:"), this);
  pictureLabel->setFont(SongFont(15, true));
  auto* pictureGrid = new QGridLayout;
  pictureGrid->setSpacing(6);
  Pictures = new QButtonGroup(this);
  Pictures->setExclusive(true);
  for (int i = 0; i < children::kPictureCount; ++i) {
    auto* b = new QToolButton(this);
    b->setIcon(QIcon(children::PictureResource(i)));
    b->setIconSize(QSize(48, 48));
    b->setCheckable(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(children::AnimalName(i));
    b->setStyleSheet(QStringLiteral(
        "QToolButton { border: 2px solid transparent; border-radius: 10px; background: transparent; }"
        "QToolButton:hover { border-color: rgb(255, 190, 80); }"
        "QToolButton:checked { border-color: rgb(230, 90, 0); background: rgb(255, 240, 190); }"));
    Pictures->addButton(b, i);
    pictureGrid->addWidget(b, i / 8, i % 8);
  }
  Pictures->button(0)->setChecked(true);

  AddSb = TextButton(this, QStringLiteral("新增"));
  AddSb->setToolTip(QStringLiteral("用上面的名字和动物添加一个小朋友"));
  SaveSb = TextButton(this, QStringLiteral("保存修改"));
  SaveSb->setToolTip(QStringLiteral("把选中的小朋友改成上面的名字和动物"));
  DeleteSb = TextButton(this, QStringLiteral("删除"));
  DeleteSb->setToolTip(QStringLiteral("删除选中的小朋友和他的学习记录"));
  GateCb = new QCheckBox(QStringLiteral("家长验证：打开编辑、管理和清除记录之前先回答一道算术题"), this);
  GateCb->setFont(SongFont(13));
  GateCb->setFocusPolicy(Qt::NoFocus);
  CourseSb = TextButton(this, QStringLiteral("添加入门课程"));
  CourseSb->setToolTip(
      QStringLiteral("把入门课程（五百多个汉字、五十多首古诗、一百五十多个英语单词）加在现有章节之后"));
  QuitSb = TextButton(this, QStringLiteral("返回"));
  GameNoticeLb = new QLabel(this);
  GameNoticeLb->setObjectName(QStringLiteral("GameNoticeLb"));
  GameNoticeLb->setFont(SongFont(13));
  GameNoticeLb->setWordWrap(true);
  GameNoticeLb->setStyleSheet(QStringLiteral("color: rgb(170, 40, 0);"));
  // A game that cannot ask some of the course tells the child only that it cannot start; the
  // adult reads here which items and why.
  GameNoticeLb->setText(CourseNoticeText());
  GameNoticeLb->setVisible(!GameNoticeLb->text().isEmpty());

  auto* left = new QVBoxLayout;
  left->addWidget(ChildList, 1);
  left->addWidget(CountLb);
  auto* actions = new QHBoxLayout;
  actions->addWidget(AddSb);
  actions->addWidget(SaveSb);
  actions->addWidget(DeleteSb);
  actions->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addWidget(nameLabel);
  right->addWidget(nameed);
  right->addSpacing(6);
  right->addWidget(pictureLabel);
  right->addLayout(pictureGrid);
  right->addSpacing(6);
  right->addLayout(actions);
  right->addStretch(1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(GateCb, 1);
  bottom->addWidget(CourseSb);
  bottom->addWidget(QuitSb);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(14, 12, 14, 12);
  grid->setHorizontalSpacing(16);
  grid->addLayout(left, 0, 0);
  grid->addLayout(right, 0, 1);
  grid->addWidget(GameNoticeLb, 1, 0, 1, 2);
  grid->addLayout(bottom, 2, 0, 1, 2);
  grid->setColumnStretch(1, 1);

  connect(ChildList, &QListWidget::currentRowChanged, this, &TChildrenForm::ShowSelected);
  connect(AddSb, &QToolButton::clicked, this, &TChildrenForm::AddSbClick);
  connect(SaveSb, &QToolButton::clicked, this, &TChildrenForm::SaveSbClick);
  connect(DeleteSb, &QToolButton::clicked, this, &TChildrenForm::DeleteSbClick);
  connect(GateCb, &QCheckBox::clicked, this, &TChildrenForm::GateCbClick);
  connect(CourseSb, &QToolButton::clicked, this, &TChildrenForm::CourseSbClick);
  connect(QuitSb, &QToolButton::clicked, this, &QDialog::close);

  GateCb->setChecked(m_connection.isEmpty() || children::ParentGateOn(m_connection));
  resize(720, 470);
  Reload();
}

void TChildrenForm::Reload() {
  const int keep = Selected() >= 0 ? m_children[Selected()].id : children::kNoChild;
  QString error;
  if (m_connection.isEmpty() || !children::LoadChildren(m_connection, &m_children, &error)) {
    m_children.clear();
    Warn(m_connection.isEmpty() ? QStringLiteral("没有打开课程数据库。")
                                : QStringLiteral("无法读取小朋友的名单：%1").arg(DatabaseTrouble(error)));
  }
  ChildList->blockSignals(true);
  ChildList->clear();
  int row = -1;
  for (int i = 0; i < m_children.size(); ++i) {
    const children::Child& c = m_children[i];
    ChildList->addItem(new QListWidgetItem(QIcon(children::PictureResource(c.picture)), c.name));
    if (c.id == keep) row = i;
  }
  ChildList->setCurrentRow(row);
  ChildList->blockSignals(false);
  CountLb->setText(m_children.isEmpty() ? QStringLiteral("还没有小朋友，在右边起名字、选动物，再点“新增”。")
                                        : QStringLiteral("共 %1 个小朋友").arg(m_children.size()));
  CountLb->setWordWrap(true);
  ShowSelected();
}

int TChildrenForm::Selected() const {
  const int row = ChildList->currentRow();
  return row >= 0 && row < m_children.size() ? row : -1;
}

void TChildrenForm::ShowSelected() {
  const int row = Selected();
  SaveSb->setEnabled(row >= 0);
  DeleteSb->setEnabled(row >= 0);
  if (row < 0) return;
  nameed->setText(m_children[row].name);
  if (QAbstractButton* b = Pictures->button(m_children[row].picture)) b->setChecked(true);
}

void TChildrenForm::Warn(const QString& text) {
  platform::MessageBox(this, text, QStringLiteral("注意"), platform::MB_OK | platform::MB_ICONWARNING);
}

void TChildrenForm::AddSbClick() {
  children::Child added;
  QString error;
  if (!children::AddChild(m_connection, nameed->text(), Pictures->checkedId(), &added, &error)) {
    Warn(DatabaseTrouble(error));
    nameed->setFocus();
    return;
  }
  Reload();
  for (int i = 0; i < m_children.size(); ++i)
    if (m_children[i].id == added.id) ChildList->setCurrentRow(i);
}

void TChildrenForm::SaveSbClick() {
  const int row = Selected();
  if (row < 0) return;
  children::Child changed = m_children[row];
  changed.name = nameed->text();
  changed.picture = Pictures->checkedId();
  QString error;
  if (!children::UpdateChild(m_connection, changed, &error)) {
    Warn(DatabaseTrouble(error));
    return;
  }
  // The child at this seat keeps their new name and picture in the menu.
  if (changed.id == CurrentChildId()) {
    changed.name = changed.name.trimmed();
    SetCurrentChild(changed);
  }
  Reload();
}

void TChildrenForm::DeleteSbClick() {
  const int row = Selected();
  if (row < 0) return;
  const children::Child child = m_children[row];
  int notes = 0;
  QString error;
  if (!children::CountNotes(m_connection, child.id, &notes, &error)) {
    Warn(DatabaseTrouble(error));
    return;
  }
  if (platform::MessageBox(
          this,
          QStringLiteral("确定要删除小朋友“%1”吗？\n%1的学习记录（%2 条）也会一起删除，不能恢复。")
              .arg(child.name)
              .arg(notes),
          QStringLiteral("删除小朋友"), platform::MB_YESNO | platform::MB_ICONQUESTION) !=
      platform::IDYES)
    return;
  records::Flush(2000);  // or a note still on its way would outlive the child
  if (!children::RemoveChild(m_connection, child.id, &notes, &error)) {
    Warn(QStringLiteral("没有删除：%1").arg(DatabaseTrouble(error)));
    return;
  }
  if (child.id == CurrentChildId()) SetCurrentChild({});
  Reload();
}

void TChildrenForm::GateCbClick(bool on) {
  QString error;
  if (!children::SetParentGateOn(m_connection, on, &error)) {
    Warn(DatabaseTrouble(error));
    GateCb->setChecked(!on);
  }
}

void TChildrenForm::CourseSbClick() {
  // A seat's login may not change the course: it says why instead of failing half-way.
  if (RefuseEditing(this)) return;
  const QStringList files = packs::StarterCourseFiles();
  if (files.isEmpty()) {
    Warn(QStringLiteral("找不到入门课程的文件，本程序可能没有完整安装。请重新安装本程序。"));
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const packs::CourseResult r = packs::AddCourse(m_connection, files);
  QApplication::restoreOverrideCursor();
  if (r.alreadyAdded) {
    platform::MessageBox(this, r.error, QStringLiteral("入门课程"), platform::MB_OK);
    return;
  }
  if (!r.ok) {
    qCWarning(lcDb) << "starter course:" << r.error;
    Warn(r.error);
    return;
  }
  QStringList lines{QStringLiteral("入门课程已经加在原有章节之后：")};
  for (const packs::CourseKindResult& k : r.kinds) {
    const auto [what, unit] =
        k.kind->id == LessonKindId::Character ? std::pair{QStringLiteral("认字"), QStringLiteral("个字")}
        : k.kind->id == LessonKindId::Poem    ? std::pair{QStringLiteral("学诗"), QStringLiteral("首")}
                                              : std::pair{QStringLiteral("英语"), QStringLiteral("个单词")};
    lines << QStringLiteral("%1：第%2章起，%3章，%4%5").arg(what).arg(k.firstChapter).arg(k.chapters)
                 .arg(k.items).arg(unit);
  }
  if (!r.renamed.isEmpty())
    lines << QStringLiteral("这些章节因为名字已经有了，改名为：%1").arg(r.renamed.join(QStringLiteral("、")));
  lines << QStringLiteral("录音在第一次播放时自动合成。");
  platform::MessageBox(this, lines.join(QLatin1Char('\n')), QStringLiteral("入门课程"), platform::MB_OK);
}
