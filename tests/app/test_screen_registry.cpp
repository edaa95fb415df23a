// SPDX-License-Identifier: GPL-3.0-or-later
// The window registry: every window a button can open is registered, and opening one that is not
// is told to the user instead of doing nothing.
#include <QDialog>
#include <QPushButton>
#include <QStyleHints>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/about_window.h"
#include "app/double_click_guard.h"
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

// A mouse event as the platform delivers it, at a given time.
bool SendMouse(QWidget* w, QEvent::Type type, quint64 at) {
  const QPointF pos = w->rect().center();
  QMouseEvent e(type, pos, w->mapToGlobal(pos), Qt::LeftButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
  e.setTimestamp(at);
  QSpontaneKeyEvent::setSpontaneous(&e);
  return qApp->notify(w, &e);
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

  // A double-click on a button that opens a window must not press what the window shows under
  // the pointer: the window ignores presses within the double-click interval of the click.
  void doubleClickGuard_data() {
    QTest::addColumn<int>("gap");  // ms from the opening click to the next press; -1 no click
    QTest::addColumn<bool>("dblClick");
    QTest::addColumn<bool>("pressed");
    // The click closes a window in front (the children's picker) instead, uncovering the other.
    QTest::addColumn<bool>("uncovers");
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    for (bool uncovers : {false, true}) {
      const char* how = uncovers ? ", uncovering" : "";
      QTest::addRow("second click of a double-click%s", how)
          << interval - 1 << true << false << uncovers;
      QTest::addRow("second press alone, just inside%s", how)
          << interval - 1 << false << false << uncovers;
      QTest::addRow("a new click, at the interval%s", how) << interval << false << true << uncovers;
    }
    QTest::newRow("window opened without a click") << -1 << false << true << false;
  }
  void doubleClickGuard() {
    QFETCH(int, gap);
    QFETCH(bool, dblClick);
    QFETCH(bool, pressed);
    QFETCH(bool, uncovers);
    DoubleClickGuard guard;
    qApp->installEventFilter(&guard);
    QWidget opener;
    auto* edit = new QPushButton(QStringLiteral("编辑字"), &opener);
    edit->setGeometry(10, 10, 60, 40);
    QDialog list;
    auto* del = new QPushButton(QStringLiteral("删除"), &list);
    del->setGeometry(10, 10, 60, 40);
    if (uncovers) {
      list.show();
      QObject::connect(edit, &QPushButton::clicked, &opener, &QWidget::hide);
    } else {
      QObject::connect(edit, &QPushButton::clicked, &list, &QDialog::show);
    }
    int deletes = 0;
    QObject::connect(del, &QPushButton::clicked, [&] { ++deletes; });
    opener.show();
    const quint64 t = 100000;
    if (gap < 0) {
      list.show();
      gap = 0;
    } else {
      SendMouse(edit, QEvent::MouseButtonPress, t);
      SendMouse(edit, QEvent::MouseButtonRelease, t + 5);
    }
    QVERIFY(list.isVisible());
    SendMouse(del, QEvent::MouseButtonPress, t + gap);
    if (dblClick) SendMouse(del, QEvent::MouseButtonDblClick, t + gap);
    SendMouse(del, QEvent::MouseButtonRelease, t + gap + 5);
    QCOMPARE(deletes, pressed ? 1 : 0);
    // Later presses reach the window.
    SendMouse(del, QEvent::MouseButtonPress, t + 5000);
    SendMouse(del, QEvent::MouseButtonRelease, t + 5005);
    QCOMPARE(deletes, pressed ? 2 : 1);
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
