// SPDX-License-Identifier: GPL-3.0-or-later
// The recordings library through the item editor, on every backend and kind: nothing reaches the
// library, the cache or the rows before "保存"; items of one name in two chapters keep their own
// recordings; what one seat saves on a server, another seat plays byte for byte.
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include "data/data_module.h"
#include "data/recordings_library.h"
#include "editors/item_editor.h"
#include "editors/item_recording_controls.h"
#include "platform/dataset.h"
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
};

QTEST_MAIN(RecordingsLibraryTest)
#include "test_recordings_library.moc"
