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
  explicit StatementWatch(const QString& connection);
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
// The program is ending: every statement running on any thread is cut off (its connection's
// sockets shut down, which also ends a wait on a frozen server), and so is every statement
// started from now on; false lets statements run again. Safe from any thread but not from a
// signal handler.
void CancelAllStatements(bool cancel = true);
// Ends the watchdog's thread while the toolkit still runs: ended by the static destructors
// instead, the thread's exit freed the toolkit's data for it after the toolkit had (a double free
// at exit). A later statement starts the thread again.
void StopStatementWatch();
// Opens a lost connection again; true when it was not lost or is back.
bool ReconnectIfLost(const QString& connection, QString* error);

}  // namespace platform
