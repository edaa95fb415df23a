// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures for items from the table the build made out of CLDR's annotations, and the adult's
// choice over the proposal.
#include <QtTest>

#include "data/item_pictures.h"

using pictures::ItemPicture;
using pictures::ProposePictures;

class ItemPicturesTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void proposes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first");  // empty: no picture
    QTest::newRow("speech name") << "猫" << "māo  小猫  猫咪" << "🐈";
    QTest::newRow("English, any letter case") << "Apple" << "苹果" << "🍎";
    QTest::newRow("multi-word English name") << "red apple" << "" << "🍎";
    // 水 is a keyword of a hot spring and of a droplet; the one named after it comes first.
    QTest::newRow("keyword named in the speech name first") << "水" << "shuǐ" << "💧";
    QTest::newRow("from the text when the name has none") << "qwerty" << "兔子；小兔" << "🐇";
    QTest::newRow("text split at Chinese punctuation") << "xyz" << "一个，红苹果。" << "🍎";
    // A word of the text counts by its speech name only: 热带 is a keyword of the tropical fish.
    QTest::newRow("keyword of a word of the text") << "热" << "rè  热带" << "";
    QTest::newRow("name's keyword, named after it") << "苹果" << "" << "🍎";
    // 月饼's moon cake is no picture of 月.
    QTest::newRow("refused for the item") << "月" << "yuè  月饼" << "";
    // 好的 is "OK", a gesture: no picture of 的.
    QTest::newRow("word of the text refused by hand") << "的" << "de  我的  好的" << "";
    // Refused by hand: Father Christmas is no father, and 人 is a keyword of every person.
    QTest::newRow("refused match") << "father" << "爸爸" << "";
    QTest::newRow("refused word") << "人" << "rén  大人" << "";
    QTest::newRow("empty") << "" << "" << "";
  }
  void proposes() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, first);
    QStringList proposal = ProposePictures(name, text);
    QCOMPARE(proposal.value(0), first);
    QCOMPARE(proposal.removeDuplicates(), 0);
    QCOMPARE(ItemPicture(QVariant(), name, text), first);
  }

  // The name's pictures come before the text's, and the adult's choice wins over both.
  void choiceOverProposal() {
    const QStringList both = ProposePictures("狗", "gǒu  猫");
    QCOMPARE(both.first(), QString("🐕"));
    QVERIFY(both.indexOf("🐈") > both.indexOf("🐕"));
    QCOMPARE(ItemPicture(QVariant(QString("🐈")), "狗", ""), QString("🐈"));
    QCOMPARE(ItemPicture(QVariant(QString("-")), "狗", ""), QString());
    // A choice nobody can propose is kept too.
    QCOMPARE(ItemPicture(QVariant(QString("🚀")), "的", ""), QString("🚀"));
  }
};

QTEST_GUILESS_MAIN(ItemPicturesTest)
#include "test_item_pictures.moc"
