// SPDX-License-Identifier: GPL-3.0-or-later
// Where the lessons live: the ODBC data source, or the embedded SQLite default with the sample
// course; the schema; loading a course into a database.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ConnectionSpec {
  QString driver;        // "QODBC" or "QSQLITE"
  QString databaseName;  // data source name, "DRIVER=...;" string, or SQLite file
  QString user;
  QString password;
  // Label used in messages (the data source's name).
  QString label;
};

// A data source defined in odbc.ini, logging in as it says (UID/PWD, or Username/Password as
// psqlODBC reads them); the program's built-in login only when the source names no user.
ConnectionSpec DataSourceSpec(const QString& dataSourceName);
// The configured data source "EDUqvlp".
ConnectionSpec LessonDataSource();

// When `driverError` says that the server refused the login: a message in Chinese naming the user
// refused and what to check. Empty for any other failure.
QString LoginRefusal(const ConnectionSpec& spec, const QString& driverError);
// The embedded SQLite file in the user's data folder.
QString EmbeddedDatabasePath();
ConnectionSpec EmbeddedSpec(const QString& path);

// Whether the ODBC driver manager lists a data source of that name (user or system).
bool DataSourceDefined(const QString& name);

// Opens a named connection; on failure fills `error` and tells whether the driver manager said
// that no such data source is defined.
bool OpenConnection(const QString& connectionName, const ConnectionSpec& spec, QString* error,
                    bool* dataSourceMissing = nullptr);

// Brings the lesson tables on an open connection to the current schema version (creating them
// when missing), see shell/schema_migrations.h.
bool CreateSchema(const QString& connectionName, QString* error);

// Loads a course (the sample course's JSON format) in one transaction; recording names become
// full paths under `mediaFolder`/<kind's recording folder>.
bool LoadCourse(const QString& connectionName, const QByteArray& json, const QString& mediaFolder,
                QString* error);
// As LoadCourse, but only the lesson kinds whose chapter and item tables are both empty; their
// keys ("character", ...) go to `loaded`. So a repeated set-up never doubles or mixes a course.
bool LoadCourseIntoEmptyTables(const QString& connectionName, const QByteArray& json,
                               const QString& mediaFolder, QStringList* loaded, QString* error);
// The built-in sample course.
QByteArray SampleCourseJson();

// The folder holding the recording folders: the data folder (shell/install_paths.h).
QString InstallationFolder();

// Makes sure the embedded database is usable, checked on every start under a lock file, so two
// first starts at once build it only once: a missing one, a zero-byte one or an incomplete one
// that holds no lessons is built anew (under a unique name, published whole); a damaged one or an
// incomplete one with lessons is moved aside, never deleted, and `notice` says where it went; an
// older schema is brought up to date. False with `error` when it can't be made usable.
bool EnsureEmbeddedDatabase(const QString& path, QString* error, QString* notice = nullptr);
