// SPDX-License-Identifier: GPL-3.0-or-later
// Pinyin proposals from the compiled-in Unihan readings and the word readings beside the program.
#include <QtTest>

#include "data/pinyin.h"

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
    // Words read as words, not by their characters' first readings.
    QTest::newRow("word: 银行") << "银行"
                                << "yín háng";
    QTest::newRow("word: 音乐") << "音乐"
                                << "yīn yuè";
    QTest::newRow("word: 睡觉") << "睡觉"
                                << "shuì jiào";
    QTest::newRow("word: 长江") << "长江"
                                << "cháng jiāng";
    QTest::newRow("word: 重新") << "重新"
                                << "chóng xīn";
    QTest::newRow("neutral tone") << "妈妈"
                                  << "mā ma";
    QTest::newRow("word after a single character") << "去银行"
                                                   << "qù yín háng";
    QTest::newRow("half a word stays a character") << "银"
                                                   << "yín";
  }
  void proposes() {
    QFETCH(QString, name);
    QFETCH(QString, pinyin);
    QCOMPARE(ProposePinyin(name), pinyin);
  }

  // A poem's readings, one per code point so the screen can set each over its character: signs
  // get none, words and the poems' own readings come before the characters' first readings.
  void poemReadings_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readings");  // "|"-joined, one per code point
    QTest::newRow("signs keep their places") << "山，水。a" << "shān||shuǐ||";
    QTest::newRow("a word of the word list") << "长江天际流" << "cháng|jiāng|tiān|jì|liú";
    QTest::newRow("a poem's own reading") << "朝辞白帝" << "zhāo|cí|bái|dì";
    QTest::newRow("the poem's reading, the last word") << "一日还" << "yī|rì|huán";
    QTest::newRow("the same character elsewhere") << "还有" << "hái|yǒu";
    QTest::newRow("five characters at once") << "还来就菊花" << "huán|lái|jiù|jú|huā";
    QTest::newRow("four of them stay characters") << "还来就菊" << "hái|lái|jiù|jú";
    QTest::newRow("outside the basic plane") << QString::fromUcs4(U"\U00020000，") << "hē|";
  }
  void poemReadings() {
    QFETCH(QString, text);
    QFETCH(QString, readings);
    QCOMPARE(CharacterReadings(text).join('|'), readings);
    QCOMPARE(LinePinyin("床前明月光，\n疑是地上霜。"), "chuáng qián míng yuè guāng\nyí shì dì shàng shuāng");
  }
};

QTEST_GUILESS_MAIN(PinyinTest)
#include "test_pinyin.moc"
