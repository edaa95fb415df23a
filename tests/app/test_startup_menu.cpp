// SPDX-License-Identifier: GPL-3.0-or-later
// The real start-up: the main menu is the main window, shown maximised over an open data module;
// ending the message loop takes both down again.
#include <qpa/qwindowsysteminterface.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <thread>

#include "app/main_form.h"
#include "data/data_module.h"
#include "platform/dataset.h"
#include "platform/db_watchdog.h"
#include "platform/error_report.h"
#include "platform/sound.h"
#include "program.h"
#include "support/relay.h"
#include "support/test_db.h"

class StartupMenuTest : public QObject {
  Q_OBJECT
  QTemporaryDir m_dir;

 private Q_SLOTS:
  void initTestCase() { testing::UseNoDataSource(m_dir); }

  void menuShownThenLoopEndsCleanly() {
    bool sawMenu = false;
    char name[] = "tindora";
    char* argv[] = {name, nullptr};
    int argc = 1;
    const int status = RunTindora(argc, argv, [&sawMenu](TMainForm* menu) {
      sawMenu = true;
      QCOMPARE(MainForm, menu);
      QVERIFY(dm);
      QVERIFY(dm->Connected());
      QVERIFY(menu->isVisible());
      QVERIFY(menu->isMaximized());
      QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Tindora"));
      // Qt's file dialog, used for lesson packs, is in Chinese too.
      QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
      // The program's icon is set once the menu has been drawn.
      QTRY_VERIFY(!QApplication::windowIcon().isNull());
      // Closing the main window ends the program.
      QTimer::singleShot(0, menu, &QWidget::close);
    });
    QVERIFY(sawMenu);
    QCOMPARE(status, 0);
    QCOMPARE(MainForm, nullptr);
    QCOMPARE(dm, nullptr);
  }

  // Once a sound has been played and stopped, SIGTERM and SIGINT still end the program the
  // ordinary way: status 0, main menu and data module (with its connection) gone. So do they,
  // and closing the menu, while the interface thread waits on a frozen server: the wait is cut
  // short, and a close made during it is not lost behind the box that tells of the failure.
  void terminationSignalEndsCleanly_data() {
    QTest::addColumn<int>("signal");  // 0: the window system closes the menu
    QTest::addColumn<bool>("stuck");
    QTest::newRow("SIGTERM") << SIGTERM << false;
    QTest::newRow("SIGINT") << SIGINT << false;
    QTest::newRow("SIGTERM, read stuck on a frozen server") << SIGTERM << true;
    QTest::newRow("menu closed, read stuck on a frozen server") << 0 << true;
  }
  void terminationSignalEndsCleanly() {
    QFETCH(int, signal);
    QFETCH(bool, stuck);
    const QString server = qEnvironmentVariable("TINDORA_PG_CONNSTR");
    if (stuck && server.isEmpty()) QSKIP("no PostgreSQL server for this run");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", m_dir.filePath("out.raw").toLocal8Bit());
    char name[] = "tindora";
    char* argv[] = {name, nullptr};
    int argc = 1;
    const int status = RunTindora(argc, argv, [signal, stuck, server](TMainForm* menu) {
      platform::PlaySound(QStringLiteral(TINDORA_SOURCE_MEDIA "/S1.wav"));
      platform::PlaySound({});
      QTimer::singleShot(10000, [] { QApplication::exit(99); });  // the end went unheard
      const auto ask = [signal, menu] {
        if (signal)
          ::kill(::getpid(), signal);
        else
          QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::AsynchronousDelivery>(
              menu->windowHandle());
      };
      if (!stuck) {
        QTimer::singleShot(50, ask);
        return;
      }
      // As a screen does: a read on the interface thread, its failure told in a box.
      QTimer::singleShot(0, menu, [ask, server] {
        testing::Relay relay(server);
        const ConnectionSpec through{QStringLiteral("QODBC"), relay.Rewrite(server), {}, {}, {}};
        QVERIFY(OpenConnection(QStringLiteral("frozen"), through, nullptr));
        relay.Set(testing::Relay::Mode::Frozen);
        platform::SetStatementTimeLimitMs(3000);
        std::thread asking([ask] {
          std::this_thread::sleep_for(std::chrono::milliseconds(300));
          ask();
        });
        QString error;
        if (!platform::ExecSql(QStringLiteral("frozen"), QStringLiteral("select 1"), &error))
          ReportError(error);
        asking.join();
        platform::SetStatementTimeLimitMs(15000);
        QSqlDatabase::removeDatabase(QStringLiteral("frozen"));
      });
    });
    QCOMPARE(status, 0);
    QCOMPARE(MainForm, nullptr);
    QCOMPARE(dm, nullptr);
  }
};

int main(int argc, char** argv) {
  StartupMenuTest test;  // no application object: start-up makes its own
  return QTest::qExec(&test, argc, argv);
}
#include "test_startup_menu.moc"
