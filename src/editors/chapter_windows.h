// SPDX-License-Identifier: GPL-3.0-or-later
// The chapter list manager and the chapter editor, one implementation for the three lesson kinds.
// The manager lists the kind's chapters on the data module's ALLQuery; the editor appends to or
// changes that query's current row, and a rename carries the chapter's items along with it.
#pragma once

#include <functional>

#include "data/lesson_kinds.h"
#include "editors/editor_frame.h"

class QLabel;

class TChapterEditForm : public editors::TEditorForm {
  Q_OBJECT
 public:
  TChapterEditForm(QWidget* owner, LessonKindId kind);
  const LessonKind& kind() const { return m_kind; }

  QLabel* Label1;  // "章号"
  QLabel* Label2;  // "章节"

  void AddBtnClick() override;
  void ModifyBtnClick() override;
  // True when the chapter being modified may take `name`: no other chapter has exactly that name.
  bool CheckName(const QString& name);
  // Moves every item of the chapter named EditOldName to `newName`; false when a statement failed
  // (the caller's transaction then undoes what was done).
  bool RenameItems(const QString& newName);

 private:
  void Save(editors::EditorMode mode);
  bool StoreNew(const QString& number);
  bool StoreChange(const QString& number);
  // The names CheckName compares with, read afresh from the database.
  bool StoredNames(QStringList* names, QString* error);

  const LessonKind& m_kind;
};

class TChapterListForm : public editors::TListManagerForm {
  Q_OBJECT
 public:
  TChapterListForm(QWidget* owner, LessonKindId kind);
  const LessonKind& kind() const { return m_kind; }

  void FormShow();
  void AddSbClick() override;
  void ModifySbClick() override;
  void DelSbClick() override;

  // Lesson packs of this kind ("导出", "导入"; in chapter_packs.cpp).
  QToolButton* ExportSb;
  QToolButton* ImportSb;
  void ExportSbClick();
  void ImportSbClick();

  // How an editor is shown once set up: modally by default; tests replace it.
  using EditorShower = std::function<void(TChapterEditForm* editor)>;
  void SetEditorShower(EditorShower shower) { m_showEditor = std::move(shower); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TChapterEditForm* NewEditor();
  void AddPackButtons();
  // Re-issues `sql` on the data module's query `q`; reports a failure and gives false.
  bool Reissue(platform::Dataset* q, const QString& sql);

  const LessonKind& m_kind;
  EditorShower m_showEditor;
};

// The named windows of each kind.
class TZJFORM : public TChapterListForm {
  Q_OBJECT
 public:
  explicit TZJFORM(QWidget* owner) : TChapterListForm(owner, LessonKindId::Character) {}
};
class TXSZJForm : public TChapterListForm {
  Q_OBJECT
 public:
  explicit TXSZJForm(QWidget* owner) : TChapterListForm(owner, LessonKindId::Poem) {}
};
class TXyyZJForm : public TChapterListForm {
  Q_OBJECT
 public:
  explicit TXyyZJForm(QWidget* owner) : TChapterListForm(owner, LessonKindId::English) {}
};
class TZJaddForm : public TChapterEditForm {
  Q_OBJECT
 public:
  explicit TZJaddForm(QWidget* owner) : TChapterEditForm(owner, LessonKindId::Character) {}
};
class TXSZJaddForm : public TChapterEditForm {
  Q_OBJECT
 public:
  explicit TXSZJaddForm(QWidget* owner) : TChapterEditForm(owner, LessonKindId::Poem) {}
};
class TXyyZJaddForm : public TChapterEditForm {
  Q_OBJECT
 public:
  explicit TXyyZJaddForm(QWidget* owner) : TChapterEditForm(owner, LessonKindId::English) {}
};
