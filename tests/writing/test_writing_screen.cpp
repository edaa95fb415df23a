// SPDX-License-Identifier: GPL-3.0-or-later
// The writing screen offscreen on a real lesson database and the built stroke file: the child
// traces 我 with the mouse or a finger, misses and is shown the way, and characters without
// strokes show only their model.
#include <QLabel>
#include <QPointingDevice>
#include <QSqlQuery>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "data/data_module.h"
#include "app/practice_log.h"
#include "support/fakes.h"
#include "support/strokes.h"
#include "support/test_db.h"
#include "support/wav_check.h"
#include "writing/stroke_matcher.h"
#include "writing/writing_pad.h"
#include "writing/writing_screen.h"

namespace {

using Row = QList<std::pair<QString, QString>>;

// One chapter: 我, a Latin name, a word and a character the stroke file lacks.
void AddChapter(testing::TestDataModule& db) {
  const QString chapter = QStringLiteral("第一章");
  db.AddRows(QStringLiteral("ZJ"), {{{"章号", "1"}, {"章节", chapter}}});
  QList<Row> items;
  const QStringList names = {"我", "APPLE", "绿叶", "\U00020000"};
  for (int i = 0; i < names.size(); ++i)
    items << Row{{"字号", QString::number(i + 1)},
                 {"字名", names[i]},
                 {"章节", chapter},
                 {"拼音词组", "-"},
                 {"声音", ""}};
  db.AddRows(QStringLiteral("szSound"), items);
}

// Draws `line` (box coordinates) on the pad, by mouse or by touch.
void Draw(TWritingPad* pad, const QList<QPointF>& line, QPointingDevice* finger) {
  QList<QPoint> points;
  for (int i = 0; i <= 20; ++i)
    points << writing::FromBox(writing::PointAlong(line, i / 20.0), pad->GridRect()).toPoint();
  if (finger) {
    QTest::touchEvent(pad, finger).press(0, points.first(), pad);
    for (const QPoint& p : points.mid(1)) QTest::touchEvent(pad, finger).move(0, p, pad);
    QTest::touchEvent(pad, finger).release(0, points.last(), pad);
    return;
  }
  QTest::mousePress(pad, Qt::LeftButton, {}, points.first());
  for (const QPoint& p : points.mid(1)) QTest::mouseMove(pad, p);
  QTest::mouseRelease(pad, Qt::LeftButton, {}, points.last());
}

QList<QPointF> Reversed(QList<QPointF> line) {
  std::reverse(line.begin(), line.end());
  return line;
}

struct Screen {
  testing::TestDataModule db;
  testing::RecordingSoundPlayer sound;
  std::unique_ptr<TxzmainForm> form;
  Screen() {
    AddChapter(db);
    records::Start(dm->ConnectionName());
    form = std::make_unique<TxzmainForm>(nullptr);
    form->ShowMaximizedOrDesign(false);
  }
  ~Screen() {
    form.reset();
    records::Stop();
  }
};

}  // namespace

class WritingScreenTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void tracesTheCharacter_data();
  void tracesTheCharacter();
  void starsKept_data();
  void starsKept();
  void secondFingerAndCancel_data();
  void secondFingerAndCancel();
  void withoutStrokes_data();
  void withoutStrokes();
};

void WritingScreenTest::tracesTheCharacter_data() {
  QTest::addColumn<bool>("touch");
  QTest::addColumn<bool>("quiz");
  QTest::addColumn<int>("misses");  // of the first stroke, drawn reversed
  QTest::addColumn<bool>("again");  // 再写一遍 after the misses
  QTest::addColumn<bool>("leave");  // another entry chosen after the misses, then this one again
  QTest::addColumn<QString>("way");  // the record's note of it
  QTest::newRow("mouse") << false << false << 0 << false << false << "";
  QTest::newRow("finger") << true << false << 0 << false << false << "";
  QTest::newRow("one miss: no hint yet") << false << false << 1 << false << false << "";
  QTest::newRow("two misses: the hint") << true << false << 2 << false << false << "";
  QTest::newRow("misses before 再写一遍 count") << false << false << 2 << true << false << "";
  QTest::newRow("misses of a character left are noted") << false << false << 2 << false << true
                                                         << "";
  QTest::newRow("quiz, two misses: no model") << false << true << 2 << false << false << "A";
  QTest::newRow("quiz, three misses: the model") << true << true << 3 << false << false << "H";
}

