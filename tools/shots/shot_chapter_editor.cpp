// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the chapter list managers (as on a 1024 x 768 screen) and the chapter editors of the
// three lesson kinds, on a fresh copy of the sample course, to PNG files for looking at. Run with
// QT_QPA_PLATFORM=offscreen; argument: output folder.
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>

#include "data/lesson_database.h"
#include "editors/chapter_windows.h"
#include "shot_support.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = ShotFolder(argc, argv);
  SampleDataModule data;
  if (!data.Ok()) return 1;
  // Away from the buttons, so that none is drawn raised under the pointer.
  QCursor::setPos(600, 600);

  for (const LessonKind* kind : AllKinds()) {
    TChapterListForm manager(nullptr, kind->id);
    manager.setWindowState(Qt::WindowNoState);
    manager.resize(1024, 768);
    TChapterEditForm* editor = nullptr;
    manager.SetEditorShower([&editor](TChapterEditForm* e) {
      editor = e;
      e->show();
    });
    manager.show();
    dm->ALLQuery->MoveTo(1);
    SaveShot(&manager, QDir(folder).filePath(QStringLiteral("chapters_%1.png").arg(kind->key)));
    manager.ModifySbClick();
    if (editor) {
      SaveShot(editor,
               QDir(folder).filePath(QStringLiteral("chapter_editor_%1.png").arg(kind->key)));
      delete editor;
    }
  }
  return 0;
}
