// SPDX-License-Identifier: GPL-3.0-or-later
// The listening game's rules without a window: which items a game asks, which cards stand beside
// the one called, the rounds' grades and stars, and what the record calls known.
#include <QtTest>

#include "review/knowledge.h"
#include "review/listening_game.h"

using namespace review;

namespace {

constexpr int kToday = 2461000;

// "name:due-offset:stability" per reviewed item; due-offset relative to today.
ChildCards Cards(const QString& spec) {
  ChildCards cards;
  for (const QString& part : spec.split(' ', Qt::SkipEmptyParts)) {
    const QStringList f = part.split(':');
    Card c;
    c.reps = 1;
    c.state = MemoryState::Review;
    c.due = kToday + f[1].toInt();
    c.stability = f[2].toDouble();
    c.lastReview = c.due - int(c.stability);
    c.difficulty = 5;
    cards.insert(f[0], c);
  }
  return cards;
}

// A course: "chapter:name:sound" per item.
QList<GameItem> Pool(const QString& spec) {
  QList<GameItem> pool;
  for (const QString& part : spec.split(' ', Qt::SkipEmptyParts)) {
    const QStringList f = part.split(':');
    pool.append({f[1], f[0].toInt(), QString(f[2]).replace('_', ' ')});
  }
  return pool;
}

}  // namespace

class ListeningGameTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void toneless_data() {
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<QString>("plain");
    QTest::newRow("是 and 十 alike") << "shì" << "shi";
    QTest::newRow("second tone") << "shí" << "shi";
    QTest::newRow("ü keeps its dots") << "lǜ" << "lü";
    QTest::newRow("word, tone numbers") << "Yín háng3" << "yin hang";
  }
  void toneless() {
    QFETCH(QString, pinyin);
    QFETCH(QString, plain);
    QCOMPARE(Toneless(pinyin), plain);
  }

  // An item sounds as its text reads it, not as the characters' usual first reading would.
  void itemReading_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sound");
    QTest::newRow("地 typed dì, as 弟") << "地" << "dì  土地  地方" << "di";
    QTest::newRow("觉 typed jiào, as 叫") << "觉" << "jiào 睡觉" << "jiao";
    QTest::newRow("行 typed háng, as 航") << "行" << "háng\t银行" << "hang";
    QTest::newRow("重 typed chóng, as 虫") << "重" << "chóng 重复" << "chong";
    QTest::newRow("no reading typed: the usual one") << "山" << "大山" << "shan";
    QTest::newRow("a dash where the reading goes: the usual one") << "山" << "-  大山" << "shan";
  }
  void itemReading() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, sound);
    QCOMPARE(MakeGameItem(name, 0, text).sound, sound);
  }

  // Whatever the random draw, the cards never sound alike, never come from a later chapter and
  // prefer the target's length.
  void distractors_data() {
    QTest::addColumn<QString>("pool");
    QTest::addColumn<QString>("target");  // chapter:name:sound
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("allowed");
    QTest::addColumn<int>("expected");
    const QString course =
        "0:十:shi 0:是:shi 0:一:yi 1:山:shan 1:衣:yi 1:水:shui 1:人:ren 2:大:da 1:银行:yin_hang "
        "1:无:";
    QTest::newRow("same sound and later chapter left out")
        << course << "1:是:shi" << 3 << QStringList{"山", "水", "人", "一", "衣"} << 3;
    QTest::newRow("two of a sound: only one of them")
        << "0:一:yi 0:衣:yi 0:山:shan" << "0:十:shi" << 3 << QStringList{"一", "衣", "山"} << 2;
    QTest::newRow("first chapter too short: one later item makes three cards, no more")
        << course << "0:一:yi" << 3 << QStringList{"十", "是", "山", "水", "人", "大", "银行"} << 2;
    QTest::newRow("homophones only: no card beside")
        << "0:十:shi 0:是:shi 1:时:shi 1:无:" << "0:事:shi" << 3 << QStringList{} << 0;
    QTest::newRow("word among characters when short of words")
        << course << "1:银行:yin_hang" << 3 << QStringList{"十", "是", "一", "山", "衣", "水", "人"}
        << 3;
  }
  void distractors() {
    QFETCH(QString, pool);
    QFETCH(QString, target);
    QFETCH(int, count);
    QFETCH(QStringList, allowed);
    QFETCH(int, expected);
    const QList<GameItem> items = Pool(pool);
    const GameItem t = Pool(target).first();
    for (int seed = 0; seed < 20; ++seed) {
      std::mt19937 engine(seed);
      const QStringList chosen = ChooseDistractors(
          items, t, count, [&](int n) { return int(engine() % unsigned(n)); });
      QCOMPARE(chosen.size(), expected);
      QSet<QString> sounds{t.sound};
      for (const QString& name : chosen) {
        QVERIFY2(allowed.contains(name), qPrintable(name));
        const auto it = std::find_if(items.begin(), items.end(),
                                     [&](const GameItem& i) { return i.name == name; });
        QVERIFY2(!sounds.contains(it->sound), qPrintable(name + " sounds like another card"));
        sounds.insert(it->sound);
      }
    }
  }

  // What the game can never ask, and what the adult reads about it.
  void withoutChoice_data() {
    QTest::addColumn<QString>("course");
    QTest::addColumn<QStringList>("without");
    QTest::addColumn<QString>("notice");
    QTest::newRow("homophones") << "0:是:shi 0:十:shi 1:时:shi 1:事:shi"
                                << QStringList{"是", "十", "时", "事"} << "这几个字读音相同，不能一起玩";
    QTest::newRow("homophones and one other sound") << "0:是:shi 0:十:shi 1:山:shan"
                                                    << QStringList{} << "";
    QTest::newRow("one item") << "0:山:shan" << QStringList{"山"} << "只有“山”";
    QTest::newRow("beside an item without a reading")
        << "0:是:shi 0:十:shi 0:ABC:" << QStringList{"是", "十"} << "这几个字读音相同，不能一起玩";
  }
  void withoutChoice() {
    QFETCH(QString, course);
    QFETCH(QStringList, without);
    QFETCH(QString, notice);
    const QList<GameItem> items = Pool(course);
    QCOMPARE(ItemsWithoutChoice(items), without);
    for (const GameItem& item : items)
      QCOMPARE(SoundsBeside(items, item) == 0, without.contains(item.name));
    const QString text = WithoutChoiceNotice(without);
    QVERIFY2(notice.isEmpty() ? text.isEmpty() : text.contains(notice), qPrintable(text));
  }

  void itemChoice_data() {
    QTest::addColumn<QString>("cards");
    QTest::addColumn<QStringList>("candidates");
    QTest::addColumn<int>("newLeft");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("due");
    QTest::addColumn<int>("dueToday");
    QTest::newRow("due by lowest recall, then new")
        << "山:0:2 水:-30:2 人:-1:10 大:5:10" << QStringList{"山", "一", "二", "三"} << 5
        << QStringList{"水", "人", "山", "一", "二"} << 3 << 3;
    QTest::newRow("new at the day's limit")
        << "" << QStringList{"一", "二", "三", "四", "五", "六"} << 5
        << QStringList{"一", "二", "三", "四", "五"} << 0 << 0;
    QTest::newRow("new past the day's limit: filled with the likeliest forgotten")
        << "大:5:10 小:2:3 口:40:50" << QStringList{"一", "二", "三"} << 1
        << QStringList{"一", "大", "小", "口"} << 0 << 0;
    QTest::newRow("more due than rounds")
        << "a:-1:2 b:-2:2 c:-3:2 d:-4:2 e:-5:2 f:-6:2" << QStringList{"一"} << 5
        << QStringList{"f", "e", "d", "c", "b"} << 5 << 6;
  }
  void itemChoice() {
    QFETCH(QString, cards);
    QFETCH(QStringList, candidates);
    QFETCH(int, newLeft);
    QFETCH(QStringList, expected);
    QFETCH(int, due);
    QFETCH(int, dueToday);
    const ItemChoice choice = ChooseGameItems(Cards(cards), candidates, kToday, newLeft, Scheduler());
    QCOMPARE(choice.items, expected);
    QCOMPARE(choice.due, due);
    QCOMPARE(DueCount(Cards(cards), kToday), dueToday);
  }

  // Picks per round ("a" right, "x" wrong): the grades, the cards shown and the stars.
  void rounds_data() {
    QTest::addColumn<int>("streak");
    QTest::addColumn<QStringList>("picks");
    QTest::addColumn<QString>("grades");  // G good, H hard, A again
    QTest::addColumn<QString>("cards");   // cards shown per round
    QTest::addColumn<int>("stars");
    QTest::newRow("first try, second try, missed") << 0 << QStringList{"a", "xa", "xx", "a", "a"}
                                                   << "GHAGG" << "33333" << 3;
    QTest::newRow("four cards after five right in a row")
        << 3 << QStringList{"a", "a", "a", "xa", "a"} << "GGGHG" << "33443" << 4;
    QTest::newRow("right every time at the second try: no star")
        << 0 << QStringList{"xa", "xa", "xa", "xa", "xa"} << "HHHHH" << "33333" << 0;
    QTest::newRow("picks after a missed round are ignored")
        << 0 << QStringList{"xxa", "a", "a", "a", "a"} << "AGGGG" << "33333" << 4;
  }
  void rounds() {
    QFETCH(int, streak);
    QFETCH(QStringList, picks);
    QFETCH(QString, grades);
    QFETCH(QString, cards);
    QFETCH(int, stars);
    ListeningGame game({"a", "b", "c", "d", "e"}, streak);
    QString gotGrades, gotCards;
    for (const QString& round : picks) {
      gotCards += QString::number(game.CardCount());
      for (QChar pick : round) game.Pick(pick == 'a' ? game.Target() : QStringLiteral("?"));
      QVERIFY(game.RoundOver());
      gotGrades += "?AHGE"[int(game.RoundGrade())];
      game.NextRound();
    }
    QVERIFY(game.Finished());
    QCOMPARE(gotGrades, grades);
    QCOMPARE(gotCards, cards);
    QCOMPARE(game.Stars(), stars);
  }

  void knowledge_data() {
    QTest::addColumn<QString>("cards");
    QTest::addColumn<QString>("states");  // per item of 山 水 人 大: N new, L learning, K known, D due
    QTest::addColumn<int>("known");
    QTest::addColumn<int>("learned");
    QTest::addColumn<int>("due");
    QTest::newRow("nothing yet") << "" << "NNNN" << 0 << 0 << 0;
    QTest::newRow("known at a week's stability, not just below")
        << "山:3:7 水:3:6.9 人:0:30 旧:9:40" << "KLDN" << 2 << 4 << 1;
  }
  void knowledge() {
    QFETCH(QString, cards);
    QFETCH(QString, states);
    QFETCH(int, known);
    QFETCH(int, learned);
    QFETCH(int, due);
    const KnowledgeView view = SummariseKnowledge(Cards(cards), {"山", "水", "人", "大"}, kToday);
    QString got;
    for (Knowledge k : view.states) got += "NLKD"[int(k)];
    QCOMPARE(got, states);
    QCOMPARE(view.known, known);
    QCOMPARE(view.learned, learned);
    QCOMPARE(view.due, due);
  }
};

QTEST_GUILESS_MAIN(ListeningGameTest)
#include "test_listening_game.moc"
