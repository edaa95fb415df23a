// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>
#include <QtTest>
#include <functional>

#include "app/help_windows.h"

using HelpFactory = std::function<THelpForm*()>;
Q_DECLARE_METATYPE(HelpFactory)

namespace {

const QString kTitle = QStringLiteral("               使用说明(请把声音音量放大)");

QStringList CharacterLines() {
  return {kTitle,
          "",
          "",
          "  1.先根据教学需要编辑章节,如:第一章,第二章...",
          "  2.每个章节可以安排最多25个字来学习,每个字的录音必须先",
          "    制作好,然后在编辑字时就可以选择*.wav文件",
          "  3.在主界面只要小朋友点击字,它就会弹出一个窗口,系统会自动",
          "    发音3次,小朋友这时可以跟着发音一起读,一起学字了,",
          "    3次发音完成后,窗口会自动关闭,",
          "    接着小朋友再按另一个字继续学...",
          "",
          "",
          "  注意：",
          "   1  声音文件可以自己灵活录制,然后才可以编辑字",
          "      如:先录音好字<一> ,声音文件保存在安装目录下<字语音库/一.WAV>,然后在",
          "      编辑字(新增或修改，如：<一> )时选择<字语音库/一.WAV>就可以了",
          "",
          "   2  第一次使用时,本程序有自带库,你只需在编辑(修改)字（如：<一> ）时",
          "      选择目录<字语音库/一.WAV >里对应的声音文件就可以开始试用使用了 ",
          "",
          "   3  编辑章节时, 章号或章节名称都不能重复",
          "      编辑字时,字号或字都不能重复   ",
          "",
          ""};
}

QStringList PoemLines() {
  return {kTitle,
          "",
          "  1.先根据教学需要编辑章节,如:古诗,现代诗...",
          "  2.每个章节可以安排最多20首诗来学习,每首诗的录音必须先",
          "    制作好,然后在编辑诗时就可以选择*.wav文件",
          "  3.在主界面只要小朋友点击诗名,就会显示诗的内容,如果想",
          "    发音朗读,可按<朗读>按钮(或者双击左边的诗名就可自动朗读),",
          "    小朋友这时可以跟着语音一起朗读,一起学诗了,",
          "    接着小朋友可按<上一首>或<下一首>继续学诗了...",
          "",
          "",
          "  注意:",
          "   1  声音文件可以自己灵活录制,然后才可以编辑诗",
          "      如:先录音好诗<静夜思> , 声音文件保存在安装目录下<诗语音库/静夜思.WAV>,然",
          "      后在编辑诗(新增或修改,如：<静夜思> )时选择<诗语音库/静夜思.WAV>就可以了",
          "",
          "   2  第一次使用时,本程序有自带库,你只需在编辑(修改)诗（如：<静夜思> ）时",
          "      选择目录<诗语音库/静夜思.WAV >里对应的声音文件就可以开始试用使用了 ",
          "",
          "   3  编辑章节时, 章号或章节名称都不能重复",
          "      编辑诗时,诗号或诗名都不能重复",
          "",
          ""};
}

QStringList EnglishLines() {
  return {kTitle,
          "",
          "  1.先根据教学需要编辑章节,如:单词,日常用语...",
          "  2.每章节可以安排最多20句英语来学习,每句英语的录音必须先",
          "    制作好,然后在编辑英语时就可以选择*.wav文件",
          "  3.在主界面只要小朋友点击英语名,就会显示英语的汉语翻译,如果想",
          "    发音朗读,可按<朗读>按钮(或者双击左边的英语名就可自动朗读),",
          "    小朋友这时可以跟着语音一起朗读,一起学英语了,",
          "    接着小朋友可按<上一句>或<下一句>继续学英语了...",
          "",
          "",
          "  注意:",
          "   1  声音文件可以自己灵活录制,然后才可以编辑英语",
          "      如:先录音好英语<FATHER> , 声音文件保存在安装目录下<英语语音库",
          "      /FATHER.WAV>,然后在编辑英语(新增或修改，如：<FATHER> )时",
          "      选择<英语语音库/FATHER.WAV>就可以了",
          "",
          "   2  第一次使用时,本程序有自带库,你只需在编辑(修改)英语（如：< FATHER > ）时",
          "      选择目录<英语语音库/FATHER.WAV >里对应的声音文件就可以开始试用使用了 ",
          "",
          "   3  编辑章节时, 章号或章节名称都不能重复",
          "      编辑英语时,语号或英语名都不能重复",
          "",
          ""};
}

QStringList ArithmeticLines() {
  return {kTitle,
          "",
          "  1.按<开始练习>,即可开始练习算数了",
          "  2.在练习期间可以随意选择是加法运算还是减法运算",
          "  3.每次记分以5题为标准,20分一题.",
          "    每次等题目发音完毕后,小朋友即可按最下面的数字符号确定你的答案",
          "  4.如果答对了系统会加分20分;如果不知道答案请按<提示答案>,",
          "    则本题没有得分",
          "  5.按<下一题>继续下一题的练习...",
          "",
          "",
          "  注意:",
          "   1 每次题目开始时,小朋友必须等题目发音完毕后,才可以选择答案",
          "",
          ""};
}

void AddWindows() {
  QTest::newRow("character") << HelpFactory([] { return new TMYHLPForm(nullptr); })
                             << QStringLiteral("使用方法") << QPoint(159, 83) << CharacterLines();
  QTest::newRow("poem") << HelpFactory([] { return new TxsMYHLPForm(nullptr); })
                        << QStringLiteral("使用说明") << QPoint(131, 58) << PoemLines();
  QTest::newRow("english") << HelpFactory([] { return new TxyyMYHLPForm(nullptr); })
                           << QStringLiteral("使用说明") << QPoint(153, 59) << EnglishLines();
  QTest::newRow("arithmetic") << HelpFactory([] { return new TYSMYHLPForm(nullptr); })
                              << QStringLiteral("使用说明") << QPoint(156, 72) << ArithmeticLines();
  // Its text is checked here for fitting its window.
  QTest::newRow("writing") << HelpFactory([] { return new TxzMYHLPForm(nullptr); })
                           << QStringLiteral("使用说明") << QPoint(150, 70)
                           << WritingHelpPage().lines;
}

}  // namespace

class HelpWindowsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void showsItsPage_data() {
    QTest::addColumn<HelpFactory>("make");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QStringList>("lines");
    AddWindows();
  }
  // Every line exactly as written, leading and trailing spaces and blank lines included, and
  // every line on one row of the memo (no wrapping) with the whole text in view; the same for the
  // second page, whose button leaves the first line's text uncovered.
  void showsItsPage() {
    QFETCH(HelpFactory, make);
    QFETCH(QString, caption);
    QFETCH(QPoint, position);
    QFETCH(QStringList, lines);
    const QStringList usage = lines;
    std::unique_ptr<THelpForm> form(make());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(form->pos(), position);

    for (int page = 0; page < 2; ++page) {
      QTextDocument* doc = form->ME1->document();
      if (page == 0) {
        QCOMPARE(doc->blockCount(), lines.size());
      } else {
        QTest::mouseClick(form->PageSb, Qt::LeftButton);
        QCOMPARE(form->Page(), 1);
        lines = form->ME1->toPlainText().split('\n');
        QVERIFY(lines.size() > 8);
        QVERIFY(!form->ME1->toPlainText().contains(QStringLiteral("安装目录下<")));
      }
      for (int i = 0; i < lines.size(); ++i) {
        const QTextBlock block = doc->findBlockByNumber(i);
        QVERIFY2(block.text() == lines[i],
                 qPrintable(QStringLiteral("line %1: \"%2\"").arg(i + 1).arg(block.text())));
        QVERIFY2(block.layout()->lineCount() == 1,
                 qPrintable(QStringLiteral("page %1, line %2 wraps").arg(page + 1).arg(i + 1)));
      }
      QCOMPARE(form->ME1->verticalScrollBar()->maximum(), 0);
      const QTextBlock title = doc->firstBlock();
      const int titleRight = int(title.layout()->lineAt(0).naturalTextWidth()) + 2;
      QVERIFY2(form->PageSb->geometry().left() > titleRight,
               qPrintable(QStringLiteral("page %1: the button covers the title").arg(page + 1)));
    }
    QTest::mouseClick(form->PageSb, Qt::LeftButton);
    QCOMPARE(form->Page(), 0);
    QCOMPARE(form->ME1->toPlainText(), usage.join('\n'));
  }

  void onlyACloseBox_data() { showsItsPage_data(); }
  void onlyACloseBox() {
    QFETCH(HelpFactory, make);
    std::unique_ptr<THelpForm> form(make());
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(form->minimumSize(), form->maximumSize());
  }

  void memoRefusesEdits() {
    TMYHLPForm form(nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString before = form.ME1->toPlainText();
    form.ME1->setFocus();
    QTest::keyClicks(form.ME1, QStringLiteral("abc"));
    QTest::keyClick(form.ME1, Qt::Key_Return);
    QTest::keyClick(form.ME1, Qt::Key_Backspace);
    QTest::keyClick(form.ME1, Qt::Key_Delete);
    form.ME1->selectAll();
    QTest::keyClick(form.ME1, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(form.ME1, Qt::Key_Delete);
    QGuiApplication::clipboard()->setText(QStringLiteral("粘贴"));
    QTest::keyClick(form.ME1, Qt::Key_V, Qt::ControlModifier);
    form.ME1->undo();
    QCOMPARE(form.ME1->toPlainText(), before);
    QVERIFY(form.ME1->isReadOnly());
  }

  // Escape closes it, from the memo too, as the close box does.
  void escapeCloses_data() {
    QTest::addColumn<bool>("fromMemo");
    QTest::newRow("window") << false;
    QTest::newRow("memo") << true;
  }
  void escapeCloses() {
    QFETCH(bool, fromMemo);
    auto* form = new TxsMYHLPForm(nullptr);
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<TxsMYHLPForm> alive(form);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QTest::keyClick(form, Qt::Key_A);
    QVERIFY(form->isVisible());
    if (fromMemo)
      QTest::keyClick(form->ME1, Qt::Key_Escape);
    else
      QTest::keyClick(form, Qt::Key_Escape);
    QTRY_VERIFY(alive.isNull());
  }

  // A second opening starts afresh at the top, whatever the first was scrolled to.
  void reopeningShowsTheTop() {
    for (int opening = 0; opening < 2; ++opening) {
      auto* form = new TxyyMYHLPForm(nullptr);
      form->setAttribute(Qt::WA_DeleteOnClose);
      QPointer<TxyyMYHLPForm> alive(form);
      form->show();
      QVERIFY(QTest::qWaitForWindowExposed(form));
      QCOMPARE(form->ME1->verticalScrollBar()->value(), 0);
      QCOMPARE(form->ME1->textCursor().position(), 0);
      QCOMPARE(form->ME1->cursorForPosition(QPoint(2, 2)).blockNumber(), 0);
      // Leave it scrolled to the end and with a selection.
      form->ME1->moveCursor(QTextCursor::End, QTextCursor::KeepAnchor);
      form->ME1->ensureCursorVisible();
      form->close();
      QTRY_VERIFY(alive.isNull());
    }
  }
};

QTEST_MAIN(HelpWindowsTest)
#include "test_help_windows.moc"
