// SPDX-License-Identifier: GPL-3.0-or-later
// Pinyin proposals from the compiled-in Unihan readings.
#include <QtTest>

#include "editors/pinyin.h"

class PinyinTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void proposes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pinyin");
    QTest::newRow("one character") << "一"
                                   << "yī";
    QTest::newRow("ü with a tone mark") << "绿"
                                        << "lǜ";
    QTest::newRow("two characters joined by a space") << "一二"
                                                      << "yī èr";
    QTest::newRow("Latin name") << "cat"
                                << "";
    QTest::newRow("characters among other signs") << "山, 水!"
                                                  << "shān shuǐ";
    QTest::newRow("outside the basic plane") << QString::fromUcs4(U"\U00020000") << "hē";
    QTest::newRow("a character without a reading is left out")
        << QString::fromUcs4(U"\U0002A6D6口") << "kǒu";
  }
  void proposes() {
    QFETCH(QString, name);
    QFETCH(QString, pinyin);
    QCOMPARE(ProposePinyin(name), pinyin);
  }
};

QTEST_GUILESS_MAIN(PinyinTest)
#include "test_pinyin.moc"
