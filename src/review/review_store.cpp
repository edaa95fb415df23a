// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/review_store.h"

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <functional>

#include "data/classroom_logins.h"
#include "platform/db_watchdog.h"
#include "platform/logging.h"

namespace review {
namespace {

bool Run(const QString& connection, const QString& sql, const QVariantList& values, QString* error,
         const std::function<void(const QSqlQuery&)>& row = {}, int* affected = nullptr) {
  QString why;
  if (!platform::ReconnectIfLost(connection, &why)) {
    if (error) *error = why.isEmpty() ? QStringLiteral("无法连接数据库服务器") : why;
    return false;
  }
  QSqlQuery q(QSqlDatabase::database(connection, false));
  q.setForwardOnly(true);
  const platform::StatementWatch watch(connection);
  if (!q.prepare(sql) || [&] {
        for (const QVariant& v : values) q.addBindValue(v);
        return !q.exec();
      }()) {
    if (error) *error = q.lastError().text().trimmed();
    platform::CheckConnectionLost(connection);
    return false;
  }
  if (row)
    while (q.next()) row(q);
  if (affected) *affected = q.numRowsAffected();
  return true;
}

}  // namespace

int DayOf(int yyyymmdd) {
  if (yyyymmdd <= 0) return 0;
  const QDate date(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
  return date.isValid() ? int(date.toJulianDay()) : 0;
}

int StoredDay(int julian) {
  if (julian <= 0) return 0;
  const QDate date = QDate::fromJulianDay(julian);
  return date.year() * 10000 + date.month() * 100 + date.day();
}

bool LoadChildCards(const QString& connection, int child, int today, ChildCards* cards,
                    int* newToday, QString* error) {
  cards->clear();
  int fresh = 0;
  const int storedToday = StoredDay(today);
  const bool ok = Run(
      connection,
      QStringLiteral("select item, stability, difficulty, due, last_review, first_review, reps, "
                     "lapses, state from review_state where child_id = ?"),
      {child}, error, [&](const QSqlQuery& q) {
        Card c;
        c.stability = q.value(1).toDouble();
        c.difficulty = q.value(2).toDouble();
        c.due = DayOf(q.value(3).toInt());
        c.lastReview = DayOf(q.value(4).toInt());
        c.reps = q.value(6).toInt();
        c.lapses = q.value(7).toInt();
        const int state = q.value(8).toInt();
        c.state = state >= 0 && state <= 3 ? MemoryState(state) : MemoryState::Review;
        if (c.lastReview > 0) c.scheduledDays = c.due - c.lastReview;
        if (q.value(5).toInt() == storedToday) ++fresh;
        cards->insert(q.value(0).toString(), c);
      });
  if (newToday) *newToday = fresh;
  return ok;
}

bool CountDue(const QString& connection, int child, int today, int* due, QString* error) {
  *due = 0;
  return Run(connection,
             QStringLiteral("select count(*) from review_state where child_id = ? and reps > 0 "
                            "and due <= ?"),
             {child, StoredDay(today)}, error, [&](const QSqlQuery& q) { *due = q.value(0).toInt(); });
}

bool SaveCard(const QString& connection, int child, const QString& item, const Card& card,
              int firstDay, QString* error) {
  const QVariantList values = {card.stability, card.difficulty,   StoredDay(card.due),
                               StoredDay(card.lastReview), card.reps, card.lapses,
                               int(card.state),  child,             item};
  int affected = 0;
  if (!Run(connection,
           QStringLiteral("update review_state set stability = ?, difficulty = ?, due = ?, "
                          "last_review = ?, reps = ?, lapses = ?, state = ? where child_id = ? "
                          "and item = ?"),
           values, error, {}, &affected))
    return false;
  if (affected > 0) return true;
  QString why;
  if (Run(connection,
          QStringLiteral("insert into review_state (stability, difficulty, due, last_review, "
                         "reps, lapses, state, child_id, item, first_review) values "
                         "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
          QVariantList(values) << StoredDay(firstDay), &why))
    return true;
  // Another seat stored the same child's item a moment ago: ours is the later review.
  if (Run(connection,
          QStringLiteral("update review_state set stability = ?, difficulty = ?, due = ?, "
                         "last_review = ?, reps = ?, lapses = ?, state = ? where child_id = ? "
                         "and item = ?"),
          values, nullptr, {}, &affected) &&
      affected > 0)
    return true;
  if (error) *error = why;
  return false;
}

bool LoadChapterOrder(const QString& connection, QStringList* chapters, QString* error) {
  chapters->clear();
  return Run(connection, QStringLiteral("select 章节 from ZJ order by 章号"), {}, error,
             [&](const QSqlQuery& q) { chapters->append(q.value(0).toString()); });
}

bool LoadOpenedChapters(const QString& connection, int child, const QStringList& chapters,
                        QList<int>* opened, QString* error) {
  opened->clear();
  QStringList names;
  QVariantList values;
  if (child != kDefaultChild) values << child;
  if (!Run(connection,
           QStringLiteral("select distinct 章节 from szSound where 字名 in (select item from "
                          "learn_record where module = 0 and child_id %1)")
               .arg(child != kDefaultChild ? QStringLiteral("= ?") : QStringLiteral("is null")),
           values, error, [&](const QSqlQuery& q) { names.append(q.value(0).toString()); }))
    return false;
  for (int i = 0; i < chapters.size(); ++i)
    if (names.contains(chapters[i])) opened->append(i);
  // A child who has not looked at any chapter yet starts with the first.
  if (opened->isEmpty() && !chapters.isEmpty()) opened->append(0);
  return true;
}

bool LoadChapterItems(const QString& connection, const QString& chapter, QStringList* items,
                      QString* error, QStringList* texts) {
  items->clear();
  if (texts) texts->clear();
  return Run(connection,
             QStringLiteral("select 字名, 拼音词组 from szSound where 章节 = ? order by 字号"),
             {chapter}, error, [&](const QSqlQuery& q) {
               items->append(q.value(0).toString());
               if (texts) texts->append(q.value(1).toString());
             });
}

bool LoadItemRows(const QString& connection, const QStringList& names, QList<ItemRow>* rows,
                  QString* error) {
  rows->clear();
  if (names.isEmpty()) return true;
  QStringList marks(names.size(), QStringLiteral("?"));
  QVariantList values;
  for (const QString& n : names) values << n;
  return Run(connection,
             QStringLiteral("select 字名, 章节, 拼音词组, 声音 from szSound where 字名 in (%1) "
                            "order by 字号")
                 .arg(marks.join(QStringLiteral(", "))),
             values, error, [&](const QSqlQuery& q) {
               rows->append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                             q.value(3).toString()});
             });
}

bool LoadCourseItems(const QString& connection, QStringList* chapters, QStringList* items,
                     QList<int>* chapterOf, QString* error) {
  items->clear();
  chapterOf->clear();
  if (!LoadChapterOrder(connection, chapters, error)) return false;
  QHash<QString, int> index;
  for (int i = 0; i < chapters->size(); ++i) index.insert(chapters->at(i), i);
  QList<std::pair<int, QString>> rows;
  bool homeless = false;
  auto chapterAt = [&](const QString& chapter) {
    const int at = index.value(chapter, -1);
    homeless = homeless || at < 0;
    return at < 0 ? int(chapters->size()) : at;
  };
  // Over ODBC each row costs a round of driver calls: a course of twenty thousand items read row
  // by row was most of the knowledge window's time. The server joins each chapter's items into
  // one row; the unit separator is no character an item name holds.
  const bool ok =
      IsPostgres(connection)
          ? Run(connection,
                QStringLiteral("select 章节, string_agg(字名, chr(31) order by 字号) from szSound "
                               "group by 章节 order by min(字号)"),
                {}, error,
                [&](const QSqlQuery& q) {
                  const int at = chapterAt(q.value(0).toString());
                  for (const QString& name : q.value(1).toString().split(QChar(31)))
                    rows.append({at, name});
                })
          : Run(connection, QStringLiteral("select 字名, 章节 from szSound order by 字号"), {},
                error, [&](const QSqlQuery& q) {
                  rows.append({chapterAt(q.value(1).toString()), q.value(0).toString()});
                });
  if (!ok) return false;
  // Items whose chapter is gone still count: they are shown last, under a heading of their own.
  if (homeless) chapters->append(QStringLiteral("（不在任何章节里的字）"));
  std::stable_sort(rows.begin(), rows.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  items->reserve(rows.size());
  chapterOf->reserve(rows.size());
  for (const auto& [chapter, name] : rows) {
    items->append(name);
    chapterOf->append(chapter);
  }
  return true;
}

bool LoadChosenPictures(const QString& connection, QHash<QString, QString>* chosen,
                        QString* error) {
  chosen->clear();
  return Run(connection, QStringLiteral("select 字名, 图片 from szSound where 图片 is not null"), {},
             error, [&](const QSqlQuery& q) {
               chosen->insert(q.value(0).toString(), q.value(1).toString());
             });
}

bool LoadCourseGameItems(const QString& connection, QList<GameItem>* items, QString* error) {
  items->clear();
  return Run(connection, QStringLiteral("select 字名, 拼音词组 from szSound"), {}, error,
             [&](const QSqlQuery& q) {
               items->append(MakeGameItem(q.value(0).toString(), 0, q.value(1).toString()));
             });
}

QString WithoutChoiceNoticeFor(const QString& connection) {
  QList<GameItem> course;
  QString error;
  if (!LoadCourseGameItems(connection, &course, &error)) {
    qCWarning(lcDb) << "course readings not read:" << error;
    return {};
  }
  return WithoutChoiceNotice(ItemsWithoutChoice(course));
}

bool LoadNewPerDay(const QString& connection, int* perDay, QString* error) {
  *perDay = kNewPerDayDefault;
  QString stored;
  if (!Run(connection, QStringLiteral("select 内容 from SYS where 名称 = ?"), {kNewPerDayName},
           error, [&](const QSqlQuery& q) { stored = q.value(0).toString(); }))
    return false;
  bool number = false;
  const int value = stored.trimmed().toInt(&number);
  // Written by another seat or by hand: a number out of range is brought into it.
  if (number) *perDay = qBound(0, value, kNewPerDayMax);
  return true;
}

bool SaveNewPerDay(const QString& connection, int perDay, QString* error) {
  const QString value = QString::number(qBound(0, perDay, kNewPerDayMax));
  int affected = 0;
  if (!Run(connection, QStringLiteral("update SYS set 内容 = ? where 名称 = ?"),
           {value, kNewPerDayName}, error, {}, &affected))
    return false;
  return affected > 0 || Run(connection, QStringLiteral("insert into SYS (名称, 内容) values (?, ?)"),
                             {kNewPerDayName, value}, error);
}

bool ChooseForChild(const QString& c, int child, int today, const Scheduler& scheduler,
                    GameSelection* out, QString* error) {
  *out = {};
  int newToday = 0, perDay = kNewPerDayDefault;
  QList<int> opened;
  if (!LoadChapterOrder(c, &out->chapters, error) ||
      !LoadChildCards(c, child, today, &out->cards, &newToday, error) ||
      !LoadNewPerDay(c, &perDay, error) || !LoadOpenedChapters(c, child, out->chapters, &opened, error))
    return false;
  // New items in course order from the opened chapters, only as many as a game can take.
  const int newLeft = qMax(0, perDay - newToday);
  QStringList candidates;
  for (int i = 0; i < opened.size() && candidates.size() < qMin(newLeft, kGameRounds); ++i) {
    QStringList names;
    if (!LoadChapterItems(c, out->chapters[opened[i]], &names, error)) return false;
    for (const QString& n : names)
      if (!out->cards.contains(n) && !candidates.contains(n)) candidates << n;
  }
  out->choice = ChooseGameItems(out->cards, candidates, today, newLeft, scheduler);
  QList<ItemRow> rows;
  if (!LoadItemRows(c, out->choice.items, &rows, error)) return false;
  // In the order chosen; an item no longer in the course is left out.
  for (const QString& name : out->choice.items)
    for (const ItemRow& r : rows)
      if (r.name == name) {
        out->rows.append(r);
        break;
      }
  return true;
}

}  // namespace review
