// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/lesson_kinds.h"

namespace {

LessonKind MakeCharacter() {
  LessonKind k;
  k.id = LessonKindId::Character;
  k.key = QStringLiteral("character");
  k.chapterTable = QStringLiteral("ZJ");
  k.itemTable = QStringLiteral("szSound");
  k.numberField = QStringLiteral("字号");
  k.nameField = QStringLiteral("字名");
  k.textField = QStringLiteral("拼音词组");
  k.nameByteLimit = 4;
  k.textRequired = false;
  k.itemsPerChapter = 25;
  k.soundFolder = QStringLiteral("字语音库");
  k.pictures = true;
  k.sqlChapters = QStringLiteral("select * from ZJ order by 章号 ");
  k.sqlItemsLine1 = QStringLiteral("select * from szSound where 章节=:zzj  ");
  k.sqlItemsLine2 = QStringLiteral(" order by  字号 ");
  k.sqlChapterGrid = QStringLiteral("select * from zj  order by 章号  ");
  k.sqlAllItems = QStringLiteral("select * from szsound order by 字号   ");
  k.sqlItemChapters = QStringLiteral("select distinct 章节 from szsound");
  k.sqlAllChapters = QStringLiteral("select * from zj ");
  k.sqlRenameItems = QStringLiteral("select * from szSound  where  章节=:zjname   ");
  k.screenCaption = QStringLiteral("识字教学");
  k.screenTitle = QStringLiteral("幼儿识字");
  k.itemEditorButton = QStringLiteral("编辑字");
  k.screenClass = QStringLiteral("TszmainForm");
  k.helpWindow = QStringLiteral("TMYHLPForm");
  k.chapterListWindow = QStringLiteral("TZJFORM");
  k.itemListWindow = QStringLiteral("TSzsoundForm");
  k.chapterListCaption = QStringLiteral("字章节编辑");
  k.chapterHasItems = QStringLiteral("本章节有字库,不能删除！");
  k.chapterEditorWindow = QStringLiteral("TZJaddForm");
  k.chapterEditorSize = QSize(395, 202);
  k.itemListCaption = QStringLiteral("字编辑");
  k.limitMessage = QStringLiteral("一个章节最多为25个字,孩子们不能一下子学太多哦！");
  k.numberLabel = QStringLiteral("字号");
  k.nameLabel = QStringLiteral("字(词)");
  k.textLabel = QStringLiteral("拼音词组");
  k.emptyNumberOrName = QStringLiteral("字号和字名都不能为空！");
  k.nameTooLong = QStringLiteral("字名长度超出范围！");
  k.nameUsed = QStringLiteral("字名不能相同！");
  k.storeFailed = QStringLiteral("储存出错,字号不能相同,请检查");
  return k;
}

LessonKind MakePoem() {
  LessonKind k;
  k.id = LessonKindId::Poem;
  k.key = QStringLiteral("poem");
  k.chapterTable = QStringLiteral("xsZJ");
  k.itemTable = QStringLiteral("xsSound");
  k.numberField = QStringLiteral("诗号");
  k.nameField = QStringLiteral("诗名");
  k.textField = QStringLiteral("诗");
  k.nameByteLimit = 0;
  k.textRequired = true;
  k.itemsPerChapter = 20;
  k.soundFolder = QStringLiteral("诗语音库");
  k.sqlChapters = QStringLiteral("select * from xsZJ order by 章号 ");
  k.sqlItemsLine1 = QStringLiteral("select * from xsSound where 章节=:zzj  ");
  k.sqlItemsLine2 = QStringLiteral(" order by  诗号 ");
  k.sqlChapterGrid = QStringLiteral("select * from xszj  order by 章号  ");
  k.sqlAllItems = QStringLiteral("select * from xssound order by 诗号   ");
  k.sqlItemChapters = QStringLiteral("select distinct 章节 from xssound");
  k.sqlAllChapters = QStringLiteral("select * from xszj ");
  k.sqlRenameItems = QStringLiteral("select * from xssound  where  章节=:zjname   ");
  k.screenCaption = QStringLiteral("幼儿学诗");
  k.screenTitle = QStringLiteral("幼儿学诗");
  k.itemEditorButton = QStringLiteral("编辑诗");
  k.listHint = QStringLiteral("双击诗名可自动朗读诗哦");
  k.nextCaption = QStringLiteral("下一首");
  k.previousCaption = QStringLiteral("上一首");
  k.noSelection = QStringLiteral("请先选择左边的诗名哦！");
  k.screenClass = QStringLiteral("TxsmainForm");
  k.helpWindow = QStringLiteral("TxsMYHLPForm");
  k.chapterListWindow = QStringLiteral("TXSZJForm");
  k.itemListWindow = QStringLiteral("TxssoundForm");
  k.screenHeight = 578;
  k.titleWidth = 100;
  k.helpButtonLeft = 162;
  k.chapterButtonLeft = 266;
  k.itemButtonLeft = 327;
  k.itemPanelWidth = 248;
  k.textPanelWidth = 444;
  k.itemPicture = QStringLiteral(":/images/verse_poem_item.png");
  k.chapterListCaption = QStringLiteral("诗章节编辑");
  k.chapterHasItems = QStringLiteral("本章节有诗库,不能删除！");
  k.chapterEditorWindow = QStringLiteral("TXSZJaddForm");
  k.chapterEditorSize = QSize(394, 201);
  k.itemListCaption = QStringLiteral("诗编辑");
  k.limitMessage = QStringLiteral("一个章节最多为20首诗,孩子们不能一下子学太多哦！");
  k.numberLabel = QStringLiteral("诗号");
  k.nameLabel = QStringLiteral("诗名");
  k.textLabel = QStringLiteral("诗内容");
  k.emptyNumberOrName = QStringLiteral("诗号和诗名都不能为空！");
  k.textEmpty = QStringLiteral("诗内容不能为空！");
  k.nameUsed = QStringLiteral("诗名不能相同！");
  k.storeFailed = QStringLiteral("储存出错,诗号不能相同,请检查");
  return k;
}

LessonKind MakeEnglish() {
  LessonKind k;
  k.id = LessonKindId::English;
  k.key = QStringLiteral("english");
  k.chapterTable = QStringLiteral("xyyZJ");
  k.itemTable = QStringLiteral("xyySound");
  k.numberField = QStringLiteral("语号");
  k.nameField = QStringLiteral("英语名");
  k.textField = QStringLiteral("汉语翻译");
  k.nameByteLimit = 0;
  k.textRequired = true;
  k.itemsPerChapter = 20;
  k.soundFolder = QStringLiteral("英语语音库");
  k.pictures = true;
  k.sqlChapters = QStringLiteral("select * from xyyZJ order by 章号 ");
  k.sqlItemsLine1 = QStringLiteral("select * from xyySound where 章节=:zzj  ");
  k.sqlItemsLine2 = QStringLiteral(" order by  语号 ");
  k.sqlChapterGrid = QStringLiteral("select * from xyyzj  order by 章号  ");
  k.sqlAllItems = QStringLiteral("select * from xyysound order by 语号   ");
  k.sqlItemChapters = QStringLiteral("select distinct 章节 from xyysound");
  k.sqlAllChapters = QStringLiteral("select * from xyyzj ");
  k.sqlRenameItems = QStringLiteral("select * from xyysound  where  章节=:zjname   ");
  k.screenCaption = QStringLiteral("发音学英语");
  k.screenTitle = QStringLiteral("幼儿学英语");
  k.itemEditorButton = QStringLiteral("编辑英语");
  k.listHint = QStringLiteral("双击英语名可自动发音哦");
  k.nextCaption = QStringLiteral("下一句");
  k.previousCaption = QStringLiteral("上一句");
  k.noSelection = QStringLiteral("请先选择左边的英语名哦！");
  k.screenClass = QStringLiteral("TXYYMAINForm");
  k.helpWindow = QStringLiteral("TxyyMYHLPForm");
  k.chapterListWindow = QStringLiteral("TXyyZJForm");
  k.itemListWindow = QStringLiteral("TxyysoundForm");
  k.screenHeight = 553;
  k.titleWidth = 125;
  k.helpButtonLeft = 178;
  k.chapterButtonLeft = 282;
  k.itemButtonLeft = 343;
  k.itemPanelWidth = 336;
  k.textPanelWidth = 356;
  k.itemPicture = QStringLiteral(":/images/verse_english_item.png");
  k.chapterListCaption = QStringLiteral("英语章节编辑");
  k.chapterHasItems = QStringLiteral("本章节有英语库,不能删除！");
  k.chapterEditorWindow = QStringLiteral("TXyyZJaddForm");
  k.chapterEditorSize = QSize(391, 202);
  k.itemListCaption = QStringLiteral("英语编辑");
  k.limitMessage = QStringLiteral("一个章节最多为20句英语,孩子们不能一下子学太多哦！");
  k.numberLabel = QStringLiteral("语号");
  k.nameLabel = QStringLiteral("英语名");
  k.textLabel = QStringLiteral("汉语翻译");
  k.emptyNumberOrName = QStringLiteral("语号和英语名都不能为空！");
  k.textEmpty = QStringLiteral("汉语翻译内容不能为空！");
  k.nameUsed = QStringLiteral("英语名不能相同！");
  k.storeFailed = QStringLiteral("储存出错,语号不能相同,请检查");
  return k;
}

}  // namespace

const LessonKind& Kind(LessonKindId id) {
  static const LessonKind character = MakeCharacter();
  static const LessonKind poem = MakePoem();
  static const LessonKind english = MakeEnglish();
  switch (id) {
    case LessonKindId::Poem:
      return poem;
    case LessonKindId::English:
      return english;
    case LessonKindId::Character:
      break;
  }
  return character;
}

const std::array<const LessonKind*, 3>& AllKinds() {
  static const std::array<const LessonKind*, 3> all = {
      &Kind(LessonKindId::Character), &Kind(LessonKindId::Poem), &Kind(LessonKindId::English)};
  return all;
}
