// SPDX-License-Identifier: GPL-3.0-or-later
// The widget-free lesson browser over a real SQLite file, the three lesson kinds as rows of each
// case: the SQL texts sent, chapter and item order, stepping without wrap-around, reloading after
// an edit, and a lost database.
#include <QSqlDatabase>
#include <QtTest>

#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "lessons/lesson_browser.h"
#include "platform/dataset.h"
#include "support/test_db.h"

using testing::TestDataModule;

namespace {

const LessonKind& KindOf(int k) { return Kind(static_cast<LessonKindId>(k)); }

void AddKindRows() {
  QTest::addColumn<int>("kind");
  for (const LessonKind* k : AllKinds()) QTest::newRow(qPrintable(k->key)) << int(k->id);
}

void AddChapter(TestDataModule& db, const LessonKind& k, int number, const QString& name) {
  db.AddRows(k.chapterTable,
             {{{QStringLiteral("章号"), QString::number(number)}, {QStringLiteral("章节"), name}}});
}

void AddItem(TestDataModule& db, const LessonKind& k, int number, const QString& name,
             const QString& chapter) {
  db.AddRows(k.itemTable, {{{k.numberField, QString::number(number)},
                            {k.nameField, name},
                            {QStringLiteral("章节"), chapter},
                            {k.textField, QStringLiteral("文") + name}}});
}

}  // namespace

class LessonBrowserTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Chapters in 章号 order, items in item-number order, the SQL texts exactly as the screens send
  // them, and an unknown letter case still found.
  void loadsInNumberOrder_data() { AddKindRows(); }
  void loadsInNumberOrder() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    TestDataModule db;
    AddChapter(db, k, 2, QStringLiteral("第二章"));
    AddChapter(db, k, 1, QStringLiteral("第一章"));
    AddChapter(db, k, 10, QStringLiteral("第十章"));
    AddItem(db, k, 3, QStringLiteral("三"), QStringLiteral("第一章"));
    AddItem(db, k, 1, QStringLiteral("Ab"), QStringLiteral("第一章"));
    AddItem(db, k, 2, QStringLiteral("二"), QStringLiteral("第二章"));
    QStringList sql;
    platform::SetSqlObserver([&sql](const QString&, const QString& text) { sql << text; });
    LessonBrowser b(k);
    QVERIFY(b.LoadChapters());
    platform::SetSqlObserver({});

    QCOMPARE(sql, (QStringList{k.sqlChapters, k.sqlItemsLine1 + '\n' + k.sqlItemsLine2}));
    QCOMPARE(b.Chapters(), (QStringList{"第一章", "第二章", "第十章"}));
    QCOMPARE(b.Chapter(), QStringLiteral("第一章"));
    QCOMPARE(b.Items(), (QStringList{"Ab", "三"}));
    QVERIFY(b.LocateItem(QStringLiteral("aB")));
    QCOMPARE(dm->ALLQuery->Field(k.textField), QStringLiteral("文Ab"));
    QVERIFY(!b.LocateItem(QStringLiteral("二")));
  }

  // From the first of three chapters: back does nothing, forward twice reaches the last, and a
  // third step does nothing; with one chapter or none both directions do nothing. With none
  // chosen, forward starts at the first chapter, but only when there are two or more.
  void stepsWithoutWrapping_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("chapters");
    QTest::addColumn<int>("chosen");
    for (const LessonKind* k : AllKinds()) {
      for (int n : {0, 1, 3})
        QTest::addRow("%s, %d", qPrintable(k->key), n) << int(k->id) << n << 0;
      for (int n : {1, 2})
        QTest::addRow("%s, %d, none chosen", qPrintable(k->key), n) << int(k->id) << n << -1;
    }
  }
  void stepsWithoutWrapping() {
    QFETCH(int, kind);
    QFETCH(int, chapters);
    QFETCH(int, chosen);
    const LessonKind& k = KindOf(kind);
    TestDataModule db;
    for (int i = 1; i <= chapters; ++i) {
      AddChapter(db, k, i, QString::number(i));
      AddItem(db, k, i, QStringLiteral("项") + QString::number(i), QString::number(i));
    }
    LessonBrowser b(k);
    QVERIFY(b.LoadChapters());
    if (chosen < 0) QVERIFY(b.ChooseChapter(-1));
    const int start = chapters ? chosen : -1;
    QCOMPARE(b.ChapterIndex(), start);
    QVERIFY(!b.PreviousChapter());
    int steps = 0;
    while (b.NextChapter()) {
      ++steps;
      QVERIFY(b.Error().isEmpty());
      QCOMPARE(b.Items(), QStringList{QStringLiteral("项") + QString::number(start + steps + 1)});
      QCOMPARE(b.Pictures().size(), 1);  // this chapter's item's, not every chapter's so far
    }
    QCOMPARE(steps, chapters < 2 ? 0 : chapters - 1 - start);
    QCOMPARE(b.ChapterIndex(), chapters < 2 ? start : chapters - 1);
    if (chapters > 1) {
      QVERIFY(b.PreviousChapter());
      QCOMPARE(b.ChapterIndex(), chapters - 2);
    }
  }

  // After an edit, reloading picks up the new chapter and returns to the first one.
  void reloadReturnsToFirstChapter_data() { AddKindRows(); }
  void reloadReturnsToFirstChapter() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    TestDataModule db;
    AddChapter(db, k, 1, QStringLiteral("一"));
    AddChapter(db, k, 3, QStringLiteral("三"));
    AddItem(db, k, 1, QStringLiteral("甲"), QStringLiteral("一"));
    LessonBrowser b(k);
    QVERIFY(b.LoadChapters());
    QVERIFY(b.NextChapter());
    QCOMPARE(b.Items(), QStringList());
    AddChapter(db, k, 2, QStringLiteral("二"));
    QVERIFY(b.LoadChapters());
    QCOMPARE(b.Chapters(), (QStringList{"一", "二", "三"}));
    QCOMPARE(b.ChapterIndex(), 0);
    QCOMPARE(b.Items(), QStringList{QStringLiteral("甲")});
  }

  // A database that has gone away: no chapters, no items, the driver's words kept; the stale
  // items of the previous chapter are not left behind.
  void lostDatabase_data() { AddKindRows(); }
  void lostDatabase() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    TestDataModule db;
    AddChapter(db, k, 1, QStringLiteral("一"));
    AddChapter(db, k, 2, QStringLiteral("二"));
    AddItem(db, k, 1, QStringLiteral("甲"), QStringLiteral("一"));
    LessonBrowser b(k);
    QVERIFY(b.LoadChapters());
    QSqlDatabase::database(dm->ALLQuery->ConnectionName(), false).close();
    QVERIFY(b.NextChapter());
    QVERIFY(!b.Error().isEmpty());
    QCOMPARE(b.Items(), QStringList());
    QVERIFY(!b.LoadChapters());
    QCOMPARE(b.Chapters(), QStringList());
    QCOMPARE(b.ChapterIndex(), -1);
    QVERIFY(!b.Error().isEmpty());
  }
};

QTEST_GUILESS_MAIN(LessonBrowserTest)
#include "test_lesson_browser.moc"
