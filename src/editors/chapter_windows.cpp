// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/chapter_windows.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QToolButton>

#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "lessons/lesson_queries.h"
#include "platform/dataset.h"
#include "platform/logging.h"

namespace {

const QString kNumberField = QStringLiteral("章号");
const QString kNameField = QStringLiteral("章节");
const QString kStoreFailed = QStringLiteral("储存出错,章号不能相同,请检查");
constexpr int kPanelWidth = 276;

// Every chapter name of a query's cached rows, without moving its current row.
QStringList CachedNames(const platform::Dataset* q) {
  QStringList names;
  const int column = q->FieldIndex(kNameField);
  for (int r = 0; r < q->RecordCount(); ++r) names << q->ValueAt(r, column).toString();
  return names;
}

void SetSql(platform::Dataset* q, const QString& sql) {
  q->Close();
  q->SqlClear();
  q->SqlAdd(sql);
}

}  // namespace

// --- editor ---------------------------------------------------------------------------------

TChapterEditForm::TChapterEditForm(QWidget* owner, LessonKindId kind)
    : TEditorForm(owner, QStringLiteral("章节编辑"), Kind(kind).chapterEditorSize, kPanelWidth),
      m_kind(Kind(kind)) {
  const int rowGap = (Panel1->height() - 2 * 28) / 3;
  Label1 = AddLabel(Panel1, kNumberField, QRect(22, rowGap, 50, 28));
  numed->setGeometry(78, rowGap, 172, 28);
  Label2 = AddLabel(Panel1, kNameField, QRect(22, 2 * rowGap + 28, 50, 28));
  nameed->setGeometry(78, 2 * rowGap + 28, 172, 28);
  numed->setFont(SongFont(16));
  nameed->setFont(SongFont(16));
}

void TChapterEditForm::AddBtnClick() { Save(editors::EditorMode::Add); }
void TChapterEditForm::ModifyBtnClick() { Save(editors::EditorMode::Modify); }

bool TChapterEditForm::StoredNames(QStringList* names, QString* error) {
  platform::Dataset* q = dm->nameQuery;
  SetSql(q, m_kind.sqlAllChapters);
  if (!q->Open()) {
    *error = q->LastError();
    return false;
  }
  *names = CachedNames(q);
  return true;
}

bool TChapterEditForm::CheckName(const QString& name) {
  QStringList names;
  QString error;
  // Unreadable names cannot prove the name free.
  return StoredNames(&names, &error) && editors::NameFree(names, name, EditOldName);
}

void TChapterEditForm::Save(editors::EditorMode mode) {
  if (!CheckIntegerEdit(numed)) return;
  const auto names = [this, mode](QStringList* out, QString* error) {
    if (mode == editors::EditorMode::Modify) return StoredNames(out, error);
    // Adding compares with the chapters the list manager shows: all chapters of the kind.
    *out = CachedNames(dm->ALLQuery);
    return true;
  };
  const editors::CheckOutcome outcome = editors::CheckEntries(
      editors::ChapterRules(), mode, {numed->text(), nameed->text(), {}}, EditOldName, names);
  if (!outcome.ok()) {
    ShowRefusal(outcome);
    return;
  }
  const bool stored =
      mode == editors::EditorMode::Add ? StoreNew(outcome.number) : StoreChange(outcome.number);
  if (stored) close();
}

bool TChapterEditForm::StoreNew(const QString& number) {
  platform::Dataset* q = dm->ALLQuery;
  q->Append();
  // A list that could not be read takes no row; that must not pass for a stored one.
  if (q->state() == platform::Dataset::State::Insert && q->SetField(kNumberField, number) &&
      q->SetField(kNameField, nameed->text()) && q->Post() && q->Reopen())
    return true;
  qCWarning(lcDb) << "chapter not stored:" << q->LastError();
  const platform::WriteFailure cause = q->LastFailure();
  q->Cancel();
  q->Reopen();  // the list shows what is stored
  editors::SaveFailed(this, cause, kStoreFailed);
  return false;
}

