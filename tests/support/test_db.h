// SPDX-License-Identifier: GPL-3.0-or-later
// Lesson databases for tests: a fresh schema on a temporary SQLite file (through QSQLITE or the
// SQLite3 ODBC driver) or on the CI's PostgreSQL server through psqlODBC.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "data/lesson_database.h"

namespace testing {

enum class Backend { Sqlite, OdbcSqlite, OdbcPostgres };

// Adds the column "backend" and one row per backend to a Qt Test data table.
void AddBackendRows();
// Adds the columns "backend" and "kind" (a LessonKindId as int), one row per backend and kind.
void AddBackendAndKindRows();

// Inserts rows into `table` on `connection`; each row is a list of (field, text) pairs.
// The rows `sql` reads, each as its `fields` joined by "|" ("∅" for a NULL 图片); the error alone
// when it cannot be read.
QStringList DatasetRows(const QString& connection, const QString& sql, const QStringList& fields);

void AddRows(const QString& connection, const QString& table,
             const QList<QList<std::pair<QString, QString>>>& rows);

// A temporary lesson database with the schema and no rows.
class TestDatabase {
 public:
  explicit TestDatabase(Backend backend);
  ~TestDatabase();
  // False (with the reason) when the backend is not reachable here.
  bool Available() const { return m_available; }
  QString Why() const { return m_why; }
  bool Broken() const { return m_broken; }
  const ConnectionSpec& Spec() const { return m_spec; }
  // A connection of the test's own, open on the database.
  QString Connection() const { return m_connection; }

 private:
  // Runs statements on a connection of its own to the server's default schema.
  bool RunAdmin(const QStringList& statements, QString* error) const;

  std::unique_ptr<QTemporaryDir> m_dir;
  ConnectionSpec m_spec;
  ConnectionSpec m_admin;  // PostgreSQL: the server itself
  QString m_schema;        // PostgreSQL: the schema holding this database's tables
  QString m_connection;
  bool m_available = false;
  bool m_broken = false;  // reachable but unusable: a failure, not a skip
  QString m_why;
};

// Skips the current test (saying why) when the backend is not reachable.
#define REQUIRE_DATABASE(db)                              \
  do {                                                    \
    if ((db).Broken()) QFAIL(qPrintable((db).Why()));     \
    if (!(db).Available()) QSKIP(qPrintable((db).Why())); \
  } while (false)

}  // namespace testing

Q_DECLARE_METATYPE(testing::Backend)

class Tdm;
struct LessonKind;

namespace testing {

// A data module on a fresh temporary SQLite database, installed as the global `dm` while it lives.
// Rows are added with AddRows / LoadCourse (the sample course JSON format).
class TestDataModule {
 public:
  explicit TestDataModule(Backend backend = Backend::Sqlite);
  ~TestDataModule();
  Tdm* module() const { return m_module.get(); }
  const TestDatabase& database() const { return m_db; }
  // Inserts rows into `table`; each row is a list of (field, text) pairs.
  void AddRows(const QString& table, const QList<QList<std::pair<QString, QString>>>& rows);
  // Loads the built-in sample course.
  void LoadSampleCourse();
  // Chapters of a kind, numbered from 1 in list order.
  void AddChapters(const LessonKind& kind, const QStringList& names);

 private:
  TestDatabase m_db;
  std::unique_ptr<Tdm> m_module;
};

}  // namespace testing

namespace testing {

// Every file under `folder` (hidden ones too) as "relative path|SHA-256", sorted: two digests
// are equal when nothing was added, removed or changed.
QStringList FolderDigest(const QString& folder);

// Points the ODBC driver manager at a data source list of the test's own (before the first
// connection: the list is read once per process) and keeps the embedded database in test paths.
void UseOdbcIni(const QByteArray& contents);

// No data source defined and the data folder in `dir`: start-up falls back to the embedded
// database, made there.
void UseNoDataSource(const QTemporaryDir& dir);

}  // namespace testing
