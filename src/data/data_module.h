// SPDX-License-Identifier: GPL-3.0-or-later
// The data module: the one lesson-database connection and the shared query objects every screen
// and editor works through.
#pragma once

#include <QObject>
#include <QString>

#include "data/lesson_database.h"
#include "platform/dataset.h"
#include "platform/dataset_model.h"

class QWidget;

class Tdm : public QObject {
  Q_OBJECT
 public:
  // Connects as `spec` says; when that succeeds, runs the datasets' texts in creation order and
  // leaves them closed. An error goes to the application-wide error report and the rest are not
  // tried.
  explicit Tdm(const ConnectionSpec& spec, QObject* parent = nullptr);
  ~Tdm() override;  // closes the connection

  bool Connected() const { return m_connected; }
  QString ConnectError() const { return m_error; }
  bool DataSourceMissing() const { return m_dataSourceMissing; }
  // Connected, but the schema could not be brought to this program's version.
  bool SchemaFailed() const { return m_schemaFailed; }
  QString ConnectionName() const { return m_connection; }  // ADOConnection1's role

  // Why the lessons cannot be edited now, in the adult's words (a database that cannot be
  // written, a seat without the right); empty when they can. Every button that opens an editor
  // shows this instead of opening one whose saves would fail.
  QString EditingOffReason() const { return m_editingOff; }
  // An empty reason turns editing back on.
  void SetEditingOff(const QString& reason);
  // The database was opened for reading only: nothing, not even the learning record, is written.
  bool ReadOnlyDatabase() const { return m_readOnly; }
  void SetReadOnlyDatabase(const QString& reason) {
    m_readOnly = true;
    SetEditingOff(reason);
  }

 Q_SIGNALS:
  void EditingOffChanged(const QString& reason);

 public:

  platform::Dataset* SYSTable = nullptr;
  platform::Dataset* ALLQuery = nullptr;
  platform::Dataset* goQuery = nullptr;
  platform::DatasetModel* ALLQueryds = nullptr;
  platform::Dataset* nameQuery = nullptr;
  platform::DatasetModel* goQueryds = nullptr;

 private:
  QString m_connection;
  bool m_connected = false;
  bool m_dataSourceMissing = false;
  bool m_schemaFailed = false;
  QString m_error;
  QString m_editingOff;
  bool m_readOnly = false;
};

extern Tdm* dm;

// Start-up's connection: the data source "EDUqvlp"; when it is not defined, the embedded default.
// Any other failure is told to the user (owner `owner`) and gives nullptr: the program must end.
Tdm* CreateDataModule(QWidget* owner);

// Once the menu shows: checks a large embedded lesson file whole on a thread of its own (start-up
// checked it only quickly). Damage only in indexes is mended; other damage is told to the adult
// (owner `owner`) and editing goes off. The thread ends with the data module.
void CheckLessonFileWhole(QWidget* owner);

// When editing is off, shows why (owner `owner`) and gives true: the caller opens no editor.
bool RefuseEditing(QWidget* owner);
