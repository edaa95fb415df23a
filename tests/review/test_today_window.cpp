// SPDX-License-Identifier: GPL-3.0-or-later
// Today's path on a real database: two children of different levels get different new
// characters, the one button walks the steps in order and ticks them, a game left early is not a
// finished step, the sticker is given once a day and is still in the album when it opens again;
// the level is set in the children's window and held to its limits.
#include <QComboBox>
#include <QListWidget>
#include <QLabel>
#include <QSettings>
#include <QtTest>

#include "app/current_child.h"
#include "app/prompt_player.h"
#include "children/children_window.h"
#include "controls/flat_speed_button.h"
#include "data/children.h"
#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "data/path_store.h"
#include "review/review_store.h"
#include "review/today_window.h"
#include "support/fakes.h"
#include "support/test_db.h"

using namespace testing;
using review::StepKind;

namespace {

void AddCourse(TestDataModule& db) {
  const LessonKind& k = Kind(LessonKindId::Character);
  db.AddChapters(k, {QStringLiteral("第一章"), QStringLiteral("第二章")});
  int number = 1;
  for (const char* name : {"一", "二", "三", "十", "人", "大"})
    db.AddRows(k.itemTable, {{{k.numberField, QString::number(number++)}, {k.nameField, QString::fromUtf8(name)},
                              {QStringLiteral("章节"), QStringLiteral("第一章")}}});
  for (const char* name : {"山", "水", "火", "木", "土", "日"})
    db.AddRows(k.itemTable, {{{k.numberField, QString::number(number++)}, {k.nameField, QString::fromUtf8(name)},
                              {QStringLiteral("章节"), QStringLiteral("第二章")}}});
}

QString Steps(const TTodayForm& form) {
  QStringList out;
  for (const review::PathStep& s : form.Steps())
    out << review::StepTitle(s.kind) + ":" + s.items.join(' ');
  return out.join('|');
}

QString Ticks(const TTodayForm& form) {
  QString out;
  for (TStepPicture* p : form.Pictures)
    out += p->CurrentState() == TStepPicture::State::Done ? 'v'
           : p->CurrentState() == TStepPicture::State::Now ? '>'
                                                           : '.';
  return out;
}

}  // namespace

class TodayWindowTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void twoChildren_data() { AddBackendRows(); }
  void twoChildren() {
    QFETCH(Backend, backend);
    TestDataModule db(backend);
    REQUIRE_DATABASE(db.database());
    AddCourse(db);
    const QString c = db.module()->ConnectionName();
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));  // a Monday: no poem
    SetPromptsOn(false);  // the characters' own sounds only
    QSettings().remove(QStringLiteral("path"));  // no progress from an earlier run
    RecordingSoundPlayer sound;
    ScriptedMessageBox boxes;
    children::Child young, old;
    QString error;
    QVERIFY2(children::AddChild(c, QStringLiteral("小明"), 0, &young, &error), qPrintable(error));
    QVERIFY2(children::AddChild(c, QStringLiteral("小红"), 3, &old, &error), qPrintable(error));

    // The adult sets the older child's level in the children's window.
    {
      TChildrenForm window(nullptr);
      window.ChildList->setCurrentRow(1);
      QCOMPARE(window.StartChapterCb->count(), 2);
      window.StartChapterCb->setCurrentIndex(1);
      window.LevelChanged();
      window.NewPerDayCb->setCurrentIndex(2);
      window.LevelChanged();
      window.ChildList->setCurrentRow(0);
      QCOMPARE(window.NewPerDayCb->currentData().toInt(), 3);
      window.ChildList->setCurrentRow(1);
      QCOMPARE(window.StartChapterCb->currentIndex(), 1);
      QCOMPARE(window.NewPerDayCb->currentData().toInt(), 5);
    }
    QVERIFY(boxes.shown.isEmpty());

    int runs = 0;
    QList<StepKind> ran;
    TTodayForm::SetStepRunner([&](const review::PathStep& step) {
      ran << step.kind;
      // The first game is left before its end: no tick.
      return !(step.kind == StepKind::Listening && runs++ == 0);
    });
    SetCurrentChild(old);
    {
      TTodayForm form(nullptr);
      QCOMPARE(Steps(form), "认新字:山 水 火 木 土|听音找字:山 水 火 木 土|写一个字:山");
    }
    // 一 met first today (by the path's game) stays today's; 二 met days ago does not.
    const int today = int(clock.Now().date().toJulianDay());
    review::Card first, earlier;
    first.reps = 1, first.lastReview = today, first.due = today + 1;
    earlier.reps = 2, earlier.lastReview = today - 3, earlier.due = today + 5;
    QVERIFY(review::SaveCard(c, young.id, QStringLiteral("一"), first, today, &error));
    QVERIFY(review::SaveCard(c, young.id, QStringLiteral("二"), earlier, today - 9, &error));
    SetCurrentChild(young);
    {
      TTodayForm form(nullptr);
      QCOMPARE(Steps(form), "认新字:一 三 十|听音找字:一 三 十|写一个字:一");
      QCOMPARE(Ticks(form), ">..");
      QStringList shown;
      for (int i = 0; i < 3; ++i) {
        form.GoSb->Click();
        shown << form.StageLb->text();
      }
      QCOMPARE(shown, (QStringList{"一", "三", "十"}));
      QCOMPARE(sound.calls.size(), 3);  // each character said
      QCOMPARE(Ticks(form), ">..");
      form.GoSb->Click();  // 认完了
      QCOMPARE(Ticks(form), "v>.");
      form.GoSb->Click();  // the game, left early
      QCOMPARE(Ticks(form), "v>.");
      form.GoSb->Click();
      QCOMPARE(Ticks(form), "vv>");
    }
    // Left and opened again: the ticks are still there.
    {
      TTodayForm form(nullptr);
      QCOMPARE(Ticks(form), "vv>");
      QVERIFY(form.SummaryPanel->isHidden());
      form.GoSb->Click();
      QCOMPARE(Ticks(form), "vvv");
      QVERIFY(!form.SummaryPanel->isHidden());
      QVERIFY2(form.SummaryLb->text().contains("贴纸册"), qPrintable(form.SummaryLb->text()));
      QVERIFY(form.SummaryLb->text().contains("3 个新字"));
    }
    QCOMPARE(ran, (QList<StepKind>{StepKind::Listening, StepKind::Listening, StepKind::Writing}));
    // Finished again the same day: no second sticker.
    {
      TTodayForm form(nullptr);
      form.GoSb->Click();
      QVERIFY(!form.SummaryPanel->isHidden());
      QVERIFY2(form.SummaryLb->text().contains("已经在贴纸册里"), qPrintable(form.SummaryLb->text()));
    }
    TTodayForm::SetStepRunner({});
    QList<paths::Sticker> stickers;
    QVERIFY(paths::LoadStickers(c, young.id, &stickers, &error));
    QCOMPARE(stickers.size(), 1);
    QCOMPARE(stickers[0].day, int(clock.Now().date().toJulianDay()));
    TStickerAlbumForm album(nullptr);
    QCOMPARE(album.Stickers.size(), 1);
    QCOMPARE(album.Stickers[0]->toolTip(), "2026年12月7日");
    QVERIFY(album.EmptyLb->isHidden());
    SetCurrentChild(old);
    TStickerAlbumForm none(nullptr);
    QVERIFY(none.Stickers.isEmpty());
    QVERIFY(none.EmptyLb->text().contains("还没有贴纸"));
    // The child removed, its level and stickers go with it.
    int notes = 0;
    QVERIFY(children::RemoveChild(c, young.id, &notes, &error));
    QVERIFY(paths::LoadStickers(c, young.id, &stickers, &error));
    QVERIFY(stickers.isEmpty());
    SetCurrentChild({});
  }

  // The level is held to 3 .. 5 new characters and a chapter from the first on.
  void levelLimits_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("perDay");
    QTest::addColumn<bool>("kept");
    QTest::newRow("three") << 0 << 3 << true;
    QTest::newRow("two") << 0 << 2 << false;
    QTest::newRow("five") << 4 << 5 << true;
    QTest::newRow("six") << 0 << 6 << false;
    QTest::newRow("before the first chapter") << -1 << 4 << false;
  }
  void levelLimits() {
    QFETCH(int, start);
    QFETCH(int, perDay);
    QFETCH(bool, kept);
    TestDataModule db;
    const QString c = db.module()->ConnectionName();
    QString error;
    QCOMPARE(paths::SaveLevel(c, 7, {start, perDay}, &error), kept);
    QCOMPARE(error.isEmpty(), kept);
    paths::Level level;
    QVERIFY(paths::LoadLevel(c, 7, &level, &error));
    QCOMPARE(level.startChapter, kept ? start : 0);
    QCOMPARE(level.newPerDay, kept ? perDay : 3);
  }
};

QTEST_MAIN(TodayWindowTest)
#include "test_today_window.moc"
