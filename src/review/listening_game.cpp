// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/listening_game.h"

#include <QSet>
#include <algorithm>

#include "data/item_recordings.h"
#include "data/pinyin.h"

namespace review {

QString Toneless(const QString& pinyin) {
  // Decomposed, the tone marks are combining characters of their own; ü keeps its dots (lü is
  // not lu).
  const QString decomposed = pinyin.normalized(QString::NormalizationForm_D).toLower();
  QString plain;
  plain.reserve(decomposed.size());
  for (int i = 0; i < decomposed.size(); ++i) {
    const QChar c = decomposed.at(i);
    if (c == QChar(0x0308)) plain += QChar(0x0308);  // diaeresis
    else if (c.isMark()) continue;
    else if (c.isDigit()) continue;  // "shi4" as some lines write it
    else plain += c;
  }
  return plain.normalized(QString::NormalizationForm_C).simplified();
}

GameItem MakeGameItem(const QString& name, int chapter, const QString& text) {
  const QString reading = ReadingInText(text);
  return {name, chapter, Toneless(reading.isEmpty() ? ProposePinyin(name) : reading)};
}

QStringList ChooseDistractors(const QList<GameItem>& pool, const GameItem& target, int count,
                              const std::function<int(int)>& random) {
  // The target's chapter and those before, then later ones: by length within each.
  QList<const GameItem*> lists[4];
  QSet<QString> seen{target.name};
  for (const GameItem& item : pool) {
    if (seen.contains(item.name)) continue;
    seen.insert(item.name);
    lists[(item.chapter > target.chapter ? 2 : 0) + (item.name.size() == target.name.size() ? 0 : 1)]
        .append(&item);
  }
  QStringList chosen;
  QSet<QString> sounds;
  if (!target.sound.isEmpty()) sounds.insert(target.sound);
  for (int l = 0; l < 4; ++l) {
    QList<const GameItem*>* list = &lists[l];
    // A later chapter's item only to make a choice of kFewestCards.
    const int wanted = l < 2 ? count : qMin(count, kFewestCards - 1);
    // Random order without repeats: draw from the part not drawn yet.
    for (int left = int(list->size()); left > 0 && chosen.size() < wanted; --left) {
      const int at = random(left);
      const GameItem* item = (*list)[at];
      list->swapItemsAt(at, left - 1);
      // An item without a known reading can sound like anything: left out.
      if (item->sound.isEmpty() || sounds.contains(item->sound)) continue;
      sounds.insert(item->sound);
      chosen << item->name;
    }
  }
  return chosen;
}

int SoundsBeside(const QList<GameItem>& pool, const GameItem& target) {
  QSet<QString> sounds;
  for (const GameItem& item : pool)
    if (item.name != target.name && !item.sound.isEmpty() && item.sound != target.sound)
      sounds.insert(item.sound);
  return int(sounds.size());
}

QStringList ItemsWithoutChoice(const QList<GameItem>& course) {
  QSet<QString> sounds;
  for (const GameItem& item : course)
    if (!item.sound.isEmpty()) sounds.insert(item.sound);
  QStringList without;
  for (const GameItem& item : course) {
    const qsizetype others = sounds.size() - (item.sound.isEmpty() ? 0 : 1);
    if (others == 0 && !without.contains(item.name)) without << item.name;
  }
  return without;
}

QString WithoutChoiceNotice(const QStringList& without) {
  if (without.isEmpty()) return {};
  constexpr int kNamed = 12;
  QString names = QStringList(without.mid(0, kNamed)).join(QStringLiteral("、"));
  if (without.size() > kNamed) names += QStringLiteral(" 等 %1 个").arg(without.size());
  return (without.size() == 1
              ? QStringLiteral("听音找字：课程里只有“%1”一个读音，找不出别的字来比，不能玩。")
              : QStringLiteral("听音找字：%1——这几个字读音相同，不能一起玩。"))
             .arg(names) +
         QStringLiteral("请在“字编辑”里加几个读音不同的字。");
}

ItemChoice ChooseGameItems(const ChildCards& cards, const QStringList& newCandidates, int today,
                           int newLeft, const Scheduler& scheduler, int rounds) {
  struct Scored {
    double recall;
    const QString* name;
  };
  QList<Scored> due, later;
  for (auto it = cards.begin(); it != cards.end(); ++it) {
    if (it.value().reps == 0) continue;
    const Scored s{scheduler.Retrievability(it.value(), today), &it.key()};
    (it.value().due <= today ? due : later).append(s);
  }
  // Ties by name, so that a game does not depend on the hash's order.
  const auto lessLikely = [](const Scored& a, const Scored& b) {
    return a.recall != b.recall ? a.recall < b.recall : *a.name < *b.name;
  };
  ItemChoice choice;
  const auto take = [&](QList<Scored>& list) {
    const int n = std::min<int>(int(list.size()), rounds - int(choice.items.size()));
    std::partial_sort(list.begin(), list.begin() + n, list.end(), lessLikely);
    for (int i = 0; i < n; ++i) choice.items << *list[i].name;
    return n;
  };
  choice.due = take(due);
  for (const QString& name : newCandidates) {
    if (choice.items.size() >= rounds || choice.fresh >= newLeft) break;
    if (cards.value(name).reps > 0 || choice.items.contains(name)) continue;
    choice.items << name;
    ++choice.fresh;
  }
  take(later);
  return choice;
}

int DueCount(const ChildCards& cards, int today) {
  int n = 0;
  for (const Card& card : cards)
    if (card.reps > 0 && card.due <= today) ++n;
  return n;
}

ListeningGame::ListeningGame(const QStringList& items, int streak)
    : m_items(items), m_streak(streak) {}

ListeningGame::Answer ListeningGame::Pick(const QString& card) {
  if (m_roundOver || Finished()) return Answer::Missed;
  if (card == Target()) {
    m_roundOver = m_right = true;
    if (m_wrong == 0) {
      ++m_stars;
      ++m_streak;
    }
    return Answer::Right;
  }
  m_streak = 0;
  if (++m_wrong < 2) return Answer::TryAgain;
  m_roundOver = true;
  return Answer::Missed;
}

Grade ListeningGame::RoundGrade() const {
  if (!m_right) return Grade::Again;
  return m_wrong == 0 ? Grade::Good : Grade::Hard;
}

void ListeningGame::NextRound() {
  if (Finished()) return;
  ++m_round;
  m_wrong = 0;
  m_roundOver = m_right = false;
}

}  // namespace review
