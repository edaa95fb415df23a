// SPDX-License-Identifier: GPL-3.0-or-later
// The stroke file: the converter that makes it, the reader on the real data, and damaged files.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "support/strokes.h"
#include "writing/stroke_data.h"

using writing::StrokeData;

namespace {

// A one-stroke character: a bar along y = 780 in source coordinates (120 in the box).
const QByteArray kBarJson =
    R"({"strokes": ["M 100 800 L 900 800 L 900 760 Q 500 750 100 760 Z"],
        "medians": [[[100, 780], [500, 781], [900, 780]]], "radStrokes": [0]})";

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
  QFile f(dir.filePath(name));
  if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) return {};
  return f.fileName();
}

// A file with a bar as "一" and no notice: the record starts at byte 28. Its centre line has
// `points` points; fewer than two only as a damaged file would have them.
QByteArray BarFile(const QTemporaryDir& dir, int points = 2) {
  QMap<char32_t, QByteArray> records;
  if (points >= 2) {
    records.insert(U'一', writing::EncodeCharacter({QStringLiteral("M 0 0 L 10 0 Z")},
                                                   {{QPointF(0, 0), QPointF(10, 0)}}, {}, nullptr));
  } else {
    // One stroke, one outline command (a move to 0,0), then the centre line's points.
    QByteArray raw("\x01\x01\x00\x00\x00\x00\x00\x00", 8);
    raw += char(points);
    raw += QByteArray(4 * points, '\0');
    records.insert(U'一', qCompress(raw));
  }
  const QString path = dir.filePath(QStringLiteral("bar.dat"));
  if (!writing::WriteStrokeFile(path, records, {}, nullptr)) return {};
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestStrokeData : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void realCharacters_data();
  void realCharacters();
  void converter_data();
  void converter();
  void damagedFile_data();
  void damagedFile();
};

void TestStrokeData::realCharacters_data() {
  QTest::addColumn<QString>("character");
  QTest::addColumn<int>("strokes");  // -1: not in the file
  QTest::newRow("一") << QStringLiteral("一") << 1;
  QTest::newRow("我") << QStringLiteral("我") << 7;
  QTest::newRow("绿") << QStringLiteral("绿") << 11;
  QTest::newRow("Latin letter") << QStringLiteral("A") << -1;
  QTest::newRow("beyond the table") << QStringLiteral("\U0002A6D6") << -1;
}

void TestStrokeData::realCharacters() {
  REQUIRE_STROKE_FILE();
  QFETCH(QString, character);
  QFETCH(int, strokes);
  StrokeData data;
  QVERIFY2(data.Open(testing::BuiltStrokeFile()), qPrintable(data.Error()));
  QCOMPARE(data.Count(), 9574);
  QString error;
  const auto found = data.Find(character.toUcs4().first(), &error);
  QVERIFY2(error.isEmpty(), qPrintable(error));
  QCOMPARE(found ? int(found->size()) : -1, strokes);
  // Every stroke has a shape and a centre line inside the box.
  const QRectF box(-1, -1, writing::kBoxSize + 2, writing::kBoxSize + 2);
  for (const writing::Stroke& s : found.value_or(writing::CharacterStrokes())) {
    QVERIFY(box.contains(s.outline.boundingRect()));
    QVERIFY(s.median.size() >= 2);
    for (const QPointF& p : s.median) QVERIFY(box.contains(p));
  }
}

void TestStrokeData::converter_data() {
  QTest::addColumn<QByteArray>("json");
  QTest::addColumn<int>("exitCode");
  QTest::newRow("bar") << kBarJson << 0;
  QTest::newRow("relative path command") << QByteArray(kBarJson).replace("L 900 800", "l 9 8") << 1;
  QTest::newRow("centre line missing")
      << QByteArray(R"({"strokes": ["M 0 0 L 1 1 Z"], "medians": []})") << 1;
  QTest::newRow("radical stroke beyond the strokes")
      << QByteArray(kBarJson).replace("[0]", "[1]") << 1;
  QTest::newRow("not JSON") << QByteArray("{\"strokes\": [") << 1;
}

