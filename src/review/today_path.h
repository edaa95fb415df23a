// SPDX-License-Identifier: GPL-3.0-or-later
// Today's path for one child, without widgets or database: what comes next, in order. New
// characters from the first chapter (at or after the child's starting one) that still has some
// the child has never met, the listening game on them, one of them to write, the reviews due, and
// on poem days one line of a poem. While more than kMostDueForNew reviews are due nothing new is
// offered: the path is the reviews alone.
#pragma once

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace review {

inline constexpr int kMostDueForNew = 20;
inline constexpr int kFewestNew = 3;
inline constexpr int kMostNew = 5;

struct PathCourse {
  QStringList chapters;               // in course order
  QList<QStringList> chapterItems;    // each chapter's characters, in order
  QStringList poemTitles;             // in course order
  QList<QStringList> poemLines;       // each poem's lines
};

struct PathChild {
  int startChapter = 0;      // 0-based, into PathCourse::chapters
  int newPerDay = kFewestNew;  // kFewestNew .. kMostNew, held there
  QSet<QString> met;         // characters the child has already had
  QStringList due;           // reviews due today
};

enum class StepKind { NewCharacters, Listening, Writing, Reviews, PoemLine };

struct PathStep {
  StepKind kind;
  QStringList items;  // the characters, or the poem's title and its line
  QString chapter;    // where the new characters come from
};

// Poem days: Wednesday and Saturday.
bool IsPoemDay(const QDate& day);

QList<PathStep> PlanPath(const PathCourse& course, const PathChild& child, const QDate& today);

// What a step is called on its picture ("认新字", "听音找字", ...).
QString StepTitle(StepKind kind);

}  // namespace review
