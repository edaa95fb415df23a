// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/editor_frame.h"

#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QResizeEvent>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>

#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "lessons/lesson_screen.h"
#include "data/data_module.h"
#include "platform/dataset.h"
#include "platform/dataset_model.h"
#include "platform/dialogs.h"

namespace editors {

namespace {

const QString kAttention = QStringLiteral("注意");
const QColor kBarTop(255, 251, 230);
const QColor kBarBottom(255, 214, 120);
const QColor kGridYellow(255, 255, 0);
const QColor kTitleBlue(0, 0, 255);
const QColor kNameRed(255, 0, 0);
const QColor kDialogFace(255, 248, 222);
const QColor kPanelFace(226, 240, 255);
constexpr int kQuitMargin = 12;
constexpr int kSaveButtonWidth = 76;
constexpr int kSaveButtonHeight = 60;

void Fill(QWidget* w, const QBrush& brush) {
  QPalette pal = w->palette();
  pal.setBrush(QPalette::Window, brush);
  w->setPalette(pal);
  w->setAutoFillBackground(true);
}

// The name column of a grid: bold and red.
class EmphasisDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->font.setBold(true);
    option->palette.setColor(QPalette::Text, kNameRed);
  }
};

QToolButton* SaveButton(QWidget* parent, const QString& caption, const QString& picture,
                        const QRect& at) {
  QToolButton* b = MakeToolButton(parent, caption, EditorPicture(picture), at, 32);
  b->setFont(SongFont(14, true));
  return b;
}

}  // namespace

QIcon EditorPicture(const QString& name) {
  return QIcon(QStringLiteral(":/images/editor_%1.png").arg(name));
}

void Warn(QWidget* owner, const QString& text) {
  platform::MessageBox(owner, text, kAttention, platform::MB_OK | platform::MB_ICONWARNING);
}

void StoreFailed(QWidget* owner, const QString& text) {
  platform::MessageBox(owner, text, kAttention, platform::MB_OK | platform::MB_ICONERROR);
}

void SaveFailed(QWidget* owner, platform::WriteFailure cause, const QString& duplicate) {
  using platform::WriteFailure;
  QString text;
  switch (cause) {
    case WriteFailure::Duplicate:
      text = duplicate;
      break;
    case WriteFailure::ChangedMeanwhile:
      text = QStringLiteral("这条记录已被别人修改或删除，没有储存。请关闭编辑窗口，重新打开后再试。");
      break;
    case WriteFailure::ReadOnly:
      text = QStringLiteral(
          "课程数据库现在不能写入，没有储存。编辑已关闭，请让管理员检查数据库文件和它所在的文件夹。");
      if (dm) dm->SetEditingOff(QStringLiteral("课程数据库不能写入"));
      break;
    case WriteFailure::DiskFull:
      text = QStringLiteral("磁盘已满，没有储存。请删除一些不用的文件，腾出空间后再试。");
      break;
    case WriteFailure::ServerAway:
      text = QStringLiteral("与数据库服务器的连接断开了，没有储存。服务器恢复后再试一次即可。");
      break;
    case WriteFailure::NotAllowed:
      text = QStringLiteral("这台电脑只能学习，不能修改课程，没有储存。要修改课程，请到老师的电脑上。");
      break;
    case WriteFailure::None:
    case WriteFailure::Other:
      text = QStringLiteral("储存出错，没有储存。原因已记入日志，请让管理员查看。");
      break;
  }
  StoreFailed(owner, text);
}

