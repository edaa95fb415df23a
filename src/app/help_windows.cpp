// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help_windows.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/shared_routines.h"
#include "app/tool_button.h"

namespace {

// The pages give whole-window sizes; this is the frame of an ordinary captioned window around
// the client area.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;

// 宋体 with half-width Latin letters and spaces, so that the indented continuation lines and the
// numbered steps line up as written.
QFont MemoFont() {
  QFont f = SongFont(12);
  f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                 QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Serif CJK SC")});
  f.setStyleHint(QFont::TypeWriter);
  return f;
}

// The end of the second page of the lessons with recordings: where they are kept. `library` is
// the lesson's recordings folder.
QStringList RecordingNotes(const QString& library) {
  return {
      QStringLiteral(""),
      QStringLiteral("  注意:"),
      QStringLiteral("   1  录音不用放在安装目录下(装好以后那里不能写):"),
      QStringLiteral("      录音保存在用户的数据文件夹里,如<~/.local/share/"),
      QStringLiteral("      Tindora/%1>;用数据库服务器时,保存在数据库里").arg(library),
      QStringLiteral("   2  按<保存>以后录音才放进录音库,按<放弃>什么也不改"),
      QStringLiteral(""),
  };
}

// What the poem and English lessons gained alike, after the three features of their own.
QStringList LaterFeatureLines() {
  return {
      QStringLiteral("  4.学习记录:主界面的<学习记录>里能看到小朋友每天练了什么"),
      QStringLiteral("  5.写字:主界面的<幼儿写字>里,小朋友按笔顺描<幼儿识字>的字"),
      QStringLiteral("  6.小朋友:几个小朋友一起用时,一开始点自己的小动物;"),
      QStringLiteral("    <换小朋友>换人,大人在<管理>里添加小朋友"),
      QStringLiteral("  7.听音找字:电脑读一个字,小朋友在几张卡片里找出来,"),
      QStringLiteral("    快要忘的字会在该复习的那天再考"),
  };
}

}  // namespace

const HelpPage& CharacterHelpPage() {
  static const HelpPage page{
      QStringLiteral("使用方法"),
      QPoint(159, 83),
      QSize(479, 467),
      {
          QStringLiteral("               使用说明(请把声音音量放大)"),
          QStringLiteral(""),
          QStringLiteral(""),
          QStringLiteral("  1.先根据教学需要编辑章节,如:第一章,第二章..."),
          QStringLiteral("  2.每个章节可以安排最多25个字来学习,每个字的录音必须先"),
          QStringLiteral("    制作好,然后在编辑字时就可以选择*.wav文件"),
          QStringLiteral("  3.在主界面只要小朋友点击字,它就会弹出一个窗口,系统会自动"),
          QStringLiteral("    发音3次,小朋友这时可以跟着发音一起读,一起学字了,"),
          QStringLiteral("    3次发音完成后,窗口会自动关闭,"),
          QStringLiteral("    接着小朋友再按另一个字继续学..."),
          QStringLiteral(""),
          QStringLiteral(""),
          QStringLiteral("  注意："),
          QStringLiteral("   1  声音文件可以自己灵活录制,然后才可以编辑字"),
          QStringLiteral(
              "      如:先录音好字<一> ,声音文件保存在安装目录下<字语音库/一.WAV>,然后在"),
          QStringLiteral("      编辑字(新增或修改，如：<一> )时选择<字语音库/一.WAV>就可以了"),
          QStringLiteral(""),
          QStringLiteral("   2  第一次使用时,本程序有自带库,你只需在编辑(修改)字（如：<一> ）时"),
          QStringLiteral("      选择目录<字语音库/一.WAV >里对应的声音文件就可以开始试用使用了 "),
          QStringLiteral(""),
          QStringLiteral("   3  编辑章节时, 章号或章节名称都不能重复"),
          QStringLiteral("      编辑字时,字号或字都不能重复   "),
          QStringLiteral(""),
          QStringLiteral(""),
      },
      QStringList{
          QStringLiteral("               新增功能(本程序后来加上的)"),
          QStringLiteral(""),
          QStringLiteral("  1.录音:编辑字时按<录音>,对着话筒读这个字,再按<停止>;"),
          QStringLiteral("    按<合成>,电脑会读出这个字;按<测试>听一听"),
          QStringLiteral("  2.选取:按<选取>选一个*.wav文件,它会复制进录音库,"),
          QStringLiteral("    以后移动或删除原来的文件都没关系"),
          QStringLiteral("  3.拼音:填好字以后,程序会提出拼音,可以照用,也可以改;"),
          QStringLiteral("    按<拼音>再提一次"),
          QStringLiteral("  4.课程包:在<编辑章节>里按<导出>,把章节、字和录音存成"),
          QStringLiteral("    一个文件,在另一台电脑上按<导入>就能用了"),
          QStringLiteral("  5.学习记录:主界面的<学习记录>里能看到小朋友每天练了"),
          QStringLiteral("    什么,哪些字练得最多,哪些字还没打开过"),
          QStringLiteral("  6.写字:主界面的<幼儿写字>里,小朋友按笔顺描这些字"),
          QStringLiteral("  7.小朋友:几个小朋友一起用时,一开始点自己的小动物;"),
          QStringLiteral("    <换小朋友>换人,大人在<管理>里添加小朋友"),
          QStringLiteral("  8.听音找字:电脑读一个字,小朋友在几张卡片里找出来,"),
          QStringLiteral("    快要忘的字会在该复习的那天再考"),
      } + RecordingNotes(QStringLiteral("字语音库"))};
  return page;
}

