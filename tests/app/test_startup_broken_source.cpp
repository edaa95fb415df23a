// SPDX-License-Identifier: GPL-3.0-or-later
// A data source "EDUqvlp" that is defined but whose driver is not installed is a failure to
// connect, told to the user, and never a silent switch to the embedded sample course. (Its own
// program: the driver manager reads the data source list once per process.)
#include <QtTest>

#include "data/data_module.h"
#include "data/lesson_database.h"
#include "support/fakes.h"
#include "support/test_db.h"

class StartupBrokenSourceTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void definedSourceWithoutDriverIsNotReplaced() {
    testing::UseOdbcIni("[EDUqvlp]\nDriver=Tindora No Such Driver\nDatabase=lessons\n");
    QFile::remove(EmbeddedDatabasePath());
    QVERIFY(DataSourceDefined("EDUqvlp"));
    QVERIFY(!DataSourceDefined("EDUqvlp2"));
    testing::ScriptedMessageBox boxes;
    std::unique_ptr<Tdm> module(CreateDataModule(nullptr));
    QVERIFY(!module);
    QVERIFY(!QFile::exists(EmbeddedDatabasePath()));
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown[0].text.contains("EDUqvlp"), qPrintable(boxes.shown[0].text));
    QCOMPARE(boxes.shown[0].flags, platform::MB_OK | platform::MB_ICONERROR);
  }
};

QTEST_MAIN(StartupBrokenSourceTest)
#include "test_startup_broken_source.moc"