bool TChapterEditForm::StoreChange(const QString& number) {
  platform::Dataset* q = dm->ALLQuery;
  platform::Dataset* items = dm->goQuery;
  // The chapter's key as stored: after a failure the list goes back to this row.
  const QString oldNumber = q->Field(kNumberField);
  const QString newName = nameed->text();
  // The chapter row and its items' chapter name change together or not at all.
  platform::Transaction transaction(dm->ConnectionName());
  bool ok = transaction.Begin();
  QString error = transaction.LastError();
  platform::WriteFailure cause = transaction.LastFailure();
  if (ok) {
    q->Edit();
    ok = q->state() == platform::Dataset::State::Edit && q->SetField(kNumberField, number) &&
         q->SetField(kNameField, newName) && q->Post() && q->Reopen();
    if (!ok) {
      error = q->LastError();
      cause = q->LastFailure();
    }
  }
  if (ok) {
    ok = RenameItems(newName);
    if (!ok) {
      error = items->LastError();
      cause = items->LastFailure();
    }
  }
  if (ok) {
    ok = transaction.Commit();
    if (!ok) {
      error = transaction.LastError();
      cause = transaction.LastFailure();
    }
  }
  if (ok) return true;

  qCWarning(lcDb) << "chapter change undone:" << error;
  q->Cancel();
  items->Cancel();
  transaction.Rollback();
  // The cached rows may hold what was just undone: show the stored state, on the same chapter.
  if (q->Reopen()) q->Locate(kNumberField, oldNumber, false);
  items->Reopen();
  editors::SaveFailed(this, cause, kStoreFailed);
  return false;
}

bool TChapterEditForm::RenameItems(const QString& newName) {
  platform::Dataset* q = dm->goQuery;
  SetSql(q, m_kind.sqlRenameItems);
  q->SetParam(QStringLiteral("zjname"), EditOldName);
  if (!q->Open()) return false;
  if (q->IsEmpty()) return true;
  for (q->First(); !q->Eof(); q->Next()) {
    q->Edit();
    if (!q->SetField(kNameField, newName) || !q->Post()) return false;
  }
  return q->Reopen();
}

// --- list manager ---------------------------------------------------------------------------

TChapterListForm::TChapterListForm(QWidget* owner, LessonKindId kind)
    : TListManagerForm(owner, Kind(kind).chapterListCaption), m_kind(Kind(kind)) {
  ShowDataset(dm->ALLQueryds, {{kNumberField, 60, false}, {kNameField, 100, true}});
  m_showEditor = [](TChapterEditForm* editor) { ExecModal(editor); };
  AddPackButtons();
}

void TChapterListForm::showEvent(QShowEvent* event) {
  TListManagerForm::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

bool TChapterListForm::Reissue(platform::Dataset* q, const QString& sql) {
  SetSql(q, sql);
  if (q->Open()) return true;
  ReportError(q->LastError());
  return false;
}

void TChapterListForm::FormShow() {
  BusyCursor busy;
  Reissue(dm->ALLQuery, m_kind.sqlChapterGrid);
}

TChapterEditForm* TChapterListForm::NewEditor() {
  switch (m_kind.id) {
    case LessonKindId::Poem:
      return new TXSZJaddForm(this);
    case LessonKindId::English:
      return new TXyyZJaddForm(this);
    case LessonKindId::Character:
      break;
  }
  return new TZJaddForm(this);
}

void TChapterListForm::AddSbClick() {
  TChapterEditForm* editor = NewEditor();
  editor->ModifyBtn->hide();
  m_showEditor(editor);
}

void TChapterListForm::ModifySbClick() {
  platform::Dataset* q = dm->ALLQuery;
  if (!q->Active() || q->IsEmpty()) return;
  TChapterEditForm* editor = NewEditor();
  editor->AddBtn->hide();
  editor->numed->setText(q->Field(kNumberField));
  editor->nameed->setText(q->Field(kNameField));
  EditOldName = q->Field(kNameField);
  m_showEditor(editor);
}

void TChapterListForm::DelSbClick() {
  platform::Dataset* chapters = dm->ALLQuery;
  if (!chapters->Active() || chapters->IsEmpty()) return;
  const QString name = chapters->Field(kNameField);
  // Asked when needed, so a rename made since the window opened counts, and only the names:
  // the items themselves may be many. Compared here, letter case ignored as everywhere else.
  platform::Dataset* items = dm->goQuery;
  if (!Reissue(items, m_kind.sqlItemChapters)) return;
  if (items->Locate(kNameField, name, true)) {
    editors::Warn(this, m_kind.chapterHasItems);
    return;
  }
  if (!editors::ConfirmDelete(this)) return;
  if (!chapters->Delete() || !chapters->Reopen()) {
    qCWarning(lcDb) << "chapter not deleted:" << chapters->LastError();
    editors::StoreFailed(this, QStringLiteral("删除出错,请检查\n") + chapters->LastError());
    chapters->Reopen();
  }
}
