// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the children's windows to PNG for a person to look at: the picker for a family of two
// and for a class of twenty, the window that keeps the profiles, the parent gate, the menu with a
// child chosen and the learning record of the class and of one child. Run with QT_SCALE_FACTOR=1.75 for the grown design.
#include <QApplication>
#include <QListWidget>

#include "app/current_child.h"
#include "app/main_form.h"
#include "app/parent_gate.h"
#include "children/child_picker.h"
#include "children/children_window.h"
#include "data/children.h"
#include "app/practice_log.h"
#include "data/record_store.h"
#include "records/record_window.h"
#include "shot_support.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString dir = ShotFolder(argc, argv);
  SampleDataModule data;
  if (!data.Ok()) return 1;
  const QString c = dm->ConnectionName();
  QString error;
  bool ok = children::AddClassList(c, {"小明", "朵朵"}, nullptr, nullptr, &error);

  TMainForm menu;
  menu.setWindowState(Qt::WindowNoState);
  menu.resize(TMainForm::kDesignWidth, TMainForm::kDesignHeight);
  menu.show();

  const auto picker = [&](const QString& name) {
    TChildPickerForm form(&menu);
    form.setWindowState(Qt::WindowNoState);
    form.resize(1024, 640);
    form.show();
    return SaveShot(&form, QDir(dir).filePath(name));
  };
  ok = picker(QStringLiteral("children_picker_family.png")) && ok;

  QStringList names = {"乐乐", "Tom", "安安", "小红", "浩然", "一二三四五六七八", "果果", "甜甜",
                       "子涵", "欣怡", "宇轩", "梓萱", "Lily", "天天", "明明", "佳佳", "小宝", "豆豆"};
  ok = children::AddClassList(c, names, nullptr, nullptr, &error) && ok;
  ok = picker(QStringLiteral("children_picker_class.png")) && ok;

  QList<children::Child> all;
  children::LoadChildren(c, &all, &error);
  SetCurrentChild(all.value(1));
  QApplication::processEvents();
  ok = SaveShot(&menu, QDir(dir).filePath(QStringLiteral("children_menu.png"))) && ok;

  {
    TChildrenForm form(&menu);
    form.ChildList->setCurrentRow(1);
    form.show();
    ok = SaveShot(&form, QDir(dir).filePath(QStringLiteral("children_manage.png"))) && ok;
  }
  {
    TParentGateForm gate(&menu);
    gate.show();
    ok = SaveShot(&gate, QDir(dir).filePath(QStringLiteral("children_gate.png"))) && ok;
  }
  {
    // The record of a class: a week of practice for every child, then one child's own.
    QList<records::Record> notes;
    const QDateTime now = QDateTime::currentDateTime();
    for (int k = 0; k < all.size(); ++k)
      for (int n = 0; n < 3 + 7 * k % 23; ++n) {
        const QDateTime at = now.addDays(-(n % (1 + k % 6))).addSecs(-60 * n);
        notes.append({records::MachineName(), at, records::Module(n % 5),
                      n % 5 == 3 ? QString() : QString(QChar(0x4e00 + (n * 7 + k) % 40)),
                      n % 5 == 3 ? QStringLiteral("+") : QString(),
                      n % 5 == 3 ? QStringLiteral("11011") : QString(), n % 5 == 3 ? 60 + 20 * (k % 3) : 1,
                      {}, all[k].id});
      }
    ok = records::WriteRecords(c, notes, &error) && ok;
    SetCurrentChild({});
    TRecordsForm form(&menu);
    form.setWindowState(Qt::WindowNoState);
    form.resize(1024, 700);
    form.show();
    ok = SaveShot(&form, QDir(dir).filePath(QStringLiteral("children_record_class.png"))) && ok;
    form.ClassTableClick(2);
    ok = SaveShot(&form, QDir(dir).filePath(QStringLiteral("children_record_child.png"))) && ok;
  }
  if (!error.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(error));
  return ok ? 0 : 1;
}
