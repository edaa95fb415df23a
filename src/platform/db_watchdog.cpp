// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/db_watchdog.h"

#include <sys/socket.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "platform/logging.h"

// After Qt: the ODBC headers define short macros.
#include <sql.h>
#include <sqlext.h>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// A socket of this process, by descriptor and by the kernel's identity (so a descriptor reused
// for something else is never touched).
struct Socket {
  int fd;
  QString identity;
};

QList<Socket> OpenSockets() {
  QList<Socket> sockets;
  const QDir fds(QStringLiteral("/proc/self/fd"));
  for (const QString& entry : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
    const QString target = QFile::symLinkTarget(fds.filePath(entry));
    if (target.contains(QLatin1String("socket:"))) sockets.push_back({entry.toInt(), target});
  }
  return sockets;
}

struct Watch {
  QString connection;
  Clock::time_point deadline;
  bool fired = false;
};

class Watchdog {
 public:
  ~Watchdog() { Stop(); }

  // Ends the thread; the next statement starts it again.
  void Stop() {
    {
      std::lock_guard lock(m_mutex);
      m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard lock(m_mutex);
    m_stop = false;
  }

  std::mutex& OpenMutex() { return m_openMutex; }

  void SetSockets(const QString& connection, const QList<Socket>& sockets) {
    std::lock_guard lock(m_mutex);
    m_sockets[connection] = sockets;
    m_lost.remove(connection);
  }

  int Arm(const QString& connection) {
    std::lock_guard lock(m_mutex);
    if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
    const int id = ++m_next;
    // Once the program is ending a statement gets no time at all.
    const auto deadline =
        m_ending ? Clock::now() : Clock::now() + std::chrono::milliseconds(m_limitMs);
    m_watches[id] = {connection, deadline, false};
    // The thread is woken only when it would sleep past this deadline: waking it for every
    // statement cost two thread switches each, a quarter of an append's time.
    if (deadline < m_sleepUntil) m_wake.notify_all();
    return id;
  }

  bool Disarm(int id) {
    std::lock_guard lock(m_mutex);
    const bool fired = m_watches[id].fired;
    m_watches.erase(id);
    return fired;
  }

  bool Fired(int id) {
    std::lock_guard lock(m_mutex);
    return m_watches[id].fired;
  }

  void MarkLost(const QString& connection) {
    std::lock_guard lock(m_mutex);
    m_lost.insert(connection, true);
  }
  bool Lost(const QString& connection) {
    std::lock_guard lock(m_mutex);
    return m_lost.contains(connection);
  }

  void CutOffNow(const QString& connection) {
    std::lock_guard lock(m_mutex);
    CutOff(connection);
  }
  // Wakes the watchdog's thread with every deadline passed: it cancels what runs.
  void EndAll(bool ending) {
    std::lock_guard lock(m_mutex);
    m_ending = ending;
    if (!ending) return;
    const auto now = Clock::now();
    for (auto& [id, w] : m_watches) w.deadline = now;
    if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
    m_wake.notify_all();
  }

  std::atomic<int> m_limitMs{15000};

 private:
  void Run() {
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
      auto next = Clock::time_point::max();
      const auto now = Clock::now();
      for (auto& [id, w] : m_watches) {
        if (w.fired) continue;
        if (w.deadline <= now) {
          w.fired = true;
          // Not the driver's cancel: it opens a connection of its own to the server and waits
          // for its answer, for ever when the server is frozen.
          CutOff(w.connection);
        } else {
          next = std::min(next, w.deadline);
        }
      }
      m_sleepUntil = next;
      if (next == Clock::time_point::max())
        m_wake.wait(lock);
      else
        m_wake.wait_until(lock, next);
    }
  }

