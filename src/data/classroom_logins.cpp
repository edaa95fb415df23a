// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/classroom_logins.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>

#include "data/lesson_kinds.h"
#include "platform/dataset.h"
#include "platform/logging.h"

namespace {

QString Quoted(const QString& identifier) {
  return QLatin1Char('"') + QString(identifier).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
         QLatin1Char('"');
}

// What a seat writes besides the learning notes: a child's writing stars and reviews.
QStringList SeatChildTableGrants(const QString& role) {
  return {QStringLiteral("grant insert on writing_done to %1").arg(role),
          QStringLiteral("grant insert, update on review_state to %1").arg(role),
          QStringLiteral("grant insert on stickers to %1").arg(role)};
}

bool PlainRole(const QString& role) {
  static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
  return plain.match(role).hasMatch();
}

}  // namespace

bool IsPostgres(const QString& connection) {
  const QSqlDatabase db = QSqlDatabase::database(connection, false);
  return db.driver() && db.driver()->dbmsType() == QSqlDriver::PostgreSQL;
}

bool GrantClassroomLogin(const QString& connection, ClassroomLogin kind, const QString& role,
                         QString* error) {
  if (!IsPostgres(connection)) {
    if (error)
      *error = QStringLiteral(
          "老师和学生的登录只在 PostgreSQL 服务器上分开；这个数据库没有这样的登录，什么也没有改。");
    return false;
  }
  // Names go into the statements themselves: only plain ones.
  if (!PlainRole(role)) {
    if (error)
      *error = QStringLiteral("登录名“%1”只能由小写英文字母、数字和下划线组成。").arg(role);
    return false;
  }
  QVector<QVector<QVariant>> rows;
  if (!platform::ExecQuery(
          connection,
          QStringLiteral("select current_schema(), t.tableowner, o.rolsuper, "
                         "exists (select 1 from pg_roles where rolname = ?) "
                         "from pg_tables t join pg_roles o on o.rolname = t.tableowner "
                         "where t.schemaname = current_schema() and t.tablename = 'zj'"),
          {role}, &rows, error))
    return false;
  if (rows.isEmpty()) {
    if (error) *error = QStringLiteral("这个数据库里还没有课程表，请先不带这个选项运行一次。");
    return false;
  }
  const QString schema = rows[0].value(0).toString(), owner = rows[0].value(1).toString();
  if (!rows[0].value(3).toBool()) {
    if (error)
      *error = QStringLiteral(
                   "服务器上没有登录“%1”。请先在服务器上建立它：sudo -u postgres createuser -P %1")
                   .arg(role);
    return false;
  }
  QStringList statements;
  if (kind == ClassroomLogin::Teacher) {
    // The teacher acts as the course's owner: reads and writes it and runs the schema steps.
    if (rows[0].value(2).toBool()) {
      if (error)
        *error = QStringLiteral(
                     "课程表属于服务器的管理员“%1”，不能把它的权限交给老师。请用课程数据库自己的"
                     "登录（例如 tindora）建立课程表。")
                     .arg(owner);
      return false;
    }
    if (owner != role) statements << QStringLiteral("grant %1 to %2").arg(Quoted(owner), role);
  } else {
    statements << QStringLiteral("grant usage on schema %1 to %2").arg(Quoted(schema), role)
               << QStringLiteral("grant select on all tables in schema %1 to %2")
                      .arg(Quoted(schema), role)
               << QStringLiteral("grant insert on learn_record to %1").arg(role)
               << SeatChildTableGrants(role)
               // Tables a later version adds can be read too.
               << QStringLiteral("alter default privileges in schema %1 grant select on tables to %2")
                      .arg(Quoted(schema), role);
  }
  platform::Transaction tx(connection);
  if (!tx.Begin()) {
    if (error) *error = tx.LastError();
    return false;
  }
  for (const QString& sql : statements)
    if (!platform::ExecSql(connection, sql, error)) return false;
  if (!tx.Commit()) {
    if (error) *error = tx.LastError();
    return false;
  }
  return true;
}

bool GrantSeatsChildTables(const QString& connection, QString* error) {
  if (!IsPostgres(connection)) return true;
  QVector<QVector<QVariant>> seats;
  if (!platform::ExecQuery(
          connection,
          QStringLiteral("select distinct g.grantee from information_schema.role_table_grants g "
                         "join pg_tables t on t.schemaname = g.table_schema and t.tablename = "
                         "g.table_name where g.table_schema = current_schema() and g.table_name "
                         "= 'learn_record' and g.privilege_type = 'INSERT' and g.grantee <> "
                         "t.tableowner"),
          {}, &seats, error))
    return false;
  for (const QVector<QVariant>& seat : seats) {
    const QString role = seat.value(0).toString();
    if (!PlainRole(role)) continue;  // not granted by this program
    for (const QString& sql : SeatChildTableGrants(role))
      if (!platform::ExecSql(connection, sql, error)) return false;
  }
  return true;
}

bool MayEditCourse(const QString& connection) {
  if (!IsPostgres(connection)) return true;
  QStringList tables;
  for (const LessonKind* k : AllKinds()) tables << k->chapterTable << k->itemTable;
  QStringList present;
  for (const QString& t : tables) present << QStringLiteral("to_regclass('%1') is not null").arg(t);
  QVector<QVector<QVariant>> found;
  QString why;
  // A database without the lesson tables yet: whoever may make them is the course's owner.
  if (platform::ExecQuery(connection, QStringLiteral("select ") + present.join(QStringLiteral(" and ")),
                          {}, &found, &why) &&
      !found.value(0).value(0).toBool()) {
    found.clear();
    return platform::ExecQuery(connection,
                               QStringLiteral("select has_schema_privilege(current_schema(), 'create')"),
                               {}, &found, &why) &&
           found.value(0).value(0).toBool();
  }
  QStringList checks;
  for (const QString& t : tables)
    for (const char* right : {"insert", "update", "delete"})
      checks << QStringLiteral("has_table_privilege('%1', '%2')").arg(t, QLatin1String(right));
  QVector<QVector<QVariant>> rows;
  QString error;
  if (!platform::ExecQuery(connection, QStringLiteral("select ") + checks.join(QStringLiteral(" and ")),
                           {}, &rows, &error)) {
    qCWarning(lcDb).noquote() << "the login's rights could not be read:" << error;
    return false;
  }
  return rows.value(0).value(0).toBool();
}
