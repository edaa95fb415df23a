// A defined data source that cannot be reached is told to the user; start-up then gives up.
// (Its own program: the driver manager reads the data source list once per process.)
#include <QtTest>

#include "platform/dialogs.h"
#include "shell/data_module.h"
#include "shell/lesson_database.h"

class StartupUnreachableTest : public QObject {
  Q_OBJECT
  QTemporaryDir m_dir;
  QString m_odbcIni;
  QStringList m_shown;

  void WriteOdbcIni(const QByteArray& text) {
    QFile f(m_odbcIni);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
  }

 private Q_SLOTS:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    m_odbcIni = m_dir.filePath("odbc.ini");
    qputenv("ODBCINI", m_odbcIni.toLocal8Bit());
    platform::SetMessageBoxHandler([this](QWidget*, const QString& text, const QString& title,
                                          unsigned) {
      m_shown << title + "|" + text;
      return platform::IDOK;
    });
  }
  void init() { m_shown.clear(); }

  void definedButUnreachableSourceIsTold() {
    WriteOdbcIni("[EDUqvlp]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=1\n"
                 "Database=nothing\n");
    std::unique_ptr<Tdm> module(CreateDataModule(nullptr));
    QVERIFY(!module);
    QCOMPARE(m_shown.size(), 1);
    QVERIFY2(m_shown[0].startsWith("Tindora|"), qPrintable(m_shown[0]));
    QVERIFY2(m_shown[0].contains("EDUqvlp"), qPrintable(m_shown[0]));
    // The driver's own words are passed on.
    QVERIFY2(m_shown[0].contains("connect", Qt::CaseInsensitive), qPrintable(m_shown[0]));
  }
};

QTEST_MAIN(StartupUnreachableTest)
#include "test_startup_unreachable.moc"
