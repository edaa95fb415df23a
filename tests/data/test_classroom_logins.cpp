// SPDX-License-Identifier: GPL-3.0-or-later
// Logging in to a classroom server as the data source says. (Its own program: the driver manager
// reads the data source list once per process, so the list is written before the first call.)
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include "app/screen_registry.h"
#include "children/child_picker.h"
#include "data/classroom_logins.h"
#include "data/data_module.h"
#include "data/lesson_database.h"
#include "data/schema_migrations.h"
#include "platform/dataset.h"
#include "data/record_store.h"
#include "review/knowledge_window.h"
#include "review/review_store.h"
#include "support/fakes.h"
#include "support/test_db.h"

namespace {

// A value of the CI's connection string ("Server", "Port", ...).
QString ConnValue(const QString& key) {
  for (const QString& part : qEnvironmentVariable("TINDORA_PG_CONNSTR").split(QLatin1Char(';')))
    if (part.section(QLatin1Char('='), 0, 0).trimmed().compare(key, Qt::CaseInsensitive) == 0)
      return part.section(QLatin1Char('='), 1).trimmed();
  return {};
}

const QString kRole = QStringLiteral("tindora_t%1_login").arg(QCoreApplication::applicationPid());
const QString kPassword = QStringLiteral("pw;%1").arg(QCoreApplication::applicationPid());

}  // namespace

class ClassroomLoginsTest : public QObject {
  Q_OBJECT

  bool Admin(const QString& sql) {
    QString error;
    const bool ok = platform::ExecSql(QStringLiteral("admin"), sql, &error);
    if (!ok) qWarning() << sql << error;
    return ok;
  }

 private Q_SLOTS:
  void initTestCase() {
    const QString source = QStringLiteral(
                               "Driver=PostgreSQL Unicode\nServername=%1\nPort=%2\nDatabase=%3\n")
                               .arg(ConnValue("Server"), ConnValue("Port"), ConnValue("Database"));
    QByteArray ini;
    for (const auto& [name, login] :
         {std::pair{"wt_username", QStringLiteral("Username=%1\nPassword=%2\n").arg(kRole, kPassword)},
          std::pair{"wt_uid", QStringLiteral("UID=%1\nPWD=%2\n").arg(kRole, kPassword)},
          std::pair{"wt_wrong", QStringLiteral("Username=%1\nPassword=wrong\n").arg(kRole)},
          std::pair{"wt_none", QString()},
          std::pair{"EDUqvlp", QStringLiteral("Username=%1\nPassword=wrong\n").arg(kRole)}})
      ini += QStringLiteral("[%1]\n%2%3\n").arg(QLatin1String(name), source, login).toUtf8();
    testing::UseOdbcIni(ini);
    if (qEnvironmentVariableIsEmpty("TINDORA_PG_CONNSTR")) return;
    QString error;
    QVERIFY2(OpenConnection(QStringLiteral("admin"),
                            {QStringLiteral("QODBC"), qEnvironmentVariable("TINDORA_PG_CONNSTR"),
                             {}, {}, QStringLiteral("PostgreSQL")},
                            &error),
             qPrintable(error));
    Admin(QStringLiteral("drop role if exists %1").arg(kRole));
    QVERIFY(Admin(QStringLiteral("create role %1 login password '%2'").arg(kRole, kPassword)));
  }

  void cleanupTestCase() {
    if (QSqlDatabase::database(QStringLiteral("admin"), false).isOpen())
      Admin(QStringLiteral("drop role if exists %1").arg(kRole));
  }

