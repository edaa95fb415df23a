// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks on a PostgreSQL server work in a schema of their own, made afresh on every run and
// dropped at the end: a run never meets what an earlier or interrupted one left behind (tables,
// records, the schema version), and never touches the lessons kept in the same database.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "data/lesson_database.h"
#include "platform/dataset.h"

class BenchSchema {
 public:
  // `server`: a "DRIVER=...;" string such as TINDORA_PG_CONNSTR; `schema` names the run's own.
  BenchSchema(const QString& server, const QString& schema) : m_schema(schema) {
    m_admin = QStringLiteral("bench-admin-") + schema;
    const ConnectionSpec admin{
        QStringLiteral("QODBC"), server, {}, {}, QStringLiteral("PostgreSQL")};
    m_ok = OpenConnection(m_admin, admin, &m_error) &&
           platform::ExecSql(
               m_admin, QStringLiteral("drop schema if exists %1 cascade").arg(schema), &m_error) &&
           platform::ExecSql(m_admin, QStringLiteral("create schema %1").arg(schema), &m_error);
    spec = {QStringLiteral("QODBC"),
            server + QStringLiteral(";ConnSettings=set search_path to %1;").arg(schema),
            {},
            {},
            QStringLiteral("PostgreSQL")};
  }
  ~BenchSchema() {
    if (m_ok)
      platform::ExecSql(m_admin, QStringLiteral("drop schema if exists %1 cascade").arg(m_schema));
    QSqlDatabase::database(m_admin, false).close();
    QSqlDatabase::removeDatabase(m_admin);
  }
  BenchSchema(const BenchSchema&) = delete;
  BenchSchema& operator=(const BenchSchema&) = delete;

  bool Ok() const { return m_ok; }
  QString Error() const { return m_error; }
  ConnectionSpec spec;  // connections in the schema

 private:
  QString m_schema, m_admin, m_error;
  bool m_ok = false;
};

// Runs `measure` on a fresh embedded database, then in the schema `schema` on the server named by
// TINDORA_PG_CONNSTR when it is set. `heading` is printed once the embedded database is made.
// Returns the program's exit status.
inline int MeasureOnEachDatabase(
    const QString& heading, const QString& schema,
    const std::function<void(const ConnectionSpec&, const char*)>& measure) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("lessons.db"));
  QString error;
  if (!EnsureEmbeddedDatabase(path, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  std::printf("%s", qPrintable(heading));
  measure(EmbeddedSpec(path), "SQLite");
  const QString pg = qEnvironmentVariable("TINDORA_PG_CONNSTR");
  if (pg.isEmpty())
    std::printf("PostgreSQL: skipped (TINDORA_PG_CONNSTR is not set)\n");
  else if (const BenchSchema postgres(pg, schema); postgres.Ok())
    measure(postgres.spec, "PostgreSQL");
  else
    std::printf("PostgreSQL: %s\n", qPrintable(postgres.Error()));
  return 0;
}
