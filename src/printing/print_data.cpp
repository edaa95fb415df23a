// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/print_data.h"

#include <QSet>
#include <algorithm>

#include "data/children.h"
#include "data/pinyin.h"
#include "data/record_store.h"
#include "platform/dataset.h"
#include "review/knowledge.h"
#include "review/review_store.h"

namespace printing {

namespace {

QString Unreadable(const QString& why) {
  return QStringLiteral("无法读取课程或学习记录，请检查数据库连接后再试。（%1）").arg(why);
}

}  // namespace

bool LoadChapterSheet(const QString& connection, int number, QStringList* characters,
                      QString* chapter, QString* error) {
  QVector<QVector<QVariant>> rows;
  QString why;
  if (!platform::ExecQuery(connection, QStringLiteral("select 章节 from ZJ where 章号 = ?"),
                           {number}, &rows, &why)) {
    if (error) *error = Unreadable(why);
    return false;
  }
  if (rows.isEmpty()) {
    if (error) *error = QStringLiteral("识字课程里没有第 %1 章。").arg(number);
    return false;
  }
  *chapter = rows[0][0].toString();
  QStringList items;
  if (!records::LoadChapterCharacters(connection, *chapter, &items, &why)) {
    if (error) *error = Unreadable(why);
    return false;
  }
  *characters = SheetCharacters(items.join(QString()));
  return true;
}

bool LoadDueCharacters(const QString& connection, int child, const QDate& today,
                       QStringList* characters, QString* error) {
  QStringList chapters, items;
  QList<int> chapterOf;
  review::ChildCards cards;
  QString why;
  const int day = int(today.toJulianDay());
  if (!review::LoadCourseItems(connection, &chapters, &items, &chapterOf, &why) ||
      !review::LoadChildCards(connection, child, day, &cards, nullptr, &why)) {
    if (error) *error = Unreadable(why);
    return false;
  }
  characters->clear();
  for (const QString& item : items)
    if (review::Classify(cards, item, day) == review::Knowledge::Due) *characters << item;
  *characters = SheetCharacters(characters->join(QString()));
  return true;
}

bool FindChild(const QString& connection, const QString& name, int* child, QString* found,
               QString* error) {
  QList<children::Child> all;
  QString why;
  if (!children::LoadChildren(connection, &all, &why)) {
    if (error) *error = Unreadable(why);
    return false;
  }
  for (const children::Child& c : all)
    if (c.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
      *child = c.id;
      *found = c.name;
      return true;
    }
  if (error) *error = QStringLiteral("没有叫“%1”的小朋友。").arg(name.trimmed());
  return false;
}

bool LoadChildReport(const QString& connection, int child, const QString& name, int days,
                     const QDate& today, ChildReport* report, QString* error) {
  *report = {};
  report->child = name;
  report->to = today;
  report->from = today.addDays(-(days - 1));
  const records::RecordFilter filter({}, child);
  QList<QDateTime> times;
  QStringList chapters, items;
  QList<int> chapterOf;
  review::ChildCards cards;
  records::WritingTotals writing;
  QList<records::ItemCount> misses;
  QList<records::DrillSeries> series;
  QSet<QString> written;
  QString why;
  const int day = int(today.toJulianDay());
  if (!records::LoadNoteTimes(connection, filter, report->from, &times, &why) ||
      !review::LoadCourseItems(connection, &chapters, &items, &chapterOf, &why) ||
      !review::LoadChildCards(connection, child, day, &cards, nullptr, &why) ||
      !records::LoadWritingTotals(connection, filter, report->from, &writing, &why) ||
      !records::LoadWritingMisses(connection, filter, report->from, &misses, &why) ||
      !records::LoadDrills(connection, filter, report->from, &series, &why) ||
      !records::LoadWrittenCharacters(connection, child, &written, &why)) {
    if (error) *error = Unreadable(why);
    return false;
  }
  report->minutes = records::MinutesPerDay(times, today, days);
  const review::KnowledgeView view = review::SummariseKnowledge(cards, items, day);
  report->known = view.known;
  report->learned = view.learned;
  report->due = view.due;
  for (qsizetype i = 0; i < items.size() && i < view.states.size(); ++i)
    if (view.states[i] == review::Knowledge::Due) report->dueItems << items[i];
  report->writing = records::WritingSummary(writing, misses);
  report->written = writing.written;
  report->stars = int(written.size());
  const records::DrillProgress drill = records::DrillScores(series);
  for (int op = 0; op < 2; ++op) report->firstRightPercent[op] = drill.FirstRightPercent(op);
  for (const records::ItemCount& m : drill.missedFirst)
    report->mostMissed << QStringLiteral("%1（%2 次）").arg(records::SumLabel(m.item)).arg(m.count);
  return true;
}

bool LoadClassReport(const QString& connection, int days, const QDate& today, QList<ClassRow>* rows,
                     QString* error) {
  rows->clear();
  const QDate from = today.addDays(-(days - 1));
  QList<children::Child> all;
  QList<records::ChildSummary> summaries;
  QString why;
  if (!children::LoadChildren(connection, &all, &why) ||
      !records::LoadClassSummary(connection, from, &summaries, &why)) {
    if (error) *error = Unreadable(why);
    return false;
  }
  for (const children::Child& c : all) {
    ClassRow row;
    row.name = c.name;
    for (const records::ChildSummary& s : summaries)
      if (s.child == c.id) {
        row.days = s.days;
        row.opened = s.opened;
        row.written = s.written;
        row.drillScore = s.drillScore;
        row.listened = s.listened;
      }
    *rows << row;
  }
  std::stable_sort(rows->begin(), rows->end(), [](const ClassRow& a, const ClassRow& b) {
    return PinyinSortKey(a.name) < PinyinSortKey(b.name);
  });
  return true;
}

}  // namespace printing
