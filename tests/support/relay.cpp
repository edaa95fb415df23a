// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/relay.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QRegularExpression>

namespace testing {
namespace {

const QRegularExpression kServer(QStringLiteral("Server=([^;]+)"),
                                 QRegularExpression::CaseInsensitiveOption);
const QRegularExpression kPort(QStringLiteral("Port=(\\d+)"),
                               QRegularExpression::CaseInsensitiveOption);

}  // namespace

Relay::Relay(const QString& host, int port) {
  m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
  ::listen(m_listen, 16);
  socklen_t len = sizeof a;
  ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
  m_port = ntohs(a.sin_port);
  m_upstream.sin_family = AF_INET;
  m_upstream.sin_port = htons(static_cast<uint16_t>(port));
  ::inet_pton(AF_INET, qPrintable(host == "localhost" ? "127.0.0.1" : host), &m_upstream.sin_addr);
  m_thread = std::thread([this] { Run(); });
}

Relay::Relay(const QString& connectionString)
    : Relay(kServer.match(connectionString).captured(1),
            kPort.match(connectionString).captured(1).toInt()) {}

QString Relay::Rewrite(const QString& connectionString) const {
  return QString(connectionString).replace(kPort, QStringLiteral("Port=%1").arg(m_port));
}

Relay::~Relay() {
  m_stop = true;
  m_thread.join();
  DropAll();
  ::close(m_listen);
}

void Relay::DropAll() {
  for (auto [a, b] : m_pairs) ::close(a), ::close(b);
  m_pairs.clear();
}

void Relay::Run() {
  char buffer[65536];
  while (!m_stop) {
    if (m_drop.exchange(false) || m_mode == Mode::Down) DropAll();
    std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
    if (m_mode == Mode::Relay)
      for (auto [a, b] : m_pairs) fds.push_back({a, POLLIN, 0}), fds.push_back({b, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), 20) <= 0) continue;
    if (fds[0].revents & POLLIN) {
      const int client = ::accept(m_listen, nullptr, nullptr);
      const int server = ::socket(AF_INET, SOCK_STREAM, 0);
      if (m_mode == Mode::Down ||
          ::connect(server, reinterpret_cast<sockaddr*>(&m_upstream), sizeof m_upstream) != 0) {
        ::close(client);
        ::close(server);
      } else {
        m_pairs.push_back({client, server});
      }
    }
    for (size_t i = 1; i < fds.size(); ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const auto& pair = m_pairs[(i - 1) / 2];
      const int from = fds[i].fd, to = from == pair.first ? pair.second : pair.first;
      const ssize_t n = ::read(from, buffer, sizeof buffer);
      if (n > 0) ::send(to, buffer, static_cast<size_t>(n), MSG_NOSIGNAL);
    }
  }
}

}  // namespace testing
