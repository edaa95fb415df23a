// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/test_db.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QSqlDatabase>
#include <QtTest>

#include "data/lesson_kinds.h"
#include "platform/dataset.h"

namespace testing {

void AddBackendRows() {
  QTest::addColumn<Backend>("backend");
  QTest::newRow("sqlite") << Backend::Sqlite;
  QTest::newRow("odbc-sqlite") << Backend::OdbcSqlite;
  QTest::newRow("odbc-postgres") << Backend::OdbcPostgres;
}

void AddBackendAndKindRows() {
  QTest::addColumn<Backend>("backend");
  QTest::addColumn<int>("kind");
  for (auto [name, b] :
       {std::pair{"sqlite", Backend::Sqlite}, std::pair{"odbc-sqlite", Backend::OdbcSqlite},
        std::pair{"odbc-postgres", Backend::OdbcPostgres}})
    for (const LessonKind* k : AllKinds())
      QTest::newRow(qPrintable(QStringLiteral("%1/%2").arg(QLatin1String(name), k->key)))
          << b << static_cast<int>(k->id);
}

QStringList DatasetRows(const QString& connection, const QString& sql, const QStringList& fields) {
  platform::Dataset d(connection);
  d.SqlAdd(sql);
  if (!d.Open()) return {d.LastError()};
  QStringList rows;
  for (d.First(); !d.Eof(); d.Next()) {
    QStringList values;
    for (const QString& f : fields)
      values << (f == QStringLiteral("图片") && d.FieldIsNull(f) ? QStringLiteral("∅") : d.Field(f));
    rows << values.join(QLatin1Char('|'));
  }
  return rows;
}

void AddRows(const QString& connection, const QString& table,
             const QList<QList<std::pair<QString, QString>>>& rows) {
  platform::Dataset d(connection);
  d.SetTableName(table);
  QVERIFY2(d.Open(), qPrintable(d.LastError()));
  for (const auto& row : rows) {
    d.Append();
    for (const auto& [field, value] : row) d.SetField(field, value);
    QVERIFY2(d.Post(), qPrintable(d.LastError()));
  }
}

TestDatabase::TestDatabase(Backend backend) : m_dir(std::make_unique<QTemporaryDir>()) {
  static int count = 0;
  m_connection = QStringLiteral("test-db-%1").arg(++count);
  const QString file = m_dir->filePath(QStringLiteral("lessons.db"));
  switch (backend) {
    case Backend::Sqlite:
      m_spec = EmbeddedSpec(file);
      break;
    case Backend::OdbcSqlite:
      m_spec = {QStringLiteral("QODBC"),
                QStringLiteral("DRIVER=SQLite3;Database=%1;").arg(file),
                {},
                {},
                QStringLiteral("SQLite3 ODBC")};
      break;
    case Backend::OdbcPostgres: {
      const QString conn = qEnvironmentVariable("TINDORA_PG_CONNSTR");
      if (conn.isEmpty()) {
        m_why = QStringLiteral(
            "no PostgreSQL server for this run (TINDORA_PG_CONNSTR is not set; .ci/run sets it)");
        return;
      }
      // A schema of this database's own: test programs running at once (and other users of
      // the server) never see each other's tables.
      m_schema =
          QStringLiteral("tindora_t%1_%2").arg(QCoreApplication::applicationPid()).arg(count);
      m_admin = {QStringLiteral("QODBC"), conn, {}, {}, QStringLiteral("PostgreSQL")};
      QString error;
      if (!RunAdmin({QStringLiteral("drop schema if exists %1 cascade").arg(m_schema),
                     QStringLiteral("create schema %1").arg(m_schema)},
                    &error)) {
        m_why = QStringLiteral("cannot connect to PostgreSQL: ") + error;
        return;
      }
      m_spec = {QStringLiteral("QODBC"),
                conn + QStringLiteral(";ConnSettings=set search_path to %1;").arg(m_schema),
                {},
                {},
                QStringLiteral("PostgreSQL")};
      break;
    }
  }
  QString error;
  if (!OpenConnection(m_connection, m_spec, &error)) {
    m_why = QStringLiteral("cannot connect to %1: %2").arg(m_spec.label, error);
    return;
  }
  if (backend == Backend::OdbcPostgres) {
    for (const char* t : {"ZJ", "xsZJ", "xyyZJ", "szSound", "xsSound", "xyySound", "SYS",
                          "tindora_schema", "learn_record", "recordings"})
      platform::ExecSql(m_connection,
                        QStringLiteral("drop table if exists %1").arg(QLatin1String(t)));
  }
  if (!CreateSchema(m_connection, &error)) {
    m_why = QStringLiteral("cannot create the schema: ") + error;
    m_broken = true;
    return;
  }
  m_available = true;
}

TestDatabase::~TestDatabase() {
  {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (db.isValid()) db.close();
  }
  QSqlDatabase::removeDatabase(m_connection);
  if (!m_schema.isEmpty())
    RunAdmin({QStringLiteral("drop schema if exists %1 cascade").arg(m_schema)}, nullptr);
}

bool TestDatabase::RunAdmin(const QStringList& statements, QString* error) const {
  const QString name = m_connection + QStringLiteral("-admin");
  bool ok = OpenConnection(name, m_admin, error);
  for (const QString& sql : statements) ok = ok && platform::ExecSql(name, sql, error);
  QSqlDatabase::database(name, false).close();
  QSqlDatabase::removeDatabase(name);
  return ok;
}

}  // namespace testing

#include "data/data_module.h"
#include "data/lesson_kinds.h"

namespace testing {

TestDataModule::TestDataModule(Backend backend) : m_db(backend) {
  if (m_db.Available()) {
    m_module = std::make_unique<Tdm>(m_db.Spec());
    dm = m_module.get();
  }
}

TestDataModule::~TestDataModule() {
  if (dm == m_module.get()) dm = nullptr;
}

void TestDataModule::AddRows(const QString& table,
                             const QList<QList<std::pair<QString, QString>>>& rows) {
  testing::AddRows(m_db.Connection(), table, rows);
}

void TestDataModule::AddChapters(const LessonKind& kind, const QStringList& names) {
  QList<QList<std::pair<QString, QString>>> rows;
  for (int i = 0; i < names.size(); ++i)
    rows.append(
        {{QStringLiteral("章号"), QString::number(i + 1)}, {QStringLiteral("章节"), names[i]}});
  AddRows(kind.chapterTable, rows);
}

void TestDataModule::LoadSampleCourse() {
  QString error;
  QVERIFY2(LoadCourse(m_db.Connection(), SampleCourseJson(), InstallationFolder(), &error),
           qPrintable(error));
}

}  // namespace testing

namespace testing {

QStringList FolderDigest(const QString& folder) {
  QStringList out;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile f(it.next());
    out << QDir(folder).relativeFilePath(f.fileName()) + QLatin1Char('|') +
               (f.open(QIODevice::ReadOnly)
                    ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex()
                    : QByteArray("?"));
  }
  out.sort();
  return out;
}

void UseOdbcIni(const QByteArray& contents) {
  static QTemporaryDir dir;
  QStandardPaths::setTestModeEnabled(true);
  const QString path = dir.filePath(QStringLiteral("odbc.ini"));
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(contents);
  qputenv("ODBCINI", path.toLocal8Bit());
}

void UseNoDataSource(const QTemporaryDir& dir) {
  QFile(dir.filePath(QStringLiteral("odbc.ini"))).open(QIODevice::WriteOnly);
  qputenv("ODBCINI", dir.filePath(QStringLiteral("odbc.ini")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
}

}  // namespace testing
