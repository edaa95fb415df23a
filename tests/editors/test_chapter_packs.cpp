// SPDX-License-Identifier: GPL-3.0-or-later
// The chapter list manager's "导出" and "导入" of every lesson kind, with the file dialogs and the
// message boxes scripted: one classroom exports, another imports.
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "data/data_module.h"
#include "data/recordings_library.h"
#include "editors/chapter_windows.h"
#include "packs/lesson_pack.h"
#include "platform/dataset.h"
#include "support/fakes.h"
#include "support/test_db.h"

using testing::Backend;
using testing::FakeDialogs;
using testing::ScriptedMessageBox;
using testing::TestDataModule;

class ChapterPacksTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void cleanup() { QDir(packs::UserSoundRoot()).removeRecursively(); }

  void exportThenImportElsewhere_data() {
    QTest::addColumn<int>("kind");
    for (const LessonKind* k : AllKinds()) QTest::newRow(qPrintable(k->key)) << int(k->id);
  }
  void exportThenImportElsewhere() {
    QFETCH(int, kind);
    const LessonKind& k = Kind(LessonKindId(kind));
    QTemporaryDir dir;
    const QString wav = dir.filePath("牛.wav");
    {
      QFile f(wav);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16) + QByteArray(28, '\1'));
    }
    FakeDialogs dialogs;
    ScriptedMessageBox boxes;
    const QString one = dir.filePath("one.tindora"), all = dir.filePath("all.tindora");
    {
      TestDataModule source(Backend::Sqlite);
      REQUIRE_DATABASE(source.database());
      source.AddRows(k.chapterTable,
                     {{{"章号", "1"}, {"章节", "动物"}}, {{"章号", "2"}, {"章节", "植物"}}});
      source.AddRows(k.itemTable, {{{k.numberField, "1"},
                                    {k.nameField, "牛"},
                                    {"章节", "植物"},
                                    {k.textField, "niú"},
                                    {"声音", wav}},
                                   {{k.numberField, "2"},
                                    {k.nameField, "羊"},
                                    {"章节", "动物"},
                                    {k.textField, "yáng"},
                                    {"声音", dir.filePath("无.wav")}}});
      TChapterListForm manager(nullptr, k.id);
      manager.show();
      QCOMPARE(manager.ExportSb->text(), QString("导出"));
      QCOMPARE(manager.ImportSb->text(), QString("导入"));
      QCOMPARE(manager.ImportSb->geometry().top(), manager.DelSb->geometry().top());
      QVERIFY(manager.ExportSb->geometry().left() > manager.DelSb->geometry().right());

      // The selected chapter alone ("是"), then all chapters ("否").
      dm->ALLQuery->MoveTo(1);
      dialogs.saveFileToChoose = one;
      boxes.answers = {platform::IDYES};
      manager.ExportSb->click();
      dialogs.saveFileToChoose = all;
      boxes.answers = {platform::IDNO};
      manager.ExportSb->click();
      QCOMPARE(dialogs.saveDialogs, 2);
      QCOMPARE(boxes.TitlesAndTexts(),
               (QStringList{"导出|只导出选中的章节“植物”吗？\n选“否”导出全部章节。",
                            "导出|已导出1个章节、1个项目到“" + one + "”。",
                            "导出|只导出选中的章节“植物”吗？\n选“否”导出全部章节。",
                            "导出|已导出2个章节、2个项目到“" + all +
                                "”。\n\n以下项目找不到录音，导出时没有带上录音：\n羊"}));
      QCOMPARE(boxes.shown[3].flags, platform::MB_OK | platform::MB_ICONWARNING);
    }

    boxes.shown.clear();
    TestDataModule target(Backend::Sqlite);
    REQUIRE_DATABASE(target.database());
    target.AddRows(k.chapterTable, {{{"章号", "4"}, {"章节", "其他"}}});
    TChapterListForm manager(nullptr, k.id);
    manager.show();
    dialogs.fileToChoose = one;
    manager.ImportSb->click();
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown[0].text.startsWith("已导入1个章节、1个项目。\n录音放在“"),
             qPrintable(boxes.shown[0].text));
    // The grid shows the new chapter at once, and the item has its recording.
    QCOMPARE(manager.db1->model()->rowCount(), 2);
    dm->ALLQuery->MoveTo(1);
    QCOMPARE(dm->ALLQuery->Field("章号"), QString("5"));
    QCOMPARE(dm->ALLQuery->Field("章节"), QString("植物"));
    platform::Dataset items(target.database().Connection());
    items.SetTableName(k.itemTable);
    QVERIFY(items.Open());
    QCOMPARE(items.RecordCount(), 1);
    QFile recording(recordings::LocalPath(target.database().Connection(), items.Field("声音")));
    QVERIFY(recording.open(QIODevice::ReadOnly));
    QCOMPARE(recording.size(), QFileInfo(wav).size());

    // Importing all chapters now clashes with 植物: refused, nothing added.
    dialogs.fileToChoose = all;
    manager.ImportSb->click();
    QCOMPARE(boxes.TitlesAndTexts().last(), QString("注意|章节“植物”已经存在，课程包没有导入。"));
    QCOMPARE(boxes.shown.last().flags, platform::MB_OK | platform::MB_ICONERROR);
    QCOMPARE(manager.db1->model()->rowCount(), 2);

    // Dialogs given up: nothing happens.
    dialogs.fileToChoose.clear();
    manager.ImportSb->click();
    dialogs.saveFileToChoose.clear();
    boxes.answers = {platform::IDNO};
    manager.ExportSb->click();
    QCOMPARE(boxes.shown.size(), 3);  // only the export's question
  }
};

QTEST_MAIN(ChapterPacksTest)
#include "test_chapter_packs.moc"
