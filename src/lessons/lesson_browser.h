// SPDX-License-Identifier: GPL-3.0-or-later
// Browsing the lessons of one kind without any widget: the chapters, the chosen chapter, its
// items, and moving between chapters. The rows stay in the data module's ALLQuery, which after a
// load holds the chosen chapter's items.
#pragma once

#include <QString>
#include <QStringList>

struct LessonKind;

class LessonBrowser {
 public:
  explicit LessonBrowser(const LessonKind& kind) : m_kind(kind) {}
  const LessonKind& kind() const { return m_kind; }

  // Refills the chapter list, chooses the first chapter and loads its items. False when a query
  // failed: then there are neither chapters nor items, and Error() says why.
  bool LoadChapters() { return LoadChapterList() && LoadChapterItems(); }
  // Only the first half of that: the chapter list, with the first chapter chosen.
  bool LoadChapterList();
  // Loads the items of the chosen chapter (with no chapter, of the chapter with an empty name).
  // False when the query failed: the item list is then empty.
  bool LoadChapterItems();
  // Chooses chapter `index` (-1 for none) and loads its items.
  bool ChooseChapter(int index);
  // The previous or next chapter, without wrap-around. False when there is none to go to, and
  // nothing is loaded; otherwise the result of loading it is in Error().
  bool PreviousChapter() { return StepChapter(-1); }
  bool NextChapter() { return StepChapter(+1); }

  const QStringList& Chapters() const { return m_chapters; }
  int ChapterIndex() const { return m_index; }
  QString Chapter() const { return m_index >= 0 ? m_chapters.at(m_index) : QString(); }
  // Names of the chosen chapter's items, in item-number order.
  const QStringList& Items() const { return m_items; }
  // Their pictures (data/item_pictures.h), an empty string for an item without one.
  const QStringList& Pictures() const { return m_pictures; }

  // Positions ALLQuery on the first item called `name`, letter case ignored.
  bool LocateItem(const QString& name) const;
  // Why the last load failed; empty after a successful load.
  const QString& Error() const { return m_error; }

 private:
  bool StepChapter(int delta);
  bool Failed();

  const LessonKind& m_kind;
  QStringList m_chapters;
  int m_index = -1;
  QStringList m_items;
  QStringList m_pictures;
  QString m_error;
};
