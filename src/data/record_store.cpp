// SPDX-License-Identifier: GPL-3.0-or-later
// Records are not lesson rows: they are written from the practice log's own thread, so these
// statements go straight to the driver rather than through the lesson queries' observer.
#include "data/record_store.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QMap>
#include <QVariant>
#include <algorithm>
#include <functional>

#include "data/children.h"
#include "data/classroom_logins.h"
#include "platform/db_watchdog.h"

namespace records {

namespace {

constexpr const char* kTimeFormat = "yyyy-MM-dd hh:mm:ss";

// Why the latest statement run here failed (for the messages that name the cause).
thread_local platform::WriteFailure t_failure = platform::WriteFailure::None;

// Runs `sql` with positional values; `row` sees each result row.
bool Run(const QString& connection, const QString& sql, const QVariantList& values, QString* error,
         const std::function<void(const QSqlQuery&)>& row = {}) {
  QSqlQuery q(QSqlDatabase::database(connection, false));
  q.setForwardOnly(true);
  const platform::StatementWatch watch(connection);
  if (!q.prepare(sql)) {
    if (error) *error = q.lastError().text().trimmed();
    return false;
  }
  for (const QVariant& v : values) q.addBindValue(v);
  if (!q.exec()) {
    if (error) *error = q.lastError().text().trimmed();
    t_failure = platform::ClassifyFailure(q.lastError(), false);
    return false;
  }
  if (row)
    while (q.next()) row(q);
  return true;
}

// For the window's statements on the lessons' connection: one found lost after a server restart
// is opened again before the next, as the lesson queries do, so reopening the window helps.
bool RunReconnecting(const QString& connection, const QString& sql, const QVariantList& values,
                     QString* error, const std::function<void(const QSqlQuery&)>& row = {}) {
  QString why;
  t_failure = platform::WriteFailure::ServerAway;
  if (!platform::ReconnectIfLost(connection, &why)) {
    // Never an empty error: the window would take the failure for "no records yet".
    if (error) *error = why.isEmpty() ? QStringLiteral("无法连接数据库服务器") : why;
    return false;
  }
  if (Run(connection, sql, values, error, row)) return true;
  if (platform::CheckConnectionLost(connection)) t_failure = platform::WriteFailure::ServerAway;
  return false;
}

// " where machine = ? and child_id = ?" and their values, or nothing for every record; `joiner`
// ("where" or "and") comes first. `prefix` names the record table in a join.
QString FilterTerms(const RecordFilter& filter, QVariantList& values, const char* joiner,
                    const char* prefix = "") {
  QStringList terms;
  if (!filter.machine.isEmpty()) {
    terms << QStringLiteral("%1machine = ?").arg(QLatin1String(prefix));
    values << filter.machine;
  }
  if (filter.child == children::kNoChild) {
    terms << QStringLiteral("%1child_id is null").arg(QLatin1String(prefix));
  } else if (filter.child != kAnyChild) {
    terms << QStringLiteral("%1child_id = ?").arg(QLatin1String(prefix));
    values << filter.child;
  }
  if (terms.isEmpty()) return {};
  return QStringLiteral(" %1 ").arg(QLatin1String(joiner)) + terms.join(QStringLiteral(" and "));
}

// "yyyy-MM-dd hh:mm:ss" taken apart by hand: QDateTime::fromString costs a hundred times more,
// which a month of a classroom's drill series makes visible.
QDateTime ParseTime(const QString& text) {
  if (text.size() != 19) return {};
  auto n = [&](int at, int length) { return QStringView(text).mid(at, length).toInt(); };
  return QDateTime(QDate(n(0, 4), n(5, 2), n(8, 2)), QTime(n(11, 2), n(14, 2), n(17, 2)));
}

QVariant TextOrNull(const QString& text) {
  return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

// The character of a writing note among its child's finished ones, once.
bool NoteWrittenCharacter(const QString& connection, const Record& n, int child, QString* error) {
  QVariantList values;
  if (child > 0) values << child;
  values << n.item << n.item;
  if (child > 0) values << child;
  const QString whose = child > 0 ? QStringLiteral("child_id = ?") : QStringLiteral("child_id is null");
  return Run(connection,
             QStringLiteral("insert into writing_done (child_id, item) select %1, ? where not "
                            "exists (select 1 from writing_done where item = ? and %2)")
                 .arg(child > 0 ? QStringLiteral("?") : QStringLiteral("null"), whose),
             values, error);
}

}  // namespace

bool WriteRecords(const QString& connection, const QList<Record>& records, QString* error) {
  QSqlDatabase db = QSqlDatabase::database(connection, false);
  bool begun = false;
  {
    const platform::StatementWatch watch(connection);
    begun = db.transaction();
  }
  if (!begun) {
    if (error) *error = db.lastError().text().trimmed();
    return false;
  }
  const QString sql = QStringLiteral(
      "insert into learn_record (machine, day, at_time, module, item, operation, results, "
      "score, note_id, child_id) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  const QString written = QStringLiteral("select 1 from learn_record where note_id = ?");
  for (const Record& n : records) {
    bool found = false;
    if (!n.id.isEmpty() &&
        !Run(connection, written, {n.id}, error, [&](const QSqlQuery&) { found = true; })) {
      db.rollback();
      return false;
    }
    if (found) continue;
    const bool scored = n.module == Module::Drill || n.module == Module::Writing;
    const QVariantList values = {n.machine,
                                 DayNumber(n.at.date()),
                                 n.at.toString(QLatin1String(kTimeFormat)),
                                 int(n.module),
                                 TextOrNull(n.item),
                                 TextOrNull(n.operation),
                                 TextOrNull(n.results),
                                 scored ? QVariant(n.score) : QVariant(QMetaType(QMetaType::Int)),
                                 TextOrNull(n.id),
                                 n.child == children::kNoChild ? QVariant(QMetaType(QMetaType::Int))
                                                               : QVariant(n.child)};
    if (!Run(connection, sql, values, error) ||
        (n.module == Module::Writing && n.operation != QLatin1String(kUnfinished) &&
         !NoteWrittenCharacter(connection, n, n.child, error))) {
      db.rollback();
      return false;
    }
  }
  {
    const platform::StatementWatch watch(connection);
    if (db.commit()) return true;
  }
  if (error) *error = db.lastError().text().trimmed();
  db.rollback();
  return false;
}

bool LoadDayCounts(const QString& connection, const RecordFilter& filter, const QDate& from,
                   QList<DayCount>* counts, QString* error) {
  QVariantList values = {DayNumber(from)};
  const QString sql =
      QStringLiteral("select day, module, count(*) from learn_record where day >= ?") +
      FilterTerms(filter, values, "and") + QStringLiteral(" group by day, module");
  counts->clear();
  return RunReconnecting(connection, sql, values, error, [&](const QSqlQuery& q) {
    const int module = q.value(1).toInt();
    if (module >= 0 && module < kModuleCount)
      counts->append({q.value(0).toInt(), Module(module), q.value(2).toInt()});
  });
}

bool LoadNoteTimes(const QString& connection, const RecordFilter& filter, const QDate& from,
                   QList<QDateTime>* times, QString* error) {
  QVariantList values = {DayNumber(from)};
  const QString sql = QStringLiteral("select at_time from learn_record where day >= ?") +
                      FilterTerms(filter, values, "and") + QStringLiteral(" order by at_time");
  times->clear();
  return RunReconnecting(connection, sql, values, error, [&](const QSqlQuery& q) {
    times->append(ParseTime(q.value(0).toString()));
  });
}

bool LoadItemCounts(const QString& connection, const RecordFilter& filter, Module module,
                    QList<ItemCount>* counts, QString* error) {
  // A character written on the writing screen is practised as much as one opened.
  const bool characters = module == Module::Character;
  QVariantList values = {int(module), int(characters ? Module::Writing : module)};
  const QString sql =
      QStringLiteral("select item, count(*) from learn_record where module in (?, ?)") +
      FilterTerms(filter, values, "and") + QStringLiteral(" group by item");
  counts->clear();
  return RunReconnecting(connection, sql, values, error, [&](const QSqlQuery& q) {
    counts->append({q.value(0).toString(), q.value(1).toInt()});
  });
}

bool LoadDrills(const QString& connection, const RecordFilter& filter, const QDate& from,
                QList<DrillSeries>* series, QString* error) {
  QVariantList values = {int(Module::Drill), DayNumber(from)};
  const QString sql = QStringLiteral(
                          "select at_time, operation, results, score, item from learn_record "
                          "where module = ? and day >= ?") +
                      FilterTerms(filter, values, "and") + QStringLiteral(" order by at_time");
  series->clear();
  return RunReconnecting(connection, sql, values, error, [&](const QSqlQuery& q) {
    series->append({ParseTime(q.value(0).toString()), q.value(1).toString(), q.value(2).toString(),
                    q.value(3).toInt(), q.value(4).toString()});
  });
}

bool LoadWritingMisses(const QString& connection, const RecordFilter& filter, const QDate& from,
                       QList<ItemCount>* misses, QString* error) {
  QVariantList values = {int(Module::Writing), DayNumber(from)};
  const QString sql = QStringLiteral(
                          "select item, sum(score) from learn_record where module = ? and day >= ? "
                          "and score > 0") +
                      FilterTerms(filter, values, "and") + QStringLiteral(" group by item");
  misses->clear();
  const bool ok = RunReconnecting(connection, sql, values, error, [&](const QSqlQuery& q) {
    misses->append({q.value(0).toString(), q.value(1).toInt()});
  });
  std::stable_sort(misses->begin(), misses->end(), [](const ItemCount& a, const ItemCount& b) {
    return a.count != b.count ? a.count > b.count : a.item < b.item;
  });
  return ok;
}

bool LoadWritingTotals(const QString& connection, const RecordFilter& filter, const QDate& from,
                       WritingTotals* totals, QString* error) {
  QVariantList values = {int(Module::Writing), DayNumber(from)};
  const QString sql = QStringLiteral(
                          "select operation, count(*), sum(score) from learn_record where "
                          "module = ? and day >= ?") +
                      FilterTerms(filter, values, "and") + QStringLiteral(" group by operation");
  *totals = {};
  return RunReconnecting(connection, sql, values, error, [&](const QSqlQuery& q) {
    const QString way = q.value(0).toString();  // null: traced
    const int count = q.value(1).toInt();
    totals->missed += q.value(2).toInt();
    if (way == QLatin1String(kUnfinished)) return;
    totals->written += count;
    if (way == QLatin1String(kQuizAlone)) totals->alone += count;
    if (way == QLatin1String(kQuizHelped)) totals->helped += count;
  });
}

bool LoadWrittenCharacters(const QString& connection, int child, QSet<QString>* characters,
                           QString* error) {
  characters->clear();
  QVariantList values;
  if (child > 0) values << child;
  return RunReconnecting(
      connection,
      QStringLiteral("select item from writing_done where ") +
          (child > 0 ? QStringLiteral("child_id = ?") : QStringLiteral("child_id is null")),
      values, error, [&](const QSqlQuery& q) { characters->insert(q.value(0).toString()); });
}

bool MayClearRecords(const QString& connection) {
  if (!IsPostgres(connection)) return true;
  bool may = false;
  RunReconnecting(connection, QStringLiteral("select has_table_privilege('learn_record', 'delete')"),
                  {}, nullptr, [&may](const QSqlQuery& q) { may = q.value(0).toBool(); });
  return may;
}

bool ClearRecords(const QString& connection, const RecordFilter& filter, QString* error,
                  platform::WriteFailure* failure) {
  QVariantList values;
  const bool ok = RunReconnecting(
      connection,
      QStringLiteral("delete from learn_record") + FilterTerms(filter, values, "where"), values,
      error);
  if (failure) *failure = ok ? platform::WriteFailure::None : t_failure;
  return ok;
}

bool LoadCharacterChapters(const QString& connection, QStringList* chapters, QString* error) {
  chapters->clear();
  return RunReconnecting(connection, QStringLiteral("select 章节 from ZJ order by 章号"), {}, error,
                         [&](const QSqlQuery& q) { chapters->append(q.value(0).toString()); });
}

bool LoadChapterCharacters(const QString& connection, const QString& chapter,
                           QStringList* characters, QString* error) {
  characters->clear();
  return RunReconnecting(
      connection, QStringLiteral("select 字名 from szSound where 章节 = ? order by 字号"),
      {chapter}, error, [&](const QSqlQuery& q) { characters->append(q.value(0).toString()); });
}

bool LoadLatestCharacterChapter(const QString& connection, const RecordFilter& filter, QString* chapter,
                                QString* error) {
  QVariantList values = {int(Module::Character)};
  const QString sql = QStringLiteral(
                          "select s.章节 from learn_record r join szSound s on s.字名 = r.item "
                          "where r.module = ?") +
                      FilterTerms(filter, values, "and", "r.") +
                      QStringLiteral(" order by r.at_time desc, s.字号 limit 1");
  chapter->clear();
  return RunReconnecting(connection, sql, values, error,
                         [&](const QSqlQuery& q) { *chapter = q.value(0).toString(); });
}

bool LoadClassSummary(const QString& connection, const QDate& from, QList<ChildSummary>* rows,
                      QString* error) {
  rows->clear();
  QMap<int, ChildSummary> by;
  auto row = [&](const QVariant& child) -> ChildSummary& {
    const int id = child.isNull() ? children::kNoChild : child.toInt();
    ChildSummary& r = by[id];
    r.child = id;
    return r;
  };
  const int day = DayNumber(from);
  if (!RunReconnecting(
          connection,
          QStringLiteral("select child_id, count(distinct day) from learn_record where day >= ? "
                         "group by child_id"),
          {day}, error, [&](const QSqlQuery& q) { row(q.value(0)).days = q.value(1).toInt(); }))
    return false;
  if (!RunReconnecting(
          connection,
          QStringLiteral("select child_id, module, count(distinct item), sum(score), count(*) from "
                         "learn_record where day >= ? and module in (?, ?, ?) and "
                         "(module <> ? or operation is null or operation <> ?) group by child_id, "
                         "module"),
          {day, int(Module::Character), int(Module::Writing), int(Module::Drill),
           int(Module::Writing), QString::fromLatin1(kUnfinished)},
          error,
          [&](const QSqlQuery& q) {
            ChildSummary& r = row(q.value(0));
            switch (Module(q.value(1).toInt())) {
              case Module::Character: r.opened = q.value(2).toInt(); break;
              case Module::Writing: r.written = q.value(2).toInt(); break;
              case Module::Drill:
                if (const int n = q.value(4).toInt(); n > 0)
                  r.drillScore = qRound(q.value(3).toDouble() / n);
                break;
              default: break;
            }
          }))
    return false;
  if (!RunReconnecting(connection,
                       QStringLiteral("select child_id, count(*) from review_state where "
                                      "last_review >= ? group by child_id"),
                       {day}, error,
                       [&](const QSqlQuery& q) { row(q.value(0)).listened = q.value(1).toInt(); }))
    return false;
  *rows = by.values();
  return true;
}

}  // namespace records