  // The user and password come from the data source however psqlODBC or ODBC name them; the
  // built-in pair only when it names none; a refusal names the user refused.
  void loginAsTheDataSourceSays_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("admitted");
    QTest::newRow("Username/Password") << "wt_username" << kRole << true;
    QTest::newRow("UID/PWD") << "wt_uid" << kRole << true;
    QTest::newRow("wrong password") << "wt_wrong" << kRole << false;
    QTest::newRow("no user named") << "wt_none" << "admin" << false;
  }
  void loginAsTheDataSourceSays() {
    QFETCH(QString, source);
    QFETCH(QString, user);
    QFETCH(bool, admitted);
    const ConnectionSpec spec = DataSourceSpec(source);
    QCOMPARE(spec.user, user);
    if (!QSqlDatabase::database(QStringLiteral("admin"), false).isOpen())
      QSKIP("no PostgreSQL server for this run (TINDORA_PG_CONNSTR is not set)");
    QString error;
    const QString name = QStringLiteral("login-") + source;
    const bool opened = OpenConnection(name, spec, &error);
    if (opened) {
      QVector<QVector<QVariant>> rows;
      QVERIFY(platform::ExecQuery(name, QStringLiteral("select current_user"), {}, &rows));
      QCOMPARE(rows.value(0).value(0).toString(), user);
    }
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
    QCOMPARE(opened, admitted);
    if (admitted) return;
    const QString refusal = LoginRefusal(spec, error);
    QVERIFY2(refusal.contains(QStringLiteral("“%1”").arg(user)), qPrintable(refusal + error));
    QVERIFY2(refusal.contains(QStringLiteral("密码")), qPrintable(refusal));
    QCOMPARE(LoginRefusal(spec, QStringLiteral("could not connect to server")), QString());
  }

  // Start-up tells the refused user in Chinese and does not fall back to the embedded database.
  void startupNamesTheRefusedUser() {
    if (!QSqlDatabase::database(QStringLiteral("admin"), false).isOpen())
      QSKIP("no PostgreSQL server for this run (TINDORA_PG_CONNSTR is not set)");
    testing::ScriptedMessageBox boxes;
    std::unique_ptr<Tdm> module(CreateDataModule(nullptr));
    QVERIFY(!module);
    QCOMPARE(boxes.shown.size(), 1);
    const QString text = boxes.shown[0].text;
    QVERIFY2(text.contains(QStringLiteral("拒绝了用户“%1”").arg(kRole)), qPrintable(text));
    QVERIFY2(!text.contains(QLatin1String("FATAL")), qPrintable(text));
  }

  // The course's owner on a database without the lesson tables makes them and may edit.
  void ownerMakesTheTablesOnAnEmptyDatabase() {
    if (!QSqlDatabase::database(QStringLiteral("admin"), false).isOpen())
      QSKIP("no PostgreSQL server for this run (TINDORA_PG_CONNSTR is not set)");
    const QString schema = kRole + "_empty";
    Admin(QStringLiteral("drop schema if exists %1 cascade").arg(schema));
    QVERIFY(Admin(QStringLiteral("create schema %1").arg(schema)));
    {
      Tdm module({QStringLiteral("QODBC"),
                  qEnvironmentVariable("TINDORA_PG_CONNSTR") +
                      QStringLiteral(";ConnSettings=set search_path to %1;").arg(schema),
                  {}, {}, QStringLiteral("PostgreSQL")});
      QVERIFY2(module.Connected(), qPrintable(module.ConnectError()));
      QCOMPARE(module.EditingOffReason(), QString());
      QCOMPARE(StoredSchemaVersion(module.ConnectionName()), CurrentSchemaVersion());
    }
    Admin(QStringLiteral("drop schema if exists %1 cascade").arg(schema));
  }

  // A seat's login reads the course and finds editing off at start; the teacher's changes it and
  // brings an older schema up to date, which a seat leaves for the teacher and goes on reading.
  // Both store what the child's screens store.
  void seatsLearnTeachersChange_data() {
    QTest::addColumn<bool>("seat");
    QTest::addColumn<bool>("older");
    QTest::addColumn<bool>("olderGrant");  // a seat granted before it kept stars and reviews
    QTest::newRow("seat") << true << false << false;
    QTest::newRow("seat, older schema") << true << true << false;
    QTest::newRow("seat, older grant") << true << false << true;
    QTest::newRow("teacher") << false << false << false;
    QTest::newRow("teacher, older schema") << false << true << false;
  }
  void seatsLearnTeachersChange() {
    QFETCH(bool, seat);
    QFETCH(bool, older);
    QFETCH(bool, olderGrant);
    QString error;
    {
      testing::TestDatabase lite(testing::Backend::Sqlite);
      QVERIFY(!GrantClassroomLogin(lite.Connection(), ClassroomLogin::Seat, "seat", &error));
      QVERIFY2(error.contains("PostgreSQL"), qPrintable(error));
    }
    testing::ScriptedMessageBox boxes;
    const QString role = kRole + (seat ? "_seat" : "_teacher");
    {
      testing::TestDatabase db(testing::Backend::OdbcPostgres);
      REQUIRE_DATABASE(db);
      QVERIFY(!GrantClassroomLogin(db.Connection(), ClassroomLogin::Seat, "x; drop", &error));
      Admin(QStringLiteral("drop role if exists %1").arg(role));
      QVERIFY(Admin(QStringLiteral("create role %1 login password '%2'").arg(role, kPassword)));
      QVERIFY2(GrantClassroomLogin(db.Connection(),
                                   seat ? ClassroomLogin::Seat : ClassroomLogin::Teacher, role,
                                   &error),
               qPrintable(error));
      testing::AddRows(db.Connection(), "ZJ", {{{"章号", "1"}, {"章节", "一"}}});
      if (olderGrant)  // the teacher's program brings it up to date
        QVERIFY(platform::ExecSql(db.Connection(), "revoke insert, update on writing_done, "
                                                   "review_state from " + role) &&
                // Back before step 10, which grants seats the child tables.
                platform::ExecSql(db.Connection(),
                                  QStringLiteral("update tindora_schema set version = 9")) &&
                MigrateSchema(db.Connection(), &error));
      if (older)
        QVERIFY(platform::ExecSql(db.Connection(),
                                  QStringLiteral("update tindora_schema set version = %1")
                                      .arg(CurrentSchemaVersion() - 1)));
      ConnectionSpec spec = db.Spec();
      spec.databaseName.replace(QRegularExpression("(?i)\\b(uid|pwd)=[^;]*;"), QString());
      spec.user = role;
      spec.password = kPassword;
      {
        Tdm module(spec);
        QVERIFY2(module.Connected(), qPrintable(module.ConnectError()));
        QCOMPARE(module.EditingOffReason().isEmpty(), !seat);
        QCOMPARE(module.Notice().contains("老师的电脑"), seat && older);
        QCOMPARE(StoredSchemaVersion(module.ConnectionName()),
                 CurrentSchemaVersion() - (seat && older ? 1 : 0));
        platform::Dataset chapters(module.ConnectionName());
        chapters.SetTableName("ZJ");
        QVERIFY2(chapters.Open() && chapters.RecordCount() == 1, qPrintable(chapters.LastError()));
        chapters.Append();
        chapters.SetField("章号", "2");
        chapters.SetField("章节", "二");
        QCOMPARE(chapters.Post(), !seat);
        QVector<QVector<QVariant>> rows;
        QVERIFY(platform::ExecQuery(module.ConnectionName(),
                                    "select has_table_privilege('learn_record', 'insert'), "
                                    "has_table_privilege('recordings', 'select')",
                                    {}, &rows));
        QVERIFY(rows.value(0).value(0).toBool() && rows.value(0).value(1).toBool());
        // Any login stores a child's writing star and reviews, the second over the first.
        const QString c = module.ConnectionName();
        QVERIFY2(records::WriteRecords(c, {{"seat", QDateTime::currentDateTime(),
                                            records::Module::Writing, "一", "A", {}, 0, {}, 3}},
                                       &error),
                 qPrintable(error));
        for (int reviews : {1, 2})
          QVERIFY2(review::SaveCard(c, 3, "一", {.reps = reviews}, 2461000, &error),
                   qPrintable(error));
        // Clearing the record is the teacher's; a seat is told so, not sent to the connection.
        QCOMPARE(records::MayClearRecords(c), !seat);
        platform::WriteFailure failure = platform::WriteFailure::Other;
        QCOMPARE(records::ClearRecords(c, {}, &error, &failure), !seat);
        QCOMPARE(failure, seat ? platform::WriteFailure::NotAllowed : platform::WriteFailure::None);
        // The new characters a day and the profiles are the teacher's to change.
        dm = &module;
        QCOMPARE(TKnowledgeForm(nullptr).NewPerDaySe->isEnabled(), !seat);
        bool managed = false;
        SetShowScreenHook([&](const QString&, QWidget*) { return managed = true; });
        TChildPickerForm(nullptr).ManageSb->click();
        SetShowScreenHook({});
        QCOMPARE(managed, !seat);
        dm = nullptr;
      }
    }
    Admin(QStringLiteral("drop role if exists %1").arg(role));
  }
};

QTEST_MAIN(ClassroomLoginsTest)
#include "test_classroom_logins.moc"
