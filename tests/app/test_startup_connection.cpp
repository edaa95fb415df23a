// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up's choice of database: the data source "EDUqvlp" when defined, the embedded default when
// the driver manager knows no such source, and a clear message when a defined source fails.
#include <QtTest>

#include "data/data_module.h"
#include "data/lesson_database.h"
#include "support/fakes.h"
#include "support/test_db.h"

class StartupConnectionTest : public QObject {
  Q_OBJECT
  std::unique_ptr<testing::ScriptedMessageBox> m_boxes;

 private Q_SLOTS:
  void init() { m_boxes = std::make_unique<testing::ScriptedMessageBox>(); }
  void cleanup() { m_boxes.reset(); }

  void embeddedDefaultCreatedOnceAndReused() {
    testing::UseOdbcIni("");
    QFile::remove(EmbeddedDatabasePath());
    std::unique_ptr<Tdm> first(CreateDataModule(nullptr));
    QVERIFY(first);
    QVERIFY(m_boxes->TitlesAndTexts().isEmpty());
    QVERIFY(QFile::exists(EmbeddedDatabasePath()));
    QVERIFY(!QFile::exists(EmbeddedDatabasePath() + ".new"));

    // The sample course is there, with recordings that exist.
    platform::Dataset* q = first->ALLQuery;
    q->Close();
    q->SqlClear();
    q->SqlAdd("select * from ZJ order by 章号 ");
    QVERIFY(q->Open());
    QVERIFY(q->RecordCount() >= 3);
    q->Close();
    q->SqlClear();
    q->SqlAdd("select * from xsSound order by 诗号");
    QVERIFY(q->Open());
    QVERIFY(q->RecordCount() >= 6);
    QVERIFY(q->Locate("诗名", "静夜思", false));
    QVERIFY2(QFile::exists(q->Field("声音")), qPrintable(q->Field("声音")));

    // A change made now must survive the next start: the file is reused, not made anew.
    q->Close();
    q->SqlClear();
    q->SqlAdd("select * from ZJ");
    QVERIFY(q->Open());
    q->Append();
    q->SetField("章号", "999");
    q->SetField("章节", "老师的新章节");
    QVERIFY(q->Post());
    first.reset();

    std::unique_ptr<Tdm> second(CreateDataModule(nullptr));
    QVERIFY(second);
    second->ALLQuery->Close();
    QVERIFY(second->ALLQuery->Open());
    QVERIFY(second->ALLQuery->Locate("章节", "老师的新章节", false));
  }
};

QTEST_MAIN(StartupConnectionTest)
#include "test_startup_connection.moc"