  // Shuts the connection's sockets down: the driver call blocked on them returns with an error.
  void CutOff(const QString& connection) {
    m_lost.insert(connection, true);
    const QList<Socket> now = OpenSockets();
    for (const Socket& s : m_sockets.value(connection)) {
      for (const Socket& n : now)
        if (n.fd == s.fd && n.identity == s.identity) ::shutdown(s.fd, SHUT_RDWR);
    }
    if (m_ending)
      qCInfo(lcDb) << "statement on" << connection << "cut off: the program is ending";
    else
      qCWarning(lcDb) << "statement on" << connection << "exceeded" << m_limitMs.load()
                      << "ms, cut off";
  }

  std::mutex m_mutex;
  std::mutex m_openMutex;
  std::condition_variable m_wake;
  std::thread m_thread;
  bool m_stop = false;
  bool m_ending = false;
  Clock::time_point m_sleepUntil = Clock::time_point::max();
  int m_next = 0;
  std::map<int, Watch> m_watches;
  QHash<QString, QList<Socket>> m_sockets;
  QHash<QString, bool> m_lost;
};

Watchdog& Dog() {
  static Watchdog dog;
  return dog;
}

bool DriverSaysDead(const QSqlDatabase& db) {
  if (db.driverName() != QLatin1String("QODBC") || !db.driver()) return false;
  const QVariant handle = db.driver()->handle();
  if (!handle.isValid() || !handle.data()) return false;
  SQLHDBC hdbc = *static_cast<const SQLHDBC*>(handle.constData());
  SQLUINTEGER dead = SQL_CD_FALSE;
  if (!hdbc || !SQL_SUCCEEDED(SQLGetConnectAttr(hdbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)))
    return false;
  return dead == SQL_CD_TRUE;
}

}  // namespace

bool OpenDatabase(QSqlDatabase& db) {
  if (db.driverName() != QLatin1String("QODBC")) return db.open();
  // One open at a time, so the sockets that appear are this connection's.
  std::lock_guard lock(Dog().OpenMutex());
  const QList<Socket> before = OpenSockets();
  if (!db.open()) return false;
  QList<Socket> added;
  for (const Socket& s : OpenSockets()) {
    const bool old = std::any_of(before.begin(), before.end(), [&](const Socket& b) {
      return b.fd == s.fd && b.identity == s.identity;
    });
    if (!old) added << s;
  }
  Dog().SetSockets(db.connectionName(), added);
  return true;
}

int StatementTimeLimitMs() {
  static const bool fromEnvironment = [] {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("TINDORA_DB_TIMEOUT", &ok);
    if (ok && seconds > 0) Dog().m_limitMs = seconds * 1000;
    return true;
  }();
  Q_UNUSED(fromEnvironment);
  return Dog().m_limitMs;
}

void SetStatementTimeLimitMs(int ms) {
  StatementTimeLimitMs();
  Dog().m_limitMs = ms;
}

StatementWatch::StatementWatch(const QString& connection) {
  StatementTimeLimitMs();
  m_id = Dog().Arm(connection);
}

StatementWatch::~StatementWatch() { Dog().Disarm(m_id); }

bool StatementWatch::TimedOut() const { return Dog().Fired(m_id); }

bool CheckConnectionLost(const QString& connection) {
  if (Dog().Lost(connection)) return true;
  if (!DriverSaysDead(QSqlDatabase::database(connection, false))) return false;
  Dog().MarkLost(connection);
  return true;
}

void CutOff(const QString& connection) { Dog().CutOffNow(connection); }

void CancelAllStatements(bool cancel) { Dog().EndAll(cancel); }

void StopStatementWatch() { Dog().Stop(); }

bool ReconnectIfLost(const QString& connection, QString* error) {
  if (!Dog().Lost(connection)) return true;
  QSqlDatabase db = QSqlDatabase::database(connection, false);
  db.close();
  if (OpenDatabase(db)) {
    qCInfo(lcDb) << "reconnected:" << connection;
    return true;
  }
  qCWarning(lcDb) << "reconnect failed:" << connection << db.lastError().text();
  if (error) *error = db.lastError().text().trimmed();
  return false;
}

}  // namespace platform
