// SPDX-License-Identifier: GPL-3.0-or-later
// A defined data source that cannot be reached is told to the user, naming it and the cause in
// Chinese, and the program ends with status 1. (Its own program: the driver manager reads
// the data source list once per process, and start-up makes its own application object.)
#include <QtTest>

#include "app/main_form.h"
#include "data/data_module.h"
#include "program.h"
#include "support/fakes.h"
#include "support/test_db.h"

class StartupUnreachableTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void definedButUnreachableSourceEndsWithStatusOne() {
    testing::UseOdbcIni(
        "[EDUqvlp]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=1\nDatabase=nothing\n");
    testing::ScriptedMessageBox boxes;
    bool menuShown = false;
    char name[] = "tindora";
    char* argv[] = {name, nullptr};
    int argc = 1;
    const int status = RunTindora(argc, argv, [&menuShown](TMainForm*) { menuShown = true; });
    QCOMPARE(status, 1);
    QVERIFY(!menuShown);
    QCOMPARE(dm, nullptr);
    QCOMPARE(MainForm, nullptr);
    const QStringList shown = boxes.TitlesAndTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].startsWith("Tindora|"), qPrintable(shown[0]));
    QVERIFY2(shown[0].contains("EDUqvlp"), qPrintable(shown[0]));
    // The cause in Chinese; the driver's words ("Connection refused") go to the log only.
    QVERIFY2(shown[0].contains("服务器没有回应"), qPrintable(shown[0]));
    QVERIFY2(!QString(shown[0]).remove("EDUqvlp").remove("Tindora|").contains(QRegularExpression("[A-Za-z]")),
             qPrintable(shown[0]));
    QCOMPARE(boxes.shown[0].flags, platform::MB_OK | platform::MB_ICONERROR);
  }
};

int main(int argc, char** argv) {
  StartupUnreachableTest test;  // no application object: start-up makes its own
  return QTest::qExec(&test, argc, argv);
}
#include "test_startup_unreachable.moc"
