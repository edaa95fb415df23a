// SPDX-License-Identifier: GPL-3.0-or-later
// Lesson packs: round trips between databases, hostile packs, cancelled and killed imports.
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>
#include <sys/stat.h>

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include "data/item_recordings.h"
#include "data/recordings_library.h"
#include "packs/lesson_pack.h"
#include "platform/dataset.h"
#include "platform/wav_file.h"
#include "support/test_db.h"

using testing::AddRows;
using testing::Backend;
using testing::TestDatabase;

namespace {

// A small PCM WAV whose samples depend on `seed`, so recordings can be told apart by their bytes.
QByteArray Wav(int seed, int samples = 400) {
  platform::Samples data(static_cast<size_t>(samples));
  quint32 x = quint32(seed);
  for (auto& v : data) v = static_cast<std::int16_t>((x = x * 1103515245u + 12345u) >> 16);
  return platform::WavBytes(data);
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write");
  return path;
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Rows(const QString& connection, const QString& sql, const QStringList& fields) {
  return testing::DatasetRows(connection, sql, fields);
}

// Every chapter and item of the kind, as "number|name" and "number|name|chapter|text|sound", then
// "|picture" for a kind with pictures ("∅" for NULL).
QStringList Snapshot(const QString& connection, const LessonKind& k) {
  QStringList item{k.numberField, k.nameField, "章节", k.textField, "声音"};
  if (k.pictures) item << "图片";
  return Rows(connection, k.sqlChapters, {"章号", "章节"}) + Rows(connection, k.sqlAllItems, item);
}

// Every file below `dir`, hidden ones included, relative to it.
QStringList FilesBelow(const QString& dir) {
  QStringList files;
  QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) files << QDir(dir).relativeFilePath(it.next());
  files.sort();
  return files;
}

struct Entry {
  QString name;
  QByteArray data;
  quint32 unixMode = 0100644;
};

QString WriteZip(const QString& path, const QList<Entry>& entries) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QuaZip zip(path);
  zip.setUtf8Enabled(true);
  if (!zip.open(QuaZip::mdCreate)) qFatal("cannot create zip");
  for (const Entry& e : entries) {
    QuaZipFile f(&zip);
    QuaZipNewInfo info(e.name);
    info.externalAttr = e.unixMode << 16;
    if (!f.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, 6)) qFatal("cannot add");
    f.write(e.data);
    f.close();
  }
  zip.close();
  return path;
}

QJsonObject Item(int number, const QString& name, const QString& sound = {}) {
  return {{"number", number}, {"name", name}, {"text", "文字 " + name}, {"sound", sound}};
}

QByteArray Manifest(const QJsonArray& chapters, const QString& kind = "character",
                    const QJsonValue& version = 1) {
  return QJsonDocument(QJsonObject{{"format", "tindora-lesson-pack"},
                                   {"version", version},
                                   {"kind", kind},
                                   {"chapters", chapters}})
      .toJson();
}

QJsonArray OneChapter(const QJsonArray& items) {
  return {QJsonObject{{"number", 1}, {"name", "动物"}, {"items", items}}};
}

}  // namespace

Q_DECLARE_METATYPE(Entry)

class LessonPackTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir m_dir;
  int m_count = 0;
  std::unique_ptr<TestDatabase> m_shared;
  QString Fresh(const QString& name) { return m_dir.filePath(QString::number(++m_count) + name); }

 private Q_SLOTS:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void roundTrip_data() { testing::AddBackendAndKindRows(); }
  void roundTrip() {
    QFETCH(Backend, backend);
    QFETCH(int, kind);
    const LessonKind& k = Kind(static_cast<LessonKindId>(kind));
    const QString media = Fresh("media");
    const QByteArray cow = Wav(3), sheep = Wav(5);
    TestDatabase source(Backend::Sqlite);
    REQUIRE_DATABASE(source);
    AddRows(source.Connection(), k.chapterTable,
            {{{"章号", "5"}, {"章节", "植物"}}, {{"章号", "1"}, {"章节", "动物"}}});
    AddRows(source.Connection(), k.itemTable,
            {{{k.numberField, "2"},
              {k.nameField, "牛"},
              {"章节", "动物"},
              {k.textField, "niú"},
              {"声音", WriteFile(media + "/牛.wav", cow)}},
             {{k.numberField, "1"},
              {k.nameField, "羊"},
              {"章节", "动物"},
              {k.textField, "yáng"},
              {"声音", WriteFile(media + "/羊.wav", sheep)}},
             {{k.numberField, "7"},
              {k.nameField, "花"},
              {"章节", "植物"},
              {k.textField, "huā"},
              {"声音", media + "/不见了.wav"}},
             {{k.numberField, "8"}, {k.nameField, "草"}, {"章节", "植物"}, {k.textField, "cǎo"}}});
    // An adult's choices travel: a picture, none wanted; the others follow the proposal (NULL).
    const auto pic = [&](const QString& stored) { return k.pictures ? "|" + stored : QString(); };
    if (k.pictures) {
      QVERIFY(platform::ExecSql(source.Connection(),
                                "update " + k.itemTable + " set 图片 = '🐄' where " + k.nameField + " = '牛'"));
      QVERIFY(platform::ExecSql(source.Connection(),
                                "update " + k.itemTable + " set 图片 = '-' where " + k.nameField + " = '花'"));
    }

    const QString pack = Fresh("课程.tindora");
    const packs::ExportResult exported = packs::ExportPack(source.Connection(), k, {}, pack);
    QVERIFY2(exported.ok, qPrintable(exported.error));
    QCOMPARE(exported.chapters, 2);
    QCOMPARE(exported.items, 4);
    QCOMPARE(exported.missingRecordings, QStringList{"花"});

    // Into an empty database, then into one with chapters: numbers follow the highest in use.
    for (const bool withChapters : {false, true}) {
      TestDatabase target(backend);
      REQUIRE_DATABASE(target);
      const int base = withChapters ? 7 : 0, itemBase = withChapters ? 30 : 0;
      if (withChapters) {
        AddRows(target.Connection(), k.chapterTable, {{{"章号", "7"}, {"章节", "其他"}}});
        AddRows(
            target.Connection(), k.itemTable,
            {{{k.numberField, "30"}, {k.nameField, "树"}, {"章节", "其他"}, {k.textField, "shù"}}});
      }
      const QString root = Fresh("root");
      const packs::ImportResult r = packs::ImportPack(target.Connection(), pack, root, &k);
      QVERIFY2(r.ok, qPrintable(r.error));
      QCOMPARE(r.kind, &k);
      // A server keeps the recordings in its table; a SQLite file gets files under `root`.
      const bool toTable = backend != Backend::Sqlite;
      QCOMPARE(r.soundFolder, toTable ? QString() : QDir(root).filePath(k.soundFolder));
      const auto sound = [&](const QString& name, const QByteArray& wav) {
        const QString library = k.soundFolder + "/" + RecordingFileName(k, name).chopped(4) + "-" +
                                recordings::Sha256(wav).left(8) + ".wav";
        return toTable ? library : QDir(root).filePath(library);
      };
      const auto n = [](int v) { return QString::number(v); };
      QStringList expected;
      if (withChapters) expected << "7|其他";
      expected << n(base + 1) + "|动物" << n(base + 2) + "|植物";
      if (withChapters) expected << "30|树|其他|shù|" + pic("∅");
      expected << n(itemBase + 1) + "|羊|动物|yáng|" + sound("羊", sheep) + pic("∅")
               << n(itemBase + 2) + "|牛|动物|niú|" + sound("牛", cow) + pic("🐄")
               << n(itemBase + 3) + "|花|植物|huā|" + pic("-")
               << n(itemBase + 4) + "|草|植物|cǎo|" + pic("∅");
      QCOMPARE(Snapshot(target.Connection(), k), expected);
      QCOMPARE(ReadFile(recordings::LocalPath(target.Connection(), sound("羊", sheep))), sheep);
      QCOMPARE(ReadFile(recordings::LocalPath(target.Connection(), sound("牛", cow))), cow);
      QCOMPARE(FilesBelow(root).size(), toTable ? 0 : 2);

      // The same pack again: refused by the name already present, nothing changes.
      const packs::ImportResult again = packs::ImportPack(target.Connection(), pack, root, &k);
      QVERIFY(!again.ok);
      QCOMPARE(again.error, QString("章节“动物”已经存在，课程包没有导入。"));
      QCOMPARE(Snapshot(target.Connection(), k), expected);
      QCOMPARE(FilesBelow(root).size(), toTable ? 0 : 2);

      // Back out of this backend, one chapter only: the recordings travel unchanged.
      const QString back = Fresh("back.zip");
      const packs::ExportResult one = packs::ExportPack(target.Connection(), k, "动物", back);
      QVERIFY2(one.ok, qPrintable(one.error));
      QCOMPARE(one.chapters, 1);
      QCOMPARE(one.items, 2);
      QVERIFY(one.missingRecordings.isEmpty());
      QuaZip zip(back);
      QVERIFY(zip.open(QuaZip::mdUnzip));
      QCOMPARE(zip.getEntriesCount(), 3);
      QVERIFY(zip.setCurrentFile("recordings/2.wav"));
      QuaZipFile f(&zip);
      QVERIFY(f.open(QIODevice::ReadOnly));
      QCOMPARE(f.readAll(), cow);
    }
  }

  // Export reads only what is a recording (the rest travels as missing, and nothing blocks),
  // refuses what its own import would refuse, and a failed export leaves no partial file.
  void exportReadsOnlyRecordings_data() {
    QTest::addColumn<QString>("chapter");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("source");   // what the item's 声音 names
    QTest::addColumn<QString>("outcome");  // "exported", "missing" or the error's words
    const QString cow = QStringLiteral("牛");
    QTest::newRow("FIFO") << "动物" << cow << "fifo"
                          << "missing";
    QTest::newRow("device") << "动物" << cow << "/dev/zero"
                            << "missing";
    QTest::newRow("folder") << "动物" << cow << "folder"
                            << "missing";
    QTest::newRow("private text file") << "动物" << cow << "text"
                                       << "missing";
    QTest::newRow("WAV head, a byte short of a header") << "动物" << cow << "head43"
                                                        << "missing";
    QTest::newRow("WAV head, a whole header") << "动物" << cow << "head44"
                                              << "exported";
    QTest::newRow("blank chapter name") << "  " << cow << "wav"
                                        << "只有空白";
    QTest::newRow("NUL in an item name") << "动物" << cow + QChar(0) << "wav"
                                         << "控制字符";
    QTest::newRow("target taken by a folder") << "动物" << cow << "wav"
                                              << "无法写入文件";
  }
  void exportReadsOnlyRecordings() {
    QFETCH(QString, chapter);
    QFETCH(QString, item);
    QFETCH(QString, source);
    QFETCH(QString, outcome);
    const LessonKind& k = Kind(LessonKindId::Character);
    TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    const QString top = Fresh("top");
    WriteFile(top + "/text", QByteArray("root:x:0:0:root:/root:/bin/bash\n").repeated(4));
    WriteFile(top + "/head43", Wav(1).left(43));
    WriteFile(top + "/head44", Wav(1).left(44));
    WriteFile(top + "/wav", Wav(2));
    QCOMPARE(::mkfifo(QFile::encodeName(top + "/fifo").constData(), 0600), 0);
    if (outcome == "无法写入文件") WriteFile(top + "/out.tindora/x", "");
    AddRows(db.Connection(), k.chapterTable, {{{"章号", "1"}, {"章节", chapter}}});
    AddRows(db.Connection(), k.itemTable,
            {{{k.numberField, "1"},
              {k.nameField, item},
              {"章节", chapter},
              {"声音", source.startsWith('/') ? source : top + "/" + source}}});
    const packs::ExportResult r = packs::ExportPack(db.Connection(), k, {}, top + "/out.tindora");
    QVERIFY(!QFileInfo::exists(top + "/out.tindora.part"));
    if (outcome != "exported" && outcome != "missing") {
      QVERIFY2(!r.ok && r.error.contains(outcome), qPrintable(r.error));
      return;
    }
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.missingRecordings, outcome == "missing" ? QStringList{item} : QStringList());
  }

  void hostilePackRefused_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<QString>("message");
    const int character = static_cast<int>(LessonKindId::Character);
    const QJsonArray good = OneChapter({Item(1, "牛", "recordings/1.wav")});
    const QByteArray manifest = Manifest(good);
    const Entry wav{"recordings/1.wav", Wav(1)};
    const Entry man{"manifest.json", manifest};
    QTest::newRow("parent folder") << character << QList<Entry>{wav, man, {"../evil.wav", Wav(2)}}
                                   << "不安全的文件路径“../evil.wav”";
    QTest::newRow("parent inside")
        << character << QList<Entry>{wav, man, {"recordings/../../e.wav", Wav(2)}}
        << "不安全的文件路径";
    QTest::newRow("absolute") << character << QList<Entry>{wav, man, {"/tmp/evil.wav", Wav(2)}}
                              << "不安全的文件路径“/tmp/evil.wav”";
    QTest::newRow("link") << character
                          << QList<Entry>{{"recordings/1.wav", "/etc/passwd", 0120777}, man}
                          << "含有链接“recordings/1.wav”";
    QTest::newRow("bomb") << character
                          << QList<Entry>{{"recordings/1.wav", Wav(1) + QByteArray(20 << 20, 0)},
                                          man}
                          << "过大";
    QTest::newRow("no manifest") << character << QList<Entry>{wav} << "没有课程清单";
    QTest::newRow("not JSON") << character << QList<Entry>{wav, {"manifest.json", "{chapters"}}
                              << "不是有效的JSON";
    QTest::newRow("other format") << character
                                  << QList<Entry>{wav, {"manifest.json", "{\"format\": 1}"}}
                                  << "不是Tindora课程包";
    QTest::newRow("other version")
        << character << QList<Entry>{wav, {"manifest.json", Manifest(good, "character", 2)}}
        << "格式版本是“2”";
    QTest::newRow("version as text")
        << character << QList<Entry>{wav, {"manifest.json", Manifest(good, "character", "1")}}
        << "格式版本“1”应当是一个数字";
    QTest::newRow("NUL in a chapter name")
        << character
        << QList<Entry>{{"manifest.json",
                         Manifest({QJsonObject{
                             {"number", 1},
                             {"name", QStringLiteral("第一章 读一读") + QChar(0) + "x"},
                             {"items", QJsonArray()}}})}}
        << "含有控制字符";
    QTest::newRow("line separator in an item name")
        << character << QList<Entry>{{"manifest.json", Manifest(OneChapter({Item(1, "牛\u2028")}))}}
        << "含有控制字符";
    QTest::newRow("tab in a character's pinyin")
        << character
        << QList<Entry>{{"manifest.json",
                         Manifest(OneChapter({QJsonObject{
                             {"number", 1}, {"name", "牛"}, {"text", "niú\t牛"}, {"sound", ""}}}))}}
        << "“牛”含有控制字符";
    QTest::newRow("other kind") << character
                                << QList<Entry>{wav, {"manifest.json", Manifest(good, "poem")}}
                                << "这是“幼儿学诗”的课程包，不能导入到“幼儿识字”。";
    QTest::newRow("unknown kind") << character
                                  << QList<Entry>{wav, {"manifest.json", Manifest(good, "music")}}
                                  << "课程类别“music”无法识别";
    QJsonObject noText = Item(1, "牛");
    noText.remove("text");
    QTest::newRow("missing field")
        << character << QList<Entry>{{"manifest.json", Manifest(OneChapter({noText}))}}
        << "“chapters[0].items[0].text”缺少或类型不对";
    QTest::newRow("number as text")
        << character
        << QList<Entry>{{"manifest.json",
                         Manifest({QJsonObject{
                             {"number", "1"}, {"name", "动物"}, {"items", QJsonArray()}}})}}
        << "“chapters[0].number”缺少或类型不对";
    QTest::newRow("not a WAV") << character
                               << QList<Entry>{{"recordings/1.wav", "ID3 not a recording"}, man}
                               << "“recordings/1.wav”不是WAV声音文件";
    QTest::newRow("recording missing")
        << character << QList<Entry>{man} << "缺少声音文件“recordings/1.wav”";
    QTest::newRow("duplicate chapter numbers")
        << character
        << QList<Entry>{{"manifest.json",
                         Manifest(
                             {QJsonObject{{"number", 1}, {"name", "动物"}, {"items", QJsonArray()}},
                              QJsonObject{
                                  {"number", 1}, {"name", "植物"}, {"items", QJsonArray()}}})}}
        << "章号1重复";
    QTest::newRow("duplicate item numbers")
        << character
        << QList<Entry>{{"manifest.json",
                         Manifest({QJsonObject{{"number", 1},
                                               {"name", "动物"},
                                               {"items", QJsonArray{Item(4, "牛")}}},
                                   QJsonObject{{"number", 2},
                                               {"name", "植物"},
                                               {"items", QJsonArray{Item(4, "花")}}}})}}
        << "字号4重复";
    QTest::newRow("duplicate item names")
        << character
        << QList<Entry>{{"manifest.json", Manifest(OneChapter({Item(1, "牛"), Item(2, "牛")}))}}
        << "章节“动物”里的“牛”重复";
    QTest::newRow("name too long")
        << character << QList<Entry>{{"manifest.json", Manifest(OneChapter({Item(1, "一二三")}))}}
        << "“一二三”：字名长度超出范围！";
    // The editors' column limit: a chapter or poem name of 201 characters is refused (on a server
    // it would be the server's English words), cut in the message.
    QTest::newRow("chapter name past the column")
        << character
        << QList<Entry>{{"manifest.json",
                         Manifest({QJsonObject{{"number", 1},
                                               {"name", QString(201, QChar(0x5B57))},
                                               {"items", QJsonArray()}}})}}
        << "名称“" + QString(20, QChar(0x5B57)) + "…”太长，最多200个字";
    QTest::newRow("poem name past the column")
        << int(LessonKindId::Poem)
        << QList<Entry>{{"manifest.json", Manifest(OneChapter({Item(1, QString(201, QChar(0x8BD7)))}), "poem")}}
        << "太长，最多200个字";
    QTest::newRow("backslash") << character << QList<Entry>{wav, man, {"recordings\\2.wav", Wav(2)}}
                               << "不安全的文件路径“recordings\\2.wav”";
    // Unseen characters are written out, so the message is one line that shows the real name.
    QTest::newRow("tab and direction mark in a path")
        << character
        << QList<Entry>{wav, man, {QString("../a\tb") + QChar(0x202E) + "vaw.exe", Wav(2)}}
        << "不安全的文件路径“../a\\tbU+202Evaw.exe”";
    QJsonObject numberPicture = Item(1, "牛");
    numberPicture.insert("picture", 5);
    QTest::newRow("picture as a number")
        << character << QList<Entry>{{"manifest.json", Manifest(OneChapter({numberPicture}))}}
        << "“chapters[0].items[0].picture”缺少或类型不对";
    QTest::newRow("line break in an item name")
        << character
        << QList<Entry>{{"manifest.json", Manifest(OneChapter({Item(1, "牛\n羊")}))}}
        << "“牛\\n羊”含有控制字符";
  }
  void hostilePackRefused() {
    QFETCH(int, kind);
    QFETCH(QList<Entry>, entries);
    QFETCH(QString, message);
    const LessonKind& k = Kind(static_cast<LessonKindId>(kind));
    // One database for all rows: a refused pack leaves it as it was.
    if (!m_shared) m_shared = std::make_unique<TestDatabase>(Backend::Sqlite);
    const TestDatabase& db = *m_shared;
    REQUIRE_DATABASE(db);
    if (Snapshot(db.Connection(), k).isEmpty())
      AddRows(db.Connection(), k.chapterTable, {{{"章号", "3"}, {"章节", "其他"}}});
    const QStringList before = Snapshot(db.Connection(), k);
    QCOMPARE(before.size(), 1);
    // The pack and the recordings' folder share a folder: nothing may appear in either.
    const QString top = Fresh("top");
    const QString pack = WriteZip(top + "/pack.tindora", entries);
    const packs::ImportResult r = packs::ImportPack(db.Connection(), pack, top + "/root", &k);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(message), qPrintable(r.error));
    QVERIFY2(!r.error.contains('\t') && !r.error.contains('\n'), qPrintable(r.error));
    QCOMPARE(Snapshot(db.Connection(), k), before);
    QCOMPARE(FilesBelow(top), QStringList{"pack.tindora"});
    QVERIFY(!QFileInfo::exists(m_dir.filePath("evil.wav")));
  }

  // Identical bytes under two entry names: both items play them, from one stored copy.
  void identicalBytesUnderTwoEntries_data() { testing::AddBackendRows(); }
  void identicalBytesUnderTwoEntries() {
    QFETCH(Backend, backend);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString top = Fresh("top"), c = db.Connection();
    const QJsonArray items{Item(1, "牛", "recordings/1.wav"), Item(2, "羊", "recordings/2.wav")};
    const QString pack =
        WriteZip(top + "/p.tindora", {{"recordings/1.wav", Wav(4)},
                                      {"recordings/2.wav", Wav(4)},
                                      {"manifest.json", Manifest(OneChapter(items))}});
    const packs::ImportResult r = packs::ImportPack(c, pack, top + "/root");
    QVERIFY2(r.ok, qPrintable(r.error));
    const QStringList sounds = Rows(c, Kind(LessonKindId::Character).sqlAllItems, {"声音"});
    QCOMPARE(sounds, QStringList(2, sounds[0]));
    QDir(recordings::CacheRoot()).removeRecursively();
    QCOMPARE(ReadFile(recordings::LocalPath(c, sounds[0])), Wav(4));
    QCOMPARE(
        FilesBelow(top + "/root").size() + Rows(c, "select * from recordings", {"name"}).size(), 1);
  }

  // Every limit of an import: a pack exactly at it is imported, one just past it is refused. The
  // size limits are set from the pack's own figures as its directory gives them.
  void packAtLimit_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("limit");
    QTest::addColumn<bool>("past");
    for (const bool past : {false, true}) {
      const char* at = past ? "one past" : "at";
      for (const LessonKind* k : AllKinds())
        QTest::addRow("%s items per chapter/%s", at, qPrintable(k->key))
            << static_cast<int>(k->id) << "items" << past;
      // "unread total": the bytes past the limit are in an entry no item names.
      for (const char* limit :
           {"total", "unread total", "entry", "entries", "manifest", "ratio", "picture"})
        QTest::addRow("%s %s", at, limit)
            << static_cast<int>(LessonKindId::Character) << limit << past;
    }
  }
  void packAtLimit() {
    QFETCH(int, kind);
    QFETCH(QString, limit);
    QFETCH(bool, past);
    const LessonKind& k = Kind(static_cast<LessonKindId>(kind));
    TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    const int count = limit == "items" ? k.itemsPerChapter + int(past) : 2;
    QJsonArray items;
    QList<Entry> entries;
    // An emoji of the longest kind (a family, a flag with tags) is 16 UTF-16 units.
    const QString picture(16 + int(past), QChar(u'a'));
    for (int i = 1; i <= count; ++i) {
      const QString sound = i <= 2 ? QString("recordings/%1.wav").arg(i) : QString();
      QJsonObject item = Item(i, QString::number(i), sound);
      if (limit == "picture") item.insert("picture", picture);
      items.append(item);
      if (!sound.isEmpty()) entries << Entry{sound, Wav(i, 4000 * i)};
    }
    entries << Entry{"manifest.json", Manifest(OneChapter(items), k.key)};
    if (limit == "unread total") entries << Entry{"notes.txt", QByteArray(3000, 'n')};
    const QString top = Fresh("top");
    const QString pack = WriteZip(top + "/p.tindora", entries);
    qint64 total = 0, largest = 0, manifest = 0, ratio = 0;
    QuaZip zip(pack);
    QVERIFY(zip.open(QuaZip::mdUnzip));
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
      QuaZipFileInfo64 info;
      QVERIFY(zip.getCurrentFileInfo(&info));
      const auto size = static_cast<qint64>(info.uncompressedSize);
      total += size;
      largest = std::max(largest, size);
      if (info.name == "manifest.json") manifest = size;
      ratio = std::max(ratio, size / static_cast<qint64>(info.compressedSize));
    }
    zip.close();
    packs::PackLimits limits;
    const int cut = past ? 1 : 0;
    if (limit.endsWith("total")) limits.maxTotalBytes = total - cut;
    if (limit == "entry") limits.maxEntryBytes = largest - cut;
    if (limit == "entries") limits.maxEntries = static_cast<int>(entries.size()) - cut;
    if (limit == "manifest") limits.maxManifestBytes = manifest - cut;
    if (limit == "ratio") {
      limits.ratioFloor = 0;
      limits.maxRatio = ratio - cut;
    }
    const packs::ImportResult r =
        packs::ImportPack(db.Connection(), pack, top + "/root", &k, {}, limits);
    if (past) {
      QVERIFY(!r.ok);
      QVERIFY2(r.error.contains(limit == "items"     ? "章节“动物”：" + k.limitMessage
                                : limit == "picture" ? QString("的图片不是一个表情符号")
                                                     : QString("过大")),
               qPrintable(r.error));
      QCOMPARE(Snapshot(db.Connection(), k), QStringList());
      QCOMPARE(FilesBelow(top), QStringList{"p.tindora"});
    } else {
      QVERIFY2(r.ok, qPrintable(r.error));
      QCOMPARE(r.items, count);
      if (limit == "picture")
        QCOMPARE(Rows(db.Connection(), k.sqlAllItems, {"图片"}), QStringList(count, picture));
      QCOMPARE(Snapshot(db.Connection(), k).size(), 1 + count);
      QCOMPARE(FilesBelow(top + "/root").size(), 2);
    }
  }

  // A damaged pack is refused whole; a ZIP comment may be as long as its 16-bit length allows.
  void damagedPackRefused_data() {
    QTest::addColumn<int>("cut");      // bytes kept; 0: one byte of a recording changed instead
    QTest::addColumn<int>("comment");  // > 0: a good pack with a comment of this many bytes
    QTest::newRow("not a zip") << 10 << 0;
    QTest::newRow("end cut off") << -30 << 0;
    QTest::newRow("recording damaged") << 0 << 0;
    QTest::newRow("short comment") << 0 << 10;
    QTest::newRow("longest comment a ZIP holds") << 0 << 65535;
    QTest::newRow("every entry flagged encrypted") << 0 << -1;
  }
  void damagedPackRefused() {
    QFETCH(int, cut);
    QFETCH(int, comment);
    const LessonKind& k = Kind(LessonKindId::Character);
    TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    const QString top = Fresh("top");
    QByteArray bytes = ReadFile(
        WriteZip(top + "/p.tindora",
                 {{"recordings/1.wav", Wav(1, 4000)},
                  {"manifest.json", Manifest(OneChapter({Item(1, "牛", "recordings/1.wav")}))}}));
    if (cut > 0) bytes = bytes.left(cut);
    if (cut < 0) bytes.chop(-cut);
    if (cut == 0 && comment == 0) bytes[2000] = char(bytes[2000] ^ 0x55);
    if (comment < 0) {
      // The encryption bit of every local and central header.
      for (const auto& [signature, flags] : {std::pair{QByteArray("PK\x03\x04", 4), 6},
                                             std::pair{QByteArray("PK\x01\x02", 4), 8}})
        for (qsizetype at = bytes.indexOf(signature); at >= 0;
             at = bytes.indexOf(signature, at + 4))
          bytes[at + flags] = char(bytes[at + flags] | 0x01);
    }
    if (comment > 0) {
      bytes[bytes.size() - 2] = char(comment & 0xFF);
      bytes[bytes.size() - 1] = char(comment >> 8);
      bytes += QByteArray(comment, 'c');
    }
    WriteFile(top + "/p.tindora", bytes);
    const packs::ImportResult r =
        packs::ImportPack(db.Connection(), top + "/p.tindora", top + "/root", &k);
    if (comment > 0) {
      QVERIFY2(r.ok && r.items == 1, qPrintable(r.error));
      return;
    }
    QVERIFY(!r.ok);
    QCOMPARE(r.error, comment < 0 ? QString("课程包“p.tindora”中的文件“recordings/1.wav”加了密码，本程序"
                                            "不能读取。请导入没有密码的课程包。")
                                  : QString("课程包“p.tindora”已损坏，无法读取。"));
    QCOMPARE(Snapshot(db.Connection(), k), QStringList());
    QCOMPARE(FilesBelow(top), QStringList{"p.tindora"});
  }

  void cancelledImportLeavesNothing_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("at");  // the progress step that answers "cancel"
    for (const LessonKind* k : AllKinds()) {
      QTest::newRow(qPrintable(k->key + "/first recording")) << static_cast<int>(k->id) << 1;
      QTest::newRow(qPrintable(k->key + "/before storing")) << static_cast<int>(k->id) << 3;
    }
  }
  void cancelledImportLeavesNothing() {
    QFETCH(int, kind);
    QFETCH(int, at);
    const LessonKind& k = Kind(static_cast<LessonKindId>(kind));
    TestDatabase db(Backend::Sqlite);
    REQUIRE_DATABASE(db);
    const QString top = Fresh("top");
    const QString pack =
        WriteZip(top + "/p.tindora",
                 {{"recordings/1.wav", Wav(1)},
                  {"recordings/2.wav", Wav(2)},
                  {"manifest.json", Manifest(OneChapter({Item(1, "牛", "recordings/1.wav"),
                                                         Item(2, "羊", "recordings/2.wav")}),
                                             k.key)}});
    QList<int> steps;
    const packs::ImportResult r =
        packs::ImportPack(db.Connection(), pack, top, &k, [&](int done, int total) {
          steps << done * 10 + total;
          return done < at;
        });
    QVERIFY(!r.ok);
    QVERIFY(r.cancelled);
    QCOMPARE(steps.last(), at * 10 + 3);  // of three steps: two recordings, storing
    QCOMPARE(Snapshot(db.Connection(), k), QStringList());
    QCOMPARE(FilesBelow(top), QStringList{"p.tindora"});
  }

  void killedImportLeavesNothing_data() {
    QTest::addColumn<int>("killAfter");
    QTest::newRow("after one recording") << 1;
    QTest::newRow("before the commit") << 3;
  }
  void killedImportLeavesNothing() {
    QFETCH(int, killAfter);
    const LessonKind& k = Kind(LessonKindId::Poem);
    const QString top = Fresh("top");
    const QString file = top + "/lessons.db";
    QDir().mkpath(top);
    QString said;
    const auto tool = [&](const QStringList& args, int kill) {
      QProcess p;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      if (kill > 0) env.insert("TINDORA_TEST_KILL_IMPORT_AFTER", QString::number(kill));
      p.setProcessEnvironment(env);
      p.start(TINDORA_DBSETUP, QStringList{"--sqlite", file} + args);
      p.waitForFinished(60000);
      said = QString::fromUtf8(p.readAllStandardOutput());
      return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QCOMPARE(tool({}, 0), 0);
    const QString pack =
        WriteZip(top + "/p.tindora",
                 {{"recordings/1.wav", Wav(1)},
                  {"recordings/2.wav", Wav(2)},
                  {"manifest.json", Manifest(OneChapter({Item(1, "静夜思", "recordings/1.wav"),
                                                         Item(2, "春晓", "recordings/2.wav")}),
                                             k.key)}});
    const QStringList import{"--import", pack, "--sound-dir", top + "/root"};
    QCOMPARE(tool(import, killAfter), -1);
    {
      QString error;
      QVERIFY2(OpenConnection("killed", EmbeddedSpec(file), &error), qPrintable(error));
      QCOMPARE(Snapshot("killed", k), QStringList());
      QSqlDatabase::database("killed").close();
    }
    QSqlDatabase::removeDatabase("killed");
    // What the killed import unpacked is hidden, and the next import sweeps it away.
    const QStringList visible =
        QDir(top + "/root/" + k.soundFolder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    QCOMPARE(visible, QStringList());
    QCOMPARE(tool(import, 0), 0);
    // The summary in Chinese, like the rest of the tool's report.
    QVERIFY2(said.contains("已导入: 1 个章节, 2 个项目"), qPrintable(said));
    QCOMPARE(
        FilesBelow(top + "/root"),
        (QStringList{k.soundFolder + "/春晓-" + recordings::Sha256(Wav(2)).left(8) + ".wav",
                     k.soundFolder + "/静夜思-" + recordings::Sha256(Wav(1)).left(8) + ".wav"}));
  }

  // What an import may write counts the bytes really written: a recording named by 1,200 items is
  // written once and costs once; chapters and items are limited too.
  void limitsCountWhatIsWritten_data() {
    QTest::addColumn<Backend>("backend");
    // Chapters, items per chapter, most chapters, most items, bytes allowed beyond the pack's.
    QTest::addColumn<QList<int>>("shape");
    QTest::addColumn<QString>("message");  // empty: imported
    const auto row = [](const char* name, Backend b, QList<int> shape, const char* message = "") {
      QTest::newRow(name) << b << shape << QString::fromUtf8(message);
    };
    row("1,200 references, bytes at the edge", Backend::Sqlite, {48, 25, 500, 20000, 0});
    row("1,200 references, server", Backend::OdbcPostgres, {48, 25, 500, 20000, 0});
    row("one byte short", Backend::Sqlite, {48, 25, 500, 20000, -1}, "过大");
    row("chapters at the edge", Backend::Sqlite, {3, 1, 3, 20000, 0});
    row("one chapter too many", Backend::Sqlite, {4, 1, 3, 20000, 0},
        "课程包有4个章节，一次最多只能导入3个章节。");
    row("items at the edge", Backend::Sqlite, {2, 2, 500, 4, 0});
    row("one item too many", Backend::Sqlite, {2, 3, 500, 5, 0},
        "课程包有6个项目，一次最多只能导入5个项目。");
  }
  void limitsCountWhatIsWritten() {
    QFETCH(Backend, backend);
    QFETCH(QList<int>, shape);
    QFETCH(QString, message);
    const int chapters = shape[0], items = shape[1];
    const LessonKind& k = Kind(LessonKindId::Character);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QByteArray wav = Wav(9, 500000);  // about a megabyte
    QJsonArray list;
    for (int c = 0; c < chapters; ++c) {
      QJsonArray chapterItems;
      for (int i = 0; i < items; ++i)
        chapterItems.append(Item(c * items + i + 1, QString::number(i), "recordings/1.wav"));
      list.append(QJsonObject{
          {"number", c + 1}, {"name", "第" + QString::number(c)}, {"items", chapterItems}});
    }
    const QByteArray manifest = Manifest(list);
    const QString top = Fresh("top");
    const QString pack =
        WriteZip(top + "/p.tindora", {{"recordings/1.wav", wav}, {"manifest.json", manifest}});
    packs::PackLimits limits;
    limits.maxChapters = shape[2];
    limits.maxItems = shape[3];
    limits.maxTotalBytes = manifest.size() + wav.size() + shape[4];
    const packs::ImportResult r =
        packs::ImportPack(db.Connection(), pack, top + "/root", &k, {}, limits);
    QCOMPARE(r.ok, message.isEmpty());
    QVERIFY2(r.error.contains(message), qPrintable(r.error));
    QCOMPARE(Snapshot(db.Connection(), k).size(), r.ok ? chapters + chapters * items : 0);
    const bool toTable = backend != Backend::Sqlite;
    QCOMPARE(FilesBelow(top + "/root").size(), r.ok && !toTable ? 1 : 0);
    if (toTable)
      QCOMPARE(Rows(db.Connection(), "select * from recordings", {"size"}),
               QStringList{QString::number(wav.size())});
  }

  // --store-recordings puts what the rows name into the server under the name the bytes give
  // and points the rows at it; what is missing, not a playable WAV, past the size limit or named
  // outside the library is listed and ends the run with a failure. Run again, it uploads nothing.
  void storeRecordingsTwice_data() {
    QTest::addColumn<Backend>("backend");
    QTest::newRow("odbc-sqlite") << Backend::OdbcSqlite;
    QTest::newRow("odbc-postgres") << Backend::OdbcPostgres;
  }
  void storeRecordingsTwice() {
    QFETCH(Backend, backend);
    const LessonKind& k = Kind(LessonKindId::English);
    TestDatabase db(backend);
    REQUIRE_DATABASE(db);
    const QString cow = WriteFile(Fresh("media") + "/牛.wav", Wav(4));
    const QString text = WriteFile(Fresh("etc") + "/hostname", "seat-7\n");
    // A WAV exactly at the limit, and one byte more.
    const QByteArray edge = Wav(5, int(platform::kMaxRecordingBytes - 44) / 2);
    QCOMPARE(edge.size(), platform::kMaxRecordingBytes);
    const QString big = WriteFile(Fresh("media") + "/big.wav", edge);
    const QString over = WriteFile(Fresh("media") + "/over.wav", edge + '\0');
    const QString evil = k.soundFolder + "/../../evil-" + recordings::Sha256(Wav(4)).left(8) + ".wav";
    int number = 0;
    QList<QList<std::pair<QString, QString>>> rows;
    for (const auto& [name, sound] :
         {std::pair{QStringLiteral("cow"), cow}, std::pair{QStringLiteral("cat"), QStringLiteral("/不在/这里.wav")},
          std::pair{QStringLiteral("host"), text}, std::pair{QStringLiteral("big"), big},
          std::pair{QStringLiteral("over"), over}, std::pair{QStringLiteral("evil"), evil}})
      rows.append({{k.numberField, QString::number(++number)},
                   {k.nameField, name},
                   {"章节", "动物"},
                   {k.textField, "牛"},
                   {"声音", sound}});
    AddRows(db.Connection(), k.itemTable, rows);
    const QString library = k.soundFolder + "/COW-" + recordings::Sha256(Wav(4)).left(8) + ".wav";
    const QString bigLibrary = k.soundFolder + "/BIG-" + recordings::Sha256(edge).left(8) + ".wav";
    const QStringList left = {"找不到录音: cat: /不在/这里.wav",
                              "没有上传: host: " + text + "（不是能播放的WAV声音文件）",
                              "没有上传: over: " + over + "（超过 32 MB）",
                              "没有上传: evil: " + evil + "（录音名称不合规）"};
    const QStringList expected[] = {
        left + QStringList{"已上传录音: cow: " + cow, "已上传录音: big: " + big,
                           "录音: 上传 2, 已在数据库 0, 找不到 1, 没有上传 3"},
        left + QStringList{"录音: 上传 0, 已在数据库 2, 找不到 1, 没有上传 3"}};
    for (const QStringList& said : expected) {
      QProcess p;
      p.start(TINDORA_DBSETUP, {"--odbc", db.Spec().databaseName, "--store-recordings"});
      QVERIFY(p.waitForFinished(120000));
      const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
      QVERIFY2(p.exitCode() == 1, qPrintable(out));
      for (const QString& line : said) QVERIFY2(out.contains(line + "\n"), qPrintable(out));
      QCOMPARE(Rows(db.Connection(), k.sqlAllItems, {"声音"}),
               (QStringList{library, "/不在/这里.wav", text, bigLibrary, over, evil}));
      QCOMPARE(ReadFile(recordings::LocalPath(db.Connection(), library)), Wav(4));
    }
  }

  // The set-up tool names the database it made ready, but never prints the password.
  void setupHidesPassword() {
    const QString top = Fresh("secret");
    QDir().mkpath(top);
    QProcess p;
    p.start(TINDORA_DBSETUP,
            {"--odbc", QString("DRIVER=SQLite3;Database=%1/lessons.db;PWD=geheim;").arg(top)});
    QVERIFY(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    QVERIFY2(p.exitCode() == 0 && out.contains("PWD=***;"), qPrintable(out));
    QVERIFY2(!out.contains("geheim"), qPrintable(out));
  }
};

QTEST_GUILESS_MAIN(LessonPackTest)
#include "test_lesson_pack.moc"
