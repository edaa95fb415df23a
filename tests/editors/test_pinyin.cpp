// SPDX-License-Identifier: GPL-3.0-or-later
// Pinyin proposals from the compiled-in Unihan readings and the word readings beside the program.
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
};

QTEST_GUILESS_MAIN(PinyinTest)
#include "test_pinyin.moc"
