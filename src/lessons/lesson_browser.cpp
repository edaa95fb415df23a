// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/lesson_browser.h"

#include "data/data_module.h"
#include "data/item_pictures.h"
#include "data/lesson_kinds.h"
#include "lessons/lesson_queries.h"
#include "platform/logging.h"

bool LessonBrowser::Failed() {
  m_error = dm->ALLQuery->LastError();
  // An empty error would read as success.
  if (m_error.isEmpty()) m_error = QStringLiteral("无法读取课程内容");
  m_items.clear();
  m_pictures.clear();
  return false;
}

bool LessonBrowser::LoadChapterList() {
  m_chapters.clear();
  m_index = -1;
  if (!LoadChapterNames(m_kind, &m_chapters)) {
    m_chapters.clear();
    // The item query would fail the same way and report the fault a second time.
    qCInfo(lcDb) << m_kind.key << "chapters not loaded, items not asked for";
    return Failed();
  }
  m_index = m_chapters.isEmpty() ? -1 : 0;
  m_items.clear();
  m_pictures.clear();
  m_error.clear();
  return true;
}

bool LessonBrowser::LoadChapterItems() {
  m_items.clear();
  m_pictures.clear();
  m_error.clear();
  if (!OpenChapterItems(m_kind, Chapter())) return Failed();
  platform::Dataset* q = dm->ALLQuery;
  for (q->First(); !q->Eof(); q->Next()) {
    m_items << q->Field(m_kind.nameField);
    m_pictures << pictures::ItemPicture(*q, m_kind);
  }
  return true;
}

bool LessonBrowser::ChooseChapter(int index) {
  m_index = index >= 0 && index < m_chapters.size() ? index : -1;
  return LoadChapterItems();
}

bool LessonBrowser::StepChapter(int delta) {
  const int count = int(m_chapters.size());
  if (count < 2) return false;
  int target;
  if (delta < 0) {
    if (m_index <= 0) return false;
    target = m_index - 1;
  } else {
    if (m_index == count - 1) return false;
    target = m_index + 1;  // from no chapter, the first
  }
  ChooseChapter(target);
  return true;
}

bool LessonBrowser::LocateItem(const QString& name) const {
  return dm->ALLQuery->Locate(m_kind.nameField, name, true);
}
