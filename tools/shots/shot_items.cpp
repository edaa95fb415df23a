// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the item list manager (as on a 1024 x 600 screen) and the item editor of each lesson
// kind, on a fresh copy of the sample course, to PNG files for looking at. Run with
// QT_QPA_PLATFORM=offscreen; argument: output folder.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <cstdio>

#include "data/lesson_database.h"
#include "editors/item_editor.h"
#include "editors/item_list.h"
#include "platform/chinese_file_dialog.h"
#include "platform/dataset.h"
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

  // A 200-character chapter: the chapter selector opened, and "新增" in that chapter.
  const QString huge = QString(QStringLiteral("小兔子乖乖把门开开")).repeated(23).left(200);
  platform::ExecSql(dm->ConnectionName(),
                    QStringLiteral("insert into ZJ (章号, 章节) values (98, '%1')").arg(huge));
  {
    TItemListForm list(nullptr, LessonKindId::Character);
    TItemEditorForm* editor = nullptr;
    list.SetEditorShower([&editor](TItemEditorForm* e) { editor = e; });
    list.setGeometry(0, 0, 1024, 600);
    list.show();
    list.CB1->setCurrentIndex(list.CB1->count() - 1);
    list.CB1->showPopup();
    SaveShot(list.CB1->view()->window(),
             QDir(folder).filePath(QStringLiteral("items_dropdown.png")));
    list.CB1->hidePopup();
    list.AddSbClick();
    if (editor) {
      editor->show();
      SaveShot(editor, QDir(folder).filePath(QStringLiteral("items_long_chapter_editor.png")));
      delete editor;
    }
  }

  // The recording's file dialog, whatever the machine's locale, with Qt's Chinese texts as the
  // program loads them at start-up.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                   QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);
  QTemporaryDir files;
  QDir(files.path()).mkdir(QStringLiteral("字语音库"));
  QFile wav(QDir(files.path()).filePath(QStringLiteral("猫.wav")));
  if (wav.open(QIODevice::WriteOnly)) wav.write(QByteArray(42123, '\0'));
  wav.close();
  QFileDialog dialog(nullptr, QStringLiteral("选取声音文件"), files.path(),
                     QStringLiteral("*.wav"));
  platform::SpeakChinese(&dialog);
  dialog.show();
  for (int i = 0; i < 50; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
  SaveShot(&dialog, QDir(folder).filePath(QStringLiteral("items_file_dialog.png")));
  return 0;
}
