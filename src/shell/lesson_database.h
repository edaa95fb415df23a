// Where the lessons live: the ODBC data source, or the embedded SQLite default with the sample
// course; the schema; loading a course into a database.
#pragma once

#include <QByteArray>
#include <QString>

struct ConnectionSpec {
  QString driver;        // "QODBC" or "QSQLITE"
  QString databaseName;  // data source name, "DRIVER=...;" string, or SQLite file
  QString user;
  QString password;
  // Label used in messages (the data source's name).
  QString label;
};

// The configured data source "EDUqvlp".
ConnectionSpec LessonDataSource();
// The embedded SQLite file in the user's data folder.
QString EmbeddedDatabasePath();
ConnectionSpec EmbeddedSpec(const QString& path);

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
// The built-in sample course.
QByteArray SampleCourseJson();

// The folder holding the recording folders: beside the program, else the project's media.
QString InstallationFolder();

// Makes sure the embedded database exists, creating it with schema and sample course on first use.
// The file appears only once it is complete, so an interrupted first run leaves nothing half-made.
bool EnsureEmbeddedDatabase(const QString& path, QString* error);