const HelpPage& PoemHelpPage() {
  static const HelpPage page{
      QStringLiteral("使用说明"),
      QPoint(131, 58),
      QSize(527, 501),
      {
          QStringLiteral("               使用说明(请把声音音量放大)"),
          QStringLiteral(""),
          QStringLiteral("  1.先根据教学需要编辑章节,如:古诗,现代诗..."),
          QStringLiteral("  2.每个章节可以安排最多20首诗来学习,每首诗的录音必须先"),
          QStringLiteral("    制作好,然后在编辑诗时就可以选择*.wav文件"),
          QStringLiteral("  3.在主界面只要小朋友点击诗名,就会显示诗的内容,如果想"),
          QStringLiteral("    发音朗读,可按<朗读>按钮(或者双击左边的诗名就可自动朗读),"),
          QStringLiteral("    小朋友这时可以跟着语音一起朗读,一起学诗了,"),
          QStringLiteral("    接着小朋友可按<上一首>或<下一首>继续学诗了..."),
          QStringLiteral(""),
          QStringLiteral(""),
          QStringLiteral("  注意:"),
          QStringLiteral("   1  声音文件可以自己灵活录制,然后才可以编辑诗"),
          QStringLiteral(
              "      如:先录音好诗<静夜思> , 声音文件保存在安装目录下<诗语音库/静夜思.WAV>,然"),
          QStringLiteral(
              "      后在编辑诗(新增或修改,如：<静夜思> )时选择<诗语音库/静夜思.WAV>就可以了"),
          QStringLiteral(""),
          QStringLiteral(
              "   2  第一次使用时,本程序有自带库,你只需在编辑(修改)诗（如：<静夜思> ）时"),
          QStringLiteral(
              "      选择目录<诗语音库/静夜思.WAV >里对应的声音文件就可以开始试用使用了 "),
          QStringLiteral(""),
          QStringLiteral("   3  编辑章节时, 章号或章节名称都不能重复"),
          QStringLiteral("      编辑诗时,诗号或诗名都不能重复"),
          QStringLiteral(""),
          QStringLiteral(""),
      },
      QStringList{
          QStringLiteral("               新增功能(本程序后来加上的)"),
          QStringLiteral(""),
          QStringLiteral("  1.录音:编辑诗时按<录音>,对着话筒朗读这首诗,再按<停止>;"),
          QStringLiteral("    按<合成>,电脑会读出这首诗;按<测试>听一听"),
          QStringLiteral("  2.选取:按<选取>选一个*.wav文件,它会复制进录音库,"),
          QStringLiteral("    以后移动或删除原来的文件都没关系"),
          QStringLiteral("  3.课程包:在<编辑章节>里按<导出>,把章节、诗和录音存成"),
          QStringLiteral("    一个文件,在另一台电脑上按<导入>就能用了"),
      } + LaterFeatureLines() + RecordingNotes(QStringLiteral("诗语音库"))};
  return page;
}

