// SPDX-License-Identifier: GPL-3.0-or-later
// The window registry: every window a button can open is registered, and opening one that is not
// is told to the user instead of doing nothing.
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/about_window.h"
#include "app/help_windows.h"
#include "app/main_form.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "arithmetic/drill_screen.h"
#include "lessons/character_screen.h"
#include "lessons/verse_screen.h"
#include "program.h"
#include "support/fakes.h"
#include "support/test_db.h"
#include "writing/writing_screen.h"

namespace {

// Clicks every button of every window and gives the class names they asked to open.
QStringList NamesTheButtonsOpen() {
  testing::TestDataModule db;
  testing::FakeClock clock;
  testing::RecordingSoundPlayer sound;
  testing::ScriptedMessageBox boxes;  // "退出→" is answered with OK: not a yes
  testing::FakeDialogs dialogs;
  QStringList names;
  SetShowScreenHook([&names](const QString& name, QWidget*) {
    if (!names.contains(name)) names << name;
    return true;
  });
  const std::function<QWidget*()> makers[] = {
      [] { return new TMainForm; },
      [] { return new TszmainForm(nullptr); },
      [] { return new TxsmainForm(nullptr); },
      [] { return new TXYYMAINForm(nullptr); },
      [] { return new TYSMAINForm(nullptr); },
      [] { return new TMYHLPForm(nullptr); },
      [] { return new TxsMYHLPForm(nullptr); },
      [] { return new TxyyMYHLPForm(nullptr); },
      [] { return new TYSMYHLPForm(nullptr); },
      [] { return new TAboutForm(nullptr); },
      [] { return new TxzmainForm(nullptr); },
      [] { return new TxzMYHLPForm(nullptr); },
  };
  for (const auto& make : makers) {
    std::unique_ptr<QWidget> window(make());
    window->show();
    for (QToolButton* b : window->findChildren<QToolButton*>())
      if (b->isEnabled()) QTest::mouseClick(b, Qt::LeftButton);
  }
  SetShowScreenHook({});
  return names;
}

}  // namespace

class ScreenRegistryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { RegisterAllScreens(); }

  void everyButtonOpensARegisteredWindow_data() {
    QTest::addColumn<QString>("name");
    const QStringList names = NamesTheButtonsOpen();
    // The menu's seven windows, three per lesson screen, the drill's and the writing screen's help.
    QVERIFY(names.size() >= 17);
    for (const QString& name : names) QTest::newRow(qPrintable(name)) << name;
  }
  void everyButtonOpensARegisteredWindow() {
    QFETCH(QString, name);
    QVERIFY(IsScreenRegistered(name));
  }

  void unregisteredWindowIsReported() {
    testing::ScriptedMessageBox boxes;
    QVERIFY(!ShowScreen(QStringLiteral("TNoSuchForm"), nullptr));
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown[0].text.contains(QStringLiteral("TNoSuchForm")));
    QCOMPARE(boxes.shown[0].title, kApplicationTitle);
    QCOMPARE(boxes.shown[0].flags, platform::MB_OK | platform::MB_ICONERROR);
  }
};

QTEST_MAIN(ScreenRegistryTest)
#include "test_screen_registry.moc"
