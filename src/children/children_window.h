// SPDX-License-Identifier: GPL-3.0-or-later
// TChildrenForm "管理小朋友": the adult adds, renames, gives another picture to and removes the
// children's profiles, switches the parent gate and adds the starter course. Removing asks first and takes the child's
// learning record with it, in one transaction.
#pragma once

#include <QDialog>
#include <QList>

#include "data/children.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

class TChildrenForm : public QDialog {
  Q_OBJECT
 public:
  explicit TChildrenForm(QWidget* owner);

  QListWidget* ChildList;
  QLineEdit* nameed;
  QButtonGroup* Pictures;  // one checkable button per animal, id = picture
  QToolButton* AddSb;      // "新增"
  QToolButton* SaveSb;     // "保存修改"
  QToolButton* DeleteSb;   // "删除"
  QCheckBox* GateCb;       // the parent gate
  QToolButton* CourseSb;   // "添加入门课程"
  QToolButton* QuitSb;     // "返回"
  QLabel* CountLb;
  QLabel* GameNoticeLb;  // what keeps the listening game from asking some of the course

  void Reload();
  void AddSbClick();
  void SaveSbClick();
  void DeleteSbClick();
  void GateCbClick(bool on);
  void CourseSbClick();
  const QList<children::Child>& Children() const { return m_children; }

 private:
  void ShowSelected();
  int Selected() const;  // index into m_children, -1 when none
  void Warn(const QString& text);

  QString m_connection;
  QList<children::Child> m_children;
};
