// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu: its controls, what its buttons do, and the application's error report for
// exceptions that escape an event handler.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <atomic>
#include <stdexcept>

#include "app/application.h"
#include "app/main_form.h"
#include "app/screen_registry.h"
#include "support/fakes.h"

Q_DECLARE_METATYPE(TLabel3DBevel)

namespace {

struct Opened {
  QString name;
  QWidget* owner;
};

// A button whose handler fails, as a screen's would on an unexpected database error.
class FailingButton : public QPushButton {
 public:
  FailingButton() {
    connect(this, &QPushButton::clicked, this, [this] {
      ++clicks;
      throw std::runtime_error("no such table: szSound");
    });
  }
  int clicks = 0;
};

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TMainForm> m_form;
  QList<Opened> m_opened;

 private Q_SLOTS:
  void init() {
    m_opened.clear();
    SetShowScreenHook([this](const QString& name, QWidget* owner) {
      m_opened.push_back({name, owner});
      return true;
    });
    m_form = std::make_unique<TMainForm>();
    MainForm = m_form.get();
    m_form->setWindowState(Qt::WindowNoState);
    m_form->resize(TMainForm::kDesignWidth, TMainForm::kDesignHeight);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
  }
  void cleanup() {
    m_form.reset();
    SetShowScreenHook({});
  }

  void destructionClearsMainForm() {
    QCOMPARE(MainForm, m_form.get());
    m_form.reset();
    QCOMPARE(MainForm, nullptr);
  }

  void opensMaximisedWithoutFrame() {
    TMainForm fresh;
    QVERIFY(fresh.windowState() & Qt::WindowMaximized);
    QVERIFY(fresh.windowFlags() & Qt::FramelessWindowHint);
  }

