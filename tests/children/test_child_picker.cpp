// SPDX-License-Identifier: GPL-3.0-or-later
// The children's windows in the real program: the picker opens at start only with two or more
// profiles and the menu then shows the child; the parent gate lets an adult through and nobody
// else; two seats on one server, each picking a child, note to the right child.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "app/current_child.h"
#include "app/main_form.h"
#include "app/parent_gate.h"
#include "app/quit_request.h"
#include "children/child_picker.h"
#include "data/children.h"
#include "data/data_module.h"
#include "data/lesson_database.h"
#include "platform/random.h"
#include "program.h"
#include "app/practice_log.h"
#include "support/fakes.h"
#include "support/test_db.h"

namespace {

// Draws 4 every time: the gate asks 七乘以七 (49).
class FixedRandom final : public platform::Random {
 public:
  int Below(int) override { return 4; }
};

// A seat in a process of its own: picks the child named in TINDORA_TEST_SEAT_CHILD on the picker
// (with the database in TINDORA_TEST_SEAT_DB) and opens three characters.
int RunSeat() {
  const QString spec = qEnvironmentVariable("TINDORA_TEST_SEAT_DB");
  Tdm module({QStringLiteral("QODBC"), spec, {}, {}, QStringLiteral("PostgreSQL")});
  if (!module.Connected()) return 3;
  dm = &module;
  QTemporaryDir dir;
  records::Start(module.ConnectionName(), dir.filePath("notes.spool"));
  {
    TChildPickerForm picker(nullptr);
    const QString name = qEnvironmentVariable("TINDORA_TEST_SEAT_CHILD");
    for (QToolButton* b : picker.ChildSbs)
      if (b->text() == name) b->click();
  }
  if (CurrentChildId() == children::kNoChild) return 4;
  for (const char* c : {"一", "二", "三"}) records::Note(LessonKindId::Character, QString::fromUtf8(c));
  const bool flushed = records::Flush();
  records::Stop();
  dm = nullptr;
  return flushed ? 0 : 5;
}

// An application object for the tests that do not run the program (which makes its own).
struct LocalApp {
  LocalApp() {
    if (!qApp) m_app = std::make_unique<QApplication>(m_argc, m_argv);
  }
  int m_argc = 1;
  char m_name[8] = "test";
  char* m_argv[2] = {m_name, nullptr};
  std::unique_ptr<QApplication> m_app;
};

}  // namespace

class ChildPickerTest : public QObject {
  Q_OBJECT
  QTemporaryDir m_dir;

 private Q_SLOTS:
  void initTestCase() { testing::UseNoDataSource(m_dir); }

