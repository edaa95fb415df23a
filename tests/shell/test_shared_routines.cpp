#include <QtTest>

#include "shell/shared_routines.h"

class SharedRoutinesTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void errorReportText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter gets a stop") << "no such table" << "no such table.";
    QTest::newRow("stop kept") << "done." << "done.";
    QTest::newRow("bang kept") << "oops!" << "oops!";
    QTest::newRow("chinese gets a stop") << QStringLiteral("错误") << QStringLiteral("错误.");
    QTest::newRow("empty stays empty") << "" << "";
  }
  void errorReportText() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(ErrorReportText(text), shown);
  }
};

QTEST_GUILESS_MAIN(SharedRoutinesTest)
#include "test_shared_routines.moc"