void WritingScreenTest::tracesTheCharacter() {
  REQUIRE_STROKE_FILE();
  QFETCH(bool, touch);
  QFETCH(bool, quiz);
  QFETCH(int, misses);
  QFETCH(bool, again);
  QFETCH(bool, leave);
  QFETCH(QString, way);
  Screen s;
  TWritingPad* pad = s.form->Pad;
  QCOMPARE(s.form->Row->Characters(), QStringList({"我", "绿叶", "\U00020000"}));
  QVERIFY(s.form->kbsb->isEnabled() && s.form->NoticeLb->text().isEmpty());
  s.form->kbsbClick();
  QCOMPARE(pad->mode(), TWritingPad::Mode::Demo);
  QTest::mouseClick(quiz ? s.form->mxsb : s.form->mysb, Qt::LeftButton);
  const TWritingPad::Mode mode = quiz ? TWritingPad::Mode::Quiz : TWritingPad::Mode::Trace;
  QCOMPARE(pad->mode(), mode);
  // From memory the item is heard (synthesised: it has no recording); tracing says nothing.
  const QString said = s.sound.Names().last();
  QCOMPARE(quiz ? testing::WavHeaderFault(said) : said, QString());

  std::unique_ptr<QPointingDevice> finger(touch ? QTest::createTouchDevice() : nullptr);
  const writing::CharacterStrokes strokes = pad->Strokes();
  QCOMPARE(strokes.size(), 7);
  // A tap is neither a stroke nor a miss.
  QTest::mouseClick(pad, Qt::LeftButton, {}, pad->GridRect().center().toPoint());
  for (int i = 0; i < misses; ++i) Draw(pad, Reversed(strokes[0].median), finger.get());
  QCOMPARE(pad->Misses(), misses);
  QCOMPARE(pad->DoneStrokes(), 0);
  QCOMPARE(pad->HintShown(), !quiz && misses >= writing::kHintAfterMisses);
  QCOMPARE(pad->HelpShown(), quiz && misses >= writing::kQuizHelpAfterMisses);
  // From memory the character is not in the row until the model helps; it was said instead.
  const bool asked = quiz && misses < writing::kQuizHelpAfterMisses;
  QCOMPARE(s.form->Row->ShownText(0), asked ? "？" : "我");
  QCOMPARE(s.form->NoticeLb->text().isEmpty(), !asked);
  if (again) {
    QTest::mouseClick(s.form->cxsb, Qt::LeftButton);
    QCOMPARE(pad->Misses(), 0);
  }
  if (leave) {
    s.form->ChooseCharacter(1);
    s.form->ChooseCharacter(0);
    QTest::mouseClick(s.form->mysb, Qt::LeftButton);
  }
  for (int i = 0; i < strokes.size(); ++i) {
    Draw(pad, strokes[i].median, finger.get());
    QCOMPARE(pad->DoneStrokes(), i + 1);
    QVERIFY(!pad->HintShown());
  }
  QVERIFY(s.form->Row->HasStar(0));
  QCOMPARE(s.sound.Names().last(), QStringLiteral("CM.wav"));
  QVERIFY(pad->PraiseShown());
  QVERIFY(s.form->NextTimer->isActive());
  QTRY_COMPARE_WITH_TIMEOUT(s.form->Row->Current(), 1, 5000);
  QCOMPARE(pad->mode(), mode);

  QVERIFY(records::Flush());
  QSqlQuery q(QSqlDatabase::database(dm->ConnectionName()));
  QVERIFY(q.exec("select module, item, score, operation from learn_record order by at_time, "
                 "score desc"));
  QStringList notes;
  while (q.next())
    notes << QStringList({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                          q.value(3).toString()})
                 .join(u' ');
  // Left unfinished, the misses are noted then, and no character written.
  QCOMPARE(notes, leave ? QStringList({"4 我 2 U", "4 我 0 "})
                        : QStringList({QString("4 我 %1 %2").arg(misses).arg(way)}));

  // 再写一遍 starts the character afresh.
  Draw(pad, pad->Strokes()[0].median, finger.get());
  QTest::mouseClick(s.form->cxsb, Qt::LeftButton);
  QCOMPARE(pad->DoneStrokes(), 0);
}

void WritingScreenTest::starsKept_data() {
  QTest::addColumn<int>("entry");
  QTest::addColumn<QString>("characters");  // written one after the other
  QTest::addColumn<bool>("quiz");
  QTest::newRow("character") << 0 << "我" << false;
  QTest::newRow("word, one character after the other") << 1 << "绿叶" << false;
  QTest::newRow("word from memory: shown as it is written") << 1 << "绿叶" << true;
}

