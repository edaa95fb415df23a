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
#include "records/practice_log.h"
#include "support/fakes.h"
#include "support/strokes.h"
#include "support/test_db.h"
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
  void withoutStrokes_data();
  void withoutStrokes();
};

void WritingScreenTest::tracesTheCharacter_data() {
  QTest::addColumn<bool>("touch");
  QTest::addColumn<int>("misses");  // of the first stroke, drawn reversed
  QTest::newRow("mouse") << false << 0;
  QTest::newRow("finger") << true << 0;
  QTest::newRow("one miss: no hint yet") << false << 1;
  QTest::newRow("two misses: the hint") << true << 2;
}

void WritingScreenTest::tracesTheCharacter() {
  REQUIRE_STROKE_FILE();
  QFETCH(bool, touch);
  QFETCH(int, misses);
  Screen s;
  TWritingPad* pad = s.form->Pad;
  QCOMPARE(s.form->Row->Characters(), QStringList({"我", "绿叶", "\U00020000"}));
  QVERIFY(s.form->kbsb->isEnabled() && s.form->NoticeLb->text().isEmpty());
  s.form->kbsbClick();
  QCOMPARE(pad->mode(), TWritingPad::Mode::Demo);
  QTest::mouseClick(s.form->mysb, Qt::LeftButton);
  QCOMPARE(pad->mode(), TWritingPad::Mode::Trace);

  std::unique_ptr<QPointingDevice> finger(touch ? QTest::createTouchDevice() : nullptr);
  const writing::CharacterStrokes strokes = pad->Strokes();
  QCOMPARE(strokes.size(), 7);
  // A tap is neither a stroke nor a miss.
  QTest::mouseClick(pad, Qt::LeftButton, {}, pad->GridRect().center().toPoint());
  for (int i = 0; i < misses; ++i) Draw(pad, Reversed(strokes[0].median), finger.get());
  QCOMPARE(pad->Misses(), misses);
  QCOMPARE(pad->DoneStrokes(), 0);
  QCOMPARE(pad->HintShown(), misses >= writing::kHintAfterMisses);
  for (int i = 0; i < strokes.size(); ++i) {
    Draw(pad, strokes[i].median, finger.get());
    QCOMPARE(pad->DoneStrokes(), i + 1);
    QVERIFY(!pad->HintShown());
  }
  QVERIFY(s.form->Row->HasStar(0));
  QCOMPARE(s.sound.Names().last(), QStringLiteral("CM.wav"));
  QVERIFY(s.form->NextTimer->isActive());
  QTRY_COMPARE_WITH_TIMEOUT(s.form->Row->Current(), 1, 5000);
  QCOMPARE(pad->mode(), TWritingPad::Mode::Trace);

  QVERIFY(records::Flush());
  QSqlQuery q(QSqlDatabase::database(dm->ConnectionName()));
  QVERIFY(q.exec("select module, item, score from learn_record"));
  QVERIFY(q.next());
  QCOMPARE(QStringList({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()}),
           QStringList({"4", "我", QString::number(misses)}));
  QVERIFY(!q.next());

  // 再写一遍 starts the character afresh.
  Draw(pad, pad->Strokes()[0].median, finger.get());
  QTest::mouseClick(s.form->cxsb, Qt::LeftButton);
  QCOMPARE(pad->DoneStrokes(), 0);
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
