// SPDX-License-Identifier: GPL-3.0-or-later
// The editors' save checks without any window: which check fails first, with which message, and
// what becomes of the boxes, as a function of the entries and the rows already stored. The chapter
// editor and the item editor run the same sequence with their own rules.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "data/lesson_kinds.h"

namespace editors {

using ::kNameColumnChars;

// Fixed by the list manager when it opens the editor (by hiding one of the two save buttons).
enum class EditorMode { Add, Modify };

struct EditorRules {
  QString emptyNumberOrName;               // number or name box empty
  QString nameUsedOnAdd;                   // a row has the name, letter case ignored
  QString nameUsedOnModify;                // another row has exactly the name
  int nameByteLimit = 0;                   // GBK bytes; 0 = no limit
  QString nameTooLong;                     // ... beyond nameByteLimit
  int nameColumnChars = kNameColumnChars;  // characters; 0 = no limit
  QString nameBeyondColumn;                // ... beyond nameColumnChars
  bool textRequired = false;
  QString textEmpty;
};

// The chapter editors' rules (the same for every lesson kind).
EditorRules ChapterRules();
// The item editors' rules for a lesson kind.
EditorRules ItemRules(const LessonKind& kind);

struct EditorEntries {
  QString number;
  QString name;
  QString text;  // item editors only
};

enum class CheckStep {
  Passed,
  Number,
  Empty,
  NameLength,
  NameColumn,
  NameUsed,
  TextEmpty,
  ControlCharacter,
  Unreadable
};
enum class FocusTarget { None, Number, Name, Text };

struct CheckOutcome {
  CheckStep step = CheckStep::Passed;
  QString message;     // the warning to show; empty when passed
  bool error = false;  // shown with the error icon instead of the warning icon
  FocusTarget focus = FocusTarget::None;
  bool clearNumber = false;  // the number box is emptied
  bool resetName = false;    // the name box goes back to the name before editing
  QString number;            // passed: the number as it is stored (plain digits)
  bool ok() const { return step == CheckStep::Passed; }
};

// Gives the names the duplicate check compares with: add mode every name that counts (compared
// ignoring letter case), modify mode the rows the editor's CheckName scans (compared exactly).
// Called only when every check before it passed; false with `error` set when they cannot be read.
using NameSource = std::function<bool(QStringList* names, QString* error)>;

// Runs the checks in order: number, empty boxes, control characters, name length, duplicate name,
// empty text.
CheckOutcome CheckEntries(const EditorRules& rules, EditorMode mode, const EditorEntries& entries,
                          const QString& oldName, const NameSource& names);

// Modify mode: true unless a row holds exactly `name` while `name` differs from the old name.
bool NameFree(const QStringList& names, const QString& name, const QString& oldName);
// Add mode: true when a row holds `name`, letter case ignored.
bool NameUsedIgnoringCase(const QStringList& names, const QString& name);

// The message when the editor's own reading of the stored rows fails.
QString UnreadableMessage(const QString& error);

}  // namespace editors
