// SPDX-License-Identifier: GPL-3.0-or-later
// The listening game "听音找字" without any widget: which items a game asks, the cards shown
// with each, and the rounds with their grades and stars.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "review/fsrs.h"

namespace review {

inline constexpr int kGameRounds = 5;
inline constexpr int kNewPerDayDefault = 5;
// A round shows at least this many cards when the course can give them; with fewer the child
// could pick right without knowing the item.
inline constexpr int kFewestCards = 3;

// The reading without tones, lower case, "shì" -> "shi", "yín háng" -> "yin hang": 是 and 十
// sound alike to a child who is just learning, so they are never shown together.
QString Toneless(const QString& pinyin);

// An item of the character course as the game sees it.
struct GameItem {
  QString name;     // 一, 银行
  int chapter = 0;  // position of its chapter in chapter order
  QString sound;    // Toneless reading
};

// The item as the game compares it: by the reading its text gives (the reading its recording
// says: 地 typed "dì" sounds like 弟), else by the characters' usual reading.
GameItem MakeGameItem(const QString& name, int chapter, const QString& text);

// Up to `count` other items to show beside `target`: from its chapter and the chapters before,
// never one that sounds like the target or like another one chosen, items of the target's length
// first; from later chapters only as many as make kFewestCards cards. `random(n)` gives 0 .. n-1.
// Fewer when the course has fewer.
QStringList ChooseDistractors(const QList<GameItem>& pool, const GameItem& target, int count,
                              const std::function<int(int)>& random);
// How many different readings other than the target's `pool` holds: none, and there is no choice
// to make, so no round is played for `target`.
int SoundsBeside(const QList<GameItem>& pool, const GameItem& target);
// The items of `course` that can never be a round: nothing in it sounds different.
QStringList ItemsWithoutChoice(const QList<GameItem>& course);
// What the adult reads about those items; empty when there are none.
QString WithoutChoiceNotice(const QStringList& without);

// What the child has answered so far, per item.
using ChildCards = QHash<QString, Card>;

struct ItemChoice {
  QStringList items;  // due first, then new
  int due = 0;        // how many of them were due
  int fresh = 0;      // how many are new
};
// The items of one game: those due (lowest recall probability first), then new ones from
// `newCandidates` (in course order, the chapters the child has opened) up to `newLeft` today, then,
// when a game would still be short, the reviewed ones the child is likeliest to forget.
ItemChoice ChooseGameItems(const ChildCards& cards, const QStringList& newCandidates, int today,
                           int newLeft, const Scheduler& scheduler, int rounds = kGameRounds);

// How many items of `cards` are due on `today`.
int DueCount(const ChildCards& cards, int today);

// The rounds of one game. Each round: the child hears the item and picks a card; a wrong pick may
// be tried once more; a second wrong pick ends the round with the right card shown.
class ListeningGame {
 public:
  enum class Answer { Right, TryAgain, Missed };

  // `streak`: answers right in a row before this game (it carries over to the next game).
  explicit ListeningGame(const QStringList& items, int streak = 0);

  bool Finished() const { return m_round >= m_items.size(); }
  int Round() const { return m_round; }  // 0-based
  int Rounds() const { return int(m_items.size()); }
  QString Target() const { return m_items.value(m_round); }
  // Three cards, four while the child has answered five or more in a row right.
  int CardCount() const { return m_streak >= 5 ? 4 : 3; }
  int Streak() const { return m_streak; }

  // The child picks `card`. After Right or Missed the round is over: RoundGrade() says how it went
  // and NextRound() moves on. Picks after that are ignored (Missed is returned again).
  Answer Pick(const QString& card);
  bool RoundOver() const { return m_roundOver; }
  // Good at the first try, Hard at the second, Again otherwise.
  Grade RoundGrade() const;
  void NextRound();

  // A star for each round answered right at the first try: a second try may be a guess.
  int Stars() const { return m_stars; }

 private:
  QStringList m_items;
  int m_round = 0;
  int m_wrong = 0;
  bool m_roundOver = false;
  bool m_right = false;
  int m_streak = 0;
  int m_stars = 0;
};

}  // namespace review
