// SPDX-License-Identifier: GPL-3.0-or-later
// The item list manager and item editor of the three lesson kinds, through the same cases: the
// limit per chapter, the checks and their messages, storing and the store the database refuses,
// modifying, deleting, the recording path, and the way back to the lesson screen. Stores run on
// SQLite and, when a server is given, on PostgreSQL through ODBC.
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "app/shared_routines.h"
#include "data/data_module.h"
#include "data/item_pictures.h"
#include "data/item_recordings.h"
#include "data/lesson_database.h"
#include "data/recordings_library.h"
#include "editors/item_editor.h"
#include "editors/item_list.h"
#include "lessons/character_screen.h"
#include "lessons/pronunciation_popup.h"
#include "lessons/verse_screen.h"
#include "platform/dataset.h"
#include "platform/wav_file.h"
#include "support/fakes.h"
#include "support/test_db.h"

using testing::Backend;
using testing::FakeDialogs;
using testing::RecordingSoundPlayer;
using testing::ScriptedMessageBox;
using testing::TestDataModule;

namespace {

const QString kFirst = QStringLiteral("甲章");
const QString kSecond = QStringLiteral("乙章");

const LessonKind& KindOf(int k) { return Kind(static_cast<LessonKindId>(k)); }

// One row per lesson kind, named after it, with `extra` appended to the name.
template <class F>
void KindRows(const char* extra, F&& more) {
  for (const LessonKind* k : AllKinds())
    more(QTest::newRow(qPrintable(k->key + QLatin1String(extra))) << int(k->id), *k);
}

void KindColumn() { QTest::addColumn<int>("kind"); }

void KindOnlyRows() {
  KindColumn();
  KindRows("", [](QTestData&, const LessonKind&) {});
}

// Kinds on SQLite and on PostgreSQL, for the cases that store.
void KindAndBackendRows() {
  KindColumn();
  QTest::addColumn<Backend>("backend");
  for (const LessonKind* k : AllKinds()) {
    QTest::newRow(qPrintable(k->key + QLatin1String("/sqlite"))) << int(k->id) << Backend::Sqlite;
    QTest::newRow(qPrintable(k->key + QLatin1String("/postgres")))
        << int(k->id) << Backend::OdbcPostgres;
  }
}

}  // namespace

class ItemWindowsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDataModule> m_db;
  std::unique_ptr<RecordingSoundPlayer> m_sound;
  std::unique_ptr<ScriptedMessageBox> m_boxes;
  std::unique_ptr<FakeDialogs> m_dialogs;
  QPointer<TItemListForm> m_list;
  QList<QPointer<TItemEditorForm>> m_editors;

  bool Start(Backend backend = Backend::Sqlite) {
    m_db = std::make_unique<TestDataModule>(backend);
    if (m_db->database().Broken()) {
      QTest::qFail(qPrintable(m_db->database().Why()), __FILE__, __LINE__);
      return false;
    }
    if (!m_db->database().Available()) {
      QTest::qSkip(qPrintable(m_db->database().Why()), __FILE__, __LINE__);
      return false;
    }
    return true;
  }

  // Items numbered from `first` on, named as given, in `chapter`.
  void AddItems(const LessonKind& k, const QString& chapter, const QStringList& names, int first,
                const QString& text = QStringLiteral("文"), const QString& sound = QString()) {
    QList<QList<std::pair<QString, QString>>> rows;
    for (int i = 0; i < names.size(); ++i)
      rows.append({{k.numberField, QString::number(first + i)},
                   {k.nameField, names[i]},
                   {QStringLiteral("章节"), chapter},
                   {k.textField, text},
                   {QStringLiteral("声音"), sound}});
    m_db->AddRows(k.itemTable, rows);
  }

  // The stored items of a kind as "number|name|chapter|text|sound", in number order.
  QStringList Stored(const LessonKind& k) {
    platform::Dataset d(m_db->database().Connection());
    d.SqlAdd(QStringLiteral("select * from %1 order by %2").arg(k.itemTable, k.numberField));
    if (!d.Open()) return {d.LastError()};
    QStringList out;
    for (d.First(); !d.Eof(); d.Next())
      out << QStringList{d.Field(k.numberField), d.Field(k.nameField),
                         d.Field(QStringLiteral("章节")), d.Field(k.textField),
                         d.Field(QStringLiteral("声音"))}
                 .join(QLatin1Char('|'));
    return out;
  }

  TItemListForm* OpenList(const LessonKind& k, QWidget* owner = nullptr) {
    m_list = new TItemListForm(owner, k.id);
    m_list->SetEditorShower([this](TItemEditorForm* e) {
      e->setAttribute(Qt::WA_DeleteOnClose);
      e->show();
      m_editors << e;
    });
    m_list->show();
    return m_list;
  }

  // The editor the latest "新增" or "修改" opened, or nullptr.
  TItemEditorForm* Editor() const { return m_editors.isEmpty() ? nullptr : m_editors.last(); }

  TItemEditorForm* AddEditor(const LessonKind& k, int chapterIndex = 0) {
    TItemListForm* list = m_list ? m_list.data() : OpenList(k);
    list->CB1->setCurrentIndex(chapterIndex);
    const int before = m_editors.size();
    list->AddSbClick();
    return m_editors.size() > before ? Editor() : nullptr;
  }

  TItemEditorForm* ModifyEditor(int row) {
    m_list->db1->selectRow(row);
    const int before = m_editors.size();
    m_list->ModifySbClick();
    return m_editors.size() > before ? Editor() : nullptr;
  }

  static void Fill(TItemEditorForm* e, const QString& number, const QString& name,
                   const QString& text) {
    e->numed->setText(number);
    e->nameed->setText(name);
    e->SetText(text);
  }

  QString Messages() const { return m_boxes->TitlesAndTexts().join(QLatin1Char('\n')); }

 private Q_SLOTS:
  void init() {
    m_sound = std::make_unique<RecordingSoundPlayer>();
    m_boxes = std::make_unique<ScriptedMessageBox>();
    m_dialogs = std::make_unique<FakeDialogs>();
    EditOldName.clear();
  }

  void cleanup() {
    for (const auto& e : m_editors) delete e.data();
    m_editors.clear();
    delete m_list.data();
    m_dialogs.reset();
    m_boxes.reset();
    m_sound.reset();
    m_db.reset();
  }

  // The limit counts the chosen chapter's items only; the grid shows them through the two SQL
  // lines with the parameter between them.
  void limitCountsChosenChapterOnly_data() { KindOnlyRows(); }
  void limitCountsChosenChapterOnly() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    QVERIFY(Start());
    m_db->AddChapters(k, {kFirst, kSecond});
    QStringList names;
    for (int i = 1; i < k.itemsPerChapter; ++i) names << QStringLiteral("n%1").arg(i);
    AddItems(k, kFirst, names, 1);
    AddItems(k, kSecond, {QStringLiteral("x")}, 100);
    QStringList sent;
    platform::SetSqlObserver([&sent](const QString&, const QString& sql) { sent << sql; });
    TItemListForm* list = OpenList(k);
    platform::SetSqlObserver({});
    QCOMPARE(list->CB1->count(), 2);
    QVERIFY(sent.contains(k.sqlChapters));
    QVERIFY(sent.contains(k.sqlItemsLine1 + QLatin1Char('\n') + k.sqlItemsLine2));
    QCOMPARE(list->db1->model()->rowCount(), k.itemsPerChapter - 1);

    QVERIFY(AddEditor(k));  // one short of the limit
    QCOMPARE(Editor()->ZJPL->text(), kFirst);
    Fill(Editor(), QStringLiteral("500"), QStringLiteral("末"), QStringLiteral("文"));
    Editor()->AddBtnClick();
    QVERIFY2(m_boxes->shown.isEmpty(), qPrintable(Messages()));
    QCOMPARE(list->db1->model()->rowCount(), k.itemsPerChapter);

    QVERIFY(!AddEditor(k));  // full
    QCOMPARE(Messages(), QStringLiteral("注意|") + k.limitMessage);
    QVERIFY(AddEditor(k, 1));  // the other chapter is not full
    QCOMPARE(Editor()->ZJPL->text(), kSecond);
  }

  // A long chapter name shows whole in the editor, in smaller type; a short one keeps its size.
  void chapterShownWhole_data() { KindOnlyRows(); }
  void chapterShownWhole() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    QVERIFY(Start());
    const QString longName = QStringLiteral("第五章 我们的老师和同学们一起学习新的汉字和词语");
    const QString huge = QString(u'章').repeated(200);
    m_db->AddChapters(k, {kFirst, longName, huge});
    QVERIFY(AddEditor(k));
    QCOMPARE(Editor()->ZJPL->font().pixelSize(), 20);
    QVERIFY(AddEditor(k, 1));
    const QLabel* label = Editor()->ZJPL;
    QCOMPARE(label->text(), longName);
    QVERIFY(label->font().pixelSize() < 20);
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(longName) <= label->width());

    // Past the smallest type: cut between characters with "…", stored under the whole name;
    // the drop-down list stays within twice the selector's width, its entry cut the same way.
    QVERIFY(AddEditor(k, 2));
    const QString shown = Editor()->ZJPL->text();
    QVERIFY(shown.endsWith(u'…'));
    QVERIFY(huge.startsWith(shown.chopped(1)));
    QCOMPARE(Editor()->ZJPL->toolTip(), huge);
    Fill(Editor(), QStringLiteral("9"), QStringLiteral("长"), QStringLiteral("文"));
    Editor()->AddBtnClick();
    QVERIFY2(m_boxes->shown.isEmpty(), qPrintable(Messages()));
    QVERIFY(Stored(k).last().contains(u'|' + huge + u'|'));
    QCOMPARE(m_list->CB1->toolTip(), huge);
    m_list->CB1->showPopup();
    QVERIFY(m_list->CB1->view()->window()->width() <= 2 * m_list->CB1->width());
    m_list->CB1->hidePopup();
    m_list->CB1->setCurrentIndex(m_list->CB1->findText(kFirst));  // a name that fits: no tooltip
    QCOMPARE(m_list->CB1->toolTip(), QString());
  }

  // "新增" proposes the highest number of the kind plus one, over all chapters, selected so that
  // typing replaces it; 1 when the kind has no item yet.
  void addProposesNextFreeNumber_data() { KindAndBackendRows(); }
  void addProposesNextFreeNumber() {
    QFETCH(int, kind);
    QFETCH(Backend, backend);
    const LessonKind& k = KindOf(kind);
    if (!Start(backend)) return;
    m_db->AddChapters(k, {kFirst, kSecond});
    QVERIFY(AddEditor(k));
    QCOMPARE(Editor()->numed->text(), QStringLiteral("1"));
    AddItems(k, kSecond, {QStringLiteral("a"), QStringLiteral("b")}, 40);
    QVERIFY(AddEditor(k));  // the first chapter is still empty
    QLineEdit* number = Editor()->numed;
    QCOMPARE(number->text(), QStringLiteral("42"));
    QCOMPARE(number->selectedText(), QStringLiteral("42"));
    Fill(Editor(), number->text(), QStringLiteral("新"), QStringLiteral("文"));
    Editor()->AddBtnClick();
    QVERIFY2(m_boxes->shown.isEmpty(), qPrintable(Messages()));
    QVERIFY(AddEditor(k, 1));
    QTest::keyClicks(Editor()->numed, QStringLiteral("7"));
    QCOMPARE(Editor()->numed->text(), QStringLiteral("7"));
  }

  // Adding: each check in its order with its message, the entries kept after a refusal; what
  // passes is stored as typed, without a recording when none was chosen.
  void addChecks_data() {
    KindColumn();
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");  // empty: stored
    KindRows(": new", [](QTestData& row, const LessonKind&) {
      row << "5" << QStringLiteral("新") << QStringLiteral("文") << QString();
    });
    KindRows(": number 0", [](QTestData& row, const LessonKind&) {
      row << "0" << QStringLiteral("新") << QStringLiteral("文")
          << QStringLiteral("此编辑框只能输入正整数");
    });
    KindRows(": empty name", [](QTestData& row, const LessonKind& k) {
      row << "5" << QString() << QStringLiteral("文") << k.emptyNumberOrName;
    });
    KindRows(": name used in the chapter, other case", [](QTestData& row, const LessonKind& k) {
      row << "5" << QStringLiteral("cat") << QStringLiteral("文") << k.nameUsed;
    });
    KindRows(": name of another chapter", [](QTestData& row, const LessonKind&) {
      row << "5" << QStringLiteral("Dog") << QStringLiteral("文") << QString();
    });
    const int character = int(LessonKindId::Character);
    const QString tooLong = Kind(LessonKindId::Character).nameTooLong;
    for (const auto& [name, ok] : std::initializer_list<std::pair<const char*, bool>>{
             {"一二", true},
             {"abcd", true},
             {"一ab", true},
             {"𠀀", true},  // outside GBK: GB18030's four bytes
             {"一二三", false},
             {"abcde", false},
             {"一abc", false},
             {"一😀", false}}) {
      QTest::addRow("character: name %s", name)
          << character << "5" << QString::fromUtf8(name) << QString() << (ok ? QString() : tooLong);
    }
    for (const LessonKind* k : {&Kind(LessonKindId::Poem), &Kind(LessonKindId::English)}) {
      QTest::addRow("%s: empty text", qPrintable(k->key))
          << int(k->id) << "5" << QStringLiteral("新") << QString() << k->textEmpty;
      QTest::addRow("%s: 100 KB text", qPrintable(k->key))
          << int(k->id) << "5" << QStringLiteral("长") << QString(50 * 1024, QChar(0x6C34))
          << QString();
    }
  }
  void addChecks() {
    QFETCH(int, kind);
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, message);
    const LessonKind& k = KindOf(kind);
    QVERIFY(Start());
    m_db->AddChapters(k, {kFirst, kSecond});
    AddItems(k, kFirst, {QStringLiteral("Cat")}, 1);
    AddItems(k, kSecond, {QStringLiteral("Dog")}, 2);
    const QStringList before = Stored(k);
    QPointer<TItemEditorForm> e = AddEditor(k);
    QVERIFY(e);
    Fill(e, number, name, text);
    e->AddBtnClick();
    if (message.isEmpty()) {
      QVERIFY2(m_boxes->shown.isEmpty(), qPrintable(Messages()));
      QVERIFY(!e || !e->isVisible());
      const QString added = QStringList{number, name, kFirst, text, QString()}.join('|');
      QCOMPARE(Stored(k), before + QStringList{added});
      QCOMPARE(m_list->db1->model()->rowCount(), 2);
      return;
    }
    QCOMPARE(Messages(), QStringLiteral("注意|") + message);
    QVERIFY(e->isVisible());
    QCOMPARE(e->nameed->text(), name);
    QCOMPARE(e->Text(), text);
    QCOMPARE(Stored(k), before);
  }

  // A number the database refuses, or a commit that loses the connection to the server: the
  // cause's message with the error icon, nothing stored and the list showing just that, the
  // entries kept; corrected, or with the server back, the same editor stores the item.
  void storeRefusedByDatabase_data() {
    KindColumn();
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<bool>("lostAtCommit");
    for (const LessonKind* k : AllKinds()) {
      QTest::addRow("%s/sqlite", qPrintable(k->key)) << int(k->id) << Backend::Sqlite << false;
      QTest::addRow("%s/postgres", qPrintable(k->key))
          << int(k->id) << Backend::OdbcPostgres << false;
      QTest::addRow("%s/postgres, connection lost at commit", qPrintable(k->key))
          << int(k->id) << Backend::OdbcPostgres << true;
    }
  }
  void storeRefusedByDatabase() {
    QFETCH(int, kind);
    QFETCH(Backend, backend);
    QFETCH(bool, lostAtCommit);
    const LessonKind& k = KindOf(kind);
    if (!Start(backend)) return;
    m_db->AddChapters(k, {kFirst, kSecond});
    AddItems(k, kSecond, {QStringLiteral("Cat")}, 1);
    const QString c = m_db->database().Connection();
    // The server process ends itself once the row is posted, in the commit.
    if (lostAtCommit)
      QVERIFY(platform::ExecSql(c, QStringLiteral("create function tindora_lose() returns trigger "
                                                  "language plpgsql as $$ begin perform "
                                                  "pg_terminate_backend(pg_backend_pid()); "
                                                  "return null; end $$")) &&
              platform::ExecSql(c, QStringLiteral("create constraint trigger lose after insert on "
                                                  "%1 deferrable initially deferred for each row "
                                                  "execute function tindora_lose()")
                                       .arg(k.itemTable)));
    QPointer<TItemEditorForm> e = AddEditor(k);
    QVERIFY(e);
    Fill(e, lostAtCommit ? QStringLiteral("2") : QStringLiteral("1"), QStringLiteral("New"),
         QStringLiteral("行一\n行二"));
    e->AddBtnClick();
    const QString lost =
        QStringLiteral("与数据库服务器的连接断开了，没有储存。服务器恢复后再试一次即可。");
    QCOMPARE(Messages(), QStringLiteral("注意|") + (lostAtCommit ? lost : k.storeFailed));
    QCOMPARE(m_boxes->shown.first().flags, platform::MB_OK | platform::MB_ICONERROR);
    QVERIFY(e->isVisible());
    QCOMPARE(e->nameed->text(), QStringLiteral("New"));
    QCOMPARE(Stored(k).size(), 1);
    QCOMPARE(m_list->db1->model()->rowCount(), 0);

    if (lostAtCommit)
      QVERIFY(platform::ExecSql(c, QStringLiteral("drop trigger lose on %1").arg(k.itemTable)));
    e->numed->setText(QStringLiteral("2"));
    e->AddBtnClick();
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(Stored(k),
             (QStringList{QStringLiteral("1|Cat|") + kSecond + QStringLiteral("|文|"),
                          QStringLiteral("2|New|") + kFirst + QStringLiteral("|行一\n行二|")}));
    QCOMPARE(m_list->db1->model()->rowCount(), 1);
  }

  // Modifying: the row arrives in the editor; a name differing only in case from another item's
  // is accepted (exact comparison), the exact name refused with the old name put back, and an
  // unchanged name accepted.
  void modify_data() { KindAndBackendRows(); }
  void modify() {
    QFETCH(int, kind);
    QFETCH(Backend, backend);
    const LessonKind& k = KindOf(kind);
    if (!Start(backend)) return;
    m_db->AddChapters(k, {kFirst});
    AddItems(k, kFirst, {QStringLiteral("cat")}, 1);
    // A poem or translation with Windows line breaks arrives as its lines and is stored with
    // plain ones; the one-line pinyin box keeps what it holds.
    const QString lines = QStringLiteral("第一行\n第二行");
    AddItems(k, kFirst, {QStringLiteral("Dog")}, 2,
             k.id == LessonKindId::Character ? lines : QStringLiteral("第一行\r\n第二行"),
             QStringLiteral("/录音/狗.wav"));
    OpenList(k);
    QPointer<TItemEditorForm> e = ModifyEditor(1);
    QVERIFY(e);
    QCOMPARE(e->numed->text(), QStringLiteral("2"));
    QCOMPARE(e->nameed->text(), QStringLiteral("Dog"));
    QCOMPARE(EditOldName, QStringLiteral("Dog"));
    QCOMPARE(e->ZJPL->text(), kFirst);
    QCOMPARE(e->Text(), lines);
    QCOMPARE(e->Sypl->text(), QStringLiteral("/录音/狗.wav"));
    QVERIFY(e->AddBtn->isHidden() && !e->ModifyBtn->isHidden());

    e->nameed->setText(QStringLiteral("Cat"));
    e->ModifyBtnClick();
    QVERIFY2(m_boxes->shown.isEmpty(), qPrintable(Messages()));
    QCOMPARE(Stored(k).last(), QStringLiteral("2|Cat|") + kFirst + QLatin1Char('|') + lines +
                                   QStringLiteral("|/录音/狗.wav"));

    e = ModifyEditor(1);
    QVERIFY(e);
    e->nameed->setText(QStringLiteral("cat"));
    e->ModifyBtnClick();
    QCOMPARE(Messages(), QStringLiteral("注意|") + k.nameUsed);
    QCOMPARE(e->nameed->text(), QStringLiteral("Cat"));
    QCOMPARE(e->focusWidget(), e->nameed);

    e->SetText(QStringLiteral("新文"));
    e->DELLSBClick();
    e->ModifyBtnClick();
    QCOMPARE(m_boxes->shown.size(), 1);
    QVERIFY(!e || !e->isVisible());
    QCOMPARE(Stored(k).last(), QStringLiteral("2|Cat|") + kFirst + QStringLiteral("|新文|"));
  }

  // The proposal follows the name until the adult chooses; a choice ("换一个", "不要图片") is
  // stored and no later proposal replaces it.
  void pictureChoiceKept_data() {
    KindColumn();
    QTest::addColumn<Backend>("backend");
    for (const LessonKind* k : AllKinds())
      if (k->pictures)
        for (const auto& [name, b] : {std::pair{"sqlite", Backend::Sqlite},
                                      std::pair{"postgres", Backend::OdbcPostgres}})
          QTest::newRow(qPrintable(k->key + "/" + name)) << int(k->id) << b;
  }
  void pictureChoiceKept() {
    QFETCH(int, kind);
    QFETCH(Backend, backend);
    const LessonKind& k = KindOf(kind);
    if (!Start(backend)) return;
    m_db->AddChapters(k, {kFirst});
    AddItems(k, kFirst, {QStringLiteral("dog")}, 1, QStringLiteral("狗"));
    const auto stored = [&] {
      platform::Dataset d(m_db->database().Connection());
      d.SqlAdd("select 图片 from " + k.itemTable);
      return !d.Open() ? d.LastError() : d.FieldIsNull("图片") ? QString("∅") : d.Field("图片");
    };
    OpenList(k);
    QPointer<TItemEditorForm> e = ModifyEditor(0);
    QCOMPARE(e->ShownPicture(), QStringLiteral("🐕"));
    e->nameed->setText(QStringLiteral("cat"));
    QCOMPARE(e->ShownPicture(), QStringLiteral("🐈"));
    e->ModifyBtnClick();
    QCOMPARE(stored(), QStringLiteral("∅"));  // nobody chose: it keeps following the proposal

    e = ModifyEditor(0);
    const QStringList candidates = pictures::ProposePictures("cat", "狗");
    QVERIFY(candidates.size() > 2);
    e->NextPictureSbClick();
    QCOMPARE(e->ShownPicture(), candidates.at(1));
    e->nameed->setText(QStringLiteral("dog"));
    QCOMPARE(e->ShownPicture(), candidates.at(1));
    e->ModifyBtnClick();
    QCOMPARE(stored(), candidates.at(1));

    e = ModifyEditor(0);
    QCOMPARE(e->ShownPicture(), candidates.at(1));
    e->NoPictureSbClick();
    QCOMPARE(e->PictureLb->text(), QStringLiteral("无图"));
    e->ModifyBtnClick();
    QCOMPARE(stored(), QStringLiteral("-"));

    // Past the last candidate, the first again; a word with none says so and changes nothing.
    e = ModifyEditor(0);
    const QStringList dogs = pictures::ProposePictures("dog", "狗");
    e->SetPictureChoice(dogs.last());
    e->NextPictureSbClick();
    QCOMPARE(e->ShownPicture(), dogs.first());
    e->nameed->setText(QStringLiteral("qq"));
    e->SetText(QStringLiteral("qq"));
    e->NoPictureSbClick();
    e->NextPictureSbClick();
    QCOMPARE(Messages(), QStringLiteral("注意|没有和“qq”相配的图片。"));
    QCOMPARE(e->ShownPicture(), QString());
  }

  // Delete asks first; No keeps the row, Yes removes it and leaves its recording on disk.
  void deleteAsksFirst_data() { KindOnlyRows(); }
  void deleteAsksFirst() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    QVERIFY(Start());
    QTemporaryDir media;
    const QString wav = media.filePath(QStringLiteral("b.wav"));
    QFile(wav).open(QIODevice::WriteOnly);
    m_db->AddChapters(k, {kFirst});
    AddItems(k, kFirst, {QStringLiteral("a")}, 1);
    AddItems(k, kFirst, {QStringLiteral("b")}, 2, QStringLiteral("文"), wav);
    OpenList(k);
    m_list->db1->selectRow(1);
    m_boxes->answers = {platform::IDNO, platform::IDYES};
    m_list->DelSbClick();
    QCOMPARE(Stored(k).size(), 2);
    QCOMPARE(m_boxes->shown.first().flags, platform::MB_YESNO | platform::MB_ICONQUESTION);
    QCOMPARE(Messages(), QStringLiteral("注意|确定要进行删除操作吗?"));
    m_list->DelSbClick();
    QCOMPARE(Stored(k), QStringList{QStringLiteral("1|a|") + kFirst + QStringLiteral("|文|")});
    QCOMPARE(dm->goQuery->RecNo(), 0);
    QVERIFY(QFile::exists(wav));
  }

  // Without chapters nothing is listed, not even what goQuery held before, and the buttons do
  // nothing.
  void noChapters_data() { KindOnlyRows(); }
  void noChapters() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    QVERIFY(Start());
    AddItems(k, kFirst, {QStringLiteral("a")}, 1);
    dm->goQuery->Close();
    dm->goQuery->SqlClear();
    dm->goQuery->SqlAdd(QStringLiteral("select * from ") + k.itemTable);
    QVERIFY(dm->goQuery->Open());
    OpenList(k);
    QCOMPARE(m_list->CB1->count(), 0);
    QCOMPARE(m_list->db1->model()->rowCount(), 0);
    m_list->AddSbClick();
    m_list->ModifySbClick();
    m_list->DelSbClick();
    QVERIFY(m_editors.isEmpty());
    QVERIFY(m_boxes->shown.isEmpty());
  }

  // The recording path: chosen through the dialog (starting in the kind's recordings folder),
  // kept when the dialog is cancelled, played and stored exactly as chosen, emptied by "删除";
  // closing the editor stops the test sound. Enter moves from box to box.
  void recordingPath_data() { KindOnlyRows(); }
  void recordingPath() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    QVERIFY(Start());
    m_db->AddChapters(k, {kFirst});
    QPointer<TItemEditorForm> e = AddEditor(k);
    QVERIFY(e);
    QCOMPARE(e->focusWidget(), e->numed);
    QTest::keyClick(e->numed, Qt::Key_Return);
    QCOMPARE(e->focusWidget(), e->nameed);
    QTest::keyClick(e->nameed, Qt::Key_Return);
    QCOMPARE(e->focusWidget(), e->TextBox());

    e->TestsbClick();
    QCOMPARE(Messages(), QStringLiteral("注意|没有选择声音文件！"));
    QVERIFY(m_sound->calls.isEmpty());

    // "选取" starts in the kind's own recordings folder and copies the file into the library.
    QTemporaryDir outside;
    const QString chosen = outside.filePath(QStringLiteral("\"引号\" 'x'.wav"));
    const QByteArray wav = platform::WavBytes(platform::Samples(500, 1000));
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(wav) == wav.size());
    file.close();
    m_dialogs->fileToChoose = chosen;
    e->SelectfbClick();
    QCOMPARE(m_dialogs->lastFilter, QStringLiteral("*.wav"));
    QCOMPARE(m_dialogs->lastFolder, RecordingsFolder(k));
    const QString name = e->Sypl->text();
    QVERIFY2(recordings::IsLibraryName(name), qPrintable(name));
    m_dialogs->fileToChoose.clear();
    e->SelectfbClick();
    QCOMPARE(m_boxes->TitlesAndTexts().last(), QStringLiteral("关于选取声音|没有选取声音文件！"));
    QCOMPARE(e->Sypl->text(), name);
    e->TestsbClick();
    QCOMPARE(m_sound->Names(), QStringList{e->SoundToPlay()});

    e->DELLSBClick();
    QVERIFY(e->Sypl->text().isEmpty());
    m_dialogs->fileToChoose = chosen;
    e->SelectfbClick();
    Fill(e, QStringLiteral("3"), QStringLiteral("名"), QStringLiteral("文"));
    e->AddBtnClick();
    QCOMPARE(Stored(k).first().section(QLatin1Char('|'), 4), name);
    QVERIFY(QFile::remove(chosen));  // the lesson keeps its own copy
    QFile kept(recordings::LocalPath(m_db->database().Connection(), name));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), wav);
    QCOMPARE(m_sound->Names().last(), QString());  // closing stopped the sound
  }

  // "返回→" reloads the lesson screen below: it shows its first chapter with the added item, and
  // choosing the item hands its recording on.
  void returnReloadsLessonScreen_data() { KindOnlyRows(); }
  void returnReloadsLessonScreen() {
    QFETCH(int, kind);
    const LessonKind& k = KindOf(kind);
    QVERIFY(Start());
    m_db->AddChapters(k, {kFirst, kSecond});
    QTemporaryDir media;
    const QString wav = media.filePath(QStringLiteral("新.wav"));
    QFile(wav).open(QIODevice::WriteOnly);
    std::unique_ptr<QWidget> screen;
    TszmainForm* characters = nullptr;
    TVerseScreen* verses = nullptr;
    if (k.id == LessonKindId::Character) {
      screen.reset(characters = new TszmainForm(nullptr));
      characters->SetPopupShower([](Tsendsongform* popup) { delete popup; });
    } else {
      screen.reset(verses = k.id == LessonKindId::Poem
                                ? static_cast<TVerseScreen*>(new TxsmainForm(nullptr))
                                : new TXYYMAINForm(nullptr));
    }
    screen->show();
    screen->findChild<QComboBox*>()->setCurrentIndex(1);

    OpenList(k, screen.get());
    QPointer<TItemEditorForm> e = AddEditor(k);
    QVERIFY(e);
    Fill(e, QStringLiteral("1"), QStringLiteral("新"), QStringLiteral("文"));
    m_dialogs->fileToChoose = wav;
    e->SelectfbClick();
    e->AddBtnClick();
    QVERIFY2(m_boxes->shown.isEmpty(), qPrintable(Messages()));
    // The screens play the library's copy of the chosen file.
    const QString kept = recordings::LocalPath(m_db->database().Connection(),
                                               Stored(k).first().section(QLatin1Char('|'), 4));
    m_list->quitsbClick();
    QTRY_VERIFY(!m_list || !m_list->isVisible());

    QCOMPARE(screen->findChild<QComboBox*>()->currentIndex(), 0);
    CurrentSoundFile.clear();
    if (characters) {
      QCOMPARE(characters->ListView1->count(), 1);
      QCOMPARE(characters->ListView1->item(0)->text(), QStringLiteral("新"));
      characters->ListView1->setCurrentRow(0);
      characters->ListView1Click();
    } else {
      QCOMPARE(verses->Tree1->topLevelItemCount(), 1);
      QCOMPARE(verses->Tree1->topLevelItem(0)->text(0), QStringLiteral("新"));
      verses->Tree1->setCurrentItem(verses->Tree1->topLevelItem(0));
      verses->LDSBClick();
      QCOMPARE(m_sound->Names().last(), kept);
    }
    QCOMPARE(CurrentSoundFile, kept);
  }
};

QTEST_MAIN(ItemWindowsTest)
#include "test_item_windows.moc"
