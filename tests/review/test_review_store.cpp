// SPDX-License-Identifier: GPL-3.0-or-later
// The listening game played through its screen on a real database: every answer is stored as the
// child's review, the due count follows, the distractors never sound like the item, and the
// adult's new-items setting is read as stored by any seat.
#include <QLabel>
#include <QtTest>

#include "app/course_notice.h"
#include "app/prompt_player.h"
#include "children/children_window.h"
#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "platform/random.h"
#include "data/record_store.h"
#include "lessons/lesson_frame.h"
#include "platform/dataset.h"
#include "review/listening_screen.h"
#include "review/review_store.h"
#include "support/fakes.h"
#include "support/test_db.h"

using namespace review;
using namespace testing;

namespace {

// One chapter where 是 and 十 (both "shi") sit beside each other, and a second one.
void AddCourse(TestDataModule& db) {
  const LessonKind& k = Kind(LessonKindId::Character);
  db.AddChapters(k, {QStringLiteral("第一章"), QStringLiteral("第二章")});
  const QStringList first = {"是", "十", "一", "山", "水", "人", "大"};
  int number = 1;
  for (const QString& name : first)
    db.AddRows(k.itemTable, {{{k.numberField, QString::number(number++)}, {k.nameField, name},
                              {QStringLiteral("章节"), QStringLiteral("第一章")}}});
  db.AddRows(k.itemTable, {{{k.numberField, QString::number(number++)}, {k.nameField, "火"},
                            {QStringLiteral("章节"), QStringLiteral("第二章")}}});
}

}  // namespace

class ReviewStoreTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void gameStoresEachAnswer_data() { AddBackendRows(); }
  void gameStoresEachAnswer() {
    QFETCH(Backend, backend);
    TestDataModule db(backend);
    REQUIRE_DATABASE(db.database());
    AddCourse(db);
    FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    RecordingSoundPlayer player(&clock);
    platform::SeededRandom random(5);
    platform::SetRandom(&random);
    // Spoken: the game says what to do before the first item, and praises by voice.
    SetPromptsOn(true);
    const QString task = PromptFile(QStringLiteral("听一听，找一找"));
    QMap<QString, QString> praises;
    for (const char* p : {"真棒！找对了！", "太好了！", "对啦，你真厉害！", "好耳朵！"})
      praises.insert(PromptFile(QString::fromUtf8(p)), QString::fromUtf8(p));
    QVERIFY(!task.isEmpty() && !praises.contains(QString()));
    TtyzmainForm form(nullptr);
    form.StartGame();
    QVERIFY(form.Game());
    QCOMPARE(player.Names(), QStringList{task});
    QVERIFY(form.TaskTimer->isActive());
    // The status bar's clock goes on while the child plays.
    QVERIFY(form.StatusBar->Text(2).contains("09:00"));
    clock.Advance(60 * 1000);
    QTRY_VERIFY(form.StatusBar->Text(2).contains("09:01"));
    // Only the first chapter was ever shown (none opened yet), five new items a day.
    QCOMPARE(form.Game()->Rounds(), 5);
    const QString picks[] = {"a", "xa", "xx", "a", "a"};  // a right, x wrong
    QMap<QString, Grade> grades;
    for (const QString& round : picks) {
      const QString target = form.Game()->Target();
      QStringList shown;
      for (TGameCard* card : form.Cards)
        if (!card->isHidden()) shown << card->Text();
      QCOMPARE(shown.size(), 3);
      QVERIFY2(!(shown.contains("是") && shown.contains("十")), qPrintable(shown.join(' ')));
      QVERIFY(!shown.contains("火"));  // a later chapter
      for (QChar pick : round) {
        for (TGameCard* card : form.Cards)
          if (!card->isHidden() && card->CurrentLook() == TGameCard::Look::Plain &&
              (card->Text() == target) == (pick == 'a')) {
            form.CardPicked(card->Text());
            break;
          }
      }
      if (round == "a") QCOMPARE(praises.value(player.Names().last()), form.PraiseLb->text());
      QVERIFY(!player.Names().contains("CM.wav"));
      grades.insert(target, form.Game()->RoundGrade());
      form.NextRound();
    }
    QVERIFY(form.Game()->Finished() && !form.summaryPanel->isHidden());
    QCOMPARE(form.SaveError(), QString());
    platform::SetRandom(nullptr);

    const QString c = db.module()->ConnectionName();
    const int today = int(clock.Now().date().toJulianDay());
    ChildCards cards;
    int newToday = 0;
    QString error;
    QVERIFY2(LoadChildCards(c, kDefaultChild, today, &cards, &newToday, &error), qPrintable(error));
    QCOMPARE(cards.size(), 5);
    QCOMPARE(newToday, 5);
    for (auto it = grades.begin(); it != grades.end(); ++it) {
      const Card stored = cards.value(it.key());
      QCOMPARE(stored.reps, 1);
      QCOMPARE(stored.lastReview, today);
      // New items: Good comes back in two days, Hard and Again tomorrow.
      QCOMPARE(stored.due - today, it.value() == Grade::Good ? 2 : 1);
    }
    int due = -1;
    QVERIFY(CountDue(c, kDefaultChild, today + 1, &due, &error));
    QCOMPARE(due, 2);
    QVERIFY(CountDue(c, kDefaultChild, today + 2, &due, &error));
    QCOMPARE(due, 5);

    // The knowledge window's course: chapter order, by number within, a lost chapter's items last.
    const LessonKind& k = Kind(LessonKindId::Character);
    db.AddRows(k.itemTable, {{{k.numberField, "20"}, {k.nameField, "木"}, {"章节", "旧章"}},
                             {{k.numberField, "0"}, {k.nameField, "土地"}, {"章节", "第二章"}}});
    QStringList chapters, items;
    QList<int> chapterOf;
    QVERIFY(LoadCourseItems(c, &chapters, &items, &chapterOf, &error));
    QCOMPARE(items.join(' '), "是 十 一 山 水 人 大 土地 火 木");
    QCOMPARE(chapterOf, (QList<int>{0, 0, 0, 0, 0, 0, 0, 1, 1, 2}));
    // Its pictures: only what an adult chose is read.
    // Bound: through the SQLite ODBC driver the statement fails with the emoji in its text.
    QVERIFY(platform::ExecQuery(c, "update szSound set 图片 = ? where 字名 = ?", {"🌲", "木"}));
    QHash<QString, QString> chosen;
    QVERIFY(LoadChosenPictures(c, &chosen, &error));
    QCOMPARE(chosen, (QHash<QString, QString>{{"木", "🌲"}}));
  }

  // Rounds need a choice: an item nothing in the course sounds unlike is not played, graded or
  // stored; cards are told apart by the reading the course types; the child reads why the game
  // cannot start, the adult sees it in the children's window.
  void roundsNeedAChoice_data() {
    QTest::addColumn<QStringList>("chapters");  // per chapter "name:reading ..."
    QTest::addColumn<int>("rounds");
    QTest::addColumn<int>("cards");           // shown in every round
    QTest::addColumn<QString>("childText");   // on the empty screen
    QTest::addColumn<QString>("adultText");   // in the children's window
    QTest::newRow("homophones") << QStringList{"是:shì 十:shí 时:shí 事:shì"} << 0 << 0
                                << "听起来都一样" << "是、十、时、事——这几个字读音相同，不能一起玩";
    QTest::newRow("one character") << QStringList{"山:shān"} << 0 << 0 << "太少" << "只有“山”";
    QTest::newRow("homophones, other readings in a later chapter")
        << QStringList{"是:shì 十:shí 时:shí", "山:shān 水:shuǐ"} << 3 << 3 << "" << "";
    QTest::newRow("two readings in the course: two cards")
        << QStringList{"是:shì 十:shí 山:shān"} << 3 << 2 << "" << "";
    QTest::newRow("地 typed dì sounds like 弟") << QStringList{"地:dì 弟:dì 山:shān"} << 3 << 2 << ""
                                               << "";
  }
  void roundsNeedAChoice() {
    QFETCH(QStringList, chapters);
    QFETCH(int, rounds);
    QFETCH(int, cards);
    QFETCH(QString, childText);
    QFETCH(QString, adultText);
    TestDataModule db;
    REQUIRE_DATABASE(db.database());
    const LessonKind& k = Kind(LessonKindId::Character);
    QStringList names;
    for (int i = 0; i < chapters.size(); ++i) names << QStringLiteral("第%1章").arg(i + 1);
    db.AddChapters(k, names);
    int number = 1;
    for (int i = 0; i < chapters.size(); ++i)
      for (const QString& item : chapters[i].split(' ')) {
        const QStringList f = item.split(':');
        db.AddRows(k.itemTable, {{{k.numberField, QString::number(number++)}, {k.nameField, f[0]},
                                  {QStringLiteral("拼音词组"), f[1]}, {QStringLiteral("章节"), names[i]}}});
      }
    FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    RecordingSoundPlayer player(&clock);
    platform::SeededRandom random(11);
    platform::SetRandom(&random);
    TtyzmainForm form(nullptr);
    form.StartGame();
    QCOMPARE(form.Game() ? form.Game()->Rounds() : 0, rounds);
    QCOMPARE(form.EmptyLb->isHidden(), childText.isEmpty());
    QVERIFY2(form.EmptyLb->text().contains(childText), qPrintable(form.EmptyLb->text()));
    for (int r = 0; r < rounds; ++r) {
      QStringList shown;
      for (TGameCard* card : form.Cards)
        if (!card->isHidden()) shown << card->Text();
      QVERIFY2(shown.size() == cards, qPrintable(shown.join(' ')));
      QVERIFY(shown.contains(form.Game()->Target()));
      form.CardPicked(form.Game()->Target());
      form.NextRound();
    }
    platform::SetRandom(nullptr);
    // Only the rounds played are stored (and count against the day's new items).
    ChildCards stored;
    int newToday = -1;
    QString error;
    QVERIFY2(LoadChildCards(db.module()->ConnectionName(), kDefaultChild,
                            int(clock.Now().date().toJulianDay()), &stored, &newToday, &error),
             qPrintable(error));
    QCOMPARE(stored.size(), rounds);
    QCOMPARE(newToday, rounds);
    SetCourseNotice([&] { return WithoutChoiceNoticeFor(db.module()->ConnectionName()); });
    TChildrenForm adults(nullptr);
    SetCourseNotice({});
    QCOMPARE(adults.GameNoticeLb->isHidden(), adultText.isEmpty());
    QVERIFY2(adults.GameNoticeLb->text().contains(adultText),
             qPrintable(adults.GameNoticeLb->text()));
  }

  // The setting as another seat or a hand edit may have left it: the edges of its range and past.
  void newItemsSetting_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("read");
    QTest::addColumn<int>("gameItems");
    QTest::newRow("three") << "3" << 3 << 3;
    QTest::newRow("none: only reviews") << "0" << 0 << 0;
    QTest::newRow("at the top") << "20" << 20 << 5;
    QTest::newRow("past the top") << "21" << 20 << 5;
    QTest::newRow("below zero") << "-1" << 0 << 0;
    QTest::newRow("not a number") << "viele" << kNewPerDayDefault << 5;
  }
  void newItemsSetting() {
    QFETCH(QString, stored);
    QFETCH(int, read);
    QFETCH(int, gameItems);
    TestDataModule db;
    REQUIRE_DATABASE(db.database());
    AddCourse(db);
    const QString c = db.module()->ConnectionName();
    db.AddRows(QStringLiteral("SYS"), {{{QStringLiteral("名称"), kNewPerDayName},
                                       {QStringLiteral("内容"), stored}}});
    int perDay = -1;
    QString error;
    // Another child has opened the second chapter: this game's new items stay in the first.
    QVERIFY(records::WriteRecords(
        c, {{"seat", QDateTime::currentDateTime(), records::Module::Character, "火", {}, {}, 0, {}, 7}},
        &error));
    QVERIFY2(LoadNewPerDay(c, &perDay, &error), qPrintable(error));
    QCOMPARE(perDay, read);
    GameSelection selection;
    QVERIFY2(ChooseForChild(c, kDefaultChild, 2461000, Scheduler(), &selection, &error),
             qPrintable(error));
    QCOMPARE(selection.rows.size(), gameItems);
    // Stored again by the window: one row, the new value.
    QVERIFY(SaveNewPerDay(c, 4, &error));
    QVERIFY(LoadNewPerDay(c, &perDay, &error));
    QCOMPARE(perDay, 4);
  }
};

QTEST_MAIN(ReviewStoreTest)
#include "test_review_store.moc"
