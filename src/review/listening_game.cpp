// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/listening_game.h"

#include <QSet>
#include <algorithm>

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

QStringList ChooseDistractors(const QList<GameItem>& pool, const GameItem& target, int count,
                              const std::function<int(int)>& random) {
  QList<const GameItem*> sameLength, otherLength;
  QSet<QString> seen{target.name};
  for (const GameItem& item : pool) {
    if (item.chapter > target.chapter || seen.contains(item.name)) continue;
    seen.insert(item.name);
    (item.name.size() == target.name.size() ? sameLength : otherLength).append(&item);
  }
  QStringList chosen;
  QSet<QString> sounds;
  if (!target.sound.isEmpty()) sounds.insert(target.sound);
  for (QList<const GameItem*>* list : {&sameLength, &otherLength}) {
    // Random order without repeats: draw from the part not drawn yet.
    for (int left = int(list->size()); left > 0 && chosen.size() < count; --left) {
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
    ++m_stars;
    if (m_wrong == 0) ++m_streak;
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
