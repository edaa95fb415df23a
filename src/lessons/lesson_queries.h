// SPDX-License-Identifier: GPL-3.0-or-later
// What the lesson screens share around the data module's ALLQuery: the chapter list, the items of
// one chapter, and the hourglass while a list loads.
#pragma once

#include <QStringList>

struct LessonKind;

// Shows the hourglass over the whole application while it lives (or until released).
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor() { Release(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  void Release();

 private:
  bool m_on = true;
};

// Re-issues the kind's chapter list on ALLQuery and gives the chapter names in chapter-number
// order. False when the query failed (its error is in dm->ALLQuery->LastError()).
bool LoadChapterNames(const LessonKind& kind, QStringList* names);

// Re-issues the items of one chapter on ALLQuery, in item-number order. False when it failed.
bool OpenChapterItems(const LessonKind& kind, const QString& chapter);