  void labels_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("px");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<TLabel3DBevel>("bevel");
    const QColor blue(0, 0, 255);
    QTest::newRow("XTLB") << "XTLB" << QPoint(16, 21) << "Tindora V6.0" << 32 << QColor(255, 0, 0)
                          << bvLowered;
    QTest::newRow("comlb") << "comlb" << QPoint(24, 88) << "Quorvex" << 14 << QColor(0, 128, 0)
                           << bvLowered;
    QTest::newRow("Label3D2") << "Label3D2" << QPoint(90, 192) << "第一步" << 21 << blue
                              << bvLowered;
    QTest::newRow("Label3D3") << "Label3D3" << QPoint(354, 192) << "第二步" << 21 << blue
                              << bvLowered;
    QTest::newRow("Label3D4") << "Label3D4" << QPoint(610, 192) << "第三步" << 21 << blue
                              << bvLowered;
    QTest::newRow("Label3D5") << "Label3D5" << QPoint(226, 248) << "→" << 56 << QColor(Qt::black)
                              << bvLowered;
    QTest::newRow("Label3D6") << "Label3D6" << QPoint(490, 248) << "→" << 56 << QColor(Qt::black)
                              << bvLowered;
  }
  void labels() {
    QFETCH(QString, name);
    QFETCH(QPoint, pos);
    QFETCH(QString, text);
    QFETCH(int, px);
    QFETCH(QColor, color);
    QFETCH(TLabel3DBevel, bevel);
    auto* label = m_form->designArea()->findChild<TLabel3D*>(name);
    QVERIFY(label);
    QCOMPARE(label->pos(), pos);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->font().pixelSize(), px);
    QVERIFY(label->font().bold());
    QCOMPARE(ResolveColor(label->FontColor()), color);
    QCOMPARE(label->Bevel(), bevel);
    QVERIFY(label->Transparent());
    // The whole text fits: nothing is cut off at the right or the bottom.
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
    QVERIFY(label->height() >= label->fontMetrics().height());
  }

  void titleAndCompanyKeepTheirDesignWidths() {
    QCOMPARE(m_form->XTLB->width(), 647);
    QVERIFY(m_form->XTLB->alignment() & Qt::AlignHCenter);
    QCOMPARE(m_form->comlb->width(), 135);
    QVERIFY(m_form->comlb->font().italic());
    QVERIFY(m_form->comlb->font().underline());
    QCOMPARE(m_form->comlb->toolTip(), QStringLiteral("欢迎访问我们站点"));
    QCOMPARE(m_form->comlb->cursor().shape(), Qt::PointingHandCursor);
  }

  void speedButtons_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("px");
    QTest::addColumn<int>("picture");
    QTest::newRow("szsb") << "szsb" << QRect(68, 232, 119, 84) << "幼儿识字"
                          << "发音识字，小朋友快快来学哦" << 19 << 32;
    QTest::newRow("xssb") << "xssb" << QRect(328, 232, 119, 84) << "幼儿学诗"
                          << "朗读学诗，小朋友快快来学哦" << 19 << 32;
    QTest::newRow("xyysb") << "xyysb" << QRect(588, 232, 119, 84) << "幼儿学英语"
                           << "发音学英语，小朋友快快来学哦" << 19 << 32;
    QTest::newRow("SSSB") << "SSSB" << QRect(68, 360, 119, 84) << "幼儿算数"
                          << "有趣的幼儿算数教学，小朋友快快来学哦" << 19 << 32;
    QTest::newRow("xzsb") << "xzsb" << QRect(328, 360, 119, 84) << "幼儿写字"
                          << "跟着笔顺写一写，小朋友快快来学哦" << 19 << 32;
    QTest::newRow("ABOUTSB") << "ABOUTSB" << QRect(234, 493, 61, 40) << "关于版权"
                             << "关于系统版权与用户信息" << 12 << 16;
    QTest::newRow("RECORDSB") << "RECORDSB" << QRect(301, 493, 61, 40) << "学习记录"
                              << "看看孩子学了什么（给家长和老师）" << 12 << 16;
    QTest::newRow("MINISB") << "MINISB" << QRect(447, 493, 59, 40) << "最小化"
                            << "系统最小化显示" << 12 << 16;
    QTest::newRow("QuitSb") << "QuitSb" << QRect(554, 493, 67, 40) << "退出→"
                            << "退出本系统" << 12 << 16;
  }
  void speedButtons() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    QFETCH(int, px);
    QFETCH(int, picture);
    auto* button = m_form->designArea()->findChild<QToolButton*>(name);
    QVERIFY(button);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->text(), text);
    QCOMPARE(button->toolTip(), hint);
    QCOMPARE(button->font().pixelSize(), px);
    QVERIFY(button->font().bold());
    QVERIFY(button->autoRaise());
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QCOMPARE(button->iconSize(), QSize(picture, picture));
    QCOMPARE(button->icon().availableSizes().value(0), QSize(picture, picture));
    // Picture and caption fit on the button.
    const QFontMetrics fm(button->font());
    QVERIFY(fm.horizontalAdvance(text) < geometry.width());
    QVERIFY(picture + fm.height() < geometry.height());
    // Read as PNG by name: guessing the format would have loaded every image plugin.
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("/imageformats/"));
  }

  void backgroundIsTheGradientOverTheWholeWindow() {
    m_form->Image1->resize(800, 600);
    const QImage picture = m_form->Image1->grab().toImage();
    const QColor top = picture.pixelColor(400, 2);
    const QColor bottom = picture.pixelColor(400, 597);
    QVERIFY2(top.red() > 245 && top.green() > 245 && top.blue() > 245, qPrintable(top.name()));
    QVERIFY2(bottom.red() > 240 && bottom.green() > 200 && bottom.blue() < 120,
             qPrintable(bottom.name()));

    m_form->resize(1280, 800);
    QCOMPARE(m_form->Image1->geometry(), QRect(0, 0, 1280, 800));
    QCOMPARE(m_form->designArea()->geometry(), QRect(240, 111, 800, 578));
  }

  // Rendered for a person to look at; checks that the title and the gradient are drawn.
  void rendering() {
    const QImage shot = m_form->grab().toImage();
    QVERIFY(shot.save(QStringLiteral("mainmenu_test.png")));
    int red = 0;
    for (int x = 16; x < 16 + 647; ++x) {
      const QColor c = shot.pixelColor(x, 40);
      if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
    }
    QVERIFY2(red > 20, "the red title is drawn");
    QVERIFY(shot.pixelColor(5, 5).blue() > 240);
    QVERIFY(shot.pixelColor(5, 570).blue() < 150);
  }

  void moduleButtonsOpenTheirWindows_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::newRow("characters") << "szsb"
                                << "TszmainForm";
    QTest::newRow("poems") << "xssb"
                           << "TxsmainForm";
    QTest::newRow("english") << "xyysb"
                             << "TXYYMAINForm";
    QTest::newRow("arithmetic") << "SSSB"
                                << "TYSMAINForm";
    QTest::newRow("writing") << "xzsb"
                             << "TxzmainForm";
    QTest::newRow("about") << "ABOUTSB"
                           << "TAboutForm";
    QTest::newRow("learning record") << "RECORDSB"
                                     << "TRecordsForm";
  }
  void moduleButtonsOpenTheirWindows() {
    QFETCH(QString, button);
    QFETCH(QString, window);
    auto* b = m_form->designArea()->findChild<QToolButton*>(button);
    QTest::mouseClick(b, Qt::LeftButton);
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(m_opened.size(), 2);  // a new window on every click
    for (const Opened& o : m_opened) {
      QCOMPARE(o.name, window);
      QCOMPARE(o.owner, m_form.get());
    }
  }

  // The badge of due reviews is counted away from the menu: a server that does not answer leaves
  // the menu working, and only the latest count is shown.
  void dueCountNeverHoldsTheMenu() {
    QCOMPARE(MainForm, m_form.get());
    QSemaphore firstAnswer;
    std::atomic<int> calls = 0;
    // The first count waits like a frozen server; the second answers at once.
    SetDueCounter([&](int) {
      if (++calls == 1) {
        firstAnswer.acquire();
        return 7;
      }
      return 120;
    });
    QTRY_VERIFY(calls.load() >= 1);  // the menu asked and went on
    m_form->RefreshDueCount();
    QTRY_VERIFY(m_form->DueLb->isVisible());
    QCOMPARE(m_form->DueLb->text(), QStringLiteral("99+"));
    firstAnswer.release();
    QTest::qWait(100);  // the first answer, arriving late, changes nothing
    QCOMPARE(m_form->DueLb->text(), QStringLiteral("99+"));
    SetDueCounter([](int) { return 0; });
    QTRY_VERIFY(m_form->DueLb->isHidden());
    SetDueCounter({});
  }

  void companyNameOpensTheWebSite() {
    testing::FakeDialogs dialogs;
    QTest::mouseClick(m_form->comlb, Qt::LeftButton);
    QCOMPARE(dialogs.urls, QStringList{kMakerWebAddress});
    QTest::mouseClick(m_form->comlb, Qt::RightButton);
    QCOMPARE(dialogs.urls.size(), 1);
  }

  void minimiseAndRestore() {
    m_form->showMaximized();
    QTest::mouseClick(m_form->MINISB, Qt::LeftButton);
    QVERIFY(m_form->isMinimized());
    m_form->setWindowState(m_form->windowState() & ~Qt::WindowMinimized);
    QVERIFY(m_form->isMaximized());
    QVERIFY(m_form->isVisible());
  }

  void checkIntegerEditOnTheMenu() {
    testing::ScriptedMessageBox boxes;
    QLineEdit edit;
    edit.setText("12");
    QVERIFY(MainForm->CheckIntegerEdit(&edit));
    edit.setText("x");
    QVERIFY(!MainForm->CheckIntegerEdit(&edit));
    QCOMPARE(boxes.shown.size(), 1);
  }

  void quitAnsweredNoKeepsTheMenu() {
    testing::ScriptedMessageBox boxes;
    boxes.answers = {platform::IDNO};
    QTimer::singleShot(0, m_form->QuitSb,
                       [this] { QTest::mouseClick(m_form->QuitSb, Qt::LeftButton); });
    // Only this timer ends the loop when the answer was No.
    QTimer::singleShot(300, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 99);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].owner, m_form.get());
    QCOMPARE(boxes.shown[0].text, QStringLiteral("欢迎使用本系统，确定要退出吗?"));
    QCOMPARE(boxes.shown[0].title, QStringLiteral("系统信息"));
    QCOMPARE(boxes.shown[0].flags, platform::MB_YESNO | platform::MB_ICONQUESTION);
    QVERIFY(m_form->isVisible());
    QVERIFY(!m_form->isMinimized());
  }

  void quitAnsweredYesMinimisesAndEnds() {
    testing::ScriptedMessageBox boxes;
    boxes.answers = {platform::IDYES};
    QTimer::singleShot(0, m_form->QuitSb,
                       [this] { QTest::mouseClick(m_form->QuitSb, Qt::LeftButton); });
    QTimer guard;
    guard.singleShot(5000, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(m_form->isMinimized());
  }

  // An exception escaping a handler is reported, and the program goes on with the next event.
  void escapedExceptionIsReported() {
    testing::ScriptedMessageBox boxes;
    FailingButton button;
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.clicks, 1);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown[0].text.startsWith(QStringLiteral("程序出错")));  // the driver's words: log
    QCOMPARE(boxes.shown[0].title, QStringLiteral("Tindora"));
    QCOMPARE(boxes.shown[0].flags, platform::MB_OK | platform::MB_ICONERROR);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.clicks, 2);
    QCOMPARE(boxes.shown.size(), 2);
    QVERIFY(!button.isDown());
  }
};

#ifdef __SANITIZE_ADDRESS__
// Qt's own frames between the failing handler and the report are built without unwinding
// clean-ups, so the mouse-event copies they hold are never freed: a cost of the last-resort
// report, not a leak of ours. Full stacks let the suppression name the test.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
extern "C" const char* __lsan_default_suppressions() { return "leak:escapedExceptionIsReported\n"; }
#endif

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Tindora"));
  MainFormTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "test_main_form.moc"
