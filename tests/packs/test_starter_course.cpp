// SPDX-License-Identifier: GPL-3.0-or-later
// The starter course as the build made it, added to real databases and read back: what it
// holds, where its chapters go beside existing ones, that it is added once and all or nothing,
// and the recordings made when an item is first played.
#include <QDirIterator>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

#include "children/children_window.h"
#include "data/data_module.h"
#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "data/recordings_library.h"
#include "data/pinyin.h"
#include "packs/lesson_pack.h"
#include "platform/dataset.h"
#include "support/fakes.h"
#include "support/test_db.h"
#include "support/wav_check.h"
#include "unihan_readings.h"

using testing::Backend;
using testing::TestDatabase;
using testing::TestDataModule;

namespace {

QStringList Rows(const QString& connection, const QString& sql, const QStringList& fields) {
  return testing::DatasetRows(connection, sql, fields);
}

QStringList Chapters(const QString& connection, const LessonKind& k) {
  return Rows(connection, k.sqlChapters, {"章号", "章节"});
}

QStringList Items(const QString& connection, const LessonKind& k) {
  return Rows(connection, k.sqlAllItems, {k.numberField, k.nameField, "章节", k.textField, "声音"});
}

QStringList Everything(const QString& connection) {
  QStringList all = Rows(connection, "select * from SYS", {"名称", "内容"});
  for (const LessonKind* k : AllKinds()) all << Chapters(connection, *k) << Items(connection, *k);
  return all;
}

void LoadSample(const QString& connection) {
  QStringList loaded;
  QString error;
  QVERIFY2(LoadCourseIntoEmptyTables(connection, SampleCourseJson(), {}, &loaded, &error),
           qPrintable(error));
}

// Traditional forms by Unihan: characters whose simplified variants do not include themselves.
QSet<uint> TraditionalForms() {
  const std::string text = unihan_detail::ReadAll("/usr/share/unicode/Unihan_Variants.txt.bz2");
  QSet<uint> forms;
  for (const QString& line : QString::fromStdString(text).split(u'\n')) {
    const QStringList f = line.split(u'\t');
    if (f.size() < 3 || f[1] != QLatin1String("kSimplifiedVariant")) continue;
    if (!f[2].split(u' ').contains(f[0])) forms.insert(f[0].mid(2).toUInt(nullptr, 16));
  }
  return forms;
}

}  // namespace

class StarterCourseTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { QCOMPARE(packs::StarterCourseFiles().size(), 3); }

  // A fresh home: the sample course, then the starter course after it, read back from the
  // tables; a second time adds nothing and says so.
  void addsAfterTheSampleOnce_data() { testing::AddBackendRows(); }
  void addsAfterTheSampleOnce() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    LoadSample(c);
    QStringList sampleChapters[3], sampleItems[3];
    for (const LessonKind* k : AllKinds()) {
      sampleChapters[int(k->id)] = Chapters(c, *k);
      sampleItems[int(k->id)] = Items(c, *k);
    }

    const packs::CourseResult r = packs::AddCourse(c, packs::StarterCourseFiles());
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.renamed.isEmpty());
    QCOMPARE(r.kinds.size(), 3);
    const int least[3][2] = {{50, 500}, {9, 40 + 12}, {10, 150}};  // chapters, items
    for (const LessonKind* k : AllKinds()) {
      const int i = int(k->id);
      const QStringList chapters = Chapters(c, *k), items = Items(c, *k);
      // What was there is there as it was, in front.
      QCOMPARE(chapters.mid(0, sampleChapters[i].size()), sampleChapters[i]);
      QCOMPARE(items.mid(0, sampleItems[i].size()), sampleItems[i]);
      const int before = int(chapters.size()) - r.kinds[i].chapters;
      QVERIFY2(r.kinds[i].chapters >= least[i][0], k->key.toUtf8());
      QVERIFY2(r.kinds[i].items >= least[i][1], k->key.toUtf8());
      QCOMPARE(r.kinds[i].firstChapter, before + 1);
      // The ordinals follow the numbers: the sample's four character chapters, then "第五章 数字".
      for (int n = before; n < chapters.size(); ++n) {
        const QStringList numberAndName = chapters[n].split(u'|');
        QCOMPARE(numberAndName[0].toInt(), n + 1);
        QVERIFY2(numberAndName[1].startsWith(QStringLiteral("第")), qPrintable(chapters[n]));
      }
      // Every item of the course has its text and no recording yet.
      for (const QString& row : items.mid(items.size() - r.kinds[i].items)) {
        const QStringList f = row.split(u'|');
        QVERIFY2(!f[3].trimmed().isEmpty() && f[4].isEmpty(), qPrintable(row));
      }
    }
    QCOMPARE(Chapters(c, Kind(LessonKindId::Character)).at(4), QStringLiteral("5|第五章 数字"));
    QVERIFY(Chapters(c, Kind(LessonKindId::Poem)).contains(QStringLiteral("11|第十一章 弟子规")));

    const QStringList added = Everything(c);
    const packs::CourseResult again = packs::AddCourse(c, packs::StarterCourseFiles());
    QVERIFY(!again.ok && again.alreadyAdded);
    QCOMPARE(again.error, QStringLiteral("入门课程已经添加过了，这次没有再添加。"));
    QCOMPARE(Everything(c), added);
  }

  // Over the whole course: each character as the item editor proposes it with two words that
  // hold it; no poem, no excerpt and no character in a traditional form.
  void theCourseReadsRight() {
    TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    QVERIFY(packs::AddCourse(c, packs::StarterCourseFiles()).ok);
    const QSet<uint> traditional = TraditionalForms();
    QVERIFY(traditional.contains(0x5F8C));  // 後: the table is read
    const auto traditionalIn = [&](const QString& text) {
      QString found;
      for (const uint cp : text.toUcs4())
        if (traditional.contains(cp)) found += QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1);
      return found;
    };
    static const QRegularExpression line(QStringLiteral("^(\\S+)  (\\S{2})  (\\S{2})$"));
    for (const QString& row : Items(c, Kind(LessonKindId::Character))) {
      const QStringList f = row.split(u'|');
      const auto m = line.match(f[3]);
      QVERIFY2(m.hasMatch(), qPrintable(row));
      QCOMPARE(m.captured(1), ProposePinyin(f[1]));
      QVERIFY2(m.captured(2).contains(f[1]) && m.captured(3).contains(f[1]) &&
                   m.captured(2) != m.captured(3),
               qPrintable(row));
      QVERIFY2(traditionalIn(f[1] + f[3]).isEmpty(), qPrintable(row));
    }
    static const QRegularExpression byline(QStringLiteral("^(唐|宋|清)·\\S+\n"));
    for (const QString& row : Items(c, Kind(LessonKindId::Poem))) {
      const QStringList f = row.split(u'|');
      QVERIFY2(byline.match(f[3]).hasMatch(), qPrintable(row));
      QVERIFY2(traditionalIn(f[1] + f[3]).isEmpty(),
               qPrintable(QStringLiteral("%1: %2").arg(f[1], traditionalIn(f[1] + f[3]))));
    }
    const QStringList poems = Items(c, Kind(LessonKindId::Poem));
    QVERIFY(poems.contains(QStringLiteral(
        "6|静夜思|第一章 童趣|唐·李白\n床前明月光，疑是地上霜。\n举头望明月，低头思故乡。|")));
    QVERIFY(Items(c, Kind(LessonKindId::English)).contains(QStringLiteral("1|dog|第一章 动物|狗|")));
  }

  // Chapter names already taken: the course's chapter moves to a free name, the old one stays.
  void clashingNamesMove_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("movedTo");  // empty: nothing renamed
    QTest::newRow("the course's own ordinal, now free") << QStringList{"第一章 数字"} << "";
    QTest::newRow("the new ordinal taken") << QStringList{"第二章 数字"} << "第二章 数字（入门）";
    QTest::newRow("the way out taken too")
        << QStringList{"第三章 数字", "第三章 数字（入门）"} << "第三章 数字（入门2）";
    QTest::newRow("a name of a later chapter") << QStringList{"第三课"} << "第三课（入门）";
  }
  void clashingNamesMove() {
    QFETCH(QStringList, existing);
    QFETCH(QString, movedTo);
    TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    const LessonKind& k = Kind(LessonKindId::Character);
    QList<QList<std::pair<QString, QString>>> rows;
    for (int i = 0; i < existing.size(); ++i)
      rows.append({{"章号", QString::number(i + 1)}, {"章节", existing[i]}});
    testing::AddRows(c, k.chapterTable, rows);
    const packs::CourseResult r = packs::AddCourse(c, packs::StarterCourseFiles());
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.renamed, movedTo.isEmpty() ? QStringList() : QStringList{movedTo});
    const QStringList chapters = Chapters(c, k);
    for (int i = 0; i < existing.size(); ++i)
      QCOMPARE(chapters[i], QStringLiteral("%1|%2").arg(i + 1).arg(existing[i]));
    if (movedTo.isEmpty()) {
      QCOMPARE(chapters[existing.size()], QStringLiteral("%1|第二章 数字").arg(existing.size() + 1));
      return;
    }
    QVERIFY(chapters.join(u'\n').contains(QStringLiteral("|") + movedTo + QStringLiteral("\n")));
    // Its items went with it.
    const QStringList items = Items(c, k);
    QVERIFY(std::any_of(items.begin(), items.end(), [&](const QString& row) {
      return row.split(u'|').value(2) == movedTo;
    }));
  }

  // All or nothing: a kind failing half-way (the database refusing English items) or a damaged
  // pack leaves every table as it was, and the course can be added afterwards.
  void failureChangesNothing_data() {
    QTest::addColumn<QString>("trouble");
    QTest::newRow("the database refuses the last kind") << "trigger";
    QTest::newRow("a pack is damaged") << "damaged";
    QTest::newRow("a pack is missing") << "missing";
  }
  void failureChangesNothing() {
    QFETCH(QString, trouble);
    TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    LoadSample(c);
    QStringList files = packs::StarterCourseFiles();
    QTemporaryDir dir;
    if (trouble == "trigger")
      QVERIFY(platform::ExecSql(c, "create trigger refuse before insert on xyySound begin "
                                   "select raise(abort, 'refused'); end"));
    if (trouble == "damaged") {
      QFile bad(dir.filePath("english.tindora"));
      QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("PK\3\4 not a zip") > 0);
      files[2] = bad.fileName();
    }
    if (trouble == "missing") files[1] = dir.filePath("poem.tindora");
    const QStringList before = Everything(c);
    const packs::CourseResult r = packs::AddCourse(c, files);
    QVERIFY(!r.ok && !r.alreadyAdded);
    if (trouble == "trigger")  // the driver's words go to the log
      QCOMPARE(r.error, QStringLiteral("添加入门课程时出错，没有添加任何内容：数据库没有接受这些章节，"
                                       "请检查数据库连接和磁盘空间后再试。"));
    else
      QVERIFY2(r.error.startsWith("入门课程的文件有误，没有添加任何内容"), qPrintable(r.error));
    QCOMPARE(Everything(c), before);
    if (trouble == "trigger") QVERIFY(platform::ExecSql(c, "drop trigger refuse"));
    QVERIFY(packs::AddCourse(c, packs::StarterCourseFiles()).ok);
  }

  // 管理 → 添加入门课程 says what it added, and on a computer that may not change the course
  // says why and adds nothing.
  void theAdultsButton_data() {
    QTest::addColumn<bool>("editingOff");
    QTest::newRow("teacher's computer") << false;
    QTest::newRow("seat") << true;
  }
  void theAdultsButton() {
    QFETCH(bool, editingOff);
    testing::ScriptedMessageBox boxes;
    TestDataModule db;
    db.LoadSampleCourse();
    const QString seat = QStringLiteral("这台电脑只能学习，不能修改课程。要修改课程，请到老师的电脑上。");
    if (editingOff) db.module()->SetEditingOff(seat);
    TChildrenForm form(nullptr);
    const QStringList before = Everything(dm->ConnectionName());
    form.CourseSb->click();
    QCOMPARE(boxes.shown.size(), 1);
    if (editingOff) {
      QCOMPARE(boxes.shown[0].text, QStringLiteral("编辑已关闭：") + seat);
      QCOMPARE(Everything(dm->ConnectionName()), before);
      return;
    }
    QVERIFY2(boxes.shown[0].text.startsWith("入门课程已经加在原有章节之后：\n认字：第5章起，55章"),
             qPrintable(boxes.shown[0].text));
    form.CourseSb->click();
    QCOMPARE(boxes.shown.size(), 2);
    QCOMPARE(boxes.shown[1].text, QStringLiteral("入门课程已经添加过了，这次没有再添加。"));
  }

  // The first play of an item without a recording speaks it, keeps it in the library under the
  // item's name and writes that into the item; the next play finds it and speaks nothing.
  void firstPlayMakesTheRecording_data() { testing::AddBackendRows(); }
  void firstPlayMakesTheRecording() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString c = db.Connection();
    QVERIFY(packs::AddCourse(c, packs::StarterCourseFiles()).ok);
    const LessonKind& k = Kind(LessonKindId::Character);
    platform::Dataset items(c);
    items.SqlAdd(k.sqlAllItems);
    QVERIFY(items.Open());
    QVERIFY(items.Locate(k.nameField, QStringLiteral("山"), false));
    QString error;
    const QString path = RecordFirstPlay(items, k, &error);
    QVERIFY2(!path.isEmpty(), qPrintable(error));
    QCOMPARE(testing::WavHeaderFault(path), QString());
    const QString stored = Rows(c, "select 声音 from szSound where 字名 = '山'", {"声音"}).value(0);
    QVERIFY2(recordings::IsValidName(stored) && stored.startsWith(QStringLiteral("字语音库/山-")),
             qPrintable(stored));
    QCOMPARE(items.Field("声音"), stored);
    QCOMPARE(recordings::LocalPath(c, stored), path);
    // A row that got its recording meanwhile keeps it: the stale read is not written over.
    platform::Dataset stale(c);
    stale.SqlAdd(k.sqlAllItems);
    QVERIFY(stale.Open() && stale.Locate(k.nameField, QStringLiteral("水"), false));
    QVERIFY(platform::ExecSql(c, "update szSound set 声音 = '字语音库/水-0123abcd.wav' where 字名 = '水'"));
    QVERIFY(!RecordFirstPlay(stale, k, &error).isEmpty());  // played from the cache this time
    QCOMPARE(Rows(c, "select 声音 from szSound where 字名 = '水'", {"声音"}),
             QStringList{"字语音库/水-0123abcd.wav"});
  }
};

QTEST_MAIN(StarterCourseTest)
#include "test_starter_course.moc"
