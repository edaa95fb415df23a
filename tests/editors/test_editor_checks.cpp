// SPDX-License-Identifier: GPL-3.0-or-later
// The editors' check sequence without windows: which check refuses first, with which message and
// what happens to the boxes; the stored names are read only when everything before passed.
#include <QtTest>

#include "data/lesson_kinds.h"
#include "editors/editor_checks.h"

using editors::CheckEntries;
using editors::CheckStep;
using editors::EditorMode;
using editors::FocusTarget;

Q_DECLARE_METATYPE(editors::EditorMode)
Q_DECLARE_METATYPE(editors::CheckStep)
Q_DECLARE_METATYPE(editors::FocusTarget)

class EditorChecksTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void chapterSequence_data() {
    QTest::addColumn<EditorMode>("mode");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<CheckStep>("step");
    QTest::addColumn<QString>("message");
    QTest::addColumn<FocusTarget>("focus");
    QTest::addColumn<bool>("namesRead");
    const QString number = QStringLiteral("此编辑框只能输入正整数");
    const QString empty = QStringLiteral("章号和章节都不能为空！");
    const QString usedAdd = QStringLiteral("章节名不能相同！");
    const QString usedModify = QStringLiteral("章节不能相同！");
    const auto add = EditorMode::Add;
    const auto modify = EditorMode::Modify;
    // Stored names: "Animals", "第一章"; the chapter being modified was "第一章".
    QTest::newRow("number before empty name")
        << add << "abc"
        << "" << CheckStep::Number << number << FocusTarget::Number << false;
    QTest::newRow("zero") << add << "0"
                          << "x" << CheckStep::Number << number << FocusTarget::Number << false;
    QTest::newRow("past 32 bits") << add << "99999999999"
                                  << "x" << CheckStep::Number << number << FocusTarget::Number
                                  << false;
    QTest::newRow("empty name") << add << "3"
                                << "" << CheckStep::Empty << empty << FocusTarget::None << false;
    QTest::newRow("blank name") << modify << "3"
                                << "   " << CheckStep::Empty << empty << FocusTarget::None << false;
    const QString controls = QStringLiteral("名称中含有看不见的控制字符，请删除后再保存！");
    QTest::newRow("NUL inside the name")
        << add << "3" << QStringLiteral("第一章 读一读") + QChar(0) + "x"
        << CheckStep::ControlCharacter << controls << FocusTarget::Name << false;
    QTest::newRow("last control character")
        << add << "3" << QStringLiteral("第\u009F章") << CheckStep::ControlCharacter << controls
        << FocusTarget::Name << false;
    QTest::newRow("first character past the controls")
        << add << "3" << QStringLiteral("第\u00A0章") << CheckStep::Passed << QString()
        << FocusTarget::None << true;
    QTest::newRow("beyond the column")
        << add << "3" << QString(201, QChar(0x5B57)) << CheckStep::NameColumn
        << QStringLiteral("章节名太长,最多200个字！") << FocusTarget::Name << false;
    QTest::newRow("add: other letter case")
        << add << "3"
        << "animals" << CheckStep::NameUsed << usedAdd << FocusTarget::Name << true;
    QTest::newRow("add: new name")
        << add << "3"
        << "第二章" << CheckStep::Passed << QString() << FocusTarget::None << true;
    QTest::newRow("add: blanks kept, so not the same")
        << add << "3"
        << " 第一章" << CheckStep::Passed << QString() << FocusTarget::None << true;
    QTest::newRow("modify: keeps its name")
        << modify << "3"
        << "第一章" << CheckStep::Passed << QString() << FocusTarget::None << true;
    QTest::newRow("modify: other letter case is another name")
        << modify << "3"
        << "animals" << CheckStep::Passed << QString() << FocusTarget::None << true;
    QTest::newRow("modify: another chapter's name")
        << modify << "3"
        << "Animals" << CheckStep::NameUsed << usedModify << FocusTarget::Name << true;
    QTest::newRow("full-width number")
        << add << QStringLiteral("１２") << "第二章" << CheckStep::Passed << QString()
        << FocusTarget::None << true;
  }
  void chapterSequence() {
    QFETCH(EditorMode, mode);
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(CheckStep, step);
    QFETCH(QString, message);
    QFETCH(FocusTarget, focus);
    QFETCH(bool, namesRead);
    bool read = false;
    const auto o = CheckEntries(editors::ChapterRules(), mode, {number, name, {}},
                                QStringLiteral("第一章"), [&read](QStringList* names, QString*) {
                                  read = true;
                                  *names = {QStringLiteral("Animals"), QStringLiteral("第一章")};
                                  return true;
                                });
    QCOMPARE(o.step, step);
    QCOMPARE(o.message, message);
    QCOMPARE(o.focus, focus);
    QCOMPARE(read, namesRead);
    QCOMPARE(o.clearNumber, step == CheckStep::Number);
    QCOMPARE(o.resetName, step == CheckStep::NameUsed && mode == EditorMode::Modify);
    if (o.ok()) QVERIFY(o.number == QLatin1String("3") || o.number == QLatin1String("12"));
  }

  // The item editors' extra steps come in their place: name length before the duplicate check,
  // the text last.
  void itemSequence_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<CheckStep>("step");
    const int character = int(LessonKindId::Character);
    const int poem = int(LessonKindId::Poem);
    QTest::newRow("character: 3 Chinese characters") << character << "一二三"
                                                     << "" << CheckStep::NameLength;
    QTest::newRow("character: 2 Chinese characters, text optional") << character << "一二"
                                                                    << "" << CheckStep::Passed;
    QTest::newRow("character: used, case ignored") << character << "CAT"
                                                   << "" << CheckStep::NameUsed;
    QTest::newRow("poem: used name before empty text") << poem << "cat"
                                                       << "" << CheckStep::NameUsed;
    QTest::newRow("poem: empty text") << poem << "静夜思"
                                      << "" << CheckStep::TextEmpty;
    QTest::newRow("poem: long name allowed") << poem << "一二三四五六"
                                             << "床前" << CheckStep::Passed;
    // Only a poem's or an English item's text runs over lines.
    QTest::newRow("poem: lines in the text") << poem << "静夜思"
                                             << "床前明月光，\r\n疑是地上霜。" << CheckStep::Passed;
    QTest::newRow("poem: NUL in the text")
        << poem << "静夜思" << QStringLiteral("床前") + QChar(0) << CheckStep::ControlCharacter;
    QTest::newRow("character: line break in the pinyin") << character << "山"
                                                         << "shān\n山水" << CheckStep::Passed;
  }
  void itemSequence() {
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(CheckStep, step);
    const auto o =
        CheckEntries(editors::ItemRules(Kind(LessonKindId(kind))), EditorMode::Add,
                     {QStringLiteral("7"), name, text}, {}, [](QStringList* names, QString*) {
                       *names = {QStringLiteral("cat")};
                       return true;
                     });
    QCOMPARE(o.step, step);
  }

  // Every code point of the classes refused, with the nearest ones accepted, in a name and in a
  // text: C0 and C1 controls, the bidirectional controls, line breaks (in a text only).
  void controlClassesWhole_data() {
    QTest::addColumn<QList<int>>("range");  // first, last, refused in a name, refused in a text
    // clang-format off
    for (const QList<int>& r : QList<QList<int>>{
             {0x00, 0x09, 1, 1},     {0x0A, 0x0A, 1, 0},     {0x0B, 0x0C, 1, 1},
             {0x0D, 0x0D, 1, 0},     {0x0E, 0x1F, 1, 1},     {0x20, 0x20, 0, 0},
             {0x7E, 0x7E, 0, 0},     {0x7F, 0x9F, 1, 1},     {0xA0, 0xA0, 0, 0},
             {0xAC, 0xAC, 0, 0},     {0xAD, 0xAD, 1, 0},     {0xAE, 0xAE, 0, 0},
             {0x061B, 0x061B, 0, 0}, {0x061C, 0x061C, 1, 0}, {0x200A, 0x200A, 0, 0},
             {0x200B, 0x200D, 1, 0}, {0x200E, 0x200F, 1, 1}, {0x2010, 0x2010, 0, 0},
             {0x2027, 0x2027, 0, 0}, {0x2028, 0x2029, 1, 0}, {0x202A, 0x202E, 1, 1},
             {0x202F, 0x202F, 0, 0}, {0x2065, 0x2065, 0, 0}, {0x2066, 0x2069, 1, 1},
             {0x206A, 0x206F, 1, 0}, {0x2070, 0x2070, 0, 0}, {0xFEFE, 0xFEFE, 0, 0},
             {0xFEFF, 0xFEFF, 1, 0}})
      // clang-format on
      QTest::addRow("U+%04X..U+%04X", r[0], r[1]) << r;
  }
  void controlClassesWhole() {
    QFETCH(QList<int>, range);
    const auto none = [](QStringList*, QString*) { return true; };
    for (char16_t c = char16_t(range[0]); c <= range[1]; ++c) {
      const auto name = CheckEntries(editors::ChapterRules(), EditorMode::Add,
                                     {"3", QStringLiteral("第") + QChar(c) + "章", {}}, {}, none);
      const auto text = CheckEntries(editors::ItemRules(Kind(LessonKindId::Poem)), EditorMode::Add,
                                     {"3", "静夜思", QStringLiteral("床前") + QChar(c)}, {}, none);
      QVERIFY2((name.step == CheckStep::ControlCharacter) == bool(range[2]),
               qPrintable(QString::number(c, 16)));
      QVERIFY2((text.step == CheckStep::ControlCharacter) == bool(range[3]),
               qPrintable(QString::number(c, 16)));
    }
  }

  void unreadableNamesAreAnError() {
    const auto o = CheckEntries(editors::ChapterRules(), EditorMode::Add,
                                {QStringLiteral("1"), QStringLiteral("a"), {}}, {},
                                [](QStringList*, QString* error) {
                                  *error = QStringLiteral("no such table");
                                  return false;
                                });
    QCOMPARE(o.step, CheckStep::Unreadable);
    QVERIFY(o.error);
    QVERIFY(o.message.endsWith(QLatin1String("no such table")));
  }
};

QTEST_GUILESS_MAIN(EditorChecksTest)
#include "test_editor_checks.moc"
