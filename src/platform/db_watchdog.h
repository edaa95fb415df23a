// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps a server connection from freezing the program: every statement runs under a time limit,
// after which its connection's sockets are shut down so the waiting driver call returns (the
// drivers' own query timeouts are enforced by the server, which a frozen server never does). A
// connection found lost is opened again before its next statement.
#pragma once

#include <QSqlDatabase>
#include <QString>

namespace platform {

// Opens `db` and notes the sockets it opened.
bool OpenDatabase(QSqlDatabase& db);

// Time limit of one statement in milliseconds: 15 s unless set (or TINDORA_DB_TIMEOUT, seconds).
int StatementTimeLimitMs();
void SetStatementTimeLimitMs(int ms);

// Arms the time limit for one statement on a connection for as long as it lives.
class StatementWatch {
 public:
  // `statement`: the driver's statement handle when there is one (ODBC), for cancelling it.
  explicit StatementWatch(const QString& connection, void* statement = nullptr);
  ~StatementWatch();
  StatementWatch(const StatementWatch&) = delete;
  StatementWatch& operator=(const StatementWatch&) = delete;
  bool TimedOut() const;

 private:
  int m_id;
};

// After a failed statement: whether the connection is gone (the driver says so, or the time limit
// cut it off). It is then opened again before its next statement.
bool CheckConnectionLost(const QString& connection);
// Cuts the connection's sockets now (a writer that must not hold up the end of the program).
void CutOff(const QString& connection);
// The program is ending: every statement running on any thread is cancelled (the driver's cancel,
// then its connection's sockets cut, for a server that is frozen and hears no cancel), and so is
// every statement started from now on; false lets statements run again. Safe from any thread but
// not from a signal handler.
void CancelAllStatements(bool cancel = true);
// Opens a lost connection again; true when it was not lost or is back.
bool ReconnectIfLost(const QString& connection, QString* error);

}  // namespace platform
