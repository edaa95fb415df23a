// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/schema_migrations.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include "data/children.h"
#include "data/classroom_logins.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"
#include "platform/logging.h"

namespace {
bool NoteIdsAndUniqueChapters(const QString& connection, QString* error);
bool PictureColumns(const QString& connection, QString* error);

// The recordings a server keeps for every seat (see data/recordings_library.h); the embedded file
// gets the table too, unused, so one version number means one set of tables.
MigrationRun RecordingsTableStep() {
  return [](const QString& connection, QString* error) {
    const QSqlDatabase db = QSqlDatabase::database(connection, false);
    const bool postgres = db.driver() && db.driver()->dbmsType() == QSqlDriver::PostgreSQL;
    return platform::ExecSql(
        connection,
        QStringLiteral("create table if not exists recordings (name varchar(255) not null primary "
                       "key, sha256 char(64) not null, size integer not null, bytes %1 not null)")
            .arg(postgres ? QStringLiteral("bytea") : QStringLiteral("blob")),
        error);
  };
}

}  // namespace

const std::vector<SchemaMigration>& SchemaMigrations() {
  static const std::vector<SchemaMigration> steps = {
      {1, QStringLiteral("课程表（章节、字、诗、英语、SYS）"),
       SqlResourceStep(QStringLiteral(":/schema.sql"))},
      {2, QStringLiteral("学习记录表"), SqlResourceStep(QStringLiteral(":/learn_record.sql"))},
      {3, QStringLiteral("学习记录的编号，章节名和章号不能重复"), NoteIdsAndUniqueChapters},
      {4, QStringLiteral("按章节查找课程内容的索引"),
       SqlResourceStep(QStringLiteral(":/item_chapter_index.sql"))},
      {5, QStringLiteral("录音表"), RecordingsTableStep()},
      {6, QStringLiteral("写完的字（写字的星星）"),
       SqlResourceStep(QStringLiteral(":/writing_done.sql"))},
      {7, QStringLiteral("复习状态表（每个孩子每个字）"),
       SqlResourceStep(QStringLiteral(":/review_state.sql"))},
      {8, QStringLiteral("小朋友表，学习记录记下是哪个小朋友"), children::AddChildrenTables},
      {9, QStringLiteral("按字名查找字的索引"), SqlResourceStep(QStringLiteral(":/item_name_index.sql"))},
      {10, QStringLiteral("学生座位可以记下写字的星星和复习"), GrantSeatsChildTables},
      {11, QStringLiteral("小朋友的学习起点和贴纸"),
       SqlResourceStep(QStringLiteral(":/child_path.sql"))},
      {12, QStringLiteral("学生座位可以发贴纸"), GrantSeatsChildTables},
      {13, QStringLiteral("字和英语的图片"), PictureColumns},
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

bool EnsureChapterConstraints(const QString& connection, QStringList* duplicates, QString* error) {
  for (const LessonKind* kind : AllKinds()) {
    for (const QString& field : {QStringLiteral("章节"), QStringLiteral("章号")}) {
      QStringList found;
      QSqlQuery q(QSqlDatabase::database(connection, false));
      if (!q.exec(QStringLiteral("select %1, count(*) from %2 group by %1 having count(*) > 1")
                      .arg(field, kind->chapterTable))) {
        if (error) *error = q.lastError().text().trimmed();
        return false;
      }
      while (q.next())
        found << QStringLiteral("%1：%2“%3”有 %4 行，这个表暂不限制%2重复，请改名或删除多余的行")
                     .arg(kind->chapterTable, field, q.value(0).toString(), q.value(1).toString());
      if (!found.isEmpty()) {
        // The table keeps working as it is; the adult tidies it and tindora_dbsetup adds the rule.
        for (const QString& line : found) qCWarning(lcDb) << "duplicate chapters:" << line;
        if (duplicates) *duplicates << found;
        continue;
      }
      const QString index =
          kind->chapterTable.toLower() +
          (field == QStringLiteral("章节") ? QStringLiteral("_name") : QStringLiteral("_number"));
      if (!platform::ExecSql(connection,
                             QStringLiteral("create unique index if not exists %1 on %2 (%3)")
                                 .arg(index, kind->chapterTable, field),
                             error))
        return false;
    }
  }
  return true;
}

int CurrentSchemaVersion() { return SchemaMigrations().back().version; }

namespace {

bool IsSqliteFile(const QString& connection) {
  return QSqlDatabase::database(connection, false).driverName() == QLatin1String("QSQLITE");
}

const QString kVersionTable = QStringLiteral("tindora_schema");

// Each practice note carries its identity, so a retried write never stores it twice; chapters get
// their unique indexes where the rows allow. Harmless when run again.
// Asked of the catalogue: a failed probe would spoil a server's transaction.
bool HasColumn(const QString& connection, const QString& table, const QString& column) {
  const QSqlDatabase db = QSqlDatabase::database(connection, false);
  QSqlQuery q(db);
  bool present = false;
  if (db.driver()->dbmsType() == QSqlDriver::PostgreSQL) {
    q.prepare(QStringLiteral("select count(*) from information_schema.columns where table_schema "
                             "= current_schema() and table_name = ? and column_name = ?"));
    q.addBindValue(table.toLower());
    q.addBindValue(column);
    if (q.exec() && q.next()) present = q.value(0).toInt() > 0;
  } else if (q.exec(QStringLiteral("pragma table_info(%1)").arg(table))) {  // SQLite
    while (q.next()) present = present || q.value(1).toString() == column;
  }
  return present;
}

bool NoteIdsAndUniqueChapters(const QString& connection, QString* error) {
  return (HasColumn(connection, QStringLiteral("learn_record"), QStringLiteral("note_id")) ||
          platform::ExecSql(
              connection, QStringLiteral("alter table learn_record add column note_id varchar(36)"),
              error)) &&
         platform::ExecSql(connection,
                           QStringLiteral("create unique index if not exists learn_record_note on "
                                          "learn_record (note_id)"),
                           error) &&
         EnsureChapterConstraints(connection, nullptr, error);
}

// Characters and English words get a picture; NULL means nobody chose (data/item_pictures.h).
bool PictureColumns(const QString& connection, QString* error) {
  for (const LessonKindId id : {LessonKindId::Character, LessonKindId::English}) {
    const QString& table = Kind(id).itemTable;
    if (!HasColumn(connection, table, QStringLiteral("图片")) &&
        !platform::ExecSql(connection,
                           QStringLiteral("alter table %1 add column 图片 varchar(64)").arg(table),
                           error))
      return false;
  }
  return true;
}

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

// Two seats may start at once. On an SQLite file the step's transaction holds the write lock from
// its start, so the other seat waits there. On a server, PostgreSQL's transaction lock
// makes the other seat wait until this one has committed (on other servers the statement fails
// and changes nothing), and the version read again says what that seat has done meanwhile. A
// version table not there yet is made first: reading a missing table would spoil the transaction.
int StoredVersionUnderLock(const QString& connection, int readBefore) {
  if (!IsSqliteFile(connection)) {
    platform::ExecSql(connection, QStringLiteral("select pg_advisory_xact_lock(20261208)"));
    if (readBefore == 0)
      platform::ExecSql(connection,
                        QStringLiteral("create table if not exists %1 (version integer not null)")
                            .arg(kVersionTable));
  }
  return StoredSchemaVersion(connection);
}

// Runs the step unless another seat has just run it: then `*stored` gets the version it left.
bool RunStep(const QString& connection, const SchemaMigration& step, int* stored, QString* error) {
  platform::Transaction tx(connection);
  if (!tx.Begin(true)) {
    if (error) *error = tx.LastError();
    return false;
  }
  if (const int now = StoredVersionUnderLock(connection, *stored); now >= step.version) {
    *stored = now;
    return true;
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
    platform::Transaction tx(connection);
    QString why;
    if (!tx.Begin(true) ||
        (StoredVersionUnderLock(connection, 0) < 1 && !WriteVersion(connection, 1, &why)) ||
        !tx.Commit())
      qCInfo(lcDb) << "schema version 1 not recorded:" << why;
    stored = 1;
  }
  for (const SchemaMigration& step : SchemaMigrations()) {
    if (step.version <= stored) continue;
    QString why;
    const int before = stored;
    if (!RunStep(connection, step, &stored, &why)) {
      // Another seat may have run the same step at the same moment.
      stored = StoredSchemaVersion(connection);
      if (stored >= step.version) continue;
      if (error)
        *error = QStringLiteral("数据库结构升级到版本 %1 失败：%2").arg(step.version).arg(why);
      return false;
    }
    if (stored != before) continue;  // done by another seat
    qCInfo(lcDb) << "schema step" << step.version << "done:" << step.description;
    stored = step.version;
    if (done) *done << step.description;
  }
  return true;
}