bool ConfirmDelete(QWidget* owner) {
  return platform::MessageBox(owner, QStringLiteral("确定要进行删除操作吗?"), kAttention,
                              platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES;
}

void ReloadLessonScreen(QWidget* opener) {
  if (LessonScreen* screen = FindLessonScreen(opener)) screen->LoadChapters();
}

// --- list manager ---------------------------------------------------------------------------

TListManagerForm::TListManagerForm(QWidget* owner, const QString& caption, int firstButtonLeft)
    : QDialog(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_opener(owner),
      m_topBar(new QWidget(this)) {
  setWindowTitle(caption);
  setFont(SongFont(12));
  QLinearGradient bar(0, 0, 0, kTopBarHeight);
  bar.setColorAt(0, kBarTop);
  bar.setColorAt(1, kBarBottom);
  Fill(m_topBar, bar);

  const int top = (kTopBarHeight - kBarButtonHeight) / 2;
  auto button = [&](const QString& text, const QString& picture, int left) {
    return MakeToolButton(m_topBar, text, EditorPicture(picture),
                          QRect(left, top, kBarButtonWidth, kBarButtonHeight));
  };
  AddSb = button(QStringLiteral("新增"), QStringLiteral("add"), firstButtonLeft);
  ModifySb =
      button(QStringLiteral("修改"), QStringLiteral("modify"), firstButtonLeft + kBarButtonWidth);
  DelSb = button(QStringLiteral("删除"), QStringLiteral("delete"),
                 firstButtonLeft + 2 * kBarButtonWidth);
  quitsb = button(QStringLiteral("返回→"), QStringLiteral("return"), 0);

  db1 = new QTableView(this);
  m_emphasis = new EmphasisDelegate(this);
  db1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  db1->setSelectionBehavior(QAbstractItemView::SelectRows);
  db1->setSelectionMode(QAbstractItemView::SingleSelection);
  db1->verticalHeader()->hide();
  db1->verticalHeader()->setDefaultSectionSize(24);
  db1->horizontalHeader()->setHighlightSections(false);
  db1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The last column takes the room left, so a long chapter name or path is not cut short.
  db1->horizontalHeader()->setStretchLastSection(true);
  QPalette pal = db1->palette();
  pal.setColor(QPalette::Base, kGridYellow);
  db1->setPalette(pal);
  QPalette titles = db1->horizontalHeader()->palette();
  titles.setColor(QPalette::ButtonText, kTitleBlue);
  titles.setColor(QPalette::WindowText, kTitleBlue);
  db1->horizontalHeader()->setPalette(titles);

  // Editing may go off while the list is open (the disk fills, a save finds the file read-only).
  connect(AddSb, &QToolButton::clicked, this, [this] {
    if (!RefuseEditing(this)) AddSbClick();
  });
  connect(ModifySb, &QToolButton::clicked, this, [this] {
    if (!RefuseEditing(this)) ModifySbClick();
  });
  connect(DelSb, &QToolButton::clicked, this, [this] {
    if (!RefuseEditing(this)) DelSbClick();
  });
  connect(quitsb, &QToolButton::clicked, this, [this] { quitsbClick(); });
  connect(db1, &QTableView::doubleClicked, this, [this] {
    if (!RefuseEditing(this)) ModifySbClick();
  });

  StartMaximized(this);
  resize(800, 578);
}

void TListManagerForm::ShowDataset(platform::DatasetModel* model,
                                   const QList<GridColumn>& columns) {
  m_model = model;
  m_columns = columns;
  db1->setModel(model);
  platform::Dataset* data = model->dataset();
  auto follow = [this, data] {
    const int row = data->RecNo();
    if (row < 0) {
      db1->clearSelection();
    } else if (db1->currentIndex().row() != row) {
      db1->selectRow(row);
    }
  };
  connect(model, &QAbstractItemModel::modelReset, this, [this, follow] {
    ApplyColumns();
    follow();
  });
  connect(data, &platform::Dataset::RowMoved, this, follow);
  connect(db1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [data](const QModelIndex& current) {
            // Only a user's choice moves the dataset, never a pending change.
            if (current.isValid() && current.row() != data->RecNo() &&
                data->state() == platform::Dataset::State::Browse)
              data->MoveTo(current.row());
          });
  ApplyColumns();
  follow();
}

void TListManagerForm::ApplyColumns() {
  if (!m_model) return;
  platform::Dataset* data = m_model->dataset();
  QHeaderView* header = db1->horizontalHeader();
  for (int c = 0; c < m_model->columnCount(); ++c) {
    db1->setColumnHidden(c, true);
    db1->setItemDelegateForColumn(c, nullptr);
  }
  for (int i = 0; i < m_columns.size(); ++i) {
    const int c = data->FieldIndex(m_columns[i].field);
    if (c < 0) continue;
    db1->setColumnHidden(c, false);
    db1->setColumnWidth(c, m_columns[i].width);
    if (m_columns[i].emphasised) db1->setItemDelegateForColumn(c, m_emphasis);
    header->moveSection(header->visualIndex(c), i);
  }
}

void TListManagerForm::quitsbClick() { close(); }

// Closing a dialog in any way ends here: the button, Escape, or the platform closing the window.
void TListManagerForm::reject() {
  const bool first = !m_leaving;
  m_leaving = true;
  QDialog::reject();
  if (first) ReloadLessonScreen(m_opener);
}

void TListManagerForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (m_keyboardReady) return;
  m_keyboardReady = true;
  QList<QToolButton*> buttons = m_topBar->findChildren<QToolButton*>();
  std::sort(buttons.begin(), buttons.end(),
            [](const QToolButton* a, const QToolButton* b) { return a->x() < b->x(); });
  QWidget* previous = db1;
  for (QToolButton* b : buttons) {
    AllowKeyboard(b);
    setTabOrder(previous, b);
    previous = b;
  }
  // Tab leaves the grid for the buttons; the arrows move between rows.
  db1->setTabKeyNavigation(false);
  db1->installEventFilter(this);
  db1->setFocus();
}

bool TListManagerForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == db1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ModifySbClick();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TListManagerForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const int w = event->size().width();
  m_topBar->setGeometry(0, 0, w, kTopBarHeight);
  quitsb->move(w - kBarButtonWidth - kQuitMargin, quitsb->y());
  db1->setGeometry(0, kTopBarHeight, w, qMax(0, event->size().height() - kTopBarHeight));
}

