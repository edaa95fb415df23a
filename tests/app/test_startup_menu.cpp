// SPDX-License-Identifier: GPL-3.0-or-later
// The real start-up: the main menu is the main window, shown maximised over an open data module;
// ending the message loop takes both down again.
#include <unistd.h>

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>

#include "app/main_form.h"
#include "data/data_module.h"
#include "platform/sound.h"
#include "program.h"

class StartupMenuTest : public QObject {
  Q_OBJECT
  QTemporaryDir m_dir;

 private Q_SLOTS:
  void initTestCase() {
    // No data source defined: start-up falls back to the embedded database, made in a temp folder.
    QFile(m_dir.filePath("odbc.ini")).open(QIODevice::WriteOnly);
    qputenv("ODBCINI", m_dir.filePath("odbc.ini").toLocal8Bit());
    qputenv("XDG_DATA_HOME", m_dir.filePath("data").toLocal8Bit());
  }

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
  // ordinary way: status 0, main menu and data module (with its connection) gone.
  void terminationSignalEndsCleanly_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
  }
  void terminationSignalEndsCleanly() {
    QFETCH(int, signal);
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", m_dir.filePath("out.raw").toLocal8Bit());
    char name[] = "tindora";
    char* argv[] = {name, nullptr};
    int argc = 1;
    const int status = RunTindora(argc, argv, [signal](TMainForm*) {
      platform::PlaySound(QStringLiteral(TINDORA_SOURCE_MEDIA "/S1.wav"));
      platform::PlaySound({});
      QTimer::singleShot(50, [signal] { ::kill(::getpid(), signal); });
      QTimer::singleShot(5000, [] { QApplication::exit(99); });  // the signal went unheard
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
