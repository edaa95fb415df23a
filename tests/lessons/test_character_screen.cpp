// SPDX-License-Identifier: GPL-3.0-or-later
// The character lesson screen on a real lesson database, with the clock, the sound player and
// the opening of other windows replaced.
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QToolButton>
#include <QtTest>

#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "data/recordings_library.h"
#include "lessons/character_screen.h"
#include "lessons/lesson_clock.h"
#include "lessons/lesson_frame.h"
#include "lessons/pronunciation_popup.h"
#include "platform/dataset.h"
#include "platform/dialogs.h"
#include "support/fakes.h"
#include "support/test_db.h"

using testing::FakeClock;
using testing::RecordingSoundPlayer;
using testing::TestDataModule;

namespace {

using Row = QList<std::pair<QString, QString>>;

Row Chapter(int number, const QString& name) {
  return {{QStringLiteral("章号"), QString::number(number)}, {QStringLiteral("章节"), name}};
}

Row Item(int number, const QString& name, const QString& chapter, const QString& text = {},
         const QString& sound = {}) {
  return {{QStringLiteral("字号"), QString::number(number)},
          {QStringLiteral("字名"), name},
          {QStringLiteral("章节"), chapter},
          {QStringLiteral("拼音词组"), text},
          {QStringLiteral("声音"), sound}};
}

QStringList Entries(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

// Counts SQL texts sent while it lives.
struct SqlCount {
  QStringList texts;
  SqlCount() {
    platform::SetSqlObserver([this](const QString&, const QString& sql) { texts << sql; });
  }
  ~SqlCount() { platform::SetSqlObserver({}); }
};

// A screen shown at its design size, with pop-ups caught instead of shown modally.
struct Screen {
  TszmainForm form{nullptr};
  QList<QPointer<Tsendsongform>> popups;
  Screen() {
    form.SetPopupShower([this](Tsendsongform* popup) { popups << popup; });
    form.ShowMaximizedOrDesign(false);
  }
  ~Screen() {
    for (const auto& p : popups) delete p.data();
  }
  // Selects list entry `row` and clicks it as the child would.
  void ClickEntry(int row) {
    QListWidgetItem* item = form.ListView1->item(row);
    QVERIFY(item);
    const QRect r = form.ListView1->visualItemRect(item);
    QTest::mouseClick(form.ListView1->viewport(), Qt::LeftButton, {}, r.center());
  }
};

}  // namespace

class CharacterScreenTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void chapterStepping_data() {
    QTest::addColumn<int>("chapters");
    QTest::addColumn<QString>("clicks");  // U = 上一章节, D = 下一章节
    QTest::addColumn<QList<int>>("selected");
    QTest::newRow("previous at the first does nothing") << 3 << "U" << QList<int>{0};
    QTest::newRow("next to the last, then no further") << 3 << "DDD" << QList<int>{1, 2, 2};
    QTest::newRow("back to the first, then no further")
        << 3 << "DDUUU" << QList<int>{1, 2, 1, 0, 0};
    QTest::newRow("one chapter") << 1 << "DU" << QList<int>{0, 0};
    QTest::newRow("no chapters") << 0 << "DU" << QList<int>{-1, -1};
  }
  void chapterStepping() {
    QFETCH(int, chapters);
    QFETCH(QString, clicks);
    QFETCH(QList<int>, selected);
    TestDataModule db;
    QList<Row> zj, items;
    const QStringList names = {QStringLiteral("动物"), QStringLiteral("数字"),
                               QStringLiteral("颜色")};
    const QStringList characters = {QStringLiteral("马"), QStringLiteral("一"),
                                    QStringLiteral("红")};
    for (int i = 0; i < chapters; ++i) {
      zj << Chapter(i + 1, names[i]);
      items << Item(i + 1, characters[i], names[i]);
    }
    db.AddRows(QStringLiteral("ZJ"), zj);
    db.AddRows(QStringLiteral("szSound"), items);
    Screen s;
    for (int i = 0; i < clicks.size(); ++i) {
      const int before = s.form.CB1->currentIndex();
      SqlCount sql;
      QTest::mouseClick(clicks[i] == QLatin1Char('U') ? s.form.UpSb : s.form.DownSb,
                        Qt::LeftButton);
      QCOMPARE(s.form.CB1->currentIndex(), selected[i]);
      const int now = selected[i];
      QCOMPARE(Entries(s.form.ListView1), now < 0 ? QStringList{} : QStringList{characters[now]});
      // A step that goes nowhere does not reload either.
      QCOMPARE(sql.texts.size(), now == before ? 0 : 1);
    }
  }

