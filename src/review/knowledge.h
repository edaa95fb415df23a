// SPDX-License-Identifier: GPL-3.0-or-later
// What the record says a child knows, from the child's review states, without any widget.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "review/listening_game.h"

namespace review {

// An item's state as the parent reads it. Due comes first: an item the child is forgetting
// needs the game today, whatever it was before.
enum class Knowledge { New, Learning, Known, Due };
// Known: the model expects the child still to recall it in a week (stability of 7 days or more).
inline constexpr double kKnownStability = 7;

Knowledge Classify(const ChildCards& cards, const QString& item, int today);

struct KnowledgeView {
  int known = 0;    // 认识的字 N 个
  int learned = 0;  // 学过 M 个: reviewed at least once
  int due = 0;      // 今天该复习 K 个
  QList<Knowledge> states;  // one per item of `items`, in that order
};
// Over the course's items; counts include items reviewed but no longer in the course.
KnowledgeView SummariseKnowledge(const ChildCards& cards, const QStringList& items, int today);

// The parent's words for each state: a short name and what it means.
QString KnowledgeName(Knowledge k);
QString KnowledgeMeaning(Knowledge k);

}  // namespace review
