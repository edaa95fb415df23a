// SPDX-License-Identifier: GPL-3.0-or-later
// Schema version of a lesson database and the ordered steps that bring an older one up to date.
// SQLite files keep the version in "PRAGMA user_version"; other databases in the one-row table
// tindora_schema. Start-up and tindora_dbsetup both run MigrateSchema.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Runs on the connection inside the step's transaction; false with the reason on failure.
using MigrationRun = std::function<bool(const QString& connection, QString* error)>;

struct SchemaMigration {
  int version;          // the database's version once this step has run (1, 2, 3, ...)
  QString description;  // what the step does, as tindora_dbsetup reports it
  MigrationRun run;
};

// The steps in order. New steps go at the end of the list in schema_migrations.cpp; a step that
// has shipped is never changed, since databases in the field have already run it.
const std::vector<SchemaMigration>& SchemaMigrations();

// A step that runs the statements of a SQL file among the resources (":/..."): statements end
// with ";", lines starting with "--" are comments. Write them so that a repeated run is harmless
// ("create table if not exists ...").
MigrationRun SqlResourceStep(const QString& resource);

// Unique indexes on every kind's chapter name and chapter number where the rows allow them. A
// table that already holds duplicates keeps working without; `duplicates` says which (a line
// each, for the adult), and a later call adds the index once they are gone.
bool EnsureChapterConstraints(const QString& connection, QStringList* duplicates,
                              QString* error = nullptr);

// The version this program's schema has: the last step's.
int CurrentSchemaVersion();

// The version a database holds: 0 when it has none yet, -1 (and the reason) when it can't be read.
int StoredSchemaVersion(const QString& connection, QString* error = nullptr);

// Runs every step above the stored version, each in one transaction with the new version number.
// A database newer than this program is refused. `done` receives the description of each step run.
bool MigrateSchema(const QString& connection, QString* error = nullptr,
                   QStringList* done = nullptr);
