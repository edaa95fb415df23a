// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the item list manager (as on a 1024 x 600 screen) and the item editor of each lesson
// kind, on a fresh copy of the sample course, to PNG files for looking at. Run with
// QT_QPA_PLATFORM=offscreen; argument: output folder.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>

#include "data/lesson_database.h"
#include "editors/item_editor.h"
#include "editors/item_list.h"
#include "shot_support.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = ShotFolder(argc, argv);
  SampleDataModule data;
  if (!data.Ok()) return 1;

  for (const LessonKind* k : AllKinds()) {
    TItemListForm list(nullptr, k->id);
    TItemEditorForm* editor = nullptr;
    // "修改" on the second item, with the editor shown beside instead of modally.
    list.SetEditorShower([&editor](TItemEditorForm* e) { editor = e; });
    list.setGeometry(0, 0, 1024, 600);
    list.show();
    list.db1->selectRow(1);
    SaveShot(&list, QDir(folder).filePath(QStringLiteral("items_%1_list.png").arg(k->key)));
    list.ModifySbClick();
    if (!editor) continue;
    editor->show();
    SaveShot(editor, QDir(folder).filePath(QStringLiteral("items_%1_editor.png").arg(k->key)));
    delete editor;
  }
  return 0;
}
