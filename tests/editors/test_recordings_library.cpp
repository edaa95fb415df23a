// SPDX-License-Identifier: GPL-3.0-or-later
// The recordings library through the item editor, on every backend and kind: nothing reaches the
// library, the cache or the rows before "保存"; items of one name in two chapters keep their own
// recordings; what one seat saves on a server, another seat plays byte for byte.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include "data/data_module.h"
#include "data/recordings_library.h"
#include "editors/item_editor.h"
#include "editors/item_recording_controls.h"
#include "platform/dataset.h"
#include "platform/sound.h"
#include "platform/wav_file.h"
#include "support/fakes.h"
#include "support/test_db.h"

using testing::Backend;

namespace {

QByteArray Wav(int seed) {
  platform::Samples data(2000);
  quint32 x = quint32(seed);
  for (auto& v : data) v = static_cast<std::int16_t>((x = x * 1103515245u + 12345u) >> 16);
  return platform::WavBytes(data);
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class RecordingsLibraryTest : public QObject {
  Q_OBJECT
  QTemporaryDir m_dir;
  std::unique_ptr<testing::TestDataModule> m_db;
  testing::ScriptedMessageBox m_boxes;
  testing::FakeDialogs m_dialogs;
  testing::RecordingSoundPlayer m_sound;

  bool Start(Backend backend) {
    m_db = std::make_unique<testing::TestDataModule>(backend);
    return m_db->database().Available();
  }

  // Everything a recording could change: library and cache files, item rows, stored recordings.
  QStringList State(const LessonKind& k) {
    QStringList s = testing::FolderDigest(recordings::LibraryRoot()) +
                    testing::FolderDigest(recordings::CacheRoot());
    QVector<QVector<QVariant>> rows;
    platform::ExecQuery(m_db->database().Connection(),
                        QStringLiteral("select %1, 声音 from %2").arg(k.nameField, k.itemTable), {},
                        &rows);
    platform::ExecQuery(m_db->database().Connection(),
                        QStringLiteral("select name, sha256 from recordings"), {}, &rows);
    for (const auto& r : rows)
      s << r.value(0).toString() + QLatin1Char('|') + r.value(1).toString();
    s.sort();
    return s;
  }

  // An add-mode editor on `chapter`, with goQuery on its items as the list manager leaves it.
  std::unique_ptr<TItemEditorForm> AddEditor(const LessonKind& k, const QString& chapter,
                                             const QString& number, const QString& name) {
    platform::Dataset* q = dm->goQuery;
    q->Close();
    q->SqlClear();
    q->SqlAdd(k.sqlItemsLine1);
    q->SetParam(QStringLiteral("zzj"), chapter);
    q->SqlAdd(k.sqlItemsLine2);
    if (!q->Open()) qFatal("%s", qPrintable(q->LastError()));
    std::unique_ptr<TItemEditorForm> e(NewItemEditor(nullptr, k.id));
    e->ModifyBtn->hide();
    e->SetChapter(chapter);
    e->numed->setText(number);
    e->nameed->setText(name);
    e->SetText(QStringLiteral("yī  一个\n唐·李白"));
    e->show();
    return e;
  }

  // "选取" of a WAV outside the library.
  void Choose(TItemEditorForm& e, const QByteArray& wav) {
    static int count = 0;
    const QString path = m_dir.filePath(QStringLiteral("外面%1.wav").arg(++count));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(wav) == wav.size());
    f.close();
    m_dialogs.fileToChoose = path;
    e.SelectfbClick();
    QVERIFY(recordings::IsLibraryName(e.Sypl->text()));
  }

 private Q_SLOTS:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() {
    QDir(recordings::LibraryRoot()).removeRecursively();
    QDir(recordings::CacheRoot()).removeRecursively();
  }
  void cleanup() { m_db.reset(); }

  void keptOnlyWhenSaved_data() { testing::AddBackendAndKindRows(); }
  void keptOnlyWhenSaved() {
    QFETCH(Backend, backend);
    QFETCH(int, kind);
    const LessonKind& k = Kind(static_cast<LessonKindId>(kind));
    if (!Start(backend)) QSKIP(qPrintable(m_db->database().Why()));
    m_db->AddChapters(k, {QStringLiteral("一"), QStringLiteral("二")});
    m_db->AddRows(k.itemTable, {{{k.numberField, QStringLiteral("1")},
                                 {k.nameField, QStringLiteral("绿")},
                                 {QStringLiteral("章节"), QStringLiteral("一")},
                                 {k.textField, QStringLiteral("lǜ")},
                                 {QStringLiteral("声音"), QStringLiteral("/老/绿.wav")}}});
    const QStringList before = State(k);

    // Synthesised, then "放弃"; synthesised, then refused as a duplicate name and closed.
    for (const QString& number : {QStringLiteral("2"), QStringLiteral("3")}) {
      auto e = AddEditor(k, QStringLiteral("一"), number, QStringLiteral("绿"));
      if (number == QLatin1String("2")) e->nameed->setText(QStringLiteral("红"));
      e->Recording->SpeakSb->click();
      QVERIFY(QFileInfo(e->SoundToPlay()).isFile());
      e->Testsb->click();
      QCOMPARE(m_sound.Names().last(), e->SoundToPlay());
      if (number == QLatin1String("3")) {
        e->AddBtnClick();
        QCOMPARE(m_boxes.shown.last().text, k.nameUsed);
      }
      e->DelSb->click();
      QCOMPARE(State(k), before);
    }

    // One name in two chapters, two recordings: each row keeps its own bytes.
    QStringList sounds;
    for (const auto& [chapter, seed] :
         {std::pair{QStringLiteral("一"), 1}, std::pair{QStringLiteral("二"), 2}}) {
      auto e = AddEditor(k, chapter, QString::number(10 + seed), QStringLiteral("蓝"));
      Choose(*e, Wav(seed));
      sounds << e->Sypl->text();
      e->AddBtnClick();
      QVERIFY(!e->isVisible());
    }
    const QString first = sounds[0], second = sounds[1];
    QVERIFY(first != second && State(k).contains(QStringLiteral("蓝|") + first) &&
            State(k).contains(QStringLiteral("蓝|") + second));
    // The same bytes for another item keep their name and their one copy; "放弃" of them again,
    // the seat's cache empty, removes nothing a row names (a server's seat keeps its copy).
    for (const bool save : {true, false}) {
      QDir(recordings::CacheRoot()).removeRecursively();
      auto e = AddEditor(k, QStringLiteral("二"), save ? "20" : "21", QStringLiteral("紫"));
      Choose(*e, Wav(1));
      QCOMPARE(e->Sypl->text(), first);
      save ? e->AddBtnClick() : e->DelSb->click();
    }
    const bool server = backend != Backend::Sqlite;
    QCOMPARE(State(k).filter(recordings::Sha256(Wav(1))).size(), server ? 2 : 1);
    QCOMPARE(Read(recordings::LocalPath(m_db->database().Connection(), first)), Wav(1));
    QCOMPARE(Read(recordings::LocalPath(m_db->database().Connection(), second)), Wav(2));
    // On a server the library folder stays empty; the table holds the two recordings.
    QCOMPARE(testing::FolderDigest(recordings::LibraryRoot()).size(), server ? 0 : 2);
    if (!server) return;
    // Seat B (its own connection, an empty cache) plays the bytes seat A saved; bytes that do not
    // match their hash are not played: the name comes back and plays the default chime.
    Tdm seatB(m_db->database().Spec());
    QDir(recordings::CacheRoot()).removeRecursively();
    QCOMPARE(Read(recordings::LocalPath(seatB.ConnectionName(), first)), Wav(1));
    QVERIFY(platform::ExecSql(seatB.ConnectionName(),
                              "update recordings set sha256 = '" + QString(64, '0') + "'"));
    QDir(recordings::CacheRoot()).removeRecursively();
    QCOMPARE(recordings::LocalPath(seatB.ConnectionName(), second), second);
  }

  // Names in rows come from other computers: a name the library would not give is never used
  // for a file and never given to new bytes; a row claiming more bytes than a recording may have
  // is not fetched; one at the limit is.
  void rowsAreUntrusted_data() { testing::AddBackendRows(); }
  void rowsAreUntrusted() {
    QFETCH(Backend, backend);
    const LessonKind& k = Kind(LessonKindId::Character);
    if (!Start(backend)) QSKIP(qPrintable(m_db->database().Why()));
    const QString conn = m_db->database().Connection();
    m_db->AddChapters(k, {QStringLiteral("一")});
    const QString outside = m_dir.filePath(QStringLiteral("outside"));
    const QString evil = k.soundFolder + QStringLiteral("/../../../../../../../..") + outside +
                         QStringLiteral("/evil-") + recordings::Sha256(Wav(3)).left(8) + ".wav";
    for (const QString& bad :
         {evil, k.soundFolder + "/十-427F93CA.wav", k.soundFolder + "/.十-427f93ca.wav",
          k.soundFolder + "/十-427f93c.wav", k.soundFolder + "/a/十-427f93ca.wav",
          k.soundFolder + "/十\\-427f93ca.wav", QStringLiteral("别的/十-427f93ca.wav")})
      QVERIFY2(!recordings::IsValidName(bad), qPrintable(bad));
    QVERIFY(recordings::IsValidName(k.soundFolder + "/十-427f93ca.wav"));
    QVERIFY(recordings::IsValidName(k.soundFolder + "/-" + QString(64, 'a') + ".wav"));
    QCOMPARE(recordings::LocalPath(conn, evil), QString());
    // A name from before the pattern still plays the file straight in the kind's folder.
    const QString older = QDir(recordings::LibraryRoot()).filePath(k.soundFolder + "/一.wav");
    QDir().mkpath(QFileInfo(older).absolutePath());
    QFile(older).open(QIODevice::WriteOnly);
    QCOMPARE(recordings::LocalPath(conn, k.soundFolder + "/一.wav"), older);
    const bool server = backend != Backend::Sqlite;
    if (server)
      QVERIFY(platform::ExecQuery(
          conn, QStringLiteral("insert into recordings (name, sha256, size, bytes) values (?, ?, ?, ?)"),
          {evil, recordings::Sha256(Wav(3)), Wav(3).size(), Wav(3)}));
    // "选取" of the same bytes gets a name of its own, and nothing appears outside the cache.
    auto e = AddEditor(k, QStringLiteral("一"), QStringLiteral("1"), QStringLiteral("十"));
    Choose(*e, Wav(3));
    QCOMPARE(e->Sypl->text(), k.soundFolder + "/十-" + recordings::Sha256(Wav(3)).left(8) + ".wav");
    e->AddBtnClick();
    QVERIFY(!QFileInfo::exists(outside));
    if (!server) {
      // "选取" takes a file at the size limit and refuses one a byte longer, saying so.
      for (const qint64 size : {platform::kMaxRecordingBytes, platform::kMaxRecordingBytes + 1}) {
        auto big = AddEditor(k, QStringLiteral("一"), QStringLiteral("2"), QStringLiteral("大"));
        const QString path = m_dir.filePath(QStringLiteral("大%1.wav").arg(size));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size));
        f.close();
        m_dialogs.fileToChoose = path;
        const int boxes = m_boxes.shown.size();
        big->SelectfbClick();
        const bool taken = size <= platform::kMaxRecordingBytes;
        QCOMPARE(recordings::IsValidName(big->Sypl->text()), taken);
        QCOMPARE(m_boxes.shown.size(), boxes + (taken ? 0 : 1));
        if (!taken) QVERIFY2(m_boxes.shown.last().text.contains("太大"), qPrintable(m_boxes.shown.last().text));
      }
      return;
    }

