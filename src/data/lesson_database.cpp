// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/lesson_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include "data/lesson_kinds.h"
#include "data/schema_migrations.h"
#include "platform/dataset.h"
#include "platform/db_watchdog.h"
#include "platform/install_paths.h"
#include "platform/logging.h"

// After Qt: the ODBC headers define short macros.
#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

namespace {

QString ProfileValue(const QString& dataSourceName, const char* key) {
  char value[1024] = {};
  SQLGetPrivateProfileString(dataSourceName.toLocal8Bit().constData(), key, "", value,
                             sizeof value, "odbc.ini");
  return QString::fromLocal8Bit(value).trimmed();
}

QString FirstProfileValue(const QString& dataSourceName, std::initializer_list<const char*> keys) {
  for (const char* key : keys)
    if (const QString v = ProfileValue(dataSourceName, key); !v.isEmpty()) return v;
  return {};
}

}  // namespace

ConnectionSpec DataSourceSpec(const QString& dataSourceName) {
  ConnectionSpec spec{QStringLiteral("QODBC"), dataSourceName, {}, {}, dataSourceName};
  // The ODBC names first; psqlODBC itself reads Username and Password.
  spec.user = FirstProfileValue(dataSourceName, {"UID", "Username", "User"});
  if (spec.user.isEmpty()) {
    spec.user = QStringLiteral("admin");
    spec.password = QStringLiteral("mkrwopbe");
  } else {
    spec.password = FirstProfileValue(dataSourceName, {"PWD", "Password"});
  }
  return spec;
}

ConnectionSpec LessonDataSource() { return DataSourceSpec(QStringLiteral("EDUqvlp")); }

QString LoginRefusal(const ConnectionSpec& spec, const QString& driverError) {
  // PostgreSQL's words: a wrong password, an unknown role, a computer pg_hba.conf does not admit.
  static const QRegularExpression refused(
      QStringLiteral("authentication failed|role \"[^\"]*\" does not exist|pg_hba\\.conf|"
                     "no password supplied|not permitted to log in"),
      QRegularExpression::CaseInsensitiveOption);
  if (!driverError.contains(refused)) return {};
  static const QRegularExpression named(QStringLiteral("(?:user|role) \"([^\"]*)\""));
  static const QRegularExpression inString(QStringLiteral("(?:^|;)\\s*(?:UID|Username)\\s*=\\s*([^;]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
  QString user = named.match(driverError).captured(1);
  if (user.isEmpty()) user = spec.user;
  if (user.isEmpty()) user = inString.match(spec.databaseName).captured(1).trimmed();
  return QStringLiteral(
             "服务器拒绝了用户“%1”登录课程数据库 %2。\n请检查：这个用户名和密码与服务器上建立的登录"
             "是否一致（数据源在 /etc/odbc.ini 中的 Username 和 Password）；服务器的 pg_hba.conf "
             "是否允许这台电脑连接。")
      .arg(user, spec.label);
}

QString EmbeddedDatabasePath() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
         QStringLiteral("/lessons.db");
}

ConnectionSpec EmbeddedSpec(const QString& path) {
  return {QStringLiteral("QSQLITE"), path, {}, {}, path};
}

namespace {

// Every change to the embedded file commits on its own. With the rollback journal a commit
// creates a journal, syncs it, syncs the folder, syncs the journal's header, writes and syncs
// the file and deletes the journal: four syncs and two changes to the folder, about 2 ms. With
// the write-ahead log it appends to one file and syncs that once; "full" keeps that sync on every
// commit, so a committed change still survives a power cut. The mode stays with the file.
void UseWriteAheadLog(const QSqlDatabase& db) {
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("pragma journal_mode = wal")) || !q.next() ||
      q.value(0).toString() != QLatin1String("wal"))
    qCInfo(lcDb) << "write-ahead log not available, rollback journal kept:" << db.databaseName();
  q.exec(QStringLiteral("pragma synchronous = full"));
}

}  // namespace

bool OpenConnection(const QString& connectionName, const ConnectionSpec& spec, QString* error,
                    bool* dataSourceMissing) {
  if (dataSourceMissing) *dataSourceMissing = false;
  QSqlDatabase db = QSqlDatabase::addDatabase(spec.driver, connectionName);
  if (!db.isValid()) {
    if (error) *error = QStringLiteral("数据库驱动 %1 不可用").arg(spec.driver);
    return false;
  }
  db.setDatabaseName(spec.databaseName);
  if (!spec.user.isEmpty()) db.setUserName(spec.user);
  // In a connection string a value holding ";" must be braced.
  if (!spec.password.isEmpty())
    db.setPassword(spec.driver == QLatin1String("QODBC") && spec.password.contains(QLatin1Char(';'))
                       ? QLatin1Char('{') + spec.password + QLatin1Char('}')
                       : spec.password);
  if (spec.driver == QLatin1String("QODBC"))
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=10"));
  // An SQLite URI ("file:...?mode=ro") is opened as one.
  const bool uri = spec.driver == QLatin1String("QSQLITE") &&
                   spec.databaseName.startsWith(QLatin1String("file:"));
  if (uri) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
  if (platform::OpenDatabase(db)) {
    // A read-only opening (a data folder that cannot be written) cannot change the journal.
    if (spec.driver == QLatin1String("QSQLITE") && !uri) UseWriteAheadLog(db);
    return true;
  }
  const QSqlError e = db.lastError();
  if (error) *error = e.text().trimmed();
  // unixODBC answers SQLSTATE IM002 for a data source that is not defined.
  if (dataSourceMissing)
    *dataSourceMissing = e.nativeErrorCode().contains(QLatin1String("IM002")) ||
                         e.text().contains(QLatin1String("IM002")) ||
                         e.text().contains(QLatin1String("Data source name not found"));
  return false;
}

