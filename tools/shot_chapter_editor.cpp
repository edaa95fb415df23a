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

#include "editors/chapter_windows.h"
#include "shell/data_module.h"
#include "shell/lesson_database.h"

namespace {

void Save(QWidget* w, const QString& path) {
  QApplication::processEvents();
  if (w->grab().save(path))
    std::printf("%s\n", qPrintable(path));
  else
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  QDir().mkpath(folder);
  QTemporaryDir tmp;
  const QString dbPath = tmp.filePath(QStringLiteral("lessons.db"));
  QString error;
  if (!EnsureEmbeddedDatabase(dbPath, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  Tdm module(EmbeddedSpec(dbPath));
  // Away from the buttons, so that none is drawn raised under the pointer.
  QCursor::setPos(600, 600);
  dm = &module;

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
    Save(&manager, QDir(folder).filePath(QStringLiteral("chapters_%1.png").arg(kind->key)));
    manager.ModifySbClick();
    if (editor) {
      Save(editor, QDir(folder).filePath(QStringLiteral("chapter_editor_%1.png").arg(kind->key)));
      delete editor;
    }
  }
  dm = nullptr;
  return 0;
}