  void itemsInNumberOrder() {
    TestDataModule db;
    const QString ch = QStringLiteral("数字");
    db.AddRows(QStringLiteral("ZJ"), {Chapter(1, ch), Chapter(2, QStringLiteral("别的"))});
    db.AddRows(
        QStringLiteral("szSound"),
        {Item(3, QStringLiteral("三"), ch), Item(10, QStringLiteral("十"), ch),
         Item(1, QStringLiteral("一"), ch), Item(4, QStringLiteral("马"), QStringLiteral("别的")),
         Item(2, QStringLiteral("二"), ch), Item(9, QStringLiteral("九"), ch)});
    SqlCount sql;
    Screen s;
    QCOMPARE(Entries(s.form.ListView1),
             (QStringList{QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                          QStringLiteral("九"), QStringLiteral("十")}));
    QCOMPARE(sql.texts, (QStringList{QStringLiteral("select * from ZJ order by 章号 "),
                                     QStringLiteral("select * from szSound where 章节=:zzj  \n"
                                                    " order by  字号 ")}));
  }

  void clickOpensThePopup_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<bool>("picture");  // beside the character, in the pop-up and the grid
    // "ab" and "AB" differ only in letter case: the row is found by name, ignoring case, so
    // either entry opens the first of them in 字号 order.
    QTest::newRow("first of two case twins") << 0 << "ab"
                                             << "发音+词组: a b"
                                             << "/x/ab.wav" << false;
    QTest::newRow("second of two case twins") << 1 << "ab"
                                              << "发音+词组: a b"
                                              << "/x/ab.wav" << false;
    // Spoken on the first play and kept: the row names the recording from then on.
    QTest::newRow("no pinyin, no recording")
        << 2 << QStringLiteral("我") << QStringLiteral("发音+词组: ") << "made" << false;
    QTest::newRow("proposed picture") << 3 << QStringLiteral("猫")
                                      << QStringLiteral("发音+词组: māo") << "/x/猫.wav" << true;
    // The adult wanted none: the proposal 💧 is not shown.
    QTest::newRow("picture refused by the adult") << 4 << QStringLiteral("水")
                                                  << QStringLiteral("发音+词组: shuǐ") << "/x/水.wav"
                                                  << false;
  }
  void clickOpensThePopup() {
    QFETCH(int, row);
    QFETCH(QString, character);
    QFETCH(QString, line);
    QFETCH(QString, sound);
    QFETCH(bool, picture);
    TestDataModule db;
    const QString ch = QStringLiteral("字母");
    db.AddRows(QStringLiteral("ZJ"), {Chapter(1, ch)});
    db.AddRows(
        QStringLiteral("szSound"),
        {Item(2, QStringLiteral("AB"), ch, QStringLiteral("A B"), QStringLiteral("/x/AB.wav")),
         Item(1, QStringLiteral("ab"), ch, QStringLiteral("a b"), QStringLiteral("/x/ab.wav")),
         Item(3, QStringLiteral("我"), ch),
         Item(4, QStringLiteral("猫"), ch, QStringLiteral("māo"), QStringLiteral("/x/猫.wav")),
         Item(5, QStringLiteral("水"), ch, QStringLiteral("shuǐ"), QStringLiteral("/x/水.wav"))});
    QVERIFY(platform::ExecSql(dm->ConnectionName(), "update szSound set 图片 = '-' where 字号 = 5"));
    CurrentSoundFile = QStringLiteral("left over");
    Screen s;
    s.ClickEntry(row);
    QCOMPARE(s.popups.size(), 1);
    Tsendsongform* popup = s.popups.first();
    QCOMPARE(popup->parentWidget(), &s.form);
    QCOMPARE(popup->ZILB->text(), character);
    QCOMPARE(popup->FYLB->text(), line);
    QCOMPARE(popup->PictureLB->isVisibleTo(popup), picture);
    QCOMPARE(!popup->PictureLB->pixmap().isNull(), picture);
    // The grid shows the picture in the loudspeaker's place.
    const QImage icon = s.form.ListView1->item(row)->icon().pixmap(50).toImage();
    const QImage speaker = QIcon(":/images/charscreen_speaker.png").pixmap(50).toImage();
    QCOMPARE(icon != speaker, picture);
    if (sound == QLatin1String("made")) {
      platform::Dataset record(dm->ConnectionName());
      record.SqlAdd(QStringLiteral("select 声音 from szSound where 字号 = 3"));
      QVERIFY(record.Open());
      const QString stored = record.Field(QStringLiteral("声音"));
      QVERIFY2(stored.startsWith(QStringLiteral("字语音库/我-")), qPrintable(stored));
      QCOMPARE(CurrentSoundFile, recordings::LocalPath(dm->ConnectionName(), stored));
      QVERIFY(QFileInfo(CurrentSoundFile).isFile());
      const QString made = CurrentSoundFile;
      s.ClickEntry(row);
      QCOMPARE(CurrentSoundFile, made);  // the second play finds it
      QVERIFY(record.Reopen());
      QCOMPARE(record.Field(QStringLiteral("声音")), stored);
    } else {
      QCOMPARE(CurrentSoundFile, sound);
    }
    // At its design place over the screen, below the top bar, not centred.
    popup->show();
    QCOMPARE(popup->pos(), s.form.designArea()->mapToGlobal(QPoint(193, 112)));
  }

  void nothingToShow_data() {
    QTest::addColumn<bool>("withChapter");
    QTest::newRow("empty chapter table") << false;
    QTest::newRow("chapter without items") << true;
  }
  void nothingToShow() {
    QFETCH(bool, withChapter);
    TestDataModule db;
    if (withChapter) db.AddRows(QStringLiteral("ZJ"), {Chapter(1, QStringLiteral("空"))});
    Screen s;
    QCOMPARE(s.form.CB1->count(), withChapter ? 1 : 0);
    QCOMPARE(s.form.ListView1->count(), 0);
    s.form.UpdateStatusBar();
    QCOMPARE(s.form.StatusText(1),
             withChapter ? QStringLiteral("  现在章节:空") : QStringLiteral("  现在章节:"));
    QTest::mouseClick(s.form.ListView1->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
    s.form.ListView1Click();
    QVERIFY(s.popups.isEmpty());
  }

  void statusClockText_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    const QDateTime tuesday(QDate(2024, 3, 5), QTime(14, 7, 9));
    QTest::newRow("24-hour format")
        << tuesday << "C" << QStringLiteral("当前时间:  2024年03月05日  14:07:09    星期二");
    QTest::newRow("12-hour format")
        << tuesday << "en_US" << QStringLiteral("当前时间:  2024年03月05日  2:07:09 PM    星期二");
    QTest::newRow("zone in front")
        << tuesday << "zh_CN" << QStringLiteral("当前时间:  2024年03月05日  14:07:09    星期二");
    QTest::newRow("sunday") << QDateTime(QDate(2024, 3, 3), QTime(0, 0, 5)) << "C"
                            << QStringLiteral("当前时间:  2024年03月03日  00:00:05    星期日");
    QTest::newRow("saturday") << QDateTime(QDate(2024, 3, 9), QTime(23, 59, 59)) << "C"
                              << QStringLiteral("当前时间:  2024年03月09日  23:59:59    星期六");
  }
  void statusClockText() {
    QFETCH(QDateTime, now);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QCOMPARE(LessonClockText(now, QLocale(locale)), text);
  }

  void statusBarFollowsTheClockAndTheChapter() {
    FakeClock clock;
    TestDataModule db;
    db.AddRows(QStringLiteral("ZJ"),
               {Chapter(1, QStringLiteral("第一章")), Chapter(2, QStringLiteral("第二章"))});
    db.AddRows(QStringLiteral("szSound"),
               {Item(1, QStringLiteral("山"), QStringLiteral("第二章"))});
    Screen s;
    QCOMPARE(s.form.StatusText(0), QStringLiteral("Quorvex"));
    const QString time = QLocale::system().toString(QTime(14, 7, 10), QStringLiteral("HH:mm:ss"));
    clock.Advance(1000);
    // The screen's own timer brings both panels up to date within a second.
    QTRY_VERIFY_WITH_TIMEOUT(s.form.StatusText(2).contains(time), 1500);
    QVERIFY(s.form.StatusText(2).startsWith(QStringLiteral("当前时间:  2024年03月05日  ")));
    QVERIFY(s.form.StatusText(2).endsWith(QStringLiteral("    星期二")));
    QCOMPARE(s.form.StatusText(1), QStringLiteral("  现在章节:第一章"));

    s.form.CB1->setCurrentIndex(1);
    Q_EMIT s.form.CB1->activated(1);
    QCOMPARE(Entries(s.form.ListView1), QStringList{QStringLiteral("山")});
    QCOMPARE(s.form.StatusText(1), QStringLiteral("  现在章节:第一章"));
    QTRY_COMPARE_WITH_TIMEOUT(s.form.StatusText(1), QStringLiteral("  现在章节:第二章"), 1500);
  }

  // The chapter's panel is as wide as its name needs; the clock's keeps the rest.
  void statusPanelsShowWhole_data() {
    QTest::addColumn<QString>("chapter");
    QTest::newRow("short") << QStringLiteral("第一章");
    QTest::newRow("long") << QStringLiteral("第五章 我们的老师和同学们一起学习新的汉字和词语");
  }
  void statusPanelsShowWhole() {
    QFETCH(QString, chapter);
    TLessonStatusBar bar(nullptr);
    bar.resize(1456, 22);
    bar.show();
    bar.Update(chapter);
    const QList<QLabel*> panels = bar.findChildren<QLabel*>();
    QCOMPARE(panels.size(), 3);
    for (const QLabel* panel : panels)
      QVERIFY2(panel->width() >= panel->sizeHint().width(), qPrintable(panel->text()));
    QCOMPARE(panels[2]->geometry().right(), bar.width() - 1);
  }

  // Every caption shows whole, wherever it stands: one or two characters, Latin letters, a mix.
  void captionsShowWhole_data() {
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("word first") << QStringList{"大人", "口", "手"};
    QTest::newRow("word between") << QStringList{"口", "大人", "手"};
    QTest::newRow("word last") << QStringList{"口", "手", "大人"};
    QTest::newRow("latin") << QStringList{"a", "Hi", "ABC"};
    QTest::newRow("mix") << QStringList{"人", "A字"};
  }
  void captionsShowWhole() {
    QFETCH(QStringList, captions);
    TestDataModule db;
    db.AddRows(QStringLiteral("ZJ"), {Chapter(1, QStringLiteral("一"))});
    QList<Row> items;
    for (int i = 0; i < captions.size(); ++i)
      items << Item(i + 1, captions[i], QStringLiteral("一"));
    db.AddRows(QStringLiteral("szSound"), items);
    Screen s;
    QCOMPARE(Entries(s.form.ListView1), captions);
    const QFontMetrics metrics(s.form.ListView1->font());
    for (int i = 0; i < captions.size(); ++i) {
      // The item view leaves a 3-pixel margin on each side of a caption.
      const QRect r = s.form.ListView1->visualItemRect(s.form.ListView1->item(i));
      QVERIFY2(r.width() >= metrics.horizontalAdvance(captions[i]) + 6, qPrintable(captions[i]));
    }
  }

  // A full chapter fits the body without a scroll bar, the captions as large as the room allows:
  // 56 pixels for a few entries, smaller for 25 words. (Also run with the design grown.)
  void fullChapterFits_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("fullSize");
    QTest::newRow("few characters") << 6 << QStringLiteral("口") << true;
    QTest::newRow("24 characters") << 24 << QStringLiteral("口") << false;
    QTest::newRow("25 characters") << 25 << QStringLiteral("口") << false;
    QTest::newRow("25 words") << 25 << QStringLiteral("大人") << false;
  }
  void fullChapterFits() {
    QFETCH(int, count);
    QFETCH(QString, caption);
    QFETCH(bool, fullSize);
    TestDataModule db;
    db.AddRows(QStringLiteral("ZJ"), {Chapter(1, QStringLiteral("一"))});
    QList<Row> items;
    for (int i = 0; i < count; ++i) items << Item(i + 1, caption, QStringLiteral("一"));
    db.AddRows(QStringLiteral("szSound"), items);
    Screen s;
    QListWidget* list = s.form.ListView1;
    QCOMPARE(list->count(), count);
    QCOMPARE(list->font().pixelSize() == 56, fullSize);
    QVERIFY(!list->verticalScrollBar()->isVisible());
    const QRect view = list->viewport()->rect();
    const QFontMetrics metrics(list->font());
    for (int i = 0; i < count; ++i) {
      const QRect r = list->visualItemRect(list->item(i));
      QVERIFY2(view.contains(r), qPrintable(QString::number(i)));
      QVERIFY(r.width() >= metrics.horizontalAdvance(caption) + 6);
    }
  }

  void hourglassWhileTheListLoads() {
    TestDataModule db;
    db.AddRows(QStringLiteral("ZJ"), {Chapter(1, QStringLiteral("一"))});
    QList<bool> busy;
    platform::SetSqlObserver([&busy](const QString&, const QString&) {
      busy << (QApplication::overrideCursor() &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    });
    Screen s;
    platform::SetSqlObserver({});
    QCOMPARE(busy, (QList<bool>{false, true}));  // chapters, then the chapter's items
    QVERIFY(!QApplication::overrideCursor());
  }

  void buttonsOpenTheirWindows_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("window");
    QTest::newRow("help") << QStringLiteral("使用方法") << "TMYHLPForm";
    QTest::newRow("chapter editor") << QStringLiteral("编辑章节") << "TZJFORM";
    QTest::newRow("character editor") << QStringLiteral("编辑字") << "TSzsoundForm";
  }
  void buttonsOpenTheirWindows() {
    QFETCH(QString, caption);
    QFETCH(QString, window);
    TestDataModule db;
    Screen s;
    QStringList opened;
    SetShowScreenHook([&](const QString& name, QWidget* owner) {
      opened << name;
      return owner == &s.form;
    });
    QToolButton* b = nullptr;
    for (QToolButton* candidate : {s.form.HELPSB, s.form.zjsb, s.form.zsb})
      if (candidate->text() == caption) b = candidate;
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
    SetShowScreenHook({});
    QCOMPARE(opened, QStringList{window});
  }

  // A database that has gone away: one error report, not one per query that follows it.
  void lostDatabaseIsReportedOnce() {
    TestDataModule db;
    db.AddRows(QStringLiteral("ZJ"), {Chapter(1, QStringLiteral("第一章"))});
    testing::ScriptedMessageBox boxes;
    QSqlDatabase::database(dm->ALLQuery->ConnectionName(), false).close();
    Screen s;
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].title, kApplicationTitle);
    QCOMPARE(boxes.shown[0].flags, platform::MB_OK | platform::MB_ICONERROR);
    QCOMPARE(s.form.CB1->count(), 0);
    QCOMPARE(s.form.ListView1->count(), 0);
  }

  // The chapter editor adds a chapter and, when left, reloads the screen's chapters.
  void editorsReloadTheChapters() {
    TestDataModule db;
    db.AddRows(QStringLiteral("ZJ"),
               {Chapter(1, QStringLiteral("第一章")), Chapter(3, QStringLiteral("第三章"))});
    Screen s;
    s.form.DownSbClick();
    SetShowScreenHook([&](const QString&, QWidget* owner) {
      db.AddRows(QStringLiteral("ZJ"), {Chapter(2, QStringLiteral("第二章"))});
      FindLessonScreen(owner)->LoadChapters();  // as the editors reach the screen
      return true;
    });
    s.form.zjsbClick();
    SetShowScreenHook({});
    QCOMPARE(s.form.CB1->count(), 3);
    QCOMPARE(s.form.CB1->itemText(1), QStringLiteral("第二章"));
    QCOMPARE(s.form.CB1->currentIndex(), 0);
  }

  void returnStopsTheSoundAndCloses() {
    TestDataModule db;
    RecordingSoundPlayer sound;
    Screen s;
    QVERIFY(s.form.isVisible());
    sound.calls.clear();
    QTest::mouseClick(s.form.QuitSb, Qt::LeftButton);
    QCOMPARE(sound.Names(), QStringList{QString()});
    QVERIFY(!s.form.isVisible());
  }

  void escapeKeepsTheScreenOpen() {
    TestDataModule db;
    Screen s;
    QTest::keyClick(&s.form, Qt::Key_Escape);
    QVERIFY(s.form.isVisible());
  }

  // Every character of the sample course opens its pop-up and is heard three times.
  void sampleCourseIsPlayable() {
    FakeClock clock;
    RecordingSoundPlayer sound(&clock);
    TestDataModule db;
    db.LoadSampleCourse();
    Screen s;
    QVERIFY(s.form.CB1->count() >= 2);
    int heard = 0;
    for (int chapter = 0; chapter < s.form.CB1->count(); ++chapter) {
      if (chapter > 0) s.form.DownSbClick();
      QCOMPARE(s.form.CB1->currentIndex(), chapter);
      QVERIFY2(s.form.ListView1->count() > 0, qPrintable(s.form.CB1->currentText()));
      for (int row = 0; row < s.form.ListView1->count(); ++row) {
        const QString character = s.form.ListView1->item(row)->text();
        sound.calls.clear();
        s.ClickEntry(row);
        QPointer<Tsendsongform> popup = s.popups.takeLast();
        QVERIFY(popup);
        QCOMPARE(popup->ZILB->text(), character);
        QVERIFY2(QFileInfo(CurrentSoundFile).isFile(), qPrintable(CurrentSoundFile));
        popup->setAttribute(Qt::WA_DeleteOnClose);
        popup->show();
        popup->PlayAndClose();
        QCOMPARE(sound.Names(), QStringList(3, CurrentSoundFile));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!popup);
        ++heard;
      }
    }
    QVERIFY(heard >= 20);
  }
};

QTEST_MAIN(CharacterScreenTest)
#include "test_character_screen.moc"