bool CreateSchema(const QString& connectionName, QString* error) {
  return MigrateSchema(connectionName, error);
}

namespace {

bool AppendRow(platform::Dataset& table, const QList<std::pair<QString, QString>>& fields,
               QString* error) {
  table.Append();
  for (const auto& [name, value] : fields) table.SetField(name, value);
  if (table.Post()) return true;
  if (error) *error = table.LastError();
  table.Cancel();
  return false;
}

bool LoadKind(const QString& connection, const LessonKind& kind, const QJsonObject& course,
              const QString& mediaFolder, QString* error) {
  platform::Dataset chapters(connection);
  chapters.SetTableName(kind.chapterTable);
  platform::Dataset items(connection);
  items.SetTableName(kind.itemTable);
  if (!chapters.Open() || !items.Open()) {
    if (error) *error = chapters.LastError().isEmpty() ? items.LastError() : chapters.LastError();
    return false;
  }
  const QString folder = QDir(mediaFolder).filePath(kind.soundFolder);
  for (const QJsonValue& c : course.value(QStringLiteral("chapters")).toArray()) {
    const QJsonObject o = c.toObject();
    if (!AppendRow(
            chapters,
            {{QStringLiteral("章号"), QString::number(o.value(QStringLiteral("number")).toInt())},
             {QStringLiteral("章节"), o.value(QStringLiteral("name")).toString()}},
            error))
      return false;
  }
  for (const QJsonValue& i : course.value(QStringLiteral("items")).toArray()) {
    const QJsonObject o = i.toObject();
    const QString sound = o.value(QStringLiteral("sound")).toString();
    if (!AppendRow(items,
                   {{kind.numberField, QString::number(o.value(QStringLiteral("number")).toInt())},
                    {kind.nameField, o.value(QStringLiteral("name")).toString()},
                    {QStringLiteral("章节"), o.value(QStringLiteral("chapter")).toString()},
                    {kind.textField, o.value(QStringLiteral("text")).toString()},
                    {QStringLiteral("声音"),
                     sound.isEmpty() ? QString()
                                     : QDir::toNativeSeparators(QDir(folder).filePath(sound))}},
                   error))
      return false;
  }
  return true;
}

}  // namespace

namespace {

bool TableEmpty(const QString& connection, const QString& table, bool* empty, QString* error) {
  platform::Dataset d(connection);
  d.SetTableName(table);
  if (!d.Open()) {
    if (error) *error = d.LastError();
    return false;
  }
  *empty = d.IsEmpty();
  return true;
}

bool Load(const QString& connectionName, const QByteArray& json, const QString& mediaFolder,
          bool onlyIntoEmpty, QStringList* loaded, QString* error) {
  QJsonParseError parse;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
  if (doc.isNull() || !doc.isObject()) {
    if (error) *error = QStringLiteral("课程文件格式错误: ") + parse.errorString();
    return false;
  }
  platform::Transaction tx(connectionName);
  if (!tx.Begin()) {
    if (error) *error = tx.LastError();
    return false;
  }
  for (const LessonKind* kind : AllKinds()) {
    bool chaptersEmpty = true, itemsEmpty = true;
    if (onlyIntoEmpty && (!TableEmpty(connectionName, kind->chapterTable, &chaptersEmpty, error) ||
                          !TableEmpty(connectionName, kind->itemTable, &itemsEmpty, error)))
      return false;
    if (!chaptersEmpty || !itemsEmpty) continue;
    if (!LoadKind(connectionName, *kind, doc.object().value(kind->key).toObject(), mediaFolder,
                  error))
      return false;  // the transaction rolls back
    if (loaded) *loaded << kind->key;
  }
  if (!tx.Commit()) {
    if (error) *error = tx.LastError();
    return false;
  }
  return true;
}

}  // namespace

bool LoadCourse(const QString& connectionName, const QByteArray& json, const QString& mediaFolder,
                QString* error) {
  return Load(connectionName, json, mediaFolder, false, nullptr, error);
}

bool LoadCourseIntoEmptyTables(const QString& connectionName, const QByteArray& json,
                               const QString& mediaFolder, QStringList* loaded, QString* error) {
  return Load(connectionName, json, mediaFolder, true, loaded, error);
}

QByteArray SampleCourseJson() {
  QFile f(QStringLiteral(":/sample_course.json"));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("{}");
}

QString InstallationFolder() { return DataFolder(); }

bool DataSourceDefined(const QString& name) {
  SQLHENV env = SQL_NULL_HENV;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return false;
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  bool found = false;
  SQLCHAR dsn[SQL_MAX_DSN_LENGTH + 1];
  SQLCHAR description[512];
  SQLSMALLINT dsnLength = 0, descriptionLength = 0;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  while (!found &&
         SQL_SUCCEEDED(SQLDataSources(env, direction, dsn, sizeof dsn, &dsnLength, description,
                                      sizeof description, &descriptionLength))) {
    found = QString::fromLocal8Bit(reinterpret_cast<const char*>(dsn))
                .compare(name, Qt::CaseInsensitive) == 0;
    direction = SQL_FETCH_NEXT;
  }
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return found;
}
