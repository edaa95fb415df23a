// SPDX-License-Identifier: GPL-3.0-or-later
// The poem and English lesson screens, both profiles through the same cases: browsing chapters
// and items, reading aloud, the no-recording notice, the windows the buttons open, and the
// sample course end to end.
#include <QAbstractItemView>
#include <QScrollArea>
#include <QComboBox>
#include <QFile>
#include <QHelpEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <memory>

#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "lessons/lesson_clock.h"
#include "lessons/poem_view.h"
#include "lessons/verse_screen.h"
#include "platform/dataset.h"
#include "platform/wav_file.h"
#include "support/fakes.h"
#include "support/test_db.h"

using testing::FakeClock;
using testing::RecordingSoundPlayer;
using testing::ScriptedMessageBox;
using testing::TestDataModule;

namespace {

struct Item {
  QString name;
  QString text;  // a null text stays NULL in the database
  QString sound;
};

void AddKindColumn() { QTest::addColumn<int>("kind"); }

const LessonKind& KindOf(int k) { return Kind(static_cast<LessonKindId>(k)); }

QString Stops(const RecordingSoundPlayer& sound) { return sound.Names().join(QLatin1Char('|')); }

QStringList Entries(const TVerseScreen& s) {
  QStringList out;
  for (int i = 0; i < s.Tree1->topLevelItemCount(); ++i) out << s.Tree1->topLevelItem(i)->text(0);
  return out;
}

QString Selected(const TVerseScreen& s) {
  const auto items = s.Tree1->selectedItems();
  return items.isEmpty() ? QString() : items.first()->text(0);
}

QPoint EntryCentre(const TVerseScreen& s, int row) {
  return s.Tree1->visualItemRect(s.Tree1->topLevelItem(row)).center();
}

// A recording of tone bursts: each (seconds sounding, seconds quiet after) in turn.
using Parts = QList<std::pair<double, double>>;
platform::Samples Bursts(const Parts& parts) {
  platform::Samples out;
  for (const auto& [sound, quiet] : parts) {
    for (int i = 0; i < int(sound * platform::kRecordingRate); ++i)
      out.push_back(std::int16_t(12000 * std::sin(i * 0.12)));
    out.insert(out.end(), size_t(quiet * platform::kRecordingRate), 0);
  }
  return out;
}

}  // namespace

class VerseScreenTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDataModule> m_db;
  std::unique_ptr<FakeClock> m_clock;
  std::unique_ptr<RecordingSoundPlayer> m_sound;
  std::unique_ptr<ScriptedMessageBox> m_boxes;
  std::unique_ptr<QTemporaryDir> m_media;
  QPointer<TVerseScreen> m_screen;

  void AddChapters(const LessonKind& k, const QStringList& names) {
    QList<QList<std::pair<QString, QString>>> rows;
    for (int i = 0; i < names.size(); ++i)
      rows.append(
          {{QStringLiteral("章号"), QString::number(i + 1)}, {QStringLiteral("章节"), names[i]}});
    m_db->AddRows(k.chapterTable, rows);
  }

  // Items numbered from `first` in list order, in chapter `chapter`.
  void AddItems(const LessonKind& k, const QString& chapter, const QList<Item>& items,
                int first = 1) {
    QList<QList<std::pair<QString, QString>>> rows;
    for (int i = 0; i < items.size(); ++i) {
      QList<std::pair<QString, QString>> row = {{k.numberField, QString::number(first + i)},
                                                {k.nameField, items[i].name},
                                                {QStringLiteral("章节"), chapter},
                                                {QStringLiteral("声音"), items[i].sound}};
      if (!items[i].text.isNull()) row.append({k.textField, items[i].text});
      rows.append(row);
    }
    m_db->AddRows(k.itemTable, rows);
  }

  // A small WAV-named file in the test's media folder (the screen only checks that it exists).
  QString Recording(const QString& name) {
    const QString path = m_media->filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write("RIFF");
    return path;
  }

  TVerseScreen* Open(int kind) {
    TVerseScreen* s = static_cast<LessonKindId>(kind) == LessonKindId::Poem
                          ? static_cast<TVerseScreen*>(new TxsmainForm(nullptr))
                          : new TXYYMAINForm(nullptr);
    m_screen = s;
    s->ShowMaximizedOrDesign(false);
    return s;
  }

  // One chapter "第一章" with three recorded items, for the browsing cases.
  TVerseScreen* OpenWithThreeItems(int kind) {
    const LessonKind& k = KindOf(kind);
    AddChapters(k, {QStringLiteral("第一章")});
    AddItems(k, QStringLiteral("第一章"),
             {{QStringLiteral("一"), QStringLiteral("文一"), Recording(QStringLiteral("1.wav"))},
              {QStringLiteral("二"), QStringLiteral("文二"), Recording(QStringLiteral("2.wav"))},
              {QStringLiteral("三"), QStringLiteral("文三"), Recording(QStringLiteral("3.wav"))}});
    return Open(kind);
  }

 private Q_SLOTS:
  void init() {
    m_db = std::make_unique<TestDataModule>();
    m_clock = std::make_unique<FakeClock>();
    m_sound = std::make_unique<RecordingSoundPlayer>(m_clock.get());
    m_boxes = std::make_unique<ScriptedMessageBox>();
    m_media = std::make_unique<QTemporaryDir>();
    CurrentSoundFile.clear();
  }

  void cleanup() {
    delete m_screen.data();
    SetShowScreenHook({});
    m_boxes.reset();
    m_sound.reset();
    m_clock.reset();
    m_db.reset();
  }

  void profileShapesTheScreen_data() {
    AddKindColumn();
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("next");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("textLeft");
    QTest::newRow("poem") << int(LessonKindId::Poem) << "幼儿学诗"
                          << "下一首" << 578 << 248 + 104 + 2;
    QTest::newRow("english") << int(LessonKindId::English) << "发音学英语"
                             << "下一句" << 553 << 336 + 104 + 2;
  }
  void profileShapesTheScreen() {
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QString, next);
    QFETCH(int, height);
    QFETCH(int, textLeft);
    TVerseScreen* s = Open(kind);
    QCOMPARE(s->windowTitle(), caption);
    QCOMPARE(s->designArea()->size(), QSize(800, height));
    QCOMPARE(s->XYSSB->text(), next);
    QCOMPARE(s->zsb->geometry().left(), KindOf(kind).itemButtonLeft);
    QCOMPARE(s->me1->mapTo(s->designArea(), QPoint(0, 0)).x(), textLeft);
    // The text panel reaches the right edge, inside the body's frame.
    QCOMPARE(textLeft + s->me1->width(), 798);
    QVERIFY(s->ldshow->isHidden());
    QVERIFY(s->Timer1->isActive());
    QCOMPARE(s->Timer1->interval(), 1000);
  }

  void fillsALargeWindow_data() {
    AddKindColumn();
    QTest::newRow("poem") << int(LessonKindId::Poem);
    QTest::newRow("english") << int(LessonKindId::English);
  }
  void fillsALargeWindow() {
    QFETCH(int, kind);
    TVerseScreen* s = Open(kind);
    const int designTextWidth = s->me1->width();
    const QRect designList = s->Tree1->geometry();
    s->resize(1280, 800);
    QCOMPARE(s->size(), QSize(1280, 800));
    const auto rectIn = [s](const QWidget* w) { return QRect(w->mapTo(s, QPoint()), w->size()); };

    const QRect top = rectIn(s->findChild<QWidget*>(QStringLiteral("topBar")));
    QCOMPARE(top.topLeft(), QPoint(0, 0));
    QCOMPARE(top.width(), 1280);
    const QRect status = rectIn(s->findChild<QWidget*>(QStringLiteral("statusBar")));
    QCOMPARE(status.left(), 0);
    QCOMPARE(status.width(), 1280);
    QCOMPARE(status.bottom(), 799);
    // "返回→" stays in the top right corner, the other buttons where the design puts them.
    QCOMPARE(rectIn(s->QuitSb).left(), 1280 - (800 - 714));
    QCOMPARE(s->zsb->geometry().left(), KindOf(kind).itemButtonLeft);

    // The panels reach from the top bar down to the status bar; the list keeps its width and
    // the text panel takes the extra width.
    // On the English screen the word stands large above its translation.
    const QWidget* textTop = s->WordLb ? static_cast<QWidget*>(s->WordLb) : s->me1;
    QCOMPARE(rectIn(s->Tree1).top(), top.bottom() + 1 + 2);
    QCOMPARE(rectIn(textTop).top(), top.bottom() + 1 + 2);
    if (s->WordLb) QCOMPARE(rectIn(s->WordLb).bottom() + 1, rectIn(s->me1).top());
    for (const QWidget* panel : {static_cast<QWidget*>(s->Tree1), static_cast<QWidget*>(s->me1)})
      QCOMPARE(rectIn(panel).bottom(), status.top() - 1 - 2);
    QCOMPARE(s->Tree1->width(), designList.width());
    QCOMPARE(s->me1->width(), designTextWidth + 480);
    QCOMPARE(rectIn(s->me1).right(), 1280 - 1 - 2);
    QCOMPARE(s->LDSB->mapTo(s->XYSSB->parentWidget(), QPoint()), QPoint(11, 141));

    // Back at the design size, everything is back at its design place.
    s->resize(800, KindOf(kind).screenHeight);
    QCOMPARE(s->me1->width(), designTextWidth);
    QCOMPARE(s->Tree1->geometry(), designList);
  }

  // The English word's picture stands left of the word; a word without one spans the row.
  void englishPictureBesideTheWord() {
    const LessonKind& k = KindOf(int(LessonKindId::English));
    AddChapters(k, {QStringLiteral("第一章")});
    AddItems(k, QStringLiteral("第一章"),
             {{QStringLiteral("cat"), QStringLiteral("猫"), Recording(QStringLiteral("1.wav"))},
              {QStringLiteral("the"), QStringLiteral("这"), Recording(QStringLiteral("2.wav"))}});
    TVerseScreen* s = Open(int(LessonKindId::English));
    QCOMPARE(s->WordLb->text(), QStringLiteral("cat"));
    QVERIFY(s->PictureLb->isVisibleTo(s));
    QVERIFY(!s->PictureLb->pixmap().isNull());
    QCOMPARE(s->WordLb->geometry().left(), s->PictureLb->geometry().right() + 1);
    QCOMPARE(s->PictureLb->geometry().top(), s->WordLb->geometry().top());
    s->XYSSBClick();
    QCOMPARE(s->WordLb->text(), QStringLiteral("the"));
    QVERIFY(!s->PictureLb->isVisibleTo(s));
    QCOMPARE(s->WordLb->width(), s->me1->width());
  }

  void stepsThroughItemsWithoutWrapping_data() {
    AddKindColumn();
    QTest::newRow("poem") << int(LessonKindId::Poem);
    QTest::newRow("english") << int(LessonKindId::English);
  }
  void stepsThroughItemsWithoutWrapping() {
    QFETCH(int, kind);
    TVerseScreen* s = OpenWithThreeItems(kind);
    QCOMPARE(Entries(*s), (QStringList{"一", "二", "三"}));
    QCOMPARE(Selected(*s), QStringLiteral("一"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文一"));

    s->SYSSBClick();  // already on the first
    QCOMPARE(Selected(*s), QStringLiteral("一"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文一"));

    s->XYSSBClick();
    s->XYSSBClick();
    QCOMPARE(Selected(*s), QStringLiteral("三"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文三"));
    if (s->WordLb) QCOMPARE(s->WordLb->text(), QStringLiteral("三"));
    s->XYSSBClick();  // already on the last
    QCOMPARE(Selected(*s), QStringLiteral("三"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文三"));

    s->SYSSBClick();
    QCOMPARE(Selected(*s), QStringLiteral("二"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文二"));
    // Stepping shows; 下一句 and 上一句 of the English screen read the sentence they move to.
    QCOMPARE(m_sound->Names().filter(QRegularExpression(".")).size(),
             kind == int(LessonKindId::English) ? 3 : 0);
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void arrowKeysStopAtEnds_data() { stepsThroughItemsWithoutWrapping_data(); }
  void arrowKeysStopAtEnds() {
    QFETCH(int, kind);
    TVerseScreen* s = OpenWithThreeItems(kind);
    QTest::keyClick(s->Tree1, Qt::Key_Up);
    QCOMPARE(Selected(*s), QStringLiteral("一"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文一"));
    QTest::keyClick(s->Tree1, Qt::Key_Down);
    QTest::keyClick(s->Tree1, Qt::Key_Down);
    QCOMPARE(Selected(*s), QStringLiteral("三"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文三"));
    QTest::keyClick(s->Tree1, Qt::Key_Down);
    QCOMPARE(Selected(*s), QStringLiteral("三"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文三"));
    QTest::keyClick(s->Tree1, Qt::Key_Up);
    QCOMPARE(Selected(*s), QStringLiteral("二"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文二"));
    // Home moves the selection but leaves the text panel alone.
    QTest::keyClick(s->Tree1, Qt::Key_Home);
    QCOMPARE(Selected(*s), QStringLiteral("一"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文二"));
  }

  void chapterButtonsStopAtEnds_data() {
    AddKindColumn();
    QTest::addColumn<int>("chapters");
    for (int kind : {int(LessonKindId::Poem), int(LessonKindId::English)})
      for (int n : {1, 3})
        QTest::addRow("%s, %d chapters", qPrintable(KindOf(kind).key), n) << kind << n;
  }
  void chapterButtonsStopAtEnds() {
    QFETCH(int, kind);
    QFETCH(int, chapters);
    const LessonKind& k = KindOf(kind);
    QStringList names;
    for (int i = 1; i <= chapters; ++i) {
      names << QStringLiteral("章%1").arg(i);
      AddItems(k, names.last(),
               {{QStringLiteral("篇%1").arg(i), QStringLiteral("文%1").arg(i), {}}}, i);
    }
    AddChapters(k, names);
    TVerseScreen* s = Open(kind);
    QCOMPARE(s->CB1->count(), chapters);
    QCOMPARE(s->CB1->currentIndex(), 0);

    s->UpSbClick();
    QCOMPARE(s->CB1->currentIndex(), 0);
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文1"));
    for (int i = 0; i < chapters + 1; ++i) s->DownSbClick();
    QCOMPARE(s->CB1->currentIndex(), chapters - 1);
    QCOMPARE(Entries(*s), QStringList{QStringLiteral("篇%1").arg(chapters)});
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文%1").arg(chapters));
    s->UpSbClick();
    QCOMPARE(s->CB1->currentIndex(), qMax(0, chapters - 2));

    // The status bar follows the chapter on the next clock tick.
    s->Timer1Timer();
    QCOMPARE(s->StatusText(1), LessonChapterText(s->CB1->currentText()));
  }

  void chapterChosenInSelectorLoadsItsItems_data() { stepsThroughItemsWithoutWrapping_data(); }
  void chapterChosenInSelectorLoadsItsItems() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    AddChapters(k, {QStringLiteral("甲"), QStringLiteral("乙")});
    AddItems(k, QStringLiteral("甲"), {{QStringLiteral("a"), QStringLiteral("文a"), {}}});
    // Item numbers 3, 2 are listed 2 before 3.
    AddItems(k, QStringLiteral("乙"), {{QStringLiteral("c"), QStringLiteral("文c"), {}}}, 3);
    AddItems(k, QStringLiteral("乙"), {{QStringLiteral("b"), QStringLiteral("文b"), {}}}, 2);
    TVerseScreen* s = Open(kind);
    s->CB1->setCurrentIndex(1);
    s->CB1Change();
    QCOMPARE(Entries(*s), (QStringList{"b", "c"}));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文b"));
    QVERIFY(s->Tree1->hasFocus() || !QApplication::focusWidget());
  }

  void emptyChapterTable_data() { stepsThroughItemsWithoutWrapping_data(); }
  void emptyChapterTable() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    AddItems(k, QStringLiteral("别的章"), {{QStringLiteral("一"), QStringLiteral("文一"), {}}});
    QStringList sql;
    platform::SetSqlObserver([&sql](const QString&, const QString& text) { sql << text; });
    TVerseScreen* s = Open(kind);
    platform::SetSqlObserver({});

    QCOMPARE(s->CB1->count(), 0);
    QCOMPARE(s->CB1->currentText(), QString());
    QVERIFY(sql.contains(k.sqlItemsLine1 + QLatin1Char('\n') + k.sqlItemsLine2));
    QCOMPARE(s->Tree1->topLevelItemCount(), 0);
    QCOMPARE(s->me1->toPlainText(), QString());

    s->LDSBClick();
    s->XYSSBClick();
    s->SYSSBClick();
    QCOMPARE(m_boxes->shown.size(), 3);
    for (const auto& box : m_boxes->shown) {
      QCOMPARE(box.text, k.noSelection);
      QCOMPARE(box.title, QStringLiteral("注意"));
      QCOMPARE(box.flags, platform::MB_OK | platform::MB_ICONWARNING);
      QCOMPARE(box.owner, s);
    }
    s->UpSbClick();
    s->DownSbClick();
    QCOMPARE(s->CB1->count(), 0);
    s->Timer1Timer();
    QCOMPARE(s->StatusText(1), QStringLiteral("  现在章节:"));
    QVERIFY(!m_sound->Names().join(QString()).size());
  }

  void chapterWithoutItemsKeepsText_data() { stepsThroughItemsWithoutWrapping_data(); }
  void chapterWithoutItemsKeepsText() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    AddChapters(k, {QStringLiteral("有"), QStringLiteral("空")});
    AddItems(k, QStringLiteral("有"), {{QStringLiteral("一"), QStringLiteral("文一"), {}}});
    TVerseScreen* s = Open(kind);
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文一"));
    s->DownSbClick();
    QCOMPARE(s->CB1->currentText(), QStringLiteral("空"));
    QCOMPARE(s->Tree1->topLevelItemCount(), 0);
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文一"));
    s->LDSBClick();
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].text, k.noSelection);
  }

  // A lost database is reported once per load, and the old chapter's names don't stay listed.
  void lostDatabaseClearsTheList_data() { stepsThroughItemsWithoutWrapping_data(); }
  void lostDatabaseClearsTheList() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    AddChapters(k, {QStringLiteral("有"), QStringLiteral("二")});
    AddItems(k, QStringLiteral("有"), {{QStringLiteral("一"), QStringLiteral("文一"), {}}});
    TVerseScreen* s = Open(kind);
    QCOMPARE(s->Tree1->topLevelItemCount(), 1);
    QSqlDatabase::database(dm->ALLQuery->ConnectionName(), false).close();
    s->DownSbClick();
    QCOMPARE(s->Tree1->topLevelItemCount(), 0);
    QCOMPARE(s->me1->toPlainText(), QString());
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].flags, platform::MB_OK | platform::MB_ICONERROR);
  }

  // A text longer than the panel gets a scroll bar and scrolls by the wheel; a short one has none.
  void longTextCanBeReadToItsEnd_data() { stepsThroughItemsWithoutWrapping_data(); }
  void longTextCanBeReadToItsEnd() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    QStringList lines;
    for (int i = 1; i <= 20; ++i) lines << QStringLiteral("第%1行，春眠不觉晓").arg(i);
    AddChapters(k, {QStringLiteral("第一章")});
    AddItems(k, QStringLiteral("第一章"),
             {{QStringLiteral("短"), QStringLiteral("一行"), {}},
              {QStringLiteral("长"), lines.join(QLatin1Char('\n')), {}}});
    TVerseScreen* s = Open(kind);
    // A poem scrolls in its own panel, with the pinyin over it.
    QAbstractScrollArea* panel = s->PoemScroll ? static_cast<QAbstractScrollArea*>(s->PoemScroll)
                                               : static_cast<QAbstractScrollArea*>(s->me1);
    QScrollBar* bar = panel->verticalScrollBar();
    QVERIFY(!bar->isVisible());
    s->XYSSBClick();
    QTRY_VERIFY(bar->isVisible());
    QVERIFY(bar->maximum() > 0);
    const QPoint at = panel->viewport()->rect().center();
    QWheelEvent wheel(at, panel->viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(panel->viewport(), &wheel);
    QVERIFY(bar->value() > 0);
    s->SYSSBClick();
    QTRY_VERIFY(!bar->isVisible());
  }

  // Long names: a list entry that is cut off shows its whole name as a tooltip; the closed
  // chapter selector keeps its design width and golden face, its opened list fits the longest
  // name.
  // A character touched on a poem is said: its recording in the character course, else one the
  // program speaks and keeps; signs say nothing.
  void touchedCharacterIsSaid_data() {
    QTest::addColumn<bool>("recorded");
    QTest::newRow("recorded in the character course") << true;
    QTest::newRow("spoken by the program") << false;
  }
  void touchedCharacterIsSaid() {
    QFETCH(bool, recorded);
    const LessonKind& poem = KindOf(int(LessonKindId::Poem));
    AddChapters(poem, {QStringLiteral("第一章")});
    AddItems(poem, QStringLiteral("第一章"),
             {{QStringLiteral("静夜思"), QStringLiteral("唐·李白\n床前明月光，疑是地上霜。"), {}}});
    const QString bed = Recording(QStringLiteral("bed.wav"));
    if (recorded) {
      const LessonKind& characters = KindOf(int(LessonKindId::Character));
      AddChapters(characters, {QStringLiteral("第一章")});
      AddItems(characters, QStringLiteral("第一章"), {{QStringLiteral("床"), QStringLiteral("chuáng"), bed}});
    }
    TVerseScreen* s = Open(int(LessonKindId::Poem));
    QCOMPARE(s->Poem->ReadingAt(2, 0), QStringLiteral("chuáng"));
    QCOMPARE(s->WordLb, nullptr);
    QCOMPARE(s->Poem->ReadingAt(2, 5), QString());  // "，"
    m_sound->calls.clear();
    QTest::mouseClick(s->Poem, Qt::LeftButton, {}, s->Poem->CellRect(2, 5).center());
    QVERIFY(m_sound->Names().isEmpty());
    QTest::mouseClick(s->Poem, Qt::LeftButton, {}, s->Poem->CellRect(2, 0).center());
    QCOMPARE(m_sound->Names().size(), 1);
    const QString said = m_sound->Names().first();
    if (recorded)
      QCOMPARE(QFileInfo(said).fileName(), QFileInfo(bed).fileName());
    else
      QVERIFY2(said.contains("/spoken/") && QFileInfo(said).size() > 1000, qPrintable(said));
  }

  // The lines start after the recording's longest pauses: of 120 ms or more, longer than the
  // pauses between words; with too few pauses, by the lines' syllables.
  void lineStartsFromPauses_data() {
    QTest::addColumn<Parts>("bursts");
    QTest::addColumn<QList<int>>("syllables");
    QTest::addColumn<QList<double>>("starts");
    QTest::newRow("words and lines") << Parts{{0.4, 0.08}, {0.4, 0.3}, {0.4, 0.08}, {0.4, 0.3}, {0.4, 0.08}, {0.4, 0}}
                                     << QList<int>{5, 5, 5} << QList<double>{0, 1.18, 2.36};
    QTest::newRow("pause at 120 ms") << Parts{{1.0, 0.12}, {1.0, 0}}
                                     << QList<int>{1, 3} << QList<double>{0, 1.12};
    QTest::newRow("pause of 100 ms: by syllables") << Parts{{1.0, 0.1}, {1.0, 0}}
                                     << QList<int>{1, 3} << QList<double>{0, 0.525};
    QTest::newRow("silence") << Parts{{0, 1.0}} << QList<int>{2, 2}
                             << QList<double>{};
  }
  void lineStartsFromPauses() {
    QFETCH(Parts, bursts);
    QFETCH(QList<int>, syllables);
    QFETCH(QList<double>, starts);
    const QList<double> found = LineStarts(Bursts(bursts), platform::kRecordingRate, syllables);
    QCOMPARE(found.size(), starts.size());
    for (int i = 0; i < starts.size(); ++i)
      QVERIFY2(std::abs(found[i] - starts[i]) <= 0.03, qPrintable(QString::number(found[i])));
  }

  // Reading a recording for its pauses: 8 and 16 bits, one or two channels; other formats and
  // what is no regular file are refused.
  void recordingsReadForPauses_data() {
    QTest::addColumn<QByteArray>("wav");
    QTest::addColumn<int>("frames");  // -1: refused
    const platform::Samples tone = Bursts({{0.1, 0}});
    const QByteArray mono = platform::WavBytes(tone);
    QByteArray stereo8 = mono;  // the same header, 8 bits, two channels: one frame a sample pair
    qToLittleEndian<quint16>(2, stereo8.data() + 22);
    qToLittleEndian<quint16>(8, stereo8.data() + 34);
    QByteArray floats = mono;
    qToLittleEndian<quint16>(3, floats.data() + 20);
    QByteArray bits24 = mono;
    qToLittleEndian<quint16>(24, bits24.data() + 34);
    QTest::newRow("16 bits, one channel") << mono << int(tone.size());
    QTest::newRow("8 bits, two channels") << stereo8 << int(tone.size());
    QTest::newRow("cut short") << mono.left(44 + 100) << 50;
    QTest::newRow("floats") << floats << -1;
    QTest::newRow("24 bits") << bits24 << -1;
    QTest::newRow("no data") << mono.left(36) << -1;
    QTest::newRow("a link") << QByteArray("link") << -1;
  }
  void recordingsReadForPauses() {
    QFETCH(QByteArray, wav);
    QFETCH(int, frames);
    QTemporaryDir dir;
    const QString path = dir.filePath("r.wav");
    if (wav == "link") {
      QFile target(dir.filePath("t.wav"));
      QVERIFY(target.open(QIODevice::WriteOnly));
      target.write(platform::WavBytes(Bursts({{0.1, 0}})));
      target.close();
      QVERIFY(QFile::link(target.fileName(), path));
    } else {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(wav);
    }
    platform::Samples samples;
    int rate = 0;
    QCOMPARE(platform::ReadWav(path, &samples, &rate), frames >= 0);
    if (frames >= 0) QCOMPARE(int(samples.size()), frames);
  }

  // Reading a poem aloud lights its first line at once and the text scrolls with none lit after.
  void readingLightsTheLine() {
    const LessonKind& poem = KindOf(int(LessonKindId::Poem));
    AddChapters(poem, {QStringLiteral("第一章")});
    const QString recording = m_media->filePath("poem.wav");
    QString error;
    QVERIFY(platform::SaveWav(Bursts({{0.3, 0.3}, {0.3, 0.3}, {0.3, 0.3}}), recording,
                              platform::Overwrite::Replace, &error));
    AddItems(poem, QStringLiteral("第一章"),
             {{QStringLiteral("咏鹅"), QStringLiteral("唐·骆宾王"), recording}});
    TVerseScreen* s = Open(int(LessonKindId::Poem));
    QCOMPARE(s->Poem->LitLine(), -1);
    s->LDSBClick();
    QCOMPARE(s->Poem->LitLine(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(s->Poem->LitLine(), 1, 5000);
    // Another item: nothing lit.
    s->ShowItem(QStringLiteral("咏鹅"));
    QCOMPARE(s->Poem->LitLine(), -1);
  }

  void longNamesCanBeRead_data() { stepsThroughItemsWithoutWrapping_data(); }
  void longNamesCanBeRead() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    const QString longChapter = QStringLiteral("第一章 春天里的小花园和大树");
    const QString longItem =
        QStringLiteral("Twinkle twinkle little star, how I wonder what you are");
    AddChapters(k, {longChapter, QStringLiteral("二")});
    AddItems(
        k, longChapter,
        {{QStringLiteral("cat"), QStringLiteral("猫"), {}}, {longItem, QStringLiteral("星"), {}}});
    TVerseScreen* s = Open(kind);
    QCOMPARE(s->Tree1->topLevelItem(0)->toolTip(0), QString());
    QCOMPARE(s->Tree1->topLevelItem(1)->toolTip(0), longItem);

    QCOMPARE(s->CB1->width(), 105);
    QCOMPARE(s->CB1->toolTip(), longChapter);
    s->CB1->setCurrentIndex(1);  // a chapter whose name fits has no tooltip
    QCOMPARE(s->CB1->toolTip(), QString());
    s->CB1->setCurrentIndex(0);
    const QImage face = s->CB1->grab().toImage();
    int golden = 0;
    for (int y = 0; y < face.height(); ++y)
      for (int x = 0; x < face.width(); ++x) golden += face.pixel(x, y) == qRgb(255, 210, 83);
    QVERIFY(golden > face.width() * face.height() / 2);

    s->CB1->showPopup();
    QVERIFY(s->CB1->view()->width() >=
            s->CB1->view()->fontMetrics().horizontalAdvance(longChapter));
    // Hovering an entry that is cut shows it whole; one that fits shows nothing.
    s->CB1->view()->setFixedWidth(s->CB1->width());
    for (const auto& [row, tip] : {std::pair{1, QString()}, std::pair{0, longChapter}}) {
      QWidget* viewport = s->CB1->view()->viewport();
      const QPoint at = s->CB1->view()->visualRect(s->CB1->model()->index(row, 0)).center();
      QHelpEvent hover(QEvent::ToolTip, at, viewport->mapToGlobal(at));
      QApplication::sendEvent(viewport, &hover);
      QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tip);
    }
    // Drawn as the adult sees it: the long entry looks like one of its beginnings with a "…" in
    // sight (not merely clipped at the edge).
    const auto drawn = [&](const QString& text) {
      s->CB1->setItemText(0, text);
      return s->CB1->view()->viewport()->grab().toImage();
    };
    const QImage cut = drawn(longChapter);
    int n = 1;
    while (n < longChapter.size() && drawn(longChapter.left(n) + u'…') != cut) ++n;
    QVERIFY(n < longChapter.size() && drawn(longChapter.left(n)) != cut);
    s->CB1->setItemText(0, longChapter);
    s->CB1->hidePopup();
    QCOMPARE(s->CB1->width(), 105);
  }

  void readingAloud_data() {
    AddKindColumn();
    QTest::addColumn<QString>("sound");  // "recorded", "empty", "missing", "folder"
    for (int kind : {int(LessonKindId::Poem), int(LessonKindId::English)})
      for (const char* sound : {"recorded", "empty", "missing", "folder"})
        QTest::addRow("%s, %s", qPrintable(KindOf(kind).key), sound) << kind << sound;
  }
  void readingAloud() {
    QFETCH(int, kind);
    QFETCH(QString, sound);
    const LessonKind& k = KindOf(kind);
    QString path;
    if (sound == QLatin1String("recorded")) path = Recording(QStringLiteral("读.wav"));
    if (sound == QLatin1String("missing")) path = m_media->filePath(QStringLiteral("无.wav"));
    if (sound == QLatin1String("folder")) path = m_media->path();
    AddChapters(k, {QStringLiteral("第一章")});
    AddItems(k, QStringLiteral("第一章"),
             {{QStringLiteral("一"), QStringLiteral("文一"), Recording(QStringLiteral("1.wav"))},
              {QStringLiteral("二"), QStringLiteral("文二"), path}});
    TVerseScreen* s = Open(kind);
    s->XYSSBClick();
    m_sound->calls.clear();

    s->LDSBClick();
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文二"));  // reading aloud leaves the text
    QVERIFY(m_boxes->shown.isEmpty());
    if (sound == QLatin1String("empty")) {
      // No recording yet: spoken now, kept in the library and named in the row.
      QVERIFY(QFileInfo(CurrentSoundFile).isFile());
      QCOMPARE(m_sound->Names(), QStringList{CurrentSoundFile});
      QVERIFY(s->ldshow->isHidden());
      QVERIFY(dm->ALLQuery->Field(QStringLiteral("声音")).startsWith(k.soundFolder + QStringLiteral("/二-")));
      return;
    }
    QCOMPARE(CurrentSoundFile, path);
    if (sound == QLatin1String("recorded")) {
      QCOMPARE(m_sound->Names(), QStringList{path});
      QVERIFY(s->ldshow->isHidden());
      QVERIFY(!s->Timer4->isActive());
      return;
    }
    QVERIFY(m_sound->calls.isEmpty());
    // Four visible 400 ms phases with three hidden ones between them, gone after seven ticks.
    QVERIFY(s->ldshow->isVisible());
    QVERIFY(s->Timer4->isActive());
    QCOMPARE(s->Timer4->interval(), 400);
    QString phases;
    for (int tick = 1; tick <= 7; ++tick) {
      s->Timer4Timer();
      phases += s->ldshow->isVisible() ? QLatin1Char('V') : QLatin1Char('-');
    }
    QCOMPARE(phases, QStringLiteral("-V-V-V-"));
    QVERIFY(!s->Timer4->isActive());
    QVERIFY(m_sound->calls.isEmpty());
  }

  void askingAgainRestartsTheNotice_data() { stepsThroughItemsWithoutWrapping_data(); }
  void askingAgainRestartsTheNotice() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    AddChapters(k, {QStringLiteral("第一章")});
    // A recording that is gone (an item without one is spoken instead).
    AddItems(k, QStringLiteral("第一章"),
             {{QStringLiteral("一"), QStringLiteral("文一"), m_media->filePath(QStringLiteral("无.wav"))}});
    TVerseScreen* s = Open(kind);
    s->LDSBClick();
    for (int i = 0; i < 5; ++i) s->Timer4Timer();
    QVERIFY(s->ldshow->isHidden());
    s->LDSBClick();
    QVERIFY(s->ldshow->isVisible());
    for (int i = 0; i < 6; ++i) s->Timer4Timer();
    QVERIFY(s->ldshow->isVisible());  // a fresh count of seven, not the old one
    QVERIFY(s->Timer4->isActive());
    s->Timer4Timer();
    QVERIFY(s->ldshow->isHidden());
    QVERIFY(!s->Timer4->isActive());
  }

  void mouseClicksShowAndReadAloud_data() { stepsThroughItemsWithoutWrapping_data(); }
  void mouseClicksShowAndReadAloud() {
    QFETCH(int, kind);
    TVerseScreen* s = OpenWithThreeItems(kind);
    const QString second = m_media->filePath(QStringLiteral("2.wav"));
    // A double-click arrives as a click followed by the double-click proper.
    QTest::mouseClick(s->Tree1->viewport(), Qt::LeftButton, {}, EntryCentre(*s, 1));
    QTest::mouseDClick(s->Tree1->viewport(), Qt::LeftButton, {}, EntryCentre(*s, 1));
    QCOMPARE(Selected(*s), QStringLiteral("二"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文二"));
    QCOMPARE(m_sound->Names().last(), second);

    // Another item clicked while one plays: the recording is cut off, the new text shows.
    QTest::mouseClick(s->Tree1->viewport(), Qt::LeftButton, {}, EntryCentre(*s, 2));
    QCOMPARE(Selected(*s), QStringLiteral("三"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文三"));
    QCOMPARE(m_sound->Names().last(), QString());

    // "朗读" plays the selected item.
    QTest::mouseClick(s->LDSB, Qt::LeftButton);
    QCOMPARE(m_sound->Names().last(), m_media->filePath(QStringLiteral("3.wav")));
  }

  void namesDifferingInCaseFindTheFirst_data() { stepsThroughItemsWithoutWrapping_data(); }
  void namesDifferingInCaseFindTheFirst() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    AddChapters(k, {QStringLiteral("水果")});
    const QString first = Recording(QStringLiteral("Apple.wav"));
    AddItems(
        k, QStringLiteral("水果"),
        {{QStringLiteral("Apple"), QStringLiteral("大苹果"), first},
         {QStringLiteral("apple"), QStringLiteral("小苹果"), Recording(QStringLiteral("b.wav"))}});
    TVerseScreen* s = Open(kind);
    QCOMPARE(Entries(*s), (QStringList{"Apple", "apple"}));
    s->XYSSBClick();
    QCOMPARE(Selected(*s), QStringLiteral("apple"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("大苹果"));
    s->LDSBClick();
    QCOMPARE(m_sound->Names().last(), first);
  }

  void nullTextGoesToErrorReport_data() { stepsThroughItemsWithoutWrapping_data(); }
  void nullTextGoesToErrorReport() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    AddChapters(k, {QStringLiteral("第一章")});
    AddItems(k, QStringLiteral("第一章"),
             {{QStringLiteral("一"), QStringLiteral("文一"), {}}, {QStringLiteral("二"), {}, {}}});
    TVerseScreen* s = Open(kind);
    s->XYSSBClick();
    QCOMPARE(Selected(*s), QStringLiteral("二"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文一"));
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].title, kApplicationTitle);
    QCOMPARE(m_boxes->shown[0].flags, platform::MB_OK | platform::MB_ICONERROR);
    QVERIFY(m_boxes->shown[0].text.contains(QStringLiteral("二")));
  }

  void buttonsOpenTheirWindowsAfterStopping_data() {
    AddKindColumn();
    QTest::addColumn<QString>("button");
    // With editing off the editors' buttons say why instead; help still opens.
    QTest::addColumn<QString>("editingOff");
    for (int kind : {int(LessonKindId::Poem), int(LessonKindId::English)})
      for (const char* button : {"HELPSB", "zjsb", "zsb"})
        for (const QString& off :
             {QString(), QStringLiteral("数据库文件是只读的"),
              QStringLiteral("这台电脑只能学习，不能修改课程。要修改课程，请到老师的电脑上。")})
          QTest::addRow("%s, %s%s", qPrintable(KindOf(kind).key), button,
                        off.isEmpty() ? "" : off.startsWith("这台") ? ", a seat" : ", editing off")
              << kind << button << off;
  }
  void buttonsOpenTheirWindowsAfterStopping() {
    QFETCH(int, kind);
    QFETCH(QString, button);
    QFETCH(QString, editingOff);
    const LessonKind& k = KindOf(kind);
    dm->SetEditingOff(editingOff);
    AddChapters(k, {QStringLiteral("一章"), QStringLiteral("二章")});
    AddItems(k, QStringLiteral("一章"), {{QStringLiteral("甲"), QStringLiteral("文甲"), {}}});
    AddItems(k, QStringLiteral("二章"), {{QStringLiteral("乙"), QStringLiteral("文乙"), {}}}, 2);
    TVerseScreen* s = Open(kind);
    // Said where the buttons are, before any click.
    QCOMPARE(s->EditingLb->isVisible(), !editingOff.isEmpty());
    QCOMPARE(s->EditingLb->text(), editingOff.isEmpty()            ? QString()
                                   : editingOff.startsWith("这台") ? QString("这台电脑只能学习，不能修改课程")
                                                                   : QString("编辑已关闭"));
    s->DownSbClick();
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文乙"));
    QCOMPARE(OpenVerseScreen(k.id), s);

    const bool manager = button != QLatin1String("HELPSB");
    QStringList opened;
    QString soundAtOpening;
    SetShowScreenHook([&](const QString& name, QWidget* owner) {
      opened << name;
      soundAtOpening = Stops(*m_sound);
      if (owner != s) return false;
      // A list manager left with its return button reloads the screen below it.
      if (manager) FindLessonScreen(owner)->LoadChapters();
      return true;
    });
    m_sound->Play(QStringLiteral("playing.wav"));
    QToolButton* b = button == QLatin1String("HELPSB") ? s->HELPSB
                     : button == QLatin1String("zjsb") ? s->zjsb
                                                       : s->zsb;
    QTest::mouseClick(b, Qt::LeftButton);
    const QString expected = button == QLatin1String("HELPSB") ? k.helpWindow
                             : button == QLatin1String("zjsb") ? k.chapterListWindow
                                                               : k.itemListWindow;
    if (manager && !editingOff.isEmpty()) {
      QCOMPARE(opened, QStringList());
      QCOMPARE(m_boxes->shown.size(), 1);
      QVERIFY2(m_boxes->shown[0].text.contains(editingOff), qPrintable(m_boxes->shown[0].text));
      return;
    }
    QCOMPARE(opened, QStringList{expected});
    QVERIFY2(soundAtOpening.endsWith(QLatin1String("playing.wav|")), qPrintable(soundAtOpening));
    if (manager) {
      QCOMPARE(s->CB1->currentIndex(), 0);
      QCOMPARE(Selected(*s), QStringLiteral("甲"));
      QCOMPARE(s->me1->toPlainText(), QStringLiteral("文甲"));
    } else {
      QCOMPARE(s->CB1->currentIndex(), 1);
    }
  }

  void loadChaptersPicksUpEdits_data() { stepsThroughItemsWithoutWrapping_data(); }
  void loadChaptersPicksUpEdits() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    AddChapters(k, {QStringLiteral("一章")});
    AddItems(k, QStringLiteral("一章"), {{QStringLiteral("甲"), QStringLiteral("文甲"), {}}});
    TVerseScreen* s = Open(kind);
    m_db->AddRows(k.chapterTable, {{{QStringLiteral("章号"), QStringLiteral("0")},
                                    {QStringLiteral("章节"), QStringLiteral("新章")}}});
    AddItems(k, QStringLiteral("新章"), {{QStringLiteral("丙"), QStringLiteral("文丙"), {}}}, 5);
    m_sound->calls.clear();
    s->LoadChapters();
    QCOMPARE(m_sound->Names().value(0), QString());  // stopped first
    QCOMPARE(s->CB1->count(), 2);
    QCOMPARE(s->CB1->currentText(), QStringLiteral("新章"));
    QCOMPARE(s->me1->toPlainText(), QStringLiteral("文丙"));
  }

  void quitStopsSoundAndCloses_data() { stepsThroughItemsWithoutWrapping_data(); }
  void quitStopsSoundAndCloses() {
    QFETCH(int, kind);
    TVerseScreen* s = OpenWithThreeItems(kind);
    s->LDSBClick();
    QTest::keyClick(s, Qt::Key_Escape);  // only "返回→" leaves
    QVERIFY(s->isVisible());
    QTest::mouseClick(s->QuitSb, Qt::LeftButton);
    QCOMPARE(m_sound->Names().last(), QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_screen.isNull());
    QCOMPARE(OpenVerseScreen(static_cast<LessonKindId>(kind)), nullptr);
  }

  // The clock text itself is checked with the character screen; here it must follow the clock.
  void statusBarClock_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::newRow("tuesday") << QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    QTest::newRow("saturday night") << QDateTime(QDate(2023, 12, 30), QTime(23, 59, 59));
  }
  void statusBarClock() {
    QFETCH(QDateTime, now);
    m_clock->Set(now);
    TVerseScreen* s = Open(int(LessonKindId::Poem));
    QCOMPARE(s->StatusText(0), QStringLiteral("Quorvex"));
    QCOMPARE(s->StatusText(1), QStringLiteral("  现在章节:"));  // written before any chapter
    QCOMPARE(s->StatusText(2), LessonClockText(now));
    m_clock->Advance(1000);
    s->Timer1Timer();
    QCOMPARE(s->StatusText(2), LessonClockText(now.addSecs(1)));
  }

  // Every sample poem and English word can be browsed and heard; the longest texts fit the panel.
  void sampleCourseBrowsesAndPlays_data() { stepsThroughItemsWithoutWrapping_data(); }
  void sampleCourseBrowsesAndPlays() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    m_db->LoadSampleCourse();
    QFile json(QStringLiteral(":/sample_course.json"));
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonObject course = QJsonDocument::fromJson(json.readAll()).object()[k.key].toObject();
    QHash<QString, QString> texts;
    for (const auto& v : course[QStringLiteral("items")].toArray())
      texts.insert(v.toObject()[QStringLiteral("name")].toString(),
                   v.toObject()[QStringLiteral("text")].toString());

    TVerseScreen* s = Open(kind);
    QCOMPARE(s->CB1->count(), course[QStringLiteral("chapters")].toArray().size());
    int seen = 0;
    for (int chapter = 0; chapter < s->CB1->count(); ++chapter) {
      if (chapter > 0) s->DownSbClick();
      for (int row = 0; row < s->Tree1->topLevelItemCount(); ++row) {
        if (row > 0) s->XYSSBClick();
        const QString name = Selected(*s);
        QCOMPARE(s->me1->toPlainText(), texts.value(name));
        m_sound->calls.clear();
        s->LDSBClick();
        QCOMPARE(m_sound->Names().size(), 1);
        QVERIFY2(QFileInfo(m_sound->Names().first()).isFile(), qPrintable(name));
        QVERIFY(s->ldshow->isHidden());

        // Readable: wrapped inside the panel, nothing past its right or bottom edge; a poem's
        // characters whole inside it with their pinyin.
        if (s->Poem) {
          for (int line = 0; line < s->Poem->LineCount(); ++line)
            for (int i = 0; !s->Poem->CellRect(line, i).isNull(); ++i)
              QVERIFY2(s->PoemScroll->viewport()->rect().contains(s->Poem->CellRect(line, i)),
                       qPrintable(name));
          QCOMPARE(s->Poem->ReadingAt(2, 0).isEmpty(), false);
        } else {
          const QRect view = s->me1->viewport()->rect();
          for (QTextBlock b = s->me1->document()->firstBlock(); b.isValid(); b = b.next())
            for (int i = 0; i < b.layout()->lineCount(); ++i)
              QVERIFY2(b.layout()->lineAt(i).naturalTextWidth() <= view.width(), qPrintable(name));
          QTextCursor end(s->me1->document());
          end.movePosition(QTextCursor::End);
          QVERIFY2(s->me1->cursorRect(end).bottom() <= view.bottom(), qPrintable(name));
        }
        ++seen;
      }
    }
    QCOMPARE(seen, texts.size());
  }
};

QTEST_MAIN(VerseScreenTest)
#include "test_verse_screen.moc"
