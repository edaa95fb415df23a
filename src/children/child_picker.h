// SPDX-License-Identifier: GPL-3.0-or-later
// TChildPickerForm "谁来学习？": a full-screen window of big animal buttons with the names below,
// so a child who cannot read finds their own. One click chooses the child and closes it. The
// program starts on it when two or more children have a profile; the menu's "换小朋友" opens it
// again. A small adult button "管理" (behind the parent gate) keeps the profiles.
#pragma once

#include <QDialog>
#include <QList>

#include "data/children.h"

class QGridLayout;
class QLabel;
class QToolButton;
class TLabel3D;

class TChildPickerForm : public QDialog {
  Q_OBJECT
 public:
  explicit TChildPickerForm(QWidget* owner);

  TLabel3D* TitleLb;
  QLabel* EmptyLb;  // shown when no child has a profile yet
  QList<QToolButton*> ChildSbs;
  QToolButton* ManageSb;  // "管理"
  QToolButton* QuitSb;    // "返回→" once a child is chosen, else "退出"

  // Reads the profiles again and lays out a button for each.
  void Reload();
  void ChildSbClick(int index);
  void ManageSbClick();
  void QuitSbClick();
  const QList<children::Child>& Children() const { return m_children; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Escape returns only when a child has been chosen: a child must not end up without one.
  void reject() override;

 private:
  void Layout();

  QWidget* m_background;
  QWidget* m_grid;
  QList<children::Child> m_children;
};

namespace children {
// At start: one profile is simply chosen; true when there are two or more, and the picker should
// open. A database that cannot tell is logged and the program starts as without profiles.
bool ChooseAtStart(const QString& connection);
}  // namespace children
