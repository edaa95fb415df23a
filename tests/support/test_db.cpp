#include "support/test_db.h"

#include <QSqlDatabase>
#include <QtTest>

#include "platform/dataset.h"

namespace testing {

void AddBackendRows() {
  QTest::addColumn<Backend>("backend");
  QTest::newRow("sqlite") << Backend::Sqlite;
  QTest::newRow("odbc-sqlite") << Backend::OdbcSqlite;
  QTest::newRow("odbc-postgres") << Backend::OdbcPostgres;
}

TestDatabase::TestDatabase(Backend backend) : m_dir(std::make_unique<QTemporaryDir>()) {
  static int count = 0;
  m_connection = QStringLiteral("test-db-%1").arg(++count);
  const QString file = m_dir->filePath(QStringLiteral("lessons.db"));
  switch (backend) {
    case Backend::Sqlite:
      m_spec = EmbeddedSpec(file);
      break;
    case Backend::OdbcSqlite:
      m_spec = {QStringLiteral("QODBC"),
                QStringLiteral("DRIVER=SQLite3;Database=%1;").arg(file),
                {},
                {},
                QStringLiteral("SQLite3 ODBC")};
      break;
    case Backend::OdbcPostgres: {
      const QString conn = qEnvironmentVariable("TINDORA_PG_CONNSTR");
      if (conn.isEmpty()) {
        m_why = QStringLiteral(
            "no PostgreSQL server for this run (TINDORA_PG_CONNSTR is not set; .ci/run sets it)");
        return;
      }
      m_spec = {QStringLiteral("QODBC"), conn, {}, {}, QStringLiteral("PostgreSQL")};
      break;
    }
  }
  QString error;
  if (!OpenConnection(m_connection, m_spec, &error)) {
    m_why = QStringLiteral("cannot connect to %1: %2").arg(m_spec.label, error);
    return;
  }
  if (backend == Backend::OdbcPostgres) {
    for (const char* t : {"ZJ", "xsZJ", "xyyZJ", "szSound", "xsSound", "xyySound", "SYS"})
      platform::ExecSql(m_connection,
                        QStringLiteral("drop table if exists %1").arg(QLatin1String(t)));
  }
  if (!CreateSchema(m_connection, &error)) {
    m_why = QStringLiteral("cannot create the schema: ") + error;
    m_broken = true;
    return;
  }
  m_available = true;
}

TestDatabase::~TestDatabase() {
  {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (db.isValid()) db.close();
  }
  QSqlDatabase::removeDatabase(m_connection);
}

}  // namespace testing

#include "shell/data_module.h"
#include "shell/lesson_kinds.h"

namespace testing {

TestDataModule::TestDataModule(Backend backend) : m_db(backend) {
  if (m_db.Available()) {
    m_module = std::make_unique<Tdm>(m_db.Spec());
    dm = m_module.get();
  }
}

TestDataModule::~TestDataModule() {
  if (dm == m_module.get()) dm = nullptr;
}

void TestDataModule::AddRows(const QString& table,
                             const QList<QList<std::pair<QString, QString>>>& rows) {
  platform::Dataset d(m_db.Connection());
  d.SetTableName(table);
  QVERIFY2(d.Open(), qPrintable(d.LastError()));
  for (const auto& row : rows) {
    d.Append();
    for (const auto& [field, value] : row) d.SetField(field, value);
    QVERIFY2(d.Post(), qPrintable(d.LastError()));
  }
}

void TestDataModule::AddChapters(const LessonKind& kind, const QStringList& names) {
  QList<QList<std::pair<QString, QString>>> rows;
  for (int i = 0; i < names.size(); ++i)
    rows.append(
        {{QStringLiteral("章号"), QString::number(i + 1)}, {QStringLiteral("章节"), names[i]}});
  AddRows(kind.chapterTable, rows);
}

void TestDataModule::LoadSampleCourse() {
  QString error;
  QVERIFY2(LoadCourse(m_db.Connection(), SampleCourseJson(), InstallationFolder(), &error),
           qPrintable(error));
}

}  // namespace testing

namespace testing {

void UseOdbcIni(const QByteArray& contents) {
  static QTemporaryDir dir;
  QStandardPaths::setTestModeEnabled(true);
  const QString path = dir.filePath(QStringLiteral("odbc.ini"));
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(contents);
  qputenv("ODBCINI", path.toLocal8Bit());
}

}  // namespace testing
