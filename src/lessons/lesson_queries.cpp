// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/lesson_queries.h"

#include <QApplication>

#include "data/data_module.h"
#include "data/lesson_kinds.h"

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void BusyCursor::Release() {
  if (m_on) QApplication::restoreOverrideCursor();
  m_on = false;
}

bool LoadChapterNames(const LessonKind& kind, QStringList* names) {
  platform::Dataset* q = dm->ALLQuery;
  q->Close();
  q->SqlClear();
  q->SqlAdd(kind.sqlChapters);
  if (!q->Open()) return false;
  for (q->First(); !q->Eof(); q->Next()) *names << q->Field(QStringLiteral("章节"));
  return true;
}

bool OpenChapterItems(const LessonKind& kind, const QString& chapter) {
  platform::Dataset* q = dm->ALLQuery;
  q->Close();
  q->SqlClear();
  q->SqlAdd(kind.sqlItemsLine1);
  // With no chapters the name is empty, never null: the query still compares with a text.
  q->SetParam(QStringLiteral("zzj"), chapter.isNull() ? QString(0, QChar()) : chapter);
  q->SqlAdd(kind.sqlItemsLine2);
  return q->Open();
}
