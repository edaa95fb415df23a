// SPDX-License-Identifier: GPL-3.0-or-later
// Everything that differs between the three lesson kinds (character, poem, English): tables,
// fields, limits, SQL texts, messages and captions. Screens and editors take one of these instead
// of carrying per-kind copies.
#pragma once

#include <QSize>
#include <QString>
#include <array>

enum class LessonKindId { Character, Poem, English };

// The name columns of the lesson schema hold this many characters; a longer name is refused
// before the database would cut or reject it (by the editors and by a pack's import alike).
inline constexpr int kNameColumnChars = 200;

struct LessonKind {
  LessonKindId id;
  QString key;           // "character", "poem", "english" (sample course, tools)
  QString chapterTable;  // ZJ, xsZJ, xyyZJ
  QString itemTable;     // szSound, xsSound, xyySound
  QString numberField;   // 字号, 诗号, 语号
  QString nameField;     // 字名, 诗名, 英语名
  QString textField;     // 拼音词组, 诗, 汉语翻译
  int nameByteLimit;     // GBK bytes; 0 = no limit
  bool textRequired;
  int itemsPerChapter;
  QString soundFolder;  // recordings folder under the installation folder
  bool pictures = false;  // items carry a picture (column 图片, data/item_pictures.h)

  // SQL texts, exactly as issued (spaces included).
  QString sqlChapters;      // chapter selectors
  QString sqlItemsLine1;    // items of one chapter, with :zzj
  QString sqlItemsLine2;    // ... ordered by item number
  QString sqlChapterGrid;   // all chapters, chapter list manager
  QString sqlAllItems;      // all items, in item-number order (packs, tools)
  QString sqlItemChapters;  // the chapter names items carry, chapter list manager's delete test
  QString sqlAllChapters;   // chapter editor's duplicate check
  QString sqlRenameItems;   // items carrying the old chapter name, with :zjname

  // Lesson screens (poem and English).
  QString screenCaption;
  QString screenTitle;
  QString itemEditorButton;
  QString listHint;
  QString nextCaption;
  QString previousCaption;
  QString noSelection;

  // Lesson screen windows and layout (design pixels).
  QString screenClass;        // TszmainForm, TxsmainForm, TXYYMAINForm
  QString helpWindow;         // TMYHLPForm, TxsMYHLPForm, TxyyMYHLPForm
  QString chapterListWindow;  // TZJFORM, TXSZJForm, TXyyZJForm
  QString itemListWindow;     // TSzsoundForm, TxssoundForm, TxyysoundForm
  int screenHeight = 578;     // design client height; the width is always 800
  int titleWidth = 100;       // the title label in the top bar
  int helpButtonLeft = 162;   // HELPSB, zjsb and zsb in the top bar
  int chapterButtonLeft = 266;
  int itemButtonLeft = 327;
  int itemPanelWidth = 0;  // poem and English screens: the item list and the text panel
  int textPanelWidth = 0;
  QString itemPicture;  // 16 x 16 picture before each entry of the item list

  // Chapter list manager and editor.
  QString chapterListCaption;
  QString chapterHasItems;
  QString chapterEditorWindow;  // TZJaddForm, TXSZJaddForm, TXyyZJaddForm
  QSize chapterEditorSize;      // design size of the chapter editor

  // Item list manager and editor.
  QString itemListCaption;
  QString limitMessage;
  QString numberLabel;
  QString nameLabel;
  QString textLabel;
  QString emptyNumberOrName;
  QString nameTooLong;
  QString textEmpty;
  QString nameUsed;
  QString storeFailed;
};

const LessonKind& Kind(LessonKindId id);
const std::array<const LessonKind*, 3>& AllKinds();
