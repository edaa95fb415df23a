// SPDX-License-Identifier: GPL-3.0-or-later
// The learning record end to end: the screens note what the child does (and go on when the
// database refuses the note), the records are stored and read back per computer on every
// backend, a first-release database gains the record table without losing a lesson row, and the
// window shows this computer's records or all of them and clears them after asking.
#include <sys/stat.h>
#include <unistd.h>

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QSemaphore>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "app/current_child.h"
#include "app/parent_gate.h"
#include "app/practice_log.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "arithmetic/drill_screen.h"
#include "controls/label_3d.h"
#include "data/children.h"
#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "data/record_store.h"
#include "data/schema_migrations.h"
#include "lessons/pronunciation_popup.h"
#include "lessons/verse_screen.h"
#include "platform/dataset.h"
#include "records/record_window.h"
#include "review/knowledge_window.h"
#include "review/review_store.h"
#include "support/fakes.h"
#include "support/test_db.h"

using namespace records;
using testing::Backend;

namespace {

const QDateTime kNow(QDate(2024, 3, 5), QTime(14, 7, 9));

// Every row of the record table as "machine|day|module|item|operation|results|score".
QStringList StoredRecords(const QString& connection) {
  QSqlQuery q(QSqlDatabase::database(connection));
  QStringList rows;
  if (!q.exec("select machine, day, module, item, operation, results, score from learn_record "
              "order by at_time, item"))
    return {q.lastError().text()};
  while (q.next()) {
    QStringList fields;
    for (int i = 0; i < 7; ++i) fields << q.value(i).toString();
    rows << fields.join('|');
  }
  return rows;
}

// Every lesson row of a database, for comparing before and after a change of schema.
QStringList LessonRows(const QString& connection) {
  QStringList rows;
  for (const char* table : {"ZJ", "xsZJ", "xyyZJ", "szSound", "xsSound", "xyySound", "SYS"}) {
    QSqlQuery q(QSqlDatabase::database(connection));
    if (!q.exec(QString("select * from %1").arg(table))) return {q.lastError().text()};
    while (q.next()) {
      QStringList fields{table};
      for (int i = 0; i < q.record().count(); ++i) {
        // The pictures' column comes later: an old row gains it empty, following the proposal.
        if (q.record().fieldName(i) == "图片") {
          if (!q.isNull(i)) fields << "picture " + q.value(i).toString();
          continue;
        }
        fields << q.value(i).toString();
      }
      rows << fields.join('|');
    }
  }
  return rows;
}

Record Practice(const QString& machine, int daysAgo, Module module, const QString& item) {
  return {machine, kNow.addDays(-daysAgo), module, item, {}, {}, 0, {}};
}

Record Series(const QString& machine, int daysAgo, const QString& op, const QString& results,
              const QString& firstAnswers = {}) {
  return {machine,
          kNow.addDays(-daysAgo),
          Module::Drill,
          firstAnswers,
          op,
          results,
          int(results.count('1')) * 20,
          {}};
}

Record Written(const QString& machine, int daysAgo, const QString& character, int missed,
               const QString& way = {}) {
  return {machine, kNow.addDays(-daysAgo), Module::Writing, character, way, {}, missed, {}};
}

// The recorder runs for one test, with a spool of its own, and is stopped before the database goes.
struct RecorderRun {
  explicit RecorderRun(const QString& connection, const QString& spool = {}) {
    Start(connection, spool.isEmpty() ? m_dir.filePath("notes.spool") : spool);
  }
  ~RecorderRun() { Stop(); }
  QTemporaryDir m_dir;
};

int SpooledNotes(const QString& spool) {
  QFile f(spool);
  return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : 0;
}

// The child process of slowReaderKeepsTheSpool: the writer held before it reads the spool, a note
// perhaps, then quitting; the process ends at the step asked for.
void QuitWithReaderHeld() {
  const int endAt = qEnvironmentVariableIntValue("TINDORA_SPOOL_END_AT");
  SetSpoolStepHook([endAt](SpoolStep step) {
    if (step == SpoolStep::Reading) {
      static QSemaphore never;
      never.acquire();
    }
    if (int(step) == endAt) ::_exit(3);
  });
  testing::TestDatabase db(Backend::Sqlite);
  Start(db.Connection(), qEnvironmentVariable("TINDORA_SPOOL_FILE"));
  if (qEnvironmentVariable("TINDORA_SPOOL_NOTED") == "1") Note(LessonKindId::Character, "新");
  Stop();
  ::_exit(0);
}

}  // namespace

class PracticeLogTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void noteForEachAction_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("expected");  // module|item|operation|results|score
    for (bool refused : {false, true}) {
      const char* how = refused ? "refused" : "stored";
      QTest::addRow("character opened, %s", how) << "character" << refused << "0|山|||";
      QTest::addRow("poem read aloud, %s", how) << "poem" << refused << "1|静夜思|||";
      QTest::addRow("English read aloud, %s", how) << "english" << refused << "2|father|||";
      // Sums are random: the item shows only each exercise's first answer, in order.
      QTest::addRow("drill series, %s", how) << "drill" << refused << "3|0,0,1,0,1|+|10101|60";
      QTest::addRow("drill series given up, %s", how)
          << "drill given up" << refused << "3|1,0,0|+|10|20";
    }
  }
  void noteForEachAction() {
    QFETCH(QString, action);
    QFETCH(bool, refused);
    QFETCH(QString, expected);
    testing::TestDataModule data;
    REQUIRE_DATABASE(data.database());
    data.LoadSampleCourse();
    const QString c = data.database().Connection();
    if (refused) {
      QVERIFY(platform::ExecSql(c,
                                "create trigger refuse before insert on learn_record "
                                "begin select raise(abort, 'no records here'); end"));
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot write 1 notes.*no records"));
    }
    testing::FakeClock clock(kNow);
    testing::RecordingSoundPlayer sound(&clock);
    testing::ScriptedMessageBox boxes;
    RecorderRun recorder(dm->ConnectionName());

    // Each action must still do what it does for the child.
    if (action == "character") {
      CurrentSoundFile.clear();
      Tsendsongform popup(nullptr);
      popup.ZILB->setText("山");
      popup.PlayAndClose();
      QVERIFY(!popup.NOLB->isHidden());
    } else if (action == "drill") {
      TYSMAINForm drill(nullptr);
      drill.STARTSBClick();
      for (int i = 0; i < 5; ++i) {
        if (i > 0) drill.NEXTsbClick();
        if (i == 0) drill.SBClick(drill.State().Answer % 10 + 1);  // wrong first, then right
        if (i % 2)
          drill.SHOWSBClick();
        else
          drill.SBClick(drill.State().Answer);
      }
      QCOMPARE(drill.fENSHULB->text(), "60分");
      drill.DELRB->click();  // nothing answered in the new series: nothing more to note
    } else if (action == "drill given up") {
      TYSMAINForm drill(nullptr);
      drill.STARTSBClick();
      drill.SBClick(drill.State().Answer);
      drill.NEXTsbClick();
      drill.SHOWSBClick();
      drill.NEXTsbClick();
      drill.SBClick(drill.State().Answer % 10 + 1);
      drill.DELRB->click();
    } else {
      std::unique_ptr<TVerseScreen> screen;
      if (action == "poem")
        screen = std::make_unique<TxsmainForm>(nullptr);
      else
        screen = std::make_unique<TXYYMAINForm>(nullptr);
      screen->LoadChapters();
      screen->Tree1->setCurrentItem(screen->Tree1->topLevelItem(0));
      screen->LDSBClick();
      QCOMPARE(CurrentSoundFile.isEmpty(), false);
    }
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(Flush());
    QStringList stored = StoredRecords(c);
    if (refused) {
      QCOMPARE(stored, QStringList());
    } else {
      QCOMPARE(stored.size(), 1);
      if (action.startsWith("drill"))
        stored[0].replace(QRegularExpression("\\d+[+-]\\d+:"), QString());
      QCOMPARE(stored[0],
               QString("%1|%2|%3").arg(MachineName()).arg(DayNumber(kNow.date())).arg(expected));
    }
  }

  void storedAndReadPerComputer_data() { testing::AddBackendRows(); }
  void storedAndReadPerComputer() {
    QFETCH(Backend, backend);
    testing::TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    const QString here = "教室一号机", there = "pc-2";
    QString error;
    QVERIFY2(
        WriteRecords(
            c,
            {Practice(here, 0, Module::Character, "山"), Practice(here, 0, Module::Character, "山"),
             Practice(here, 1, Module::Poem, "春晓"), Practice(here, 9, Module::Character, "水"),
             Practice(there, 0, Module::Character, "山"), Series(here, 2, "-", "11100"),
             Series(here, 0, "+", "11111", "7+2:0,10-9:1"), Series(there, 0, "+", "00000"),
             Written(here, 0, "我", 2), Written(here, 1, "绿", 0), Written(there, 0, "一", 1),
             Written(here, 9, "山", 5), Written(here, 0, "叶", 0, kQuizAlone),
             Written(here, 1, "叶", 1, kQuizHelped), Written(here, 0, "看", 3, kUnfinished)},
            &error),
        qPrintable(error));
    const QDate from = kNow.date().addDays(-6);
    auto days = [&](const QString& machine) {
      QList<DayCount> counts;
      QString why;
      if (!LoadDayCounts(c, machine, from, &counts, &why)) return QStringList{why};
      QStringList out;
      for (const DayCount& d : counts)
        out << QString("%1/%2:%3").arg(d.day).arg(int(d.module)).arg(d.count);
      out.sort();
      return out;
    };
    QCOMPARE(days(here), QStringList({"20240303/3:1", "20240304/1:1", "20240304/4:2",
                                      "20240305/0:2", "20240305/3:1", "20240305/4:3"}));
    QCOMPARE(days({}), QStringList({"20240303/3:1", "20240304/1:1", "20240304/4:2", "20240305/0:3",
                                    "20240305/3:2", "20240305/4:4"}));
    // Characters written (the quiz's among them) and strokes missed, of a character left
    // unfinished too: none (no sum at all) for a computer without any.
    for (const auto& [machine, totals] :
         {std::pair{here, QList<int>{4, 1, 1, 6}}, std::pair{QString(), QList<int>{5, 1, 1, 7}},
          std::pair{QString("pc-3"), QList<int>{0, 0, 0, 0}}}) {
      WritingTotals t{-1, -1, -1, -1};
      QVERIFY2(LoadWritingTotals(c, machine, from, &t, &error), qPrintable(error));
      QCOMPARE(QList<int>({t.written, t.alone, t.helped, t.missed}), totals);
    }
    QList<ItemCount> misses;
    QVERIFY2(LoadWritingMisses(c, {}, from, &misses, &error), qPrintable(error));
    QCOMPARE(misses.size(), 4);  // 绿 had none, 山 is older than the period
    QCOMPARE(misses[0].item, "看");
    QCOMPARE(misses[1].item, "我");
    QCOMPARE(misses[1].count, 2);
    QCOMPARE(misses[2].item, "一");
    // A character left unfinished earns no star.
    QSet<QString> stars;
    QVERIFY2(LoadWrittenCharacters(c, 0, &stars, &error), qPrintable(error));
    QCOMPARE(stars, QSet<QString>({"我", "绿", "一", "山", "叶"}));
    QList<ItemCount> items;
    QVERIFY(LoadItemCounts(c, here, Module::Character, &items, &error));
    QCOMPARE(MostPractised(items, {"水", "山"}, 5).first().item, "山");
    // Two opened and one written; 我 was only written, and is practised all the same.
    QCOMPARE(MostPractised(items, {"水", "山"}, 5).first().count, 3);
    QCOMPARE(MostPractised(items, {"我"}, 5).value(0).count, 1);
    QList<DrillSeries> drills;
    QVERIFY(LoadDrills(c, here, from, &drills, &error));
    QCOMPARE(drills.size(), 2);
    QCOMPARE(drills[0].operation, "-");
    QCOMPARE(drills[0].results, "11100");
    QCOMPARE(drills[1].at, kNow);
    QCOMPARE(drills[1].score, 100);
    QCOMPARE(drills[1].firstAnswers, "7+2:0,10-9:1");

    // The writer thread works on its own copy of the connection.
    {
      testing::FakeClock clock(kNow);
      RecorderRun recorder(c);
      Note(LessonKindId::English, "cat");
      QVERIFY(Flush());
    }
    QVERIFY(LoadItemCounts(c, MachineName(), Module::English, &items, &error));
    QCOMPARE(items.size(), 1);

    QVERIFY2(ClearRecords(c, here, &error), qPrintable(error));
    QCOMPARE(days(here), QStringList());
    QCOMPARE(days(there), QStringList({"20240305/0:1", "20240305/3:1", "20240305/4:1"}));
    QVERIFY(ClearRecords(c, {}, &error));
    QCOMPARE(days({}), QStringList());
  }

  // Notes made while the database is away wait in the spool: tried again while the program runs
  // and at the next start, each written once even when a reply was lost.
  void unsentNotesKeptAndWrittenOnce_data() { testing::AddBackendRows(); }
  void unsentNotesKeptAndWrittenOnce() {
    QFETCH(Backend, backend);
    testing::TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    QTemporaryDir dir;
    const QString spool = dir.filePath("notes.spool");
    const auto away = [&](bool gone) {
      return platform::ExecSql(c, gone ? "alter table learn_record rename to learn_record_away"
                                       : "alter table learn_record_away rename to learn_record");
    };
    const auto stored = [&] { return int(StoredRecords(c).size()); };
    // While it runs: retried after a pause, with no new note to push it.
    QVERIFY(away(true));
    Start(c, spool);
    Note(LessonKindId::Character, "山");
    Note(LessonKindId::Poem, "春晓");
    QVERIFY(Flush());
    QCOMPARE(SpooledNotes(spool), 2);
    QVERIFY(away(false));
    QTRY_COMPARE_WITH_TIMEOUT(stored(), 2, 5000);
    QTRY_VERIFY(!QFileInfo::exists(spool));
    // Quitting while it is away: kept for the next start.
    QVERIFY(away(true));
    Note(LessonKindId::English, "cat");
    QVERIFY(Flush());
    Stop();
    QCOMPARE(SpooledNotes(spool), 1);
    QVERIFY(QFile::copy(spool, spool + ".again"));
    QVERIFY(away(false));
    Start(c, spool);
    QTRY_COMPARE_WITH_TIMEOUT(stored(), 3, 5000);
    Stop();
    // The same notes again, as after a commit whose reply never came: nothing doubles.
    Start(c, spool + ".again");
    QTRY_VERIFY(!QFileInfo::exists(spool + ".again"));
    Stop();
    QCOMPARE(stored(), 3);
  }

  // The spool is read and replaced only as a regular file of our own (never through a link, never
  // waiting on a pipe), and read within bounds: past them only the newest notes count.
  void spoolTakenOnlyWhenOurs_data() {
    QTest::addColumn<QString>("spool");  // link, fifo, or a file of: line sizes, "*" = a note
    QTest::addColumn<int>("stored");     // notes stored from it, besides one made now
    const QString lineAt = QString::number(kSpoolLineBytes), past = QString::number(kSpoolLineBytes + 1);
    QTest::newRow("link to another file") << "link" << 0;
    QTest::newRow("fifo") << "fifo" << 0;
    QTest::newRow("note line at the longest") << "*" + lineAt + ",*" << 2;
    QTest::newRow("note line past the longest") << "*" + past + ",*" << 1;
    QTest::newRow("file at the bound") << "*,fill,*" << 2;
    QTest::newRow("file past the bound") << "*,fill+1,*" << 1;
  }
  void spoolTakenOnlyWhenOurs() {
    QFETCH(QString, spool);
    QFETCH(int, stored);
    testing::TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    QTemporaryDir dir;
    const QString file = dir.filePath("notes.spool"), other = dir.filePath("other.txt");
    int serial = 0;
    // A spooled note padded with spaces to `size` bytes (0: as short as it is), newline included.
    const auto note = [&](qsizetype size) {
      QByteArray line = QString(R"({"id":"spooled-%1","machine":"pc","at":"2024-03-05T14:07:09.000",)"
                                R"("module":0,"item":"山","operation":"","results":"","score":0})")
                            .arg(++serial)
                            .toUtf8();
      if (size > 0) line += QByteArray(size - line.size() - 1, ' ');
      return line + '\n';
    };
    const QByteArray otherBytes = note(0);
    if (spool == "link") {
      QFile o(other);
      QVERIFY(o.open(QIODevice::WriteOnly));
      o.write(otherBytes);
      o.close();
      QVERIFY(QFile::link(other, file));
    } else if (spool == "fifo") {
      QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
    } else {
      QFile f(file);
      QVERIFY(f.open(QIODevice::WriteOnly));
      const QStringList parts = spool.split(',');
      qint64 written = 0;
      for (int i = 0; i < parts.size(); ++i) {
        if (parts[i].startsWith("fill")) {
          // Garbage lines up to the bound, less the last note, plus one byte when asked.
          const qint64 target = kSpoolBytes - note(0).size() + (parts[i].endsWith("+1") ? 1 : 0);
          const QByteArray garbage = QByteArray(4095, 'x') + '\n';
          while (written + garbage.size() <= target) written += f.write(garbage);
          written += f.write(QByteArray(target - written - 1, 'x') + '\n');
          --serial;  // the garbage is not a note
        } else {
          const QByteArray line = note(parts[i] == "*" ? 0 : parts[i].mid(1).toLongLong());
          written += f.write(line);
        }
      }
    }
    // The database away, so the new note must be spooled too.
    const bool away = spool == "link";
    if (away) QVERIFY(platform::ExecSql(c, "alter table learn_record rename to learn_record_away"));
    // What a write cut short by the end of the process left: swept once a minute old.
    for (const auto& [name, age] : {std::pair{".notes.spool.OLD123", 61}, {".notes.spool.NEW123", 50}}) {
      QFile left(dir.filePath(name));
      QVERIFY(left.open(QIODevice::WriteOnly));
      QVERIFY(left.setFileTime(QDateTime::currentDateTime().addSecs(-age),
                               QFileDevice::FileModificationTime));
    }
    Start(c, file);
    Note(LessonKindId::Character, "水");
    QVERIFY(Flush());
    Stop();
    QVERIFY(!QFileInfo::exists(dir.filePath(".notes.spool.OLD123")));
    QVERIFY(QFileInfo::exists(dir.filePath(".notes.spool.NEW123")));
    if (away) {
      QVERIFY(platform::ExecSql(c, "alter table learn_record_away rename to learn_record"));
      QFile o(other);
      QVERIFY(o.open(QIODevice::ReadOnly));
      QCOMPARE(o.readAll(), otherBytes);  // never written through the link
      QVERIFY(QFileInfo(file).isSymLink());
      // The note is kept beside it, and stored from there once the spool is a file of ours.
      QCOMPARE(SpooledNotes(file + ".kept"), 1);
      QVERIFY(QFile::remove(file));
      Start(c, file);
      QVERIFY(Flush());
      Stop();
      QCOMPARE(StoredRecords(c).size(), 1);
      QVERIFY(!QFileInfo::exists(file + ".kept") && !QFileInfo::exists(file));
    } else {
      QCOMPARE(StoredRecords(c).size(), stored + 1);
    }
    if (spool == "fifo") QVERIFY(QFileInfo(file).exists() && !QFileInfo(file).isFile());
  }

  // The spool keeps the newest 100,000 notes: those it held at the start, then the new one.
  void spoolKeepsTheNewest_data() {
    QTest::addColumn<int>("held");
    QTest::addColumn<bool>("noted");  // a note taken after the start
    QTest::newRow("one short of the limit") << 99999 << true;
    QTest::newRow("at the limit") << 100000 << true;
    QTest::newRow("one past the limit") << 100001 << true;
    QTest::newRow("two past the limit, nothing new") << 100002 << false;
  }
  void spoolKeepsTheNewest() {
    QFETCH(int, held);
    QFETCH(bool, noted);
    testing::TestDatabase db(Backend::Sqlite);
    QVERIFY(platform::ExecSql(db.Connection(), "alter table learn_record rename to away"));
    QTemporaryDir dir;
    QFile f(dir.filePath("notes.spool"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < held; ++i)
      f.write(R"({"id":"n)" + QByteArray::number(i) +
              R"(","machine":"m","at":"2024-03-05T14:07:09",)"
              R"("module":0})"
              "\n");
    f.close();
    Start(db.Connection(), f.fileName());
    if (noted) Note(LessonKindId::Character, "新");
    // Read slowly on a busy computer: the bound is there only so that a fault ends the test.
    QVERIFY(Flush(120000));
    Stop();
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 100000);
    const QByteArray oldest =
        "\"id\":\"n" + QByteArray::number(qMax(0, held - 99999 - !noted)) + '"';
    QVERIFY2(lines.first().contains(oldest), lines.first());
    QVERIFY(lines.last().contains(noted ? QByteArray("\"item\":\"新\"")
                                        : "\"id\":\"n" + QByteArray::number(held - 1) + '"'));
  }

  // Quitting while the writer is still reading the spool (a slow or busy computer) keeps every
  // note the spool held, adds the new ones after them, and never leaves less at any step of the
  // way, even when the process ends there: the steps run in a child process of this test.
  void slowReaderKeepsTheSpool_data() {
    QTest::addColumn<int>("endAt");  // the exit step at which the process ends; -1: it does not
    QTest::addColumn<bool>("noted");
    QTest::addColumn<int>("kept");   // spool lines afterwards, of 3 held
    QTest::newRow("nothing new") << -1 << false << 3;
    QTest::newRow("one new") << -1 << true << 4;
    QTest::newRow("ended with the new file made") << int(SpoolStep::ExitFileMade) << true << 3;
    QTest::newRow("ended with it written") << int(SpoolStep::ExitWritten) << true << 3;
    QTest::newRow("ended with it synced") << int(SpoolStep::ExitSynced) << true << 3;
    QTest::newRow("ended with it in place") << int(SpoolStep::ExitReplaced) << true << 4;
  }
  void slowReaderKeepsTheSpool() {
    if (qEnvironmentVariableIsSet("TINDORA_SPOOL_END_AT")) return QuitWithReaderHeld();
    QFETCH(int, endAt);
    QFETCH(bool, noted);
    QFETCH(int, kept);
    QTemporaryDir dir;
    const QString spool = dir.filePath("notes.spool");
    QFile f(spool);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray held;
    for (int i = 0; i < 3; ++i)
      held += QString(R"({"id":"held%1","machine":"m","at":"2024-03-05T14:07:09","module":0})")
                  .arg(i)
                  .toUtf8() +
              '\n';
    f.write(held);
    f.close();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TINDORA_SPOOL_END_AT", QString::number(endAt));
    env.insert("TINDORA_SPOOL_FILE", spool);
    env.insert("TINDORA_SPOOL_NOTED", noted ? "1" : "0");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"slowReaderKeepsTheSpool"});
    // A bound only so that a fault ends the test; its output tells what the child met.
    QVERIFY2(child.waitForFinished(300000), child.readAllStandardError().constData());
    QVERIFY2(endAt >= 0 || child.exitCode() == 0,
             (child.readAllStandardOutput() + child.readAllStandardError()).constData());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray now = f.readAll();
    QCOMPARE(int(now.count('\n')), kept);
    QVERIFY(now.startsWith(held));
    if (kept > 3) QVERIFY(now.trimmed().split('\n').last().contains("\"item\":\"新\""));
  }

  // A server frozen in the middle of a write holds the end of the program 2 seconds at most.
  void frozenServerHoldsExitBriefly() {
    testing::TestDatabase db(Backend::OdbcPostgres);
    REQUIRE_DATABASE(db);
    QSqlDatabase holder = QSqlDatabase::database(db.Connection());
    QVERIFY(holder.transaction());
    QVERIFY(platform::ExecSql(db.Connection(), "lock table learn_record in access exclusive mode"));
    QTemporaryDir dir;
    testing::FakeClock clock(kNow);
    Start(db.Connection(), dir.filePath("notes.spool"));  // the writer's own copy waits
    Note(LessonKindId::Character, "山");
    QElapsedTimer took;
    took.start();
    Stop();
    QVERIFY2(took.elapsed() < kStopWaitMs, qPrintable(QString::number(took.elapsed())));
    QCOMPARE(SpooledNotes(dir.filePath("notes.spool")), 1);
    holder.rollback();
  }

  void firstReleaseDatabaseKeepsEveryLessonRow() {
    QTemporaryDir dir;
    const QString file = dir.filePath("lessons.db");
    QVERIFY(QFile::copy(qEnvironmentVariable("TINDORA_TEST_DATA") + "/round1_lessons.db", file));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    const QString c = "first-release";
    {
      QString error;
      QVERIFY2(OpenConnection(c, EmbeddedSpec(file), &error), qPrintable(error));
      QCOMPARE(StoredSchemaVersion(c), 0);
      const QStringList before = LessonRows(c);
      QCOMPARE(before.size(), 4 + 2 + 3 + 28 + 8 + 24);
      QVERIFY2(MigrateSchema(c, &error), qPrintable(error));
      QCOMPARE(StoredSchemaVersion(c), CurrentSchemaVersion());
      QCOMPARE(LessonRows(c), before);
      QVERIFY2(WriteRecords(c, {Practice("pc", 0, Module::Character, "一")}, &error),
               qPrintable(error));
      QCOMPARE(StoredRecords(c).size(), 1);
      QSqlDatabase::database(c).close();
    }
    QSqlDatabase::removeDatabase(c);
  }

  // The window opens on the chapter of the character this computer practised last, and its
  // chart of the most practised shows two-character words whole even at the design size.
  void windowOpensWhereTheChildIs_data() {
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<bool>("practisedHere");
    QTest::addColumn<QString>("chapter");
    for (const auto& [backend, name] :
         {std::pair{Backend::Sqlite, "sqlite"}, std::pair{Backend::OdbcPostgres, "postgres"}}) {
      QTest::addRow("%s, latest in the second chapter", name) << backend << true << "乙章";
      QTest::addRow("%s, only elsewhere", name) << backend << false << "甲章";
    }
  }
  void windowOpensWhereTheChildIs() {
    QFETCH(Backend, backend);
    QFETCH(bool, practisedHere);
    QFETCH(QString, chapter);
    testing::TestDataModule data(backend);
    REQUIRE_DATABASE(data.database());
    const LessonKind& k = Kind(LessonKindId::Character);
    data.AddChapters(k, {"甲章", "乙章"});
    QList<QList<std::pair<QString, QString>>> items;
    const QStringList names = {"一", "二", "大人", "你好", "妈妈", "小狗", "老师"};
    for (int i = 0; i < names.size(); ++i)
      items.append({{k.numberField, QString::number(i + 1)},
                    {k.nameField, names[i]},
                    {"章节", i < 2 ? "甲章" : "乙章"}});
    data.AddRows(k.itemTable, items);
    testing::FakeClock clock(kNow);
    const QString machine = practisedHere ? MachineName() : "pc-2";
    QList<Record> records = {Practice(MachineName(), 5, Module::Character, "一")};
    for (int i = 2; i < names.size(); ++i)
      records << Practice(machine, 1, Module::Character, names[i]);
    QString error;
    QVERIFY2(WriteRecords(data.database().Connection(), records, &error), qPrintable(error));
    TRecordsForm window(nullptr);
    QCOMPARE(window.ChapterCb->currentText(), chapter);
    if (!practisedHere) return;
    window.resize(800, 578);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QChart* chart = window.CharChart->chart();
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
    QVERIFY(axis);
    QCOMPARE(axis->count(), 5);
    const double share = chart->plotArea().width() / (axis->count() + 1) - 18;
    QVERIFY(QFontMetrics(axis->labelsFont()).horizontalAdvance("你好") <= share);
  }

  // "认识的字" holds the adult's setting: once a profile exists, the gate asks first.
  void knowledgeBehindTheGate() {
    testing::TestDataModule data;
    REQUIRE_DATABASE(data.database());
    QString error;
    QVERIFY(children::AddChild(data.database().Connection(), "小明", 0, nullptr, &error));
    TRecordsForm window(nullptr);
    bool opened = false, asked = false;
    SetShowScreenHook([&](const QString&, QWidget*) { return opened = true; });
    QObject guard;
    QTimer::singleShot(0, &guard, [&] {
      auto* gate = qobject_cast<TParentGateForm*>(QApplication::activeModalWidget());
      if ((asked = gate)) gate->CancelSb->click();
    });
    window.KnowSb->click();
    SetShowScreenHook({});
    QVERIFY(asked && !opened);
    // The window names whose characters it shows.
    children::Child child;
    QVERIFY(children::AddChild(data.database().Connection(), "朵朵", 1, &child, &error));
    SetCurrentChild(child);
    QCOMPARE(TKnowledgeForm(nullptr).Label3D1->Caption(), "朵朵认识的字");
    SetCurrentChild({});
    QCOMPARE(TKnowledgeForm(nullptr).Label3D1->Caption(), "认识的字");
  }

  // The class at a glance: names in the order of their readings, with the listening game's count.
  void classTableByReading() {
    testing::TestDataModule data;
    REQUIRE_DATABASE(data.database());
    data.LoadSampleCourse();
    const QString c = data.database().Connection();
    testing::FakeClock clock(kNow);
    QString error;
    QList<children::Child> added;
    QVERIFY2(children::AddClassList(c, {"朱珠", "阿宝", "陈十"}, &added, nullptr, &error),
             qPrintable(error));
    const int today = int(kNow.date().toJulianDay());
    QVERIFY(review::SaveCard(c, added[1].id, "一", {.lastReview = today - 2}, today - 2, &error));
    QVERIFY(review::SaveCard(c, added[1].id, "二", {.lastReview = today - 40}, today - 40, &error));
    TRecordsForm window(nullptr);
    window.ChildCb->setCurrentIndex(window.ChildCb->findText("全班"));
    QTRY_COMPARE(window.ClassTable->rowCount(), 3);
    QStringList rows;
    for (int r = 0; r < window.ClassTable->rowCount(); ++r)
      rows << window.ClassTable->item(r, 0)->text() + ":" + window.ClassTable->item(r, 4)->text();
    // 阿宝 played one character in the last 7 days (the other was 40 days ago).
    QCOMPARE(rows, QStringList({"阿宝:1", "陈十:0", "朱珠:0"}));
    QCOMPARE(window.ClassTable->horizontalHeaderItem(4)->text(), "听音找字");
  }

  void windowShowsThisComputerOrAll() {
    testing::TestDataModule data;
    REQUIRE_DATABASE(data.database());
    data.LoadSampleCourse();
    const QString c = data.database().Connection();
    testing::FakeClock clock(kNow);
    testing::ScriptedMessageBox boxes;
    QString error;
    QVERIFY(WriteRecords(
        c,
        {Practice(MachineName(), 0, Module::Character, "三"),
         Practice(MachineName(), 3, Module::Character, "三"),
         Practice(MachineName(), 2, Module::Character, "一"),
         Practice(MachineName(), 20, Module::English, "cat"),
         Practice("pc-2", 1, Module::Character, "二"), Series("pc-2", 1, "+", "11000")},
        &error));
    TRecordsForm window(nullptr);
    QCOMPARE(window.Daily().total, 3);
    QCOMPARE(window.Most().size(), 2);
    QCOMPARE(window.Most().first().item, "三");
    QCOMPARE(window.Never().size(), 8);
    QCOMPARE(window.Drill().RightPercent(0), -1);
    window.MonthSb->click();
    QCOMPARE(window.Daily().total, 4);
    window.AllCb->click();
    QCOMPARE(window.Daily().total, 6);
    QCOMPARE(window.Never().size(), 7);
    QCOMPARE(window.Drill().RightPercent(0), 40);

    // Clearing asks first, and clears only the computers shown.
    window.AllCb->click();
    boxes.answers = {platform::IDNO, platform::IDYES};
    window.ClearSb->click();
    QCOMPARE(window.Daily().total, 4);
    window.ClearSb->click();
    QCOMPARE(boxes.shown.size(), 2);
    QCOMPARE(boxes.shown[1].text, "确定要清除本机的学习记录吗?");
    QCOMPARE(window.Daily().total, 0);
    window.AllCb->click();
    QCOMPARE(window.Daily().total, 2);
    QVERIFY(window.StatusLb->text().contains("共练习 2 次"));
    // The strokes missed name their characters.
    QVERIFY(WriteRecords(c,
                         {Written(MachineName(), 0, "水", 2), Written(MachineName(), 1, "山", 1),
                          Written(MachineName(), 1, "水", 1), Written("pc-2", 1, "一", 0)},
                         &error));
    window.Reload();
    QVERIFY2(window.StatusLb->text().endsWith("写字 4 个，描错 4 笔：水 3 笔、山 1 笔。"),
             qPrintable(window.StatusLb->text()));
    // The listening game's answers are told too: the 30 days shown, the edge day in, one before out.
    const int today = int(kNow.date().toJulianDay());
    for (int daysAgo : {29, 30})
      QVERIFY(review::SaveCard(c, review::kDefaultChild, QString::number(daysAgo),
                               {.lastReview = today - daysAgo}, today - daysAgo, &error));
    window.Reload();
    QVERIFY2(window.StatusLb->text().endsWith("山 1 笔。听音找字：近30天练了 1 个字。"),
             qPrintable(window.StatusLb->text()));

    // A table that can't be read leaves empty pictures and says so.
    QVERIFY(platform::ExecSql(c, "drop table learn_record"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read"));
    window.Reload();
    QVERIFY2(window.StatusLb->text().startsWith("无法读取学习记录") &&
                 !window.StatusLb->text().contains(QRegularExpression("[A-Za-z]")),
             qPrintable(window.StatusLb->text()));
    QCOMPARE(window.Daily().total, 0);
  }
};

QTEST_MAIN(PracticeLogTest)
#include "test_practice_log.moc"
