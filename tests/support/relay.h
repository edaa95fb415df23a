// SPDX-License-Identifier: GPL-3.0-or-later
// A TCP relay between the program and the CI's PostgreSQL server, on a thread of its own: it plays
// a server that goes away, refuses, or stops answering while the kernel still acknowledges.
#pragma once

#include <netinet/in.h>

#include <QString>
#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace testing {

// Relays TCP connections to the server; can drop them, refuse new ones, or stop relaying.
class Relay {
 public:
  enum class Mode { Relay, Frozen, Down };

  Relay(const QString& host, int port);
  // A relay to the server named in a connection string ("Server=...;Port=..."); Rewrite() gives
  // the string that goes through the relay instead.
  explicit Relay(const QString& connectionString);
  QString Rewrite(const QString& connectionString) const;
  ~Relay();
  int Port() const { return m_port; }
  void Set(Mode mode) { m_mode = mode; }
  // Ends every relayed connection, as a server restart does.
  void Drop() { m_drop = true; }

 private:
  void DropAll();
  void Run();

  int m_listen = -1;
  int m_port = 0;
  sockaddr_in m_upstream{};
  std::vector<std::pair<int, int>> m_pairs;
  std::atomic<Mode> m_mode{Mode::Relay};
  std::atomic<bool> m_drop{false};
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

}  // namespace testing
