// SPDX-License-Identifier: GPL-3.0-or-later
// A PostgreSQL server that goes away, comes back, or stops answering under a running program,
// played by a TCP relay between the data module and the CI's server.
#include <QRegularExpression>
#include <QSqlQuery>
#include <QtTest>
#include <thread>

#include "data/data_module.h"
#include "platform/db_watchdog.h"
#include "data/record_store.h"
#include "support/relay.h"
#include "support/test_db.h"

using testing::Relay;

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
    m_relay = std::make_unique<Relay>(spec.databaseName);
    spec.databaseName = m_relay->Rewrite(spec.databaseName);
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