    // The size limit on fetching: counted by the database, not taken from the row's own column.
    for (const qint64 size : {platform::kMaxRecordingBytes, platform::kMaxRecordingBytes + 1}) {
      const QByteArray bytes(size, '\x7f');
      const QString name = k.soundFolder + "/大-" + recordings::Sha256(bytes).left(8) + ".wav";
      QVERIFY(platform::ExecQuery(
          conn, QStringLiteral("insert into recordings (name, sha256, size, bytes) values (?, ?, ?, ?)"),
          {name, recordings::Sha256(bytes), 1, bytes}));
      QDir(recordings::CacheRoot()).removeRecursively();
      const QString got = recordings::LocalPath(conn, name);
      QCOMPARE(got == name, size > platform::kMaxRecordingBytes);
      QCOMPARE(testing::FolderDigest(recordings::CacheRoot()).size(),
               size > platform::kMaxRecordingBytes ? 0 : 1);
    }
    // Fetched on a thread with a connection of its own, answered on this thread.
    QDir(recordings::CacheRoot()).removeRecursively();
    const QString saved = e->Sypl->text();
    QVERIFY(recordings::NeedsFetch(conn, saved));
    QEventLoop loop;
    QString arrived;
    QObject context;
    recordings::FetchLater(conn, saved, &context, [&](const QString& path) {
      QCOMPARE(QThread::currentThread(), qApp->thread());
      arrived = path;
      loop.quit();
    });
    loop.exec();
    QCOMPARE(Read(arrived), Wav(3));
    QVERIFY(!recordings::NeedsFetch(conn, saved));
  }

  // --check-recordings and --prune-recordings: what no item names goes, in the library only.
  // A copy an editor staged is left in the cache when the program is ended with the editor open:
  // the next start sweeps it, keeps what rows name and what the library did not make, and takes
  // nothing while another copy of the program runs.
  void cacheSwept_data() {
    QTest::addColumn<bool>("otherCopyRuns");
    QTest::newRow("another copy runs") << true;
    QTest::newRow("alone") << false;
  }
  void cacheSwept() {
    QFETCH(bool, otherCopyRuns);
    const LessonKind& k = Kind(LessonKindId::Poem);
    if (!Start(Backend::Sqlite)) QSKIP(qPrintable(m_db->database().Why()));
    const QDir cache(recordings::CacheRoot());
    const QString named = k.soundFolder + "/诗-" + recordings::Sha256(Wav(1)).left(8) + ".wav";
    const QString staged = k.soundFolder + "/诗-" + recordings::Sha256(Wav(2)).left(8) + ".wav";
    const QString own = k.soundFolder + "/静夜思.wav";
    QDir().mkpath(cache.filePath(k.soundFolder));
    for (const QString& name : {named, staged, own}) {
      QFile f(cache.filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write(Wav(1)) > 0);
    }
    m_db->AddRows(k.itemTable, {{{k.numberField, "1"}, {k.nameField, "春晓"}, {"章节", "唐诗"},
                                 {k.textField, "春眠"}, {"声音", named}}});
    recordings::HoldCache();
    const int other = otherCopyRuns ? ::open(QFile::encodeName(cache.filePath(".in-use")), O_RDWR)
                                    : -1;
    if (otherCopyRuns) QVERIFY(other >= 0 && ::flock(other, LOCK_SH | LOCK_NB) == 0);
    QStringList removed;
    QString error;
    QVERIFY2(recordings::SweepCache(m_db->database().Connection(), &removed, &error),
             qPrintable(error));
    if (other >= 0) ::close(other);
    QCOMPARE(removed, otherCopyRuns ? QStringList() : QStringList{staged});
    QCOMPARE(QFileInfo::exists(cache.filePath(staged)), otherCopyRuns);
    QVERIFY(QFileInfo::exists(cache.filePath(named)) && QFileInfo::exists(cache.filePath(own)));
  }

  void checkAndPrune_data() { testing::AddBackendRows(); }
  void checkAndPrune() {
    QFETCH(Backend, backend);
    const LessonKind& k = Kind(LessonKindId::Poem);
    if (!Start(backend)) QSKIP(qPrintable(m_db->database().Why()));
    const QString conn = m_db->database().Connection();
    const bool server = backend != Backend::Sqlite;
    auto name = [&](int seed) {
      return k.soundFolder + "/诗-" + recordings::Sha256(Wav(seed)).left(8) + ".wav";
    };
    for (int seed : {1, 3}) QVERIFY(recordings::Publish(conn, name(seed), Wav(seed), nullptr, nullptr));
    // An adult's own file in the folder is not the library's.
    const QString own = QDir(recordings::LibraryRoot()).filePath(k.soundFolder + "/静夜思.wav");
    QDir().mkpath(QFileInfo(own).absolutePath());
    QFile(own).open(QIODevice::WriteOnly);
    const QString evil = k.soundFolder + "/../evil.wav";
    if (server)
      QVERIFY(platform::ExecQuery(
          conn, QStringLiteral("insert into recordings (name, sha256, size, bytes) values (?, ?, ?, ?)"),
          {evil, recordings::Sha256(Wav(4)), Wav(4).size(), Wav(4)}));
    m_db->AddRows(k.itemTable, {{{k.numberField, "1"}, {k.nameField, "春晓"}, {"章节", "唐诗"},
                                 {k.textField, "春眠"}, {"声音", name(1)}},
                                {{k.numberField, "2"}, {k.nameField, "登鹳雀楼"}, {"章节", "唐诗"},
                                 {k.textField, "白日"}, {"声音", name(2)}},
                                {{k.numberField, "3"}, {k.nameField, "静夜思"}, {"章节", "唐诗"},
                                 {k.textField, "床前"}, {"声音", own}}});
    recordings::CheckReport report;
    QString error;
    QVERIFY2(recordings::CheckLibrary(conn, &report, &error), qPrintable(error));
    const QStringList unnamed = server ? QStringList{name(3), evil} : QStringList{name(3)};
    QCOMPARE(QSet<QString>(report.unnamed.begin(), report.unnamed.end()),
             QSet<QString>(unnamed.begin(), unnamed.end()));
    QCOMPARE(report.missing, QStringList{"登鹳雀楼: " + name(2)});
    QStringList removed;
    QVERIFY2(recordings::PruneLibrary(conn, &removed, &error), qPrintable(error));
    QCOMPARE(removed.size(), unnamed.size());
    report = {};
    QVERIFY(recordings::CheckLibrary(conn, &report, &error));
    QCOMPARE(report.unnamed, QStringList());
    QVERIFY(QFileInfo::exists(own));
    QCOMPARE(Read(recordings::LocalPath(conn, name(1))), Wav(1));
  }
};

QTEST_MAIN(RecordingsLibraryTest)
#include "test_recordings_library.moc"
