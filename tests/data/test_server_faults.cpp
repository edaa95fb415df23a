// SPDX-License-Identifier: GPL-3.0-or-later
// A PostgreSQL server that goes away, comes back, or stops answering under a running program,
// played by a TCP relay between the data module and the CI's server.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QSqlQuery>
#include <QtTest>
#include <atomic>
#include <thread>

#include "data/data_module.h"
#include "platform/db_watchdog.h"
#include "records/record_store.h"
#include "support/test_db.h"

namespace {

// Relays TCP connections to the server; can drop them, refuse new ones, or stop relaying.
class Relay {
 public:
  enum class Mode { Relay, Frozen, Down };

  Relay(const QString& host, int port) {
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
    ::inet_pton(AF_INET, qPrintable(host == "localhost" ? "127.0.0.1" : host),
                &m_upstream.sin_addr);
    m_thread = std::thread([this] { Run(); });
  }
  ~Relay() {
    m_stop = true;
    m_thread.join();
    DropAll();
    ::close(m_listen);
  }
  int Port() const { return m_port; }
  void Set(Mode mode) { m_mode = mode; }
  // Ends every relayed connection, as a server restart does.
  void Drop() { m_drop = true; }

 private:
  void DropAll() {
    for (auto [a, b] : m_pairs) ::close(a), ::close(b);
    m_pairs.clear();
  }
  void Run() {
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

  int m_listen = -1;
  int m_port = 0;
  sockaddr_in m_upstream{};
  std::vector<std::pair<int, int>> m_pairs;
  std::atomic<Mode> m_mode{Mode::Relay};
  std::atomic<bool> m_drop{false};
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

}  // namespace

class ServerFaultsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<testing::TestDatabase> m_db;
  std::unique_ptr<Relay> m_relay;
  std::unique_ptr<Tdm> m_module;

 private Q_SLOTS:
  void init() {
    m_db = std::make_unique<testing::TestDatabase>(testing::Backend::OdbcPostgres);
    REQUIRE_DATABASE(*m_db);
    ConnectionSpec spec = m_db->Spec();
    const QRegularExpression server("Server=([^;]+)", QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression port("Port=(\\d+)", QRegularExpression::CaseInsensitiveOption);
    m_relay = std::make_unique<Relay>(server.match(spec.databaseName).captured(1),
                                      port.match(spec.databaseName).captured(1).toInt());
    spec.databaseName.replace(port, QString("Port=%1").arg(m_relay->Port()));
    m_module = std::make_unique<Tdm>(spec);
    QVERIFY2(m_module->Connected(), qPrintable(m_module->ConnectError()));
    QVERIFY(platform::ExecSql(m_db->Connection(), "insert into ZJ (章号, 章节) values (1, '甲')"));
    QVERIFY(m_module->ALLQuery->Reopen());
    QCOMPARE(m_module->ALLQuery->RecordCount(), 1);
  }
  void cleanup() {
    m_module.reset();
    m_relay.reset();
    m_db.reset();
    platform::SetStatementTimeLimitMs(15000);
  }

  // A restarted server: the next read reconnects by itself. A server that stays away: every
  // action fails at once with the program's own words, and works again when the server is back.
  void serverGoneAndBack() {
    platform::Dataset* q = m_module->ALLQuery;
    m_relay->Drop();
    QVERIFY2(q->Reopen(), qPrintable(q->LastError()));
    QCOMPARE(q->RecordCount(), 1);

    m_relay->Set(Relay::Mode::Down);
    for (int action = 0; action < 3; ++action) {
      QVERIFY(!q->Reopen());
      QVERIFY2(q->LastError().contains("数据库服务器"), qPrintable(q->LastError()));
      // The driver's English stays in the log.
      QVERIFY2(!q->LastError().contains(QRegularExpression("[A-Za-z]")),
               qPrintable(q->LastError()));
    }
    m_relay->Set(Relay::Mode::Relay);
    QVERIFY2(q->Reopen(), qPrintable(q->LastError()));

    // A change is not repeated by itself after a lost connection: it fails, the next one works.
    m_relay->Drop();
    q->First();
    q->Edit();
    q->SetField("章节", "乙");
    QVERIFY(!q->Post());
    q->Cancel();
    QVERIFY(q->Reopen());
    q->Edit();
    q->SetField("章节", "乙");
    QVERIFY2(q->Post(), qPrintable(q->LastError()));
  }

  // The learning record window reads on the lessons' connection: after a restart its next read
  // reconnects too, so reopening the window shows the records again.
  void learningRecordReadAfterRestart() {
    const QString c = m_module->ConnectionName();
    QStringList chapters;
    QString error;
    m_relay->Set(Relay::Mode::Down);
    m_relay->Drop();
    for (int read = 0; read < 2; ++read) {  // finds the connection gone, then cannot reconnect
      error.clear();
      QVERIFY(!records::LoadCharacterChapters(c, &chapters, &error));
      QVERIFY(!error.isEmpty());
    }
    m_relay->Set(Relay::Mode::Relay);
    QVERIFY2(records::LoadCharacterChapters(c, &chapters, &error), qPrintable(error));
    QCOMPARE(chapters, QStringList{"甲"});
  }

  // A connection lost under a statement of someone else's (the driver knows, the program not yet):
  // the next action says so in the program's words and the one after works again.
  void lostUnderAnotherStatement() {
    platform::Dataset* q = m_module->ALLQuery;
    m_relay->Drop();
    QSqlQuery(QSqlDatabase::database(m_module->ConnectionName(), false)).exec("select 1");
    QVERIFY(!q->Reopen());
    QVERIFY2(!q->LastError().contains(QRegularExpression("[A-Za-z]")), qPrintable(q->LastError()));
    QVERIFY2(q->Reopen(), qPrintable(q->LastError()));
  }

  // The program ending cancels a statement stuck on a frozen server at once, long before its time
  // limit, from another thread (the interface thread is the one stuck).
  void endingCancelsAStuckStatement() {
    platform::SetStatementTimeLimitMs(600000);
    platform::Dataset* q = m_module->ALLQuery;
    m_relay->Set(Relay::Mode::Frozen);
    std::thread ending([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      platform::CancelAllStatements();
    });
    QVERIFY(!q->Reopen());
    ending.join();
    QVERIFY2(!q->LastError().contains(QRegularExpression("[A-Za-z]")), qPrintable(q->LastError()));
    platform::CancelAllStatements(false);
    m_relay->Set(Relay::Mode::Relay);
    QVERIFY2(q->Reopen(), qPrintable(q->LastError()));
  }

  // A server that stops answering: the statement ends at the time limit with a clear message.
  void frozenServerTimesOut() {
    platform::SetStatementTimeLimitMs(1000);
    platform::Dataset* q = m_module->ALLQuery;
    m_relay->Set(Relay::Mode::Frozen);
    QVERIFY(!q->Reopen());
    QVERIFY2(q->LastError().contains("没有回答"), qPrintable(q->LastError()));
    // Still frozen: the next action's reconnect gives up too.
    QVERIFY(!q->Reopen());
    m_relay->Set(Relay::Mode::Relay);
    QVERIFY2(q->Reopen(), qPrintable(q->LastError()));
    QCOMPARE(q->RecordCount(), 1);
  }
};

QTEST_GUILESS_MAIN(ServerFaultsTest)
#include "test_server_faults.moc"
