// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/knowledge.h"

namespace review {
namespace {

Knowledge Of(const Card& card, int today) {
  if (card.reps == 0) return Knowledge::New;
  if (card.due <= today) return Knowledge::Due;
  return card.stability >= kKnownStability && PlausibleMemory(card) ? Knowledge::Known
                                                                     : Knowledge::Learning;
}

}  // namespace

Knowledge Classify(const ChildCards& cards, const QString& item, int today) {
  const auto it = cards.constFind(item);
  return it == cards.cend() ? Knowledge::New : Of(*it, today);
}

KnowledgeView SummariseKnowledge(const ChildCards& cards, const QStringList& items, int today) {
  KnowledgeView view;
  for (const Card& card : cards) {
    switch (Of(card, today)) {
      case Knowledge::New: continue;
      case Knowledge::Known: ++view.known; break;
      case Knowledge::Due: ++view.due; break;
      case Knowledge::Learning: break;
    }
    ++view.learned;
  }
  view.states.reserve(items.size());
  for (const QString& item : items) view.states.append(Classify(cards, item, today));
  return view;
}

QString KnowledgeName(Knowledge k) {
  switch (k) {
    case Knowledge::New: return QStringLiteral("还没学");
    case Knowledge::Learning: return QStringLiteral("正在学");
    case Knowledge::Known: return QStringLiteral("认识了");
    case Knowledge::Due: return QStringLiteral("该复习");
  }
  return {};
}

QString KnowledgeMeaning(Knowledge k) {
  switch (k) {
    case Knowledge::New: return QStringLiteral("孩子还没在“听音找字”里遇到过这个字");
    case Knowledge::Learning: return QStringLiteral("刚学过，还记不牢，过几天会再考");
    case Knowledge::Known: return QStringLiteral("多次找对了，一个星期后多半还记得");
    case Knowledge::Due: return QStringLiteral("快要忘了，今天玩“听音找字”时会再考");
  }
  return {};
}

}  // namespace review