const HelpPage& EnglishHelpPage() {
  static const HelpPage page{
      QStringLiteral("使用说明"),
      QPoint(153, 59),
      QSize(520, 495),
      {
          QStringLiteral("               使用说明(请把声音音量放大)"),
          QStringLiteral(""),
          QStringLiteral("  1.先根据教学需要编辑章节,如:单词,日常用语..."),
          QStringLiteral("  2.每章节可以安排最多20句英语来学习,每句英语的录音必须先"),
          QStringLiteral("    制作好,然后在编辑英语时就可以选择*.wav文件"),
          QStringLiteral("  3.在主界面只要小朋友点击英语名,就会显示英语的汉语翻译,如果想"),
          QStringLiteral("    发音朗读,可按<朗读>按钮(或者双击左边的英语名就可自动朗读),"),
          QStringLiteral("    小朋友这时可以跟着语音一起朗读,一起学英语了,"),
          QStringLiteral("    接着小朋友可按<上一句>或<下一句>继续学英语了..."),
          QStringLiteral(""),
          QStringLiteral(""),
          QStringLiteral("  注意:"),
          QStringLiteral("   1  声音文件可以自己灵活录制,然后才可以编辑英语"),
          QStringLiteral("      如:先录音好英语<FATHER> , 声音文件保存在安装目录下<英语语音库"),
          QStringLiteral("      /FATHER.WAV>,然后在编辑英语(新增或修改，如：<FATHER> )时"),
          QStringLiteral("      选择<英语语音库/FATHER.WAV>就可以了"),
          QStringLiteral(""),
          QStringLiteral(
              "   2  第一次使用时,本程序有自带库,你只需在编辑(修改)英语（如：< FATHER > ）时"),
          QStringLiteral(
              "      选择目录<英语语音库/FATHER.WAV >里对应的声音文件就可以开始试用使用了 "),
          QStringLiteral(""),
          QStringLiteral("   3  编辑章节时, 章号或章节名称都不能重复"),
          QStringLiteral("      编辑英语时,语号或英语名都不能重复"),
          QStringLiteral(""),
          QStringLiteral(""),
      },
      QStringList{
          QStringLiteral("               新增功能(本程序后来加上的)"),
          QStringLiteral(""),
          QStringLiteral("  1.录音:编辑英语时按<录音>,对着话筒读这句英语,再按<停止>;"),
          QStringLiteral("    按<合成>,电脑会读出这句英语;按<测试>听一听"),
          QStringLiteral("  2.选取:按<选取>选一个*.wav文件,它会复制进录音库,"),
          QStringLiteral("    以后移动或删除原来的文件都没关系"),
          QStringLiteral("  3.课程包:在<编辑章节>里按<导出>,把章节、英语和录音存成"),
          QStringLiteral("    一个文件,在另一台电脑上按<导入>就能用了"),
      } + LaterFeatureLines() + RecordingNotes(QStringLiteral("英语语音库"))};
  return page;
}

