// SPDX-License-Identifier: GPL-3.0-or-later
// The chapter list manager and chapter editor of every lesson kind on real lesson databases
// (SQLite directly and through ODBC, PostgreSQL through ODBC when a server is given), with the
// message boxes scripted and the editor shown without a modal loop.
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "editors/chapter_windows.h"
#include "lessons/character_screen.h"
#include "lessons/verse_screen.h"
#include "platform/dataset.h"
#include "program.h"
#include "support/fakes.h"
#include "support/test_db.h"

using testing::Backend;
using testing::ScriptedMessageBox;
using testing::TestDataModule;

namespace {

const QString kStoreFailed = QStringLiteral("注意|储存出错,章号不能相同,请检查");
const QString kOtherFailure =
    QStringLiteral("注意|储存出错，没有储存。原因已记入日志，请让管理员查看。");

void AddKindRows() {
  QTest::addColumn<Backend>("backend");
  QTest::addColumn<int>("kind");
  const std::pair<const char*, Backend> backends[] = {{"sqlite", Backend::Sqlite},
                                                      {"odbc-sqlite", Backend::OdbcSqlite},
                                                      {"odbc-postgres", Backend::OdbcPostgres}};
  for (const auto& [label, backend] : backends)
    for (const LessonKind* k : AllKinds())
      QTest::addRow("%s/%s", label, qPrintable(k->key)) << backend << int(k->id);
}

// A kind's manager on a fresh database holding `chapters` and items of those chapters.
struct Fixture {
  TestDataModule db;
  const LessonKind& kind;
  ScriptedMessageBox boxes;
  std::unique_ptr<TChapterListForm> manager;
  QPointer<TChapterEditForm> editor;

  Fixture(Backend backend, int kindId) : db(backend), kind(Kind(LessonKindId(kindId))) {}
  bool Ready() const { return db.database().Available(); }
  QString Conn() const { return db.database().Connection(); }

  void Chapters(const QList<std::pair<int, QString>>& rows) {
    QList<QList<std::pair<QString, QString>>> out;
    for (const auto& [n, name] : rows)
      out.append({{QStringLiteral("章号"), QString::number(n)}, {QStringLiteral("章节"), name}});
    db.AddRows(kind.chapterTable, out);
  }
  // Items numbered from `first`, one per chapter name given.
  void Items(int first, const QStringList& chapters) {
    QList<QList<std::pair<QString, QString>>> out;
    for (const QString& c : chapters) {
      const int n = first++;
      out.append({{kind.numberField, QString::number(n)},
                  {kind.nameField, QStringLiteral("i%1").arg(n)},
                  {QStringLiteral("章节"), c},
                  {kind.textField, QStringLiteral("t")}});
    }
    db.AddRows(kind.itemTable, out);
  }
  void Open() {
    manager = std::make_unique<TChapterListForm>(nullptr, kind.id);
    manager->SetEditorShower([this](TChapterEditForm* e) {
      editor = e;
      e->show();
    });
    manager->show();
  }
  // Opens the editor on row `row` (or for a new chapter with row -1) and saves the entries.
  void Save(int row, const QString& number, const QString& name) {
    if (row < 0) {
      manager->AddSbClick();
    } else {
      dm->ALLQuery->MoveTo(row);
      manager->ModifySbClick();
    }
    QVERIFY(editor);
    editor->numed->setText(number);
    editor->nameed->setText(name);
    if (row < 0)
      editor->AddBtnClick();
    else
      editor->ModifyBtnClick();
  }
  QStringList Select(const QString& sql) const {
    QStringList out;
    QSqlQuery q(QSqlDatabase::database(Conn()));
    if (!q.exec(sql)) return {QStringLiteral("error: ") + q.lastError().text()};
    while (q.next()) out << q.value(0).toString() + QLatin1Char('|') + q.value(1).toString();
    return out;
  }
  QStringList StoredChapters() const {
    return Select(QStringLiteral("select 章号, 章节 from %1 order by 章号").arg(kind.chapterTable));
  }
  QStringList StoredItems() const {
    return Select(QStringLiteral("select %1, 章节 from %2 order by %1")
                      .arg(kind.numberField, kind.itemTable));
  }
  // The grid's rows as "number|name".
  QStringList Grid() const {
    QStringList out;
    const auto* m = manager->db1->model();
    for (int r = 0; r < m->rowCount(); ++r)
      out << m->index(r, 0).data().toString() + QLatin1Char('|') + m->index(r, 1).data().toString();
    return out;
  }
  bool EditorOpen() const { return editor && editor->isVisible(); }
};

#define FIXTURE(f)                   \
  QFETCH(Backend, backend);          \
  QFETCH(int, kind);                 \
  Fixture f(backend, kind);          \
  REQUIRE_DATABASE(f.db.database()); \
  do {                               \
  } while (false)

// Makes every update of one item fail, the way a database refusal would.
bool RefuseItemUpdate(const Fixture& f, int number, Backend backend) {
  const QString table = f.kind.itemTable.toLower();
  if (backend == Backend::OdbcPostgres) {
    return platform::ExecSql(f.Conn(),
                             QStringLiteral("create or replace function tindora_refuse() returns "
                                            "trigger language plpgsql as $$ begin raise "
                                            "exception 'refused'; end $$")) &&
           platform::ExecSql(f.Conn(), QStringLiteral("create trigger refuse before update on %1 "
                                                      "for each row when (old.%2 = %3) execute "
                                                      "function tindora_refuse()")
                                           .arg(table, f.kind.numberField)
                                           .arg(number));
  }
  return platform::ExecSql(f.Conn(), QStringLiteral("create trigger refuse before update on %1 "
                                                    "when old.%2 = %3 begin select "
                                                    "raise(abort, 'refused'); end")
                                         .arg(table, f.kind.numberField)
                                         .arg(number));
}

}  // namespace

class ChapterWindowsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void opensWithTheChapterQuery_data() { AddKindRows(); }
  void opensWithTheChapterQuery() {
    FIXTURE(f);
    f.Chapters({{10, QStringLiteral("十")}, {9, QStringLiteral("九")}});
    QStringList sent;
    platform::SetSqlObserver([&sent](const QString&, const QString& sql) { sent << sql; });
    f.Open();
    platform::SetSqlObserver({});
    QCOMPARE(sent, QStringList{f.kind.sqlChapterGrid});
    QCOMPARE(f.manager->windowTitle(), f.kind.chapterListCaption);
    QCOMPARE(f.Grid(), (QStringList{QStringLiteral("9|九"), QStringLiteral("10|十")}));
    QCOMPARE(f.manager->db1->currentIndex().row(), 0);
  }

  void addsAChapter_data() { AddKindRows(); }
  void addsAChapter() {
    FIXTURE(f);
    f.Chapters({{1, QStringLiteral("Animals")}, {3, QStringLiteral("数字")}});
    f.Open();
    f.Save(-1, QStringLiteral("2"), QStringLiteral("颜色"));
    QCOMPARE(f.boxes.TitlesAndTexts(), QStringList());
    QVERIFY(!f.EditorOpen());
    const QStringList want = {QStringLiteral("1|Animals"), QStringLiteral("2|颜色"),
                              QStringLiteral("3|数字")};
    QCOMPARE(f.StoredChapters(), want);
    QCOMPARE(f.Grid(), want);
  }

  // Refused saves leave the database as it was and the editor open with its entries.
  void refusedAdd_data() { AddKindRows(); }
  void refusedAdd() {
    FIXTURE(f);
    f.Chapters({{1, QStringLiteral("Animals")}});
    f.Open();
    const QStringList before = f.StoredChapters();
    // The same number: the database refuses, the pending row is dropped.
    f.Save(-1, QStringLiteral("1"), QStringLiteral("颜色"));
    QCOMPARE(f.boxes.TitlesAndTexts(), QStringList{kStoreFailed});
    QCOMPARE(f.boxes.shown.last().flags, platform::MB_OK | platform::MB_ICONERROR);
    QVERIFY(f.EditorOpen());
    QCOMPARE(f.editor->numed->text(), QStringLiteral("1"));
    QCOMPARE(f.editor->nameed->text(), QStringLiteral("颜色"));
    QCOMPARE(dm->ALLQuery->state(), platform::Dataset::State::Browse);
    QCOMPARE(f.StoredChapters(), before);
    // A name differing only in letter case.
    f.editor->numed->setText(QStringLiteral("2"));
    f.editor->nameed->setText(QStringLiteral("aNIMALS"));
    f.editor->AddBtnClick();
    QCOMPARE(f.boxes.TitlesAndTexts().last(), QStringLiteral("注意|章节名不能相同！"));
    QVERIFY(f.EditorOpen());
    QCOMPARE(f.StoredChapters(), before);
    // Corrected, the same editor stores it.
    f.editor->nameed->setText(QStringLiteral("颜色"));
    f.editor->AddBtnClick();
    QVERIFY(!f.EditorOpen());
    QCOMPARE(f.StoredChapters(), before + QStringList{QStringLiteral("2|颜色")});
  }

  // Names are stored exactly as typed, bound as parameters; names beyond the column are refused.
  void namesAsTyped_data() {
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("stored");
    const QString sqlWords = QStringLiteral("x'); drop table ZJ; -- \"");
    const QString emoji = QStringLiteral("小猫🐱€");
    for (const auto& [label, backend] : {std::pair{"sqlite", Backend::Sqlite},
                                         std::pair{"odbc-postgres", Backend::OdbcPostgres}}) {
      for (const LessonKind* k : AllKinds()) {
        const QByteArray row = QByteArray(label) + '/' + k->key.toLatin1();
        QTest::newRow((row + "/blanks kept").constData())
            << backend << int(k->id) << " 颜色 " << true;
        QTest::newRow((row + "/sql words").constData())
            << backend << int(k->id) << sqlWords << true;
        QTest::newRow((row + "/outside GBK").constData()) << backend << int(k->id) << emoji << true;
        QTest::newRow((row + "/another kind's chapter name").constData())
            << backend << int(k->id) << QStringLiteral("别的表") << true;
        QTest::newRow((row + "/200 characters").constData())
            << backend << int(k->id) << QString(200, QChar(0x5B57)) << true;
        QTest::newRow((row + "/1000 characters").constData())
            << backend << int(k->id) << QString(1000, QChar(0x5B57)) << false;
      }
    }
  }
  void namesAsTyped() {
    FIXTURE(f);
    QFETCH(QString, name);
    QFETCH(bool, stored);
    // The same name in the other kinds' chapter tables does not count.
    for (const LessonKind* k : AllKinds())
      if (k != &f.kind)
        f.db.AddRows(k->chapterTable, {{{QStringLiteral("章号"), QStringLiteral("5")},
                                        {QStringLiteral("章节"), QStringLiteral("别的表")}}});
    f.Open();
    f.Save(-1, QStringLiteral("7"), name);
    QCOMPARE(f.EditorOpen(), !stored);
    QCOMPARE(f.StoredChapters(), stored ? QStringList{QStringLiteral("7|") + name} : QStringList());
    if (!stored)
      QCOMPARE(f.boxes.TitlesAndTexts(),
               QStringList{QStringLiteral("注意|章节名太长,最多200个字！")});
  }

  void modifies_data() {
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");  // empty: accepted
    for (const auto& [label, backend] :
         {std::pair{"sqlite", Backend::Sqlite}, std::pair{"odbc-sqlite", Backend::OdbcSqlite},
          std::pair{"odbc-postgres", Backend::OdbcPostgres}}) {
      for (const LessonKind* k : AllKinds()) {
        const QByteArray row = QByteArray(label) + '/' + k->key.toLatin1();
        QTest::newRow((row + "/name kept, number changed").constData())
            << backend << int(k->id) << "5"
            << "animals" << QString();
        QTest::newRow((row + "/other chapter's name in other case").constData())
            << backend << int(k->id) << "1"
            << "Plants" << QString();
        QTest::newRow((row + "/other chapter's exact name").constData())
            << backend << int(k->id) << "1"
            << "plants" << QStringLiteral("注意|章节不能相同！");
        QTest::newRow((row + "/other chapter's number").constData()) << backend << int(k->id) << "2"
                                                                     << "animals" << kStoreFailed;
      }
    }
  }
  void modifies() {
    FIXTURE(f);
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QString, message);
    f.Chapters({{1, QStringLiteral("animals")}, {2, QStringLiteral("plants")}});
    f.Items(1, {QStringLiteral("animals"), QStringLiteral("plants"), QStringLiteral("animals")});
    const QStringList chapters = f.StoredChapters();
    const QStringList items = f.StoredItems();
    f.Open();
    f.Save(0, number, name);
    QCOMPARE(EditOldName, QStringLiteral("animals"));
    if (message.isEmpty()) {
      QCOMPARE(f.boxes.TitlesAndTexts(), QStringList());
      QVERIFY(!f.EditorOpen());
      QCOMPARE(f.StoredChapters().count(number + QLatin1Char('|') + name), 1);
      QStringList moved = items;
      moved.replaceInStrings(QStringLiteral("|animals"), QLatin1Char('|') + name);
      QCOMPARE(f.StoredItems(), moved);
    } else {
      QCOMPARE(f.boxes.TitlesAndTexts(), QStringList{message});
      QVERIFY(f.EditorOpen());
      QCOMPARE(f.StoredChapters(), chapters);
      QCOMPARE(f.StoredItems(), items);
      // A refused duplicate puts the old name back; a refused store keeps the entries.
      QCOMPARE(f.editor->nameed->text(),
               message == kStoreFailed ? name : QStringLiteral("animals"));
      QCOMPARE(dm->ALLQuery->Field(QStringLiteral("章节")), QStringLiteral("animals"));
    }
  }

  // A rename whose item update fails changes nothing at all, and can be tried again.
  void renameStandsOrFallsWhole_data() { AddKindRows(); }
  void renameStandsOrFallsWhole() {
    FIXTURE(f);
    f.Chapters({{1, QStringLiteral("动物")}, {2, QStringLiteral("数字")}});
    f.Items(1, {QStringLiteral("动物"), QStringLiteral("数字"), QStringLiteral("动物"),
                QStringLiteral("动物")});
    QVERIFY(RefuseItemUpdate(f, 3, backend));
    const QStringList chapters = f.StoredChapters();
    const QStringList items = f.StoredItems();
    f.Open();
    QStringList sent;
    platform::SetSqlObserver([&sent](const QString&, const QString& sql) { sent << sql; });
    f.Save(0, QStringLiteral("7"), QStringLiteral("小动物"));
    platform::SetSqlObserver({});
    QVERIFY(sent.contains(f.kind.sqlRenameItems));
    // Refused, but not for a number taken.
    QCOMPARE(f.boxes.TitlesAndTexts(), QStringList{kOtherFailure});
    QVERIFY(f.EditorOpen());
    QCOMPARE(f.StoredChapters(), chapters);
    QCOMPARE(f.StoredItems(), items);
    QCOMPARE(f.Grid(), chapters);
    QCOMPARE(dm->ALLQuery->Field(QStringLiteral("章节")), QStringLiteral("动物"));

    // Without the obstacle the same editor stores the rename, every item with it.
    QVERIFY(platform::ExecSql(
        f.Conn(), backend == Backend::OdbcPostgres
                      ? QStringLiteral("drop trigger refuse on %1").arg(f.kind.itemTable.toLower())
                      : QStringLiteral("drop trigger refuse")));
    f.editor->ModifyBtnClick();
    QVERIFY(!f.EditorOpen());
    QCOMPARE(f.StoredChapters(),
             (QStringList{QStringLiteral("2|数字"), QStringLiteral("7|小动物")}));
    QCOMPARE(f.StoredItems(),
             (QStringList{QStringLiteral("1|小动物"), QStringLiteral("2|数字"),
                          QStringLiteral("3|小动物"), QStringLiteral("4|小动物")}));
  }

  void deletes_data() { AddKindRows(); }
  void deletes() {
    FIXTURE(f);
    f.Chapters(
        {{1, QStringLiteral("Animals")}, {2, QStringLiteral("数字")}, {3, QStringLiteral("空")}});
    f.Items(1, {QStringLiteral("ANIMALS"), QStringLiteral("数字")});
    f.Open();
    const QString refused = QStringLiteral("注意|") + f.kind.chapterHasItems;
    // An item names the chapter in other letter case: refused.
    f.manager->DelSbClick();
    QCOMPARE(f.boxes.TitlesAndTexts(), QStringList{refused});
    // Still refused right after a rename in the same manager.
    f.Save(1, QStringLiteral("2"), QStringLiteral("小数字"));
    QVERIFY(!f.EditorOpen());
    dm->ALLQuery->MoveTo(1);
    f.manager->DelSbClick();
    QCOMPARE(f.boxes.TitlesAndTexts().last(), refused);
    // A chapter without items: No deletes nothing, Yes deletes it.
    const QStringList before = f.StoredChapters();
    const QString confirm = QStringLiteral("注意|确定要进行删除操作吗?");
    f.boxes.answers = {platform::IDNO, platform::IDYES};
    dm->ALLQuery->MoveTo(2);
    f.manager->DelSbClick();
    QCOMPARE(f.boxes.TitlesAndTexts().last(), confirm);
    QCOMPARE(f.StoredChapters(), before);
    dm->ALLQuery->MoveTo(2);
    f.manager->DelSbClick();
    QCOMPARE(f.StoredChapters(), before.mid(0, 2));
    QCOMPARE(f.Grid(), before.mid(0, 2));
    QCOMPARE(f.boxes.shown.size(), 4);
  }

  // Editing may go off while the list is open: each button that would edit says why instead.
  void editingOffRefusesEditing_data() {
    QTest::addColumn<QString>("button");
    for (const char* b : {"AddSb", "ModifySb", "DelSb", "ImportSb", "db1"})
      QTest::addRow("%s", b) << QString::fromLatin1(b);
  }
  void editingOffRefusesEditing() {
    QFETCH(QString, button);
    Fixture f(Backend::Sqlite, int(LessonKindId::Poem));
    f.Chapters({{1, QStringLiteral("一")}});
    testing::FakeDialogs dialogs;
    f.Open();
    const QString reason = QStringLiteral("磁盘已满");
    dm->SetEditingOff(reason);
    if (button == QLatin1String("db1")) {
      Q_EMIT f.manager->db1->doubleClicked(f.manager->db1->model()->index(0, 0));
    } else {
      TChapterListForm* m = f.manager.get();
      (button == QLatin1String("AddSb")      ? m->AddSb
       : button == QLatin1String("ModifySb") ? m->ModifySb
       : button == QLatin1String("DelSb")    ? m->DelSb
                                             : m->ImportSb)
          ->click();
    }
    QVERIFY(!f.editor);
    QCOMPARE(dialogs.fileDialogs, 0);
    QCOMPARE(f.boxes.shown.size(), 1);
    QVERIFY(f.boxes.shown[0].text.contains(reason));
    QCOMPARE(f.StoredChapters(), QStringList{QStringLiteral("1|一")});
  }

  void emptyChapterTable_data() { AddKindRows(); }
  void emptyChapterTable() {
    FIXTURE(f);
    f.Open();
    QCOMPARE(f.Grid(), QStringList());
    f.manager->ModifySbClick();
    f.manager->DelSbClick();
    QVERIFY(!f.editor);
    QCOMPARE(f.boxes.shown.size(), 0);
    f.Save(-1, QStringLiteral("1"), QStringLiteral("第一章"));
    QVERIFY(!f.EditorOpen());
    QCOMPARE(f.Grid(), QStringList{QStringLiteral("1|第一章")});
  }

  // "编辑章节" opens the kind's manager by its window name.
  void openedByName_data() { editorLayout_data(); }
  void openedByName() {
    FIXTURE(f);
    RegisterAllScreens();
    QString shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&shown] {
      QWidget* w = QApplication::activeModalWidget();
      if (!w || !shown.isEmpty()) return;
      shown =
          QString::fromLatin1(w->metaObject()->className()) + QLatin1Char('|') + w->windowTitle();
      w->close();
    });
    poll.start(10);
    QVERIFY(ShowScreen(f.kind.chapterListWindow, nullptr));
    QCOMPARE(shown, f.kind.chapterListWindow + QLatin1Char('|') + f.kind.chapterListCaption);
  }

  // The editor: number box focused, Enter moves on, the mode by the visible save button.
  void editorLayout_data() {
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<int>("kind");
    for (const LessonKind* k : AllKinds())
      QTest::newRow(qPrintable(k->key)) << Backend::Sqlite << int(k->id);
  }
  void editorLayout() {
    FIXTURE(f);
    f.Chapters({{1, QStringLiteral("第一章")}});
    f.Open();
    f.manager->ModifySbClick();
    QVERIFY(f.editor);
    QVERIFY(QTest::qWaitForWindowActive(f.editor));
    QCOMPARE(f.editor->size(), f.kind.chapterEditorSize);
    QCOMPARE(f.editor->windowTitle(), QStringLiteral("章节编辑"));
    QVERIFY(f.editor->AddBtn->isHidden());
    QVERIFY(!f.editor->ModifyBtn->isHidden());
    QCOMPARE(f.editor->ModifyBtn->geometry(), f.editor->AddBtn->geometry());
    QCOMPARE(QApplication::focusWidget(), f.editor->numed);
    QTest::keyClick(f.editor->numed, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), f.editor->nameed);
    QCOMPARE(f.editor->numed->text(), QStringLiteral("1"));
  }

  // A long chapter name fits its column: the grid's last column takes the room left.
  void longNameFitsTheGrid_data() { editorLayout_data(); }
  void longNameFitsTheGrid() {
    FIXTURE(f);
    const QString name = QStringLiteral("第五章 我们的老师和同学们一起学习新的汉字");
    f.Chapters({{1, name}});
    f.Open();
    QVERIFY(QTest::qWaitForWindowExposed(f.manager.get()));
    QFont bold = f.manager->db1->font();  // the name column is drawn in bold
    bold.setBold(true);
    QVERIFY(f.manager->db1->columnWidth(1) > QFontMetrics(bold).horizontalAdvance(name));
  }

  // "返回→" closes the manager and puts the lesson screen back on its first chapter.
  void returnReloadsTheLessonScreen_data() {
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("escape");  // leaving by the Escape key instead
    for (const LessonKind* k : AllKinds()) {
      QTest::addRow("%s/返回", qPrintable(k->key)) << Backend::Sqlite << int(k->id) << false;
      QTest::addRow("%s/escape", qPrintable(k->key)) << Backend::Sqlite << int(k->id) << true;
    }
  }
  void returnReloadsTheLessonScreen() {
    FIXTURE(f);
    testing::FakeClock clock;
    testing::RecordingSoundPlayer sound;
    f.Chapters({{1, QStringLiteral("一")}, {2, QStringLiteral("二")}});
    std::unique_ptr<QDialog> screen;
    QComboBox* selector = nullptr;
    if (f.kind.id == LessonKindId::Character) {
      auto* s = new TszmainForm(nullptr);
      selector = s->CB1;
      screen.reset(s);
    } else {
      auto* s = f.kind.id == LessonKindId::Poem
                    ? static_cast<TVerseScreen*>(new TxsmainForm(nullptr))
                    : new TXYYMAINForm(nullptr);
      selector = s->CB1;
      screen.reset(s);
    }
    screen->show();
    selector->setCurrentIndex(1);
    auto* manager = new TChapterListForm(screen.get(), f.kind.id);
    manager->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<TChapterListForm> alive(manager);
    manager->show();
    // A new first chapter, added in this manager, shows at once.
    f.db.AddRows(f.kind.chapterTable, {{{QStringLiteral("章号"), QStringLiteral("0")},
                                        {QStringLiteral("章节"), QStringLiteral("零")}}});
    QFETCH(bool, escape);
    if (escape)
      QTest::keyClick(manager, Qt::Key_Escape);
    else
      manager->quitsb->click();
    QVERIFY(!manager->isVisible());
    QCOMPARE(selector->currentIndex(), 0);
    QCOMPARE(selector->currentText(), QStringLiteral("零"));
    QTRY_VERIFY(!alive);
  }
};

QTEST_MAIN(ChapterWindowsTest)
#include "test_chapter_windows.moc"