// A finished entry keeps its star over a restart of the screen; a word's only once both are done.
void WritingScreenTest::starsKept() {
  REQUIRE_STROKE_FILE();
  QFETCH(int, entry);
  QFETCH(QString, characters);
  QFETCH(bool, quiz);
  Screen s;
  s.form->ChooseCharacter(entry);
  quiz ? s.form->mxsbClick() : s.form->mysbClick();
  for (int i = 0; i < characters.size(); ++i) {
    QTRY_COMPARE_WITH_TIMEOUT(s.form->CurrentCharacter(), characters.mid(i, 1), 5000);
    QCOMPARE(s.form->Row->HasStar(entry), false);
    const QString shown = quiz ? characters.left(i).leftJustified(characters.size(), u'？')
                               : characters;
    QCOMPARE(s.form->Row->ShownText(entry), shown);
    QCOMPARE(s.form->NoticeLb->text().contains(characters.at(i)), !quiz && characters.size() > 1);
    TWritingPad* pad = s.form->Pad;
    for (const writing::Stroke& stroke : pad->Strokes()) Draw(pad, stroke.median, nullptr);
  }
  QVERIFY(s.form->Row->HasStar(entry));
  QCOMPARE(s.form->Row->ShownText(entry), characters);
  QVERIFY(records::Flush());
  s.form = std::make_unique<TxzmainForm>(nullptr);
  s.form->ShowMaximizedOrDesign(false);
  for (int i = 0; i < s.form->Row->Characters().size(); ++i)
    QCOMPARE(s.form->Row->HasStar(i), i == entry);
  QSqlQuery q(QSqlDatabase::database(dm->ConnectionName()));
  QVERIFY(q.exec("select count(*) from writing_done where child_id is null") && q.next());
  QCOMPARE(q.value(0).toInt(), characters.size());
}

void WritingScreenTest::secondFingerAndCancel_data() {
  QTest::addColumn<bool>("cancel");  // else a second finger moves across the grid meanwhile
  QTest::newRow("second finger") << false;
  QTest::newRow("touch cancelled") << true;
}

// The first finger draws; a second one changes nothing, and a cancelled touch is no stroke.
void WritingScreenTest::secondFingerAndCancel() {
  REQUIRE_STROKE_FILE();
  QFETCH(bool, cancel);
  Screen s;
  TWritingPad* pad = s.form->Pad;
  s.form->mysbClick();
  std::unique_ptr<QPointingDevice> fingers(QTest::createTouchDevice());
  const QRectF grid = pad->GridRect();
  const QList<QPointF> line = pad->Strokes()[0].median;
  auto at = [&](qreal f) { return writing::FromBox(writing::PointAlong(line, f), grid).toPoint(); };
  QTest::touchEvent(pad, fingers.get()).press(0, at(0), pad);
  const QPoint far = grid.bottomRight().toPoint() - QPoint(5, 5);
  if (!cancel) QTest::touchEvent(pad, fingers.get()).move(0, at(0), pad).press(1, far, pad);
  for (int i = 1; i <= 20; ++i) {
    auto touch = QTest::touchEvent(pad, fingers.get());
    touch.move(0, at(i / 20.0), pad);
    if (!cancel) touch.move(1, far - QPoint(i * 5, i * 5), pad);
  }
  if (cancel) {
    QTouchEvent cancelled(QEvent::TouchCancel, fingers.get());
    QCoreApplication::sendEvent(pad, &cancelled);
  } else {
    QTest::touchEvent(pad, fingers.get()).release(1, far, pad).stationary(0);
    QTest::touchEvent(pad, fingers.get()).release(0, at(1), pad);
  }
  QCOMPARE(pad->DoneStrokes(), cancel ? 0 : 1);
  QCOMPARE(pad->Misses(), 0);
}

void WritingScreenTest::withoutStrokes_data() {
  QTest::addColumn<int>("character");
  QTest::addColumn<QString>("file");  // "" the built one
  QTest::addColumn<QString>("notice");
  QTest::newRow("character without strokes") << 2 << ""
                                             << "这个字还没有笔顺";
  QTest::newRow("stroke file missing") << 0 << "missing"
                                       << "没有找到笔顺数据文件";
  QTest::newRow("stroke file damaged") << 0 << "damaged"
                                       << "笔顺数据文件已损坏";
}

void WritingScreenTest::withoutStrokes() {
  QFETCH(int, character);
  QFETCH(QString, file);
  QFETCH(QString, notice);
  if (file.isEmpty()) REQUIRE_STROKE_FILE();
  QTemporaryDir dir;
  QFile damaged(dir.filePath("damaged"));
  QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("TNDSTRK1\xff\xff\xff\xff") > 0);
  damaged.close();
  writing::StrokeData data;
  data.Open(file.isEmpty() ? testing::BuiltStrokeFile() : dir.filePath(file));
  Screen s;
  s.form->SetStrokeData(&data);
  s.form->ChooseCharacter(character);
  QVERIFY2(s.form->NoticeLb->text().contains(notice), qPrintable(s.form->NoticeLb->text()));
  QVERIFY(!s.form->NoticeLb->isHidden());
  for (QToolButton* b : {s.form->kbsb, s.form->mysb, s.form->cxsb}) QVERIFY(!b->isEnabled());
  QVERIFY(!s.form->Pad->HasStrokes());
}

QTEST_MAIN(WritingScreenTest)
#include "test_writing_screen.moc"