const HelpPage& ArithmeticHelpPage() {
  static const HelpPage page{
      QStringLiteral("使用说明"),
      QPoint(156, 72),
      QSize(456, 474),
      {
          QStringLiteral("               使用说明(请把声音音量放大)"),
          QStringLiteral(""),
          QStringLiteral("  1.按<开始练习>,即可开始练习算数了"),
          QStringLiteral("  2.在练习期间可以随意选择是加法运算还是减法运算"),
          QStringLiteral("  3.每次记分以5题为标准,20分一题."),
          QStringLiteral("    每次等题目发音完毕后,小朋友即可按最下面的数字符号确定你的答案"),
          QStringLiteral("  4.如果答对了系统会加分20分;如果不知道答案请按<提示答案>,"),
          QStringLiteral("    则本题没有得分"),
          QStringLiteral("  5.按<下一题>继续下一题的练习..."),
          QStringLiteral(""),
          QStringLiteral(""),
          QStringLiteral("  注意:"),
          QStringLiteral("   1 每次题目开始时,小朋友必须等题目发音完毕后,才可以选择答案"),
          QStringLiteral(""),
          QStringLiteral(""),
      },
      {
          QStringLiteral("               新增功能(本程序后来加上的)"),
          QStringLiteral(""),
          QStringLiteral("  1.学习记录:每做完一组题(或者换了加减法、离开),"),
          QStringLiteral("    都记在主界面的<学习记录>里"),
          QStringLiteral("  2.记录里看的是每道题第一次的答案:"),
          QStringLiteral("    第一次就答对才算对,先按错再按对的不算,"),
          QStringLiteral("    按<提示答案>的也不算;屏幕上的得分还是原来的算法"),
          QStringLiteral("  3.记录里还列出小朋友第一次最常错的题,"),
          QStringLiteral("    如<7 + 2: 错了 3 次>,可以多练这几道"),
          QStringLiteral(""),
          QStringLiteral(""),
          QStringLiteral("  注意:"),
          QStringLiteral("   1 记录按小朋友分开;在<学习记录>里选<全班>,"),
          QStringLiteral("     每个小朋友一行,点一行看他的记录"),
          QStringLiteral(""),
      }};
  return page;
}

const HelpPage& WritingHelpPage() {
  static const HelpPage page{
      QStringLiteral("使用说明"),
      QPoint(150, 70),
      QSize(500, 470),
      {
          QStringLiteral("               使用说明(请把声音音量放大)"),
          QStringLiteral(""),
          QStringLiteral("  1.在上面一排字里点一个字,它就会大大地写在田字格里"),
          QStringLiteral("  2.按<看笔顺>,先听这个字的发音,再看红色的笔画"),
          QStringLiteral("    一笔一笔地写出来,偏旁部首的笔画是蓝色的"),
          QStringLiteral("  3.按<描一描>,小朋友用鼠标(或在触摸屏上用手指)"),
          QStringLiteral("    按笔顺一笔一笔地描浅色的字:橙色圆点是这一笔开始"),
          QStringLiteral("    的地方,小箭头指着往哪边写;描对了,这一笔变成红色;"),
          QStringLiteral("    描得不对,这一笔会慢慢消失,同一笔描错两次,"),
          QStringLiteral("    小圆点会带着小朋友走一遍"),
          QStringLiteral("  4.按<默写>,田字格里不显示浅色的字,小朋友要自己"),
          QStringLiteral("    想着一笔一笔写出来;同一笔写错三次,这一笔会淡淡地"),
          QStringLiteral("    出来帮一下(学习记录里记作<看了提示>)"),
          QStringLiteral("  5.整个字写完了,田字格里有大星星和表扬的话,"),
          QStringLiteral("    字的旁边也得到一颗星星,然后自动换下一个字"),
          QStringLiteral("  6.按<再写一遍>,这个字可以重新写"),
          QStringLiteral(""),
          QStringLiteral("  注意:"),
          QStringLiteral("   1  写字用的字就是<幼儿识字>里各章节的字,"),
          QStringLiteral("      两个字的词会分成两个字来写,英文字母不写"),
          QStringLiteral("   2  有的字还没有笔顺,这时只显示字的样子"),
          QStringLiteral("   3  写过的字会记在<学习记录>里,星星下次还在"),
          QStringLiteral(""),
          QStringLiteral(""),
      },
      {
          QStringLiteral("               新增功能(本程序后来加上的)"),
          QStringLiteral(""),
          QStringLiteral("  1.学习记录:写过的每个字都记在主界面的<学习记录>里,"),
          QStringLiteral("    还写明哪个字描错了几笔,如<描错 3 笔:山 2 笔、水 1 笔>"),
          QStringLiteral("    默写的字自己写出几个、看了提示几个;没写完就换字,"),
          QStringLiteral("    描错的笔也记下"),
          QStringLiteral("  2.要写的字就是<幼儿识字>各章节的字:在<编辑字>里"),
          QStringLiteral("    加的字、用<导入>课程包加的字,这里都能写"),
          QStringLiteral(""),
          QStringLiteral(""),
          QStringLiteral("  注意:"),
          QStringLiteral("   1 描错的笔多的字,可以让小朋友多写几遍"),
          QStringLiteral(""),
      }};
  return page;
}

