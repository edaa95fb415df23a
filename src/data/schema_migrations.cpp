// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/schema_migrations.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "platform/dataset.h"
#include "platform/logging.h"

const std::vector<SchemaMigration>& SchemaMigrations() {
  static const std::vector<SchemaMigration> steps = {
      {1, QStringLiteral("课程表（章节、字、诗、英语、SYS）"),
       SqlResourceStep(QStringLiteral(":/schema.sql"))},
      {2, QStringLiteral("学习记录表"), SqlResourceStep(QStringLiteral(":/learn_record.sql"))},
      {3, QStringLiteral("按章节查找课程内容的索引"),
       SqlResourceStep(QStringLiteral(":/item_chapter_index.sql"))},
      // Next steps here, in order.
  };
  return steps;
}

MigrationRun SqlResourceStep(const QString& resource) {
  return [resource](const QString& connection, QString* error) {
    QFile f(resource);
    if (!f.open(QIODevice::ReadOnly)) {
      if (error) *error = QStringLiteral("找不到数据库结构文件 %1").arg(resource);
      return false;
    }
    // Comment lines go first: they may hold semicolons.
    QStringList lines;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')))
      if (!line.trimmed().startsWith(QLatin1String("--"))) lines << line;
    for (const QString& statement : lines.join(QLatin1Char('\n')).split(QLatin1Char(';'))) {
      if (statement.trimmed().isEmpty()) continue;
      if (!platform::ExecSql(connection, statement.trimmed(), error)) return false;
    }
    return true;
  };
}

int CurrentSchemaVersion() { return SchemaMigrations().back().version; }

namespace {

bool IsSqliteFile(const QString& connection) {
  return QSqlDatabase::database(connection, false).driverName() == QLatin1String("QSQLITE");
}

const QString kVersionTable = QStringLiteral("tindora_schema");

// Stores the version; runs inside the step's transaction.
bool WriteVersion(const QString& connection, int version, QString* error) {
  if (IsSqliteFile(connection))
    return platform::ExecSql(connection, QStringLiteral("pragma user_version = %1").arg(version),
                             error);
  return platform::ExecSql(
             connection,
             QStringLiteral("create table if not exists %1 (version integer not null)")
                 .arg(kVersionTable),
             error) &&
         platform::ExecSql(connection, QStringLiteral("delete from %1").arg(kVersionTable),
                           error) &&
         platform::ExecSql(
             connection,
             QStringLiteral("insert into %1 (version) values (%2)").arg(kVersionTable).arg(version),
             error);
}

// A database from before versions were kept, with all the first version's tables.
bool FirstVersionWithoutRecord(const QString& connection) {
  QSqlQuery q(QSqlDatabase::database(connection, false));
  for (const char* table : {"ZJ", "xsZJ", "xyyZJ", "szSound", "xsSound", "xyySound", "SYS"})
    if (!q.exec(QStringLiteral("select * from %1 where 1 = 0").arg(QLatin1String(table))))
      return false;
  return true;
}

bool RunStep(const QString& connection, const SchemaMigration& step, QString* error) {
  platform::Transaction tx(connection);
  if (!tx.Begin()) {
    if (error) *error = tx.LastError();
    return false;
  }
  if (!step.run(connection, error) || !WriteVersion(connection, step.version, error))
    return false;  // rolled back
  if (!tx.Commit()) {
    if (error) *error = tx.LastError();
    return false;
  }
  return true;
}

}  // namespace

int StoredSchemaVersion(const QString& connection, QString* error) {
  QSqlDatabase db = QSqlDatabase::database(connection, false);
  QSqlQuery q(db);
  if (!IsSqliteFile(connection)) {
    // No version table (a catalogue lookup would also see other schemas' tables): version 0.
    if (!q.exec(QStringLiteral("select max(version) from %1").arg(kVersionTable))) return 0;
    return q.next() ? q.value(0).toInt() : 0;
  }
  if (!q.exec(QStringLiteral("pragma user_version")) || !q.next()) {
    if (error) *error = q.lastError().text().trimmed();
    return -1;
  }
  return q.value(0).toInt();
}

bool MigrateSchema(const QString& connection, QString* error, QStringList* done) {
  int stored = StoredSchemaVersion(connection, error);
  if (stored < 0) return false;
  if (stored > CurrentSchemaVersion()) {
    if (error)
      *error = QStringLiteral(
                   "数据库的结构版本是 %1，比本程序认识的版本 %2 新。请使用新版本的 Tindora。")
                   .arg(stored)
                   .arg(CurrentSchemaVersion());
    return false;
  }
  if (stored == 0 && FirstVersionWithoutRecord(connection)) {
    // Its first step is done; a user without the right to create tables on a server must still be
    // able to work, so failing to note the version is no failure.
    stored = 1;
    platform::Transaction tx(connection);
    QString why;
    if (!tx.Begin() || !WriteVersion(connection, 1, &why) || !tx.Commit())
      qCInfo(lcDb) << "schema version 1 not recorded:" << why;
  }
  for (const SchemaMigration& step : SchemaMigrations()) {
    if (step.version <= stored) continue;
    QString why;
    if (!RunStep(connection, step, &why)) {
      // Another seat may have run the same step at the same moment.
      stored = StoredSchemaVersion(connection);
      if (stored >= step.version) continue;
      if (error)
        *error = QStringLiteral("数据库结构升级到版本 %1 失败：%2").arg(step.version).arg(why);
      return false;
    }
    qCInfo(lcDb) << "schema step" << step.version << "done:" << step.description;
    stored = step.version;
    if (done) *done << step.description;
  }
  return true;
}
