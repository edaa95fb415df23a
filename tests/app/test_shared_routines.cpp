// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include "app/quit_request.h"
#include "app/shared_routines.h"
#include "platform/error_report.h"
#include "support/fakes.h"

class SharedRoutinesTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void waitSeconds_data() {
    QTest::addColumn<QTime>("start");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QDateTime>("end");
    const QDate day(2024, 3, 5);
    QTest::newRow("across the minute")
        << QTime(12, 0, 58, 700) << 3 << QDateTime(day, QTime(12, 1, 1, 700));
    QTest::newRow("last millisecond of a second")
        << QTime(9, 30, 10, 999) << 1 << QDateTime(day, QTime(9, 30, 11, 999));
    QTest::newRow("across the hour")
        << QTime(9, 59, 59, 0) << 4 << QDateTime(day, QTime(10, 0, 3, 0));
    QTest::newRow("across midnight")
        << QTime(23, 59, 58, 500) << 3 << QDateTime(day.addDays(1), QTime(0, 0, 1, 500));
    QTest::newRow("a minute and more")
        << QTime(8, 0, 30, 0) << 75 << QDateTime(day, QTime(8, 1, 45, 0));
    QTest::newRow("nothing to wait")
        << QTime(8, 0, 30, 0) << 0 << QDateTime(day, QTime(8, 0, 30, 0));
  }
  void waitSeconds() {
    QFETCH(QTime, start);
    QFETCH(int, seconds);
    QFETCH(QDateTime, end);
    testing::FakeClock clock(QDateTime(QDate(2024, 3, 5), start));
    WaitSeconds(seconds);
    QCOMPARE(clock.Now(), end);
  }

  // Input given during the pause is handled only after it.
  void waitSecondsHandlesNoEvents() {
    testing::FakeClock clock;
    bool delivered = false;
    QTimer::singleShot(0, this, [&delivered] { delivered = true; });
    WaitSeconds(3);
    QVERIFY(!delivered);
    QTRY_VERIFY(delivered);
  }

  void checkIntegerEditRefuses_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << " ";
    QTest::newRow("letters") << "abc";
    QTest::newRow("digits then letters") << "12a";
    QTest::newRow("fraction") << "1.5";
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-3";
    QTest::newRow("sign alone") << "+";
    QTest::newRow("blank inside") << "1 2";
    QTest::newRow("hexadecimal") << "0x10";
    QTest::newRow("just past 32 bits") << "2147483648";
    QTest::newRow("far past 32 bits") << "99999999999";
    QTest::newRow("full-width fraction") << QStringLiteral("１．５");
    QTest::newRow("chinese numeral") << QStringLiteral("十二");
  }
  void checkIntegerEditRefuses() {
    QFETCH(QString, text);
    testing::ScriptedMessageBox boxes;
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* edit = new QLineEdit(&window);
    edit->move(0, 40);
    window.show();
    other->setFocus();
    edit->setText(text);

    QVERIFY(!CheckIntegerEdit(edit));
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QStringLiteral("此编辑框只能输入正整数"));
    QCOMPARE(boxes.shown[0].title, QStringLiteral("注意"));
    QCOMPARE(boxes.shown[0].flags, platform::MB_OK | platform::MB_ICONWARNING);
    QCOMPARE(boxes.shown[0].owner, &window);
    QCOMPARE(edit->text(), QString());
    QCOMPARE(window.focusWidget(), edit);
  }

  // The box keeps (or is set to) the plain number, since callers store its text.
  void checkIntegerEditAccepts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kept");
    QTest::newRow("one") << "1"
                         << "1";
    QTest::newRow("twelve") << "12"
                            << "12";
    QTest::newRow("largest") << "2147483647"
                             << "2147483647";
    QTest::newRow("blanks around") << " 12 "
                                   << "12";
    QTest::newRow("plus sign") << "+5"
                               << "5";
    QTest::newRow("leading zeros") << "007"
                                   << "7";
    QTest::newRow("full-width digits") << QStringLiteral("１２") << "12";
    QTest::newRow("ideographic blank") << QStringLiteral("３　") << "3";
  }
  void checkIntegerEditAccepts() {
    QFETCH(QString, text);
    QFETCH(QString, kept);
    testing::ScriptedMessageBox boxes;
    QLineEdit edit;
    edit.setText(text);
    QVERIFY(CheckIntegerEdit(&edit));
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(edit.text(), kept);
  }

  void errorReportText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter gets a stop") << "no such table"
                                        << "no such table.";
    QTest::newRow("stop kept") << "done."
                               << "done.";
    QTest::newRow("bang kept") << "oops!"
                               << "oops!";
    QTest::newRow("bracket kept") << "failed (42)"
                                  << "failed (42)";
    QTest::newRow("digit gets a stop") << "code 42"
                                       << "code 42.";
    QTest::newRow("line break kept") << "two lines\n"
                                     << "two lines\n";
    QTest::newRow("chinese gets a stop") << QStringLiteral("错误") << QStringLiteral("错误.");
    QTest::newRow("chinese stop kept") << QStringLiteral("请再试。") << QStringLiteral("请再试。");
    QTest::newRow("chinese bang kept") << QStringLiteral("好！") << QStringLiteral("好！");
    QTest::newRow("empty stays empty") << ""
                                       << "";
  }
  void errorReportText() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(ErrorReportText(text), shown);
  }

  // The user reads the program's Chinese; the driver's words go to the log.
  void errorReportIsOneErrorBox_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QString generic = QStringLiteral(
        "程序出错，刚才的操作没有完成。请关闭这个窗口再打开；若仍出错，请让管理员查看日志。");
    QTest::newRow("program text") << QStringLiteral("字段 声音 没有值")
                                  << QStringLiteral("字段 声音 没有值.");
    QTest::newRow("program text naming an English item")
        << QStringLiteral("“apple”的汉语翻译没有内容")
        << QStringLiteral("“apple”的汉语翻译没有内容.");
    QTest::newRow("driver words with Qt's Chinese")
        << QStringLiteral("no such table: xsSound 无法获取行") << generic;
    QTest::newRow("driver manager words") << QStringLiteral("[unixODBC]连接失败") << generic;
  }
  void errorReportIsOneErrorBox() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    testing::ScriptedMessageBox boxes;
    ReportError(text);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, shown);
    QCOMPARE(boxes.shown[0].title, kApplicationTitle);
    QCOMPARE(boxes.shown[0].flags, platform::MB_OK | platform::MB_ICONERROR);
  }

  // A quit request (SIGTERM) ends a pause at once, so the program ends within a second.
  void waitSecondsEndsOnQuit_data() {
    QTest::addColumn<int>("quitAfterMs");  // -1: no request
    QTest::newRow("requested during") << 1000;
    QTest::newRow("none") << -1;
  }
  void waitSecondsEndsOnQuit() {
    QFETCH(int, quitAfterMs);
    struct QuittingClock final : platform::Clock {
      qint64 slept = 0, quitAfter = -1;
      QDateTime Now() const override { return QDateTime(QDate(2024, 3, 5), {}).addMSecs(slept); }
      void SleepMs(int ms) override {
        if ((slept += ms) == quitAfter) RequestQuit();
      }
    } clock;
    clock.quitAfter = quitAfterMs;
    platform::SetClock(&clock);
    WaitSeconds(10);
    platform::SetClock(nullptr);
    RequestQuit(false);
    QCOMPARE(clock.slept, quitAfterMs < 0 ? 10000 : quitAfterMs);
  }
};

QTEST_MAIN(SharedRoutinesTest)
#include "test_shared_routines.moc"
