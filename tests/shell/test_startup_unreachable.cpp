// A defined data source that cannot be reached is told to the user; start-up then gives up.
// (Its own program: the driver manager reads the data source list once per process.)
#include <QtTest>

#include "shell/data_module.h"
#include "shell/lesson_database.h"
#include "support/fakes.h"
#include "support/test_db.h"

class StartupUnreachableTest : public QObject {
  Q_OBJECT
  std::unique_ptr<testing::ScriptedMessageBox> m_boxes;

 private Q_SLOTS:
  void init() { m_boxes = std::make_unique<testing::ScriptedMessageBox>(); }
  void cleanup() { m_boxes.reset(); }

  void definedButUnreachableSourceIsTold() {
    testing::UseOdbcIni(
        "[EDUqvlp]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=1\n"
        "Database=nothing\n");
    std::unique_ptr<Tdm> module(CreateDataModule(nullptr));
    QVERIFY(!module);
    const QStringList shown = m_boxes->TitlesAndTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].startsWith("Tindora|"), qPrintable(shown[0]));
    QVERIFY2(shown[0].contains("EDUqvlp"), qPrintable(shown[0]));
    // The driver's own words are passed on.
    QVERIFY2(shown[0].contains("connect", Qt::CaseInsensitive), qPrintable(shown[0]));
  }
};

QTEST_MAIN(StartupUnreachableTest)
#include "test_startup_unreachable.moc"