  // The picker at start with two profiles, not with none or one (that one is simply chosen).
  void pickerOnlyWithTwoProfiles_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("quit");  // 退出 on the picker, then 是: the program ends
    QTest::newRow("none") << QStringList{} << false;
    QTest::newRow("one") << QStringList{"小明"} << false;
    QTest::newRow("two") << QStringList{"小明", "朵朵"} << false;
    QTest::newRow("two, quit") << QStringList{"小明", "朵朵"} << true;
  }
  void pickerOnlyWithTwoProfiles() {
    QFETCH(QStringList, names);
    QFETCH(bool, quit);
    SetCurrentChild({});
    {
      // The embedded database start-up will open, made beforehand with the profiles.
      LocalApp app;
      QCoreApplication::setApplicationName("Tindora");
      const QString path = EmbeddedDatabasePath();
      QDir(QFileInfo(path).path()).removeRecursively();
      QString error;
      QVERIFY2(EnsureEmbeddedDatabase(path, &error), qPrintable(error));
      QVERIFY(OpenConnection("prepare", EmbeddedSpec(path), &error));
      QVERIFY(children::AddClassList("prepare", names, nullptr, nullptr, &error));
      QSqlDatabase::database("prepare").close();
    }
    QSqlDatabase::removeDatabase("prepare");
    bool pickerShown = false;
    QString corner;
    char name[] = "tindora";
    char* argv[] = {name, nullptr};
    int argc = 1;
    testing::ScriptedMessageBox boxes;
    boxes.answers = {platform::IDYES};
    bool forced = false;
    const int status = RunTindora(argc, argv, [&](TMainForm* menu) {
      QTimer::singleShot(0, menu, [&, menu] {
        auto* picker = qobject_cast<TChildPickerForm*>(QApplication::activeModalWidget());
        pickerShown = picker && picker->isVisible();
        if (quit) {
          picker->QuitSb->click();
          // Still running long after: end it by hand, so the test fails instead of hanging.
          QTimer::singleShot(10000, menu, [&, menu, picker] {
            forced = true;
            picker->accept();
            menu->close();
          });
          return;
        }
        if (picker) picker->ChildSbs.at(1)->click();
        corner = menu->ChildNameLb->isHidden() ? QString() : menu->ChildNameLb->text();
        menu->close();
      });
    });
    RequestQuit(false);
    QCOMPARE(status, 0);
    QCOMPARE(pickerShown, names.size() >= 2);
    if (quit) {
      QVERIFY(!forced);
      QCOMPARE(boxes.TitlesAndTexts(), QStringList{"系统信息|欢迎使用本系统，确定要退出吗?"});
      QCOMPARE(CurrentChildId(), children::kNoChild);
      return;
    }
    const QString chosen = names.value(names.size() >= 2 ? 1 : 0);
    QCOMPARE(CurrentChild().name, chosen);
    QCOMPARE(corner, chosen);
  }

  // The gate: asked only once a profile exists and while switched on; only the product passes.
  void parentGate_data() {
    QTest::addColumn<bool>("profile");
    QTest::addColumn<bool>("gateOn");
    QTest::addColumn<QString>("answer");  // "cancel": the gate is closed without an answer
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<bool>("webLink");  // asked by the menu's web link, which opens a browser
    QTest::newRow("no profile") << false << true << "" << false << true << false;
    QTest::newRow("switched off") << true << false << "" << false << true << false;
    QTest::newRow("the product") << true << true << "49" << true << true << false;
    QTest::newRow("one more") << true << true << "50" << true << false << false;
    QTest::newRow("one less") << true << true << "48" << true << false << false;
    QTest::newRow("nothing typed") << true << true << "" << true << false << false;
    QTest::newRow("cancelled") << true << true << "cancel" << true << false << false;
    QTest::newRow("web link, the product") << true << true << "49" << true << true << true;
    QTest::newRow("web link, one less") << true << true << "48" << true << false << true;
  }
  void parentGate() {
    QFETCH(bool, profile);
    QFETCH(bool, gateOn);
    QFETCH(QString, answer);
    QFETCH(bool, asked);
    QFETCH(bool, passes);
    QFETCH(bool, webLink);
    LocalApp app;
    testing::TestDataModule data;
    REQUIRE_DATABASE(data.database());
    const QString c = dm->ConnectionName();
    QString error;
    if (profile) QVERIFY(children::AddChild(c, "小明", 0, nullptr, &error));
    QVERIFY(children::SetParentGateOn(c, gateOn, &error));
    FixedRandom random;
    platform::SetRandom(&random);
    testing::ScriptedMessageBox boxes;
    QObject guard;
    bool seen = false;
    QTimer::singleShot(0, &guard, [&] {
      auto* gate = qobject_cast<TParentGateForm*>(QApplication::activeModalWidget());
      if (!gate) return;
      seen = true;
      QCOMPARE(gate->QuestionLb->text(), "七乘以七等于多少？");
      // A double-click on the way in lands on the question, not through it.
      QTest::mouseDClick(gate->QuestionLb, Qt::LeftButton);
      if (answer == "cancel") {
        gate->CancelSb->click();
        return;
      }
      QTest::keyClicks(gate->AnswerEd, answer);
      gate->OkSb->click();
    });
    if (webLink) {
      testing::FakeDialogs dialogs;
      TMainForm menu;
      QTest::mouseClick(menu.comlb, Qt::LeftButton);
      QCOMPARE(dialogs.urls.size(), passes ? 1 : 0);
    } else {
      QCOMPARE(PassParentGate(nullptr), passes);
    }
    platform::SetRandom(nullptr);
    QCOMPARE(seen, asked);
    // A wrong answer is told; passing or cancelling says nothing.
    QCOMPARE(boxes.shown.size(), asked && !passes && answer != "cancel" ? 1 : 0);
  }

  // Two seats on one server pick different children at the same time; each child's notes are
  // their own.
  void twoSeatsPickDifferentChildren() {
    LocalApp app;
    testing::TestDatabase db(testing::Backend::OdbcPostgres);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    QString error;
    QVERIFY(children::AddClassList(c, {"小明", "朵朵", "乐乐"}, nullptr, nullptr, &error));
    QList<QProcess*> seats;
    for (const char* child : {"朵朵", "乐乐"}) {
      auto* seat = new QProcess(this);
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("TINDORA_TEST_SEAT_DB", db.Spec().databaseName);
      env.insert("TINDORA_TEST_SEAT_CHILD", QString::fromUtf8(child));
      seat->setProcessEnvironment(env);
      seat->setProcessChannelMode(QProcess::ForwardedErrorChannel);
      seat->start(QCoreApplication::applicationFilePath(), {});
      seats << seat;
    }
    for (QProcess* seat : seats) {
      QVERIFY(seat->waitForFinished(60000));
      QCOMPARE(seat->exitCode(), 0);
    }
    QSqlQuery q(QSqlDatabase::database(c));
    QVERIFY(q.exec("select c.name, count(*) from learn_record r join children c on "
                   "c.child_id = r.child_id group by c.name order by c.name"));
    QStringList counts;
    while (q.next()) counts << QString("%1:%2").arg(q.value(0).toString()).arg(q.value(1).toInt());
    QCOMPARE(counts, QStringList({"乐乐:3", "朵朵:3"}));
  }
};

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("TINDORA_TEST_SEAT_CHILD")) {
    QApplication app(argc, argv);
    return RunSeat();
  }
  ChildPickerTest test;  // no application object: start-up makes its own
  return QTest::qExec(&test, argc, argv);
}

#include "test_child_picker.moc"
