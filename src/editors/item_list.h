// SPDX-License-Identifier: GPL-3.0-or-later
// The item list manager: the adult picks a chapter and keeps its lesson items in a grid on the
// data module's goQuery, adding and modifying them through the item editor. One implementation
// for the three lesson kinds; the named classes are thin products of it.
#pragma once

#include <functional>

#include "data/lesson_kinds.h"
#include "editors/editor_frame.h"

class QComboBox;
class QLabel;
class TItemEditorForm;

class TItemListForm : public editors::TListManagerForm {
  Q_OBJECT
 public:
  TItemListForm(QWidget* owner, LessonKindId kind);

  const LessonKind& kind() const { return m_kind; }

  QLabel* Label1;  // "选择章节"
  QComboBox* CB1;  // the chosen chapter

  // Reloads goQuery, and with it the grid, with the items of the chapter named in CB1.
  void LoadItems();

  void FormShow();
  void CB1Change();
  void AddSbClick() override;
  void ModifySbClick() override;
  void DelSbClick() override;

  // Tests: how the editor is shown once filled in (modally by default).
  using EditorShower = std::function<void(TItemEditorForm* editor)>;
  void SetEditorShower(EditorShower shower) { m_showEditor = std::move(shower); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The highest item number of the kind, over all its chapters, plus one (1 when there is none).
  long long NextFreeNumber();

  const LessonKind& m_kind;
  EditorShower m_showEditor;
};

class TSzsoundForm : public TItemListForm {
  Q_OBJECT
 public:
  explicit TSzsoundForm(QWidget* owner) : TItemListForm(owner, LessonKindId::Character) {}
};

class TxssoundForm : public TItemListForm {
  Q_OBJECT
 public:
  explicit TxssoundForm(QWidget* owner) : TItemListForm(owner, LessonKindId::Poem) {}
};

class TxyysoundForm : public TItemListForm {
  Q_OBJECT
 public:
  explicit TxyysoundForm(QWidget* owner) : TItemListForm(owner, LessonKindId::English) {}
};
