// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/editor_checks.h"

#include "app/shared_routines.h"
#include "data/lesson_kinds.h"
#include "platform/gbk.h"
#include "platform/plain_text.h"

namespace editors {

namespace {

QString BeyondColumn(const QString& what) {
  return QStringLiteral("%1太长,最多%2个字！").arg(what).arg(kNameColumnChars);
}

// A box holding only blanks would store a name nobody can see.
bool Blank(const QString& s) { return s.trimmed().isEmpty(); }

CheckOutcome Refuse(CheckStep step, const QString& message, FocusTarget focus) {
  CheckOutcome o;
  o.step = step;
  o.message = message;
  o.focus = focus;
  return o;
}

}  // namespace

EditorRules ChapterRules() {
  EditorRules r;
  r.emptyNumberOrName = QStringLiteral("章号和章节都不能为空！");
  r.nameUsedOnAdd = QStringLiteral("章节名不能相同！");
  r.nameUsedOnModify = QStringLiteral("章节不能相同！");
  r.nameBeyondColumn = BeyondColumn(QStringLiteral("章节名"));
  return r;
}

EditorRules ItemRules(const LessonKind& kind) {
  EditorRules r;
  r.emptyNumberOrName = kind.emptyNumberOrName;
  r.nameUsedOnAdd = kind.nameUsed;
  r.nameUsedOnModify = kind.nameUsed;
  r.nameByteLimit = kind.nameByteLimit;
  r.nameTooLong = kind.nameTooLong;
  r.nameBeyondColumn = BeyondColumn(kind.nameLabel);
  r.textRequired = kind.textRequired;
  r.textEmpty = kind.textEmpty;
  return r;
}

bool NameFree(const QStringList& names, const QString& name, const QString& oldName) {
  if (name == oldName) return true;
  for (const QString& n : names)
    if (n == name) return false;
  return true;
}

bool NameUsedIgnoringCase(const QStringList& names, const QString& name) {
  for (const QString& n : names)
    if (n.compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

QString UnreadableMessage(const QString& error) {
  return QStringLiteral("读取数据出错,请检查\n") + error;
}

CheckOutcome CheckEntries(const EditorRules& rules, EditorMode mode, const EditorEntries& entries,
                          const QString& oldName, const NameSource& names) {
  const QString number = PositiveIntegerText(entries.number);
  if (number.isEmpty()) {
    CheckOutcome o =
        Refuse(CheckStep::Number, QStringLiteral("此编辑框只能输入正整数"), FocusTarget::Number);
    o.clearNumber = true;
    return o;
  }
  if (Blank(entries.name))
    return Refuse(CheckStep::Empty, rules.emptyNumberOrName, FocusTarget::None);
  // Pasted text may carry them; a server would cut the name at a NUL.
  if (platform::HasControlCharacters(entries.name))
    return Refuse(CheckStep::ControlCharacter,
                  QStringLiteral("名称中含有看不见的控制字符，请删除后再保存！"),
                  FocusTarget::Name);
  if (platform::HasControlCharacters(entries.text, true))
    return Refuse(CheckStep::ControlCharacter,
                  QStringLiteral("内容中含有看不见的控制字符，请删除后再保存！"),
                  FocusTarget::Text);
  if (rules.nameByteLimit > 0 && platform::GbkLength(entries.name) > rules.nameByteLimit)
    return Refuse(CheckStep::NameLength, rules.nameTooLong, FocusTarget::None);
  if (rules.nameColumnChars > 0 && entries.name.toUcs4().size() > rules.nameColumnChars)
    return Refuse(CheckStep::NameColumn, rules.nameBeyondColumn, FocusTarget::Name);

  QStringList stored;
  QString error;
  if (!names(&stored, &error)) {
    CheckOutcome o = Refuse(CheckStep::Unreadable, UnreadableMessage(error), FocusTarget::None);
    o.error = true;
    return o;
  }
  if (mode == EditorMode::Add && NameUsedIgnoringCase(stored, entries.name))
    return Refuse(CheckStep::NameUsed, rules.nameUsedOnAdd, FocusTarget::Name);
  if (mode == EditorMode::Modify && !NameFree(stored, entries.name, oldName)) {
    CheckOutcome o = Refuse(CheckStep::NameUsed, rules.nameUsedOnModify, FocusTarget::Name);
    o.resetName = true;
    return o;
  }
  if (rules.textRequired && Blank(entries.text))
    return Refuse(CheckStep::TextEmpty, rules.textEmpty, FocusTarget::Text);

  CheckOutcome o;
  o.number = number;
  return o;
}

}  // namespace editors