const HelpPage& ListeningHelpPage() {
  static const HelpPage page{
      QStringLiteral("使用说明"),
      QPoint(150, 70),
      QSize(500, 470),
      {
          QStringLiteral("               使用说明(请把声音音量放大)"),
          QStringLiteral(""),
          QStringLiteral("  1.进来就会听到一个字的读音,下面有三张大卡片"),
          QStringLiteral("  2.小朋友听一听,用鼠标点一点读的是哪张卡片:"),
          QStringLiteral("    点对了,卡片会发光,还会得到一颗星星;"),
          QStringLiteral("    点错了,那张卡片会变淡,再听一遍,再找一次;"),
          QStringLiteral("    两次都没找对,对的卡片会一闪一闪,记住它哦"),
          QStringLiteral("  3.没听清楚,按<再听一遍>"),
          QStringLiteral("  4.连续找对五次,卡片会变成四张"),
          QStringLiteral("  5.五题做完,看看得了几颗星星,"),
          QStringLiteral("    按<再玩一次>接着玩,按<返回>回到主界面"),
          QStringLiteral(""),
          QStringLiteral("  注意(给家长):"),
          QStringLiteral("   1  考的字来自孩子在<幼儿识字>里看过的章节,"),
          QStringLiteral("      每天最多几个新字,在<学习记录>的<认识的字>里设定"),
          QStringLiteral("   2  快要忘的字会在该复习的那天再考;菜单上"),
          QStringLiteral("      <听音找字>旁的小数字是今天该复习的字数"),
          QStringLiteral("   3  孩子认识哪些字,在<学习记录>的<认识的字>里看"),
      },
      {}};
  return page;
}

THelpForm::THelpForm(QWidget* owner, const HelpPage& page)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      ME1(new QPlainTextEdit(this)),
      m_content(page) {
  setWindowTitle(page.caption);
  setFixedSize(page.size.width() - kFrameWidth, page.size.height() - kFrameHeight);
  move(page.position);

  ME1->setObjectName(QStringLiteral("ME1"));
  ME1->setFont(MemoFont());
  ME1->setReadOnly(true);
  ME1->setTextInteractionFlags(Qt::TextSelectableByMouse);
  ME1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ME1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette memoPalette = ME1->palette();
  memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Button));
  ME1->setPalette(memoPalette);
  // A narrow margin, as an edit box has, keeps the longest page clear of scrolling.
  ME1->document()->setDocumentMargin(2);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ME1);

  // Over the memo's first line, right of its title, which leaves that corner empty.
  PageSb = new QToolButton(this);
  PageSb->setObjectName(QStringLiteral("PageSb"));
  PageSb->setFont(SongFont(12, true));
  PageSb->setAutoRaise(true);
  PageSb->setStyleSheet(QStringLiteral(
      "QToolButton { color: rgb(0, 0, 200); border: 1px solid rgb(150, 170, 220);"
      " border-radius: 4px; background: rgb(236, 242, 255); padding: 1px 6px; }"
      "QToolButton:hover { background: rgb(255, 246, 200); }"));
  AllowKeyboard(PageSb);
  connect(PageSb, &QToolButton::clicked, this, [this] { ShowPage(1 - m_page); });
  ShowPage(0);
}

void THelpForm::ShowPage(int page) {
  m_page = page == 1 && !m_content.addedLines.isEmpty() ? 1 : 0;
  ME1->setPlainText((m_page ? m_content.addedLines : m_content.lines).join(QLatin1Char('\n')));
  PageSb->setText(m_page ? QStringLiteral("◀ 使用说明") : QStringLiteral("新增功能 ▶"));
  PageSb->setToolTip(m_page ? QStringLiteral("回到使用说明")
                            : QStringLiteral("本程序后来加上的功能"));
  PageSb->adjustSize();
  PageSb->move(width() - PageSb->width() - 8, 4);
  PageSb->raise();
}

// Escape closes the window as its close box does, from the memo too.
void THelpForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(event);
}

void THelpForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PageSb->move(event->size().width() - PageSb->width() - 8, 4);
}
