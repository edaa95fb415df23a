// SPDX-License-Identifier: GPL-3.0-or-later
// What the chapter and item windows share: the list manager's maximised window with its top bar
// and read-only grid, the editor dialog with its number and name boxes and its save and give-up
// buttons, and the messages both kinds of window show.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QSize>
#include <QString>

#include "editors/editor_checks.h"

class QFrame;
class QLabel;
class QLineEdit;
class QStyledItemDelegate;
class QTableView;
class QToolButton;

namespace platform {
class Dataset;
class DatasetModel;
enum class WriteFailure;
}  // namespace platform

namespace editors {

inline constexpr int kTopBarHeight = 42;
inline constexpr int kBarButtonWidth = 61;
inline constexpr int kBarButtonHeight = 40;

// A picture drawn for the editors (":/images/editor_<name>.png").
QIcon EditorPicture(const QString& name);

// Messages, all titled "注意" and owned by `owner`.
void Warn(QWidget* owner, const QString& text);
void StoreFailed(QWidget* owner, const QString& text);
// A save that failed for `cause`: `duplicate` (the kind's "…号不能相同") only when a number or
// name was taken, otherwise what happened and what to do. A database found read-only turns
// editing off.
void SaveFailed(QWidget* owner, platform::WriteFailure cause, const QString& duplicate);
// "确定要进行删除操作吗?" with Yes and No; true on Yes.
bool ConfirmDelete(QWidget* owner);

// Runs LoadChapters on the lesson screen that opened a list manager, so that edits show at once.
void ReloadLessonScreen(QWidget* opener);

// A grid column: the dataset field it shows, its width, and the bold red look of the name column.
struct GridColumn {
  QString field;
  int width = 60;
  bool emphasised = false;
};

// The list managers: maximised, no title-bar buttons, a top bar 42 pixels high with "新增",
// "修改" and "删除" from `firstButtonLeft` and "返回→" at the right, and the grid `db1` below.
class TListManagerForm : public QDialog {
  Q_OBJECT
 public:
  TListManagerForm(QWidget* owner, const QString& caption, int firstButtonLeft = 8);

  QWidget* TopBar() const { return m_topBar; }
  QWidget* Opener() const { return m_opener; }

  QToolButton* AddSb;
  QToolButton* ModifySb;
  QToolButton* DelSb;
  QToolButton* quitsb;
  QTableView* db1;

  // Shows the dataset behind `model` in db1 with only `columns`, in their order. The grid's
  // selected row and the dataset's current row follow each other.
  void ShowDataset(platform::DatasetModel* model, const QList<GridColumn>& columns);

  virtual void AddSbClick() = 0;
  // Also the grid's double-click.
  virtual void ModifySbClick() = 0;
  virtual void DelSbClick() = 0;
  // Closes the window and reloads the lesson screen below.
  virtual void quitsbClick();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // Every way out (Escape, the platform closing the window) leaves as "返回→" does, so the lesson
  // screen is reloaded whichever way.
  void reject() override;

 private:
  void ApplyColumns();

  QWidget* m_opener;
  QWidget* m_topBar;
  platform::DatasetModel* m_model = nullptr;
  QList<GridColumn> m_columns;
  QStyledItemDelegate* m_emphasis;
  bool m_leaving = false;
};

// The editors: an ordinary dialog with only the close box at its design size, a left panel
// `Panel1` holding `numed` (focused on opening) and `nameed`, and at the right the two "保存"
// buttons on one spot (the opener hides one: that fixes the mode) above "放弃".
class TEditorForm : public QDialog {
  Q_OBJECT
 public:
  TEditorForm(QWidget* owner, const QString& caption, const QSize& designSize, int panelWidth);

  QFrame* Panel1;
  QLineEdit* numed;
  QLineEdit* nameed;
  QToolButton* AddBtn;
  QToolButton* ModifyBtn;
  QToolButton* DelSb;

  // The visible save button decides.
  EditorMode Mode() const;

  virtual void AddBtnClick() = 0;
  virtual void ModifyBtnClick() = 0;

  // A caption label on `parent` at `rect`.
  static QLabel* AddLabel(QWidget* parent, const QString& text, const QRect& rect);
  // Enter in `from` moves the focus to `to`; nothing typed is filtered.
  static void MoveFocusOnEnter(QLineEdit* from, QWidget* to);

  // Shows a refused check: its message, the number box emptied or the name box set back to the
  // old name as the check says, and the focus where it belongs (`textBox` for the item text).
  void ShowRefusal(const CheckOutcome& outcome, QWidget* textBox = nullptr);
};

}  // namespace editors