void TestStrokeData::converter() {
  QFETCH(QByteArray, json);
  QFETCH(int, exitCode);
  QTemporaryDir dir;
  QVERIFY(!WriteFile(dir, QStringLiteral("一.json"), json).isEmpty());
  QVERIFY(!WriteFile(dir, QStringLiteral("package.json"), "{}").isEmpty());
  const QString out = dir.filePath(QStringLiteral("out.dat"));
  QProcess tool;
  tool.start(QStringLiteral(MAKE_STROKE_DATA), {dir.path(), out});
  QVERIFY(tool.waitForFinished(30000));
  QCOMPARE(tool.exitCode(), exitCode);
  if (exitCode != 0) {
    QVERIFY(!QFile::exists(out));
    return;
  }
  StrokeData data;
  QVERIFY2(data.Open(out), qPrintable(data.Error()));
  const auto bar = data.Find(U'一');
  QVERIFY(bar && bar->size() == 1);
  QVERIFY(bar->first().radical);
  // y turned downwards: the source's 780 lies 120 below the box's top.
  QCOMPARE(bar->first().median,
           QList<QPointF>({QPointF(100, 120), QPointF(500, 119), QPointF(900, 120)}));
  // The curve bulges half way to its control point at 750.
  QCOMPARE(bar->first().outline.boundingRect(), QRectF(100, 100, 800, 45));
}

void TestStrokeData::damagedFile_data() {
  QTest::addColumn<int>("points");    // of the centre line
  QTest::addColumn<int>("cutTo");     // -1: whole file
  QTest::addColumn<int>("damageAt");  // from the end when negative; 0: none
  QTest::addColumn<bool>("opens");
  QTest::addColumn<QString>("message");
  const QString damaged = QStringLiteral("已损坏");
  QTest::newRow("intact") << 2 << -1 << 0 << true << QString();
  QTest::newRow("empty") << 2 << 0 << 0 << false << damaged;
  QTest::newRow("header only") << 2 << 16 << 0 << false << damaged;
  QTest::newRow("magic changed") << 2 << -1 << 1 << false << damaged;
  QTest::newRow("record count too large") << 2 << -1 << 9 << false << damaged;
  QTest::newRow("last byte cut") << 2 << -2 << 0 << false << damaged;
  QTest::newRow("record's size claim") << 2 << -1 << 28 << true << damaged;
  QTest::newRow("record's packed data") << 2 << -1 << -3 << true << damaged;
  QTest::newRow("centre line of one point") << 1 << -1 << 0 << true << damaged;
  QTest::newRow("centre line of no point") << 0 << -1 << 0 << true << damaged;
  QTest::newRow("missing") << 2 << -3 << 0 << false << QStringLiteral("没有找到笔顺数据文件");
}

void TestStrokeData::damagedFile() {
  QFETCH(int, points);
  QFETCH(int, cutTo);
  QFETCH(int, damageAt);
  QFETCH(bool, opens);
  QFETCH(QString, message);
  QTemporaryDir dir;
  QByteArray bytes = BarFile(dir, points);
  QVERIFY(!bytes.isEmpty());
  if (cutTo == -2) bytes.chop(1);
  if (cutTo >= 0) bytes.truncate(cutTo);
  if (damageAt != 0) {
    const qsizetype at = damageAt > 0 ? damageAt : bytes.size() + damageAt;
    bytes[at] = char(bytes[at] ^ 0x5a);
  }
  const QString path = cutTo == -3 ? dir.filePath(QStringLiteral("none.dat"))
                                   : WriteFile(dir, QStringLiteral("test.dat"), bytes);
  StrokeData data;
  QCOMPARE(data.Open(path), opens);
  QString error = data.Error();
  if (opens) {
    const auto found = data.Find(U'一', &error);
    QCOMPARE(found.has_value(), message.isEmpty());
  }
  QVERIFY2(message.isEmpty() ? error.isEmpty() : error.contains(message), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestStrokeData)
#include "test_stroke_data.moc"