// --- editor ---------------------------------------------------------------------------------

TEditorForm::TEditorForm(QWidget* owner, const QString& caption, const QSize& designSize,
                         int panelWidth)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
  setWindowTitle(caption);
  setFont(SongFont(12));
  setFixedSize(designSize);
  Fill(this, kDialogFace);

  Panel1 = new QFrame(this);
  Panel1->setFrameShape(QFrame::StyledPanel);
  Panel1->setFrameShadow(QFrame::Raised);
  Panel1->setGeometry(8, 8, panelWidth, designSize.height() - 16);
  Fill(Panel1, kPanelFace);
  // Created first: the number box leads the tab order and has the focus on opening.
  numed = new QLineEdit(Panel1);
  nameed = new QLineEdit(Panel1);
  numed->setFocus();
  MoveFocusOnEnter(numed, nameed);

  // The two save buttons share one spot; the opener hides one of them.
  const int left = panelWidth + 8 + (designSize.width() - panelWidth - 8 - kSaveButtonWidth) / 2;
  const QRect saveAt(left, 24, kSaveButtonWidth, kSaveButtonHeight);
  AddBtn = SaveButton(this, QStringLiteral("保存"), QStringLiteral("save"), saveAt);
  ModifyBtn = SaveButton(this, QStringLiteral("保存"), QStringLiteral("save"), saveAt);
  DelSb = SaveButton(this, QStringLiteral("放弃"), QStringLiteral("cancel"),
                     saveAt.translated(0, kSaveButtonHeight + 24));
  connect(AddBtn, &QToolButton::clicked, this, [this] { AddBtnClick(); });
  connect(ModifyBtn, &QToolButton::clicked, this, [this] { ModifyBtnClick(); });
  connect(DelSb, &QToolButton::clicked, this, &QWidget::close);
}

EditorMode TEditorForm::Mode() const {
  return AddBtn->isHidden() ? EditorMode::Modify : EditorMode::Add;
}

QLabel* TEditorForm::AddLabel(QWidget* parent, const QString& text, const QRect& rect) {
  auto* label = new QLabel(text, parent);
  label->setFont(SongFont(14, true));
  label->setGeometry(rect);
  return label;
}

void TEditorForm::MoveFocusOnEnter(QLineEdit* from, QWidget* to) {
  m_enterMovesTo.insert(from, to);
  from->installEventFilter(this);
}

void TEditorForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    QToolButton* save = AddBtn->isHidden() ? ModifyBtn : AddBtn;
    save->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TEditorForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (m_keyboardReady) return;
  m_keyboardReady = true;
  for (QLineEdit* box : findChildren<QLineEdit*>()) box->installEventFilter(this);
  QList<QWidget*> chain;
  for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) chain << w;
  QList<QWidget*> order;
  for (QWidget* w : chain) {
    if (w == AddBtn || w == ModifyBtn || w == DelSb) continue;
    if (auto* b = qobject_cast<QToolButton*>(w)) AllowKeyboard(b);
    if (w->focusPolicy() & Qt::TabFocus) order << w;
  }
  for (QToolButton* b : {AddBtn->isHidden() ? ModifyBtn : AddBtn, DelSb}) {
    AllowKeyboard(b);
    order << b;
  }
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

bool TEditorForm::focusNextPrevChild(bool next) {
  m_tabbing = true;
  const bool moved = QDialog::focusNextPrevChild(next);
  m_tabbing = false;
  return moved;
}

bool TEditorForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    QWidget* next = m_enterMovesTo.value(watched);
    if (next && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      next->setFocus();
      return true;
    }
  } else if (event->type() == QEvent::FocusIn) {
    // A box reached by Tab selects all it holds, and the next key would wipe a number out: the
    // cursor goes to the end instead. (A number proposed on opening stays selected.)
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && m_tabbing) {
      static_cast<QObject*>(box)->event(event);
      box->deselect();
      box->end(false);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TEditorForm::ShowRefusal(const CheckOutcome& outcome, QWidget* textBox) {
  if (outcome.ok()) return;
  if (outcome.error)
    StoreFailed(this, outcome.message);
  else
    Warn(this, outcome.message);
  if (outcome.clearNumber) numed->clear();
  if (outcome.resetName) nameed->setText(EditOldName);
  switch (outcome.focus) {
    case FocusTarget::Number:
      numed->setFocus();
      break;
    case FocusTarget::Name:
      nameed->setFocus();
      break;
    case FocusTarget::Text:
      if (textBox) textBox->setFocus();
      break;
    case FocusTarget::None:
      break;
  }
}

}  // namespace editors
