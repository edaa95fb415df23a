// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/item_list.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QToolButton>

#include "app/drop_down.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "data/item_pictures.h"
#include "editors/item_editor.h"
#include "platform/dataset.h"

namespace {

constexpr int kChapterLeft = 8;
constexpr int kComboWidth = 105;
// The bar's buttons start after the label and the chapter selector.
constexpr int kFirstButtonLeft = kChapterLeft + 64 + kComboWidth + 16;

// The grid's columns: the poem text and the translation are not shown, the pinyin is.
QList<editors::GridColumn> GridColumns(const LessonKind& k) {
  QList<editors::GridColumn> columns = {
      {k.numberField, 60, false}, {k.nameField, k.id == LessonKindId::English ? 230 : 60, true}};
  if (k.id == LessonKindId::Character) columns.append({k.textField, 170, false});
  columns.append({QStringLiteral("章节"), 100, false});
  columns.append({QStringLiteral("声音"), 400, false});
  return columns;
}

}  // namespace

TItemListForm::TItemListForm(QWidget* owner, LessonKindId kind)
    : editors::TListManagerForm(owner, Kind(kind).itemListCaption, kFirstButtonLeft),
      m_kind(Kind(kind)),
      m_showEditor([](TItemEditorForm* editor) { ExecModal(editor); }) {
  Label1 = new QLabel(QStringLiteral("选择章节"), TopBar());
  Label1->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
  Label1->setGeometry(kChapterLeft, 0, 64, editors::kTopBarHeight);

  CB1 = new QComboBox(TopBar());
  CB1->setEditable(false);
  CB1->setGeometry(kChapterLeft + 64, (editors::kTopBarHeight - 22) / 2, kComboWidth, 22);
  CB1->setStyleSheet(QStringLiteral(
      "QComboBox { background: rgb(255, 226, 160); border: 1px solid rgb(200, 150, 60);"
      " padding-left: 3px; }"
      "QComboBox QAbstractItemView { background: rgb(255, 236, 190); color: black;"
      " selection-background-color: rgb(150, 80, 0); selection-color: white; }"));
  CapDropDownWidth(CB1);
  connect(CB1, &QComboBox::currentIndexChanged, this, [this] { CB1Change(); });

  ShowDataset(dm->goQueryds, GridColumns(m_kind));
}

void TItemListForm::showEvent(QShowEvent* event) {
  editors::TListManagerForm::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TItemListForm::FormShow() {
  const QSignalBlocker quiet(CB1);
  CB1->clear();
  platform::Dataset* q = dm->ALLQuery;
  q->Close();
  q->SqlClear();
  q->SqlAdd(m_kind.sqlChapters);
  if (!q->Open()) ReportError(q->LastError());
  for (q->First(); !q->Eof(); q->Next()) CB1->addItem(q->Field(QStringLiteral("章节")));
  CB1->setCurrentIndex(0);
  if (!CB1->currentText().isEmpty()) {
    LoadItems();
  } else {
    // No chapter: the grid must not go on showing whatever goQuery held for another screen.
    dm->goQuery->Close();
  }
}

void TItemListForm::CB1Change() { LoadItems(); }

void TItemListForm::LoadItems() {
  platform::Dataset* q = dm->goQuery;
  q->Close();
  q->SqlClear();
  q->SqlAdd(m_kind.sqlItemsLine1);
  q->SetParam(QStringLiteral("zzj"), CB1->currentText());
  q->SqlAdd(m_kind.sqlItemsLine2);
  if (!q->Open()) ReportError(q->LastError());
}

void TItemListForm::AddSbClick() {
  // Without a chosen chapter goQuery holds no items of this list, so nothing counts.
  if (CB1->currentText().isEmpty()) return;
  if (dm->goQuery->RecordCount() >= m_kind.itemsPerChapter) {
    editors::Warn(this, m_kind.limitMessage);
    return;
  }
  TItemEditorForm* editor = NewItemEditor(this, m_kind.id);
  editor->ModifyBtn->hide();
  editor->SetChapter(CB1->currentText());
  // Numbers are unique across every chapter of the kind, which an adult cannot see from one
  // chapter: propose the next free one, selected so that typing replaces it.
  editor->numed->setText(QString::number(NextFreeNumber()));
  editor->numed->selectAll();
  m_showEditor(editor);
}

long long TItemListForm::NextFreeNumber() {
  platform::Dataset* q = dm->nameQuery;
  q->Close();
  q->SqlClear();
  q->SqlAdd(QStringLiteral("select max(%1) from %2").arg(m_kind.numberField, m_kind.itemTable));
  long long highest = 0;
  if (q->Open() && !q->IsEmpty()) highest = q->ValueAt(0, 0).toLongLong();
  q->Close();
  return highest + 1;
}

void TItemListForm::ModifySbClick() {
  platform::Dataset* q = dm->goQuery;
  if (CB1->currentText().isEmpty() || q->IsEmpty()) return;
  TItemEditorForm* editor = NewItemEditor(this, m_kind.id);
  editor->AddBtn->hide();
  editor->numed->setText(q->Field(m_kind.numberField));
  editor->nameed->setText(q->Field(m_kind.nameField));
  EditOldName = q->Field(m_kind.nameField);
  editor->SetChapter(CB1->currentText());
  editor->SetText(q->Field(m_kind.textField));
  editor->SetSoundPath(q->Field(QStringLiteral("声音")));
  if (m_kind.pictures && !q->FieldIsNull(pictures::kColumn))
    editor->SetPictureChoice(q->Field(pictures::kColumn));
  m_showEditor(editor);
}

void TItemListForm::DelSbClick() {
  platform::Dataset* q = dm->goQuery;
  if (CB1->currentText().isEmpty() || q->IsEmpty()) return;
  if (!editors::ConfirmDelete(this)) return;
  // Only the row goes; the recording it names stays on disk.
  if (!q->Delete() || !q->Reopen()) ReportError(q->LastError());
}
