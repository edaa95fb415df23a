// SPDX-License-Identifier: GPL-3.0-or-later
// Query objects as the screens use them: SQL built line by line with named text parameters, rows
// fetched and cached on Open (a client-side cursor), fields read and written by name as text, and
// writes sent to the base table of "select * from <table>". Every SQL text sent to the database
// passes through one observer, so tests can check the exact texts.
#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <utility>

namespace platform {

// Why a write or a commit failed, as far as the program must tell the user.
enum class WriteFailure {
  None,
  Duplicate,         // a number or name already taken
  ChangedMeanwhile,  // the row was changed or removed on another seat
  ReadOnly,          // the database cannot be written
  DiskFull,
  ServerAway,        // the connection went, or the server stopped answering
  NotAllowed,        // the login lacks the right (a classroom seat's)
  Other
};
// The cause of a failed statement from the driver's report (SQLite directly or through ODBC,
// PostgreSQL through ODBC); `lost` when the connection was found gone.
WriteFailure ClassifyFailure(const QSqlError& error, bool lost);

// Called with every SQL text before it is sent (connection name, text).
using SqlObserver = std::function<void(const QString& connection, const QString& sql)>;
void SetSqlObserver(SqlObserver observer);

class Dataset : public QObject {
  Q_OBJECT
 public:
  enum class State { Inactive, Browse, Edit, Insert };

  Dataset(const QString& connectionName, QObject* parent = nullptr);

  // --- SQL text -------------------------------------------------------------------------------
  void SqlClear();
  void SqlAdd(const QString& line);
  QStringList SqlLines() const { return m_lines; }
  // The text sent: the lines joined by line breaks.
  QString SqlText() const;
  // A table dataset reads "select * from <name>".
  void SetTableName(const QString& table);
  // Sets a named parameter (":name" in the text) to a text value; it keeps its value until set
  // again or the SQL is cleared.
  void SetParam(const QString& name, const QString& value);

  // --- opening --------------------------------------------------------------------------------
  bool Open();
  // Runs the text as Open does but reads no rows and leaves the dataset closed: whether the text
  // runs, without holding what it selects.
  bool Check();
  void Close();
  bool Active() const { return m_state != State::Inactive; }
  State state() const { return m_state; }
  // Error text of the last failed operation (empty after a success).
  QString LastError() const { return m_error; }
  // Its cause, for writes (None after a success).
  WriteFailure LastFailure() const { return m_failure; }

  // --- navigation -----------------------------------------------------------------------------
  void First();
  void Next();
  void Prior();
  void Last();
  void MoveTo(int row);
  bool Eof() const;
  bool Bof() const { return m_bof; }
  int RecordCount() const { return static_cast<int>(m_rows.size()); }
  bool IsEmpty() const { return m_rows.isEmpty(); }
  int RecNo() const { return m_row; }  // 0-based current row, -1 when empty

  // --- fields ---------------------------------------------------------------------------------
  QStringList FieldNames() const { return m_fields; }
  int FieldIndex(const QString& name) const;  // -1 when unknown (letter case ignored)
  // Current row's value as text; a null QString for a null value or no current row.
  QString Field(const QString& name) const;
  bool FieldIsNull(const QString& name) const;
  // Value of any cached row, for grids.
  QVariant ValueAt(int row, int column) const;
  // Sets a field of the pending row (Edit or Insert state); returns false when unknown.
  bool SetField(const QString& name, const QString& value);

  // Positions on the first row (in order) whose field equals `value` as a whole; letter case is
  // ignored when asked. Returns false and stays put when there is none.
  bool Locate(const QString& field, const QString& value, bool ignoreCase);

  // --- changes --------------------------------------------------------------------------------
  void Append();
  void Edit();
  // Stores the pending row; on failure the row stays pending (see Cancel) and LastError() tells.
  bool Post();
  void Cancel();
  bool Delete();
  // Close and Open again with the same SQL and parameters.
  bool Reopen();

  // The base table of the current SQL ("select * from <table> ..."), empty when there is none.
  QString BaseTable() const;
  QString ConnectionName() const { return m_connection; }

 Q_SIGNALS:
  // The cached rows changed (open, close, post, delete); grids reset on it.
  void RowsChanged();
  // The current row moved.
  void RowMoved(int row);

 private:
  bool Fail(const QString& error);
  bool Query(bool mayReconnect, bool keepRows = true);
  QSqlDatabase Db() const;
  bool ExecWrite(const QString& sql, const QVector<QVariant>& values, bool oneRow = false);
  // Stores a pending row before moving; false (and no move) when that fails.
  bool PostPending();
  void SetRow(int row);

  QString m_connection;
  QStringList m_lines;
  QVector<std::pair<QString, QString>> m_params;
  State m_state = State::Inactive;
  QStringList m_fields;
  QVector<QVector<QVariant>> m_rows;
  int m_row = -1;
  bool m_eof = true;
  bool m_bof = true;
  QVector<QVariant> m_pending;   // the row being edited or inserted
  QVector<QVariant> m_original;  // the row as it stood before Edit
  QString m_error;
  WriteFailure m_failure = WriteFailure::None;
};

// Runs statements that must stand or fall together; false (and the error) when any failed.
class Transaction {
 public:
  explicit Transaction(const QString& connectionName);
  ~Transaction();  // rolls back unless committed
  // `writeFirst`: for a transaction that reads what it is about to change. On an SQLite file it
  // takes the write lock at once, waiting its turn, because a transaction that has read may not
  // wait for the lock later: its write would fail at once while another seat writes.
  bool Begin(bool writeFirst = false);
  bool Commit();
  void Rollback();
  QString LastError() const { return m_error; }
  WriteFailure LastFailure() const { return m_failure; }

 private:
  bool Fail(const QSqlError& error);

  QString m_connection;
  bool m_open = false;
  QString m_error;
  WriteFailure m_failure = WriteFailure::None;
};

// Sends one SQL statement (schema set-up and the like) through the observer; false on failure.
bool ExecSql(const QString& connectionName, const QString& sql, QString* error = nullptr);

// Sends one statement with positional values ("?", bound as they are: bytes stay bytes) through
// the observer and under the time limit; the rows it returns go to `rows`.
bool ExecQuery(const QString& connectionName, const QString& sql, const QVector<QVariant>& values,
               QVector<QVector<QVariant>>* rows = nullptr, QString* error = nullptr);

}  // namespace platform
