// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QtTest>

#include "app/about_window.h"
#include "app/maker_site.h"
#include "controls/flat_speed_button.h"
#include "support/fakes.h"

namespace {

// An About window as the menu shows it: deleted when closed.
struct OpenAbout {
  OpenAbout() : form(new TAboutForm(nullptr)), alive(form) {
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
  }
  ~OpenAbout() { delete alive.data(); }
  bool Closed() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return alive.isNull();
  }
  TAboutForm* form;
  QPointer<TAboutForm> alive;
};

}  // namespace

class AboutWindowTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // Keys reach the window wherever they are typed; only Escape closes it.
  void keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("closes");
    QTest::newRow("escape on the window") << int(Qt::Key_Escape) << "window" << true;
    QTest::newRow("escape on the web label") << int(Qt::Key_Escape) << "Label3" << true;
    QTest::newRow("escape on the logo") << int(Qt::Key_Escape) << "Image1" << true;
    QTest::newRow("escape on OK") << int(Qt::Key_Escape) << "NextSb" << true;
    QTest::newRow("return") << int(Qt::Key_Return) << "window" << false;
    QTest::newRow("enter") << int(Qt::Key_Enter) << "window" << false;
    QTest::newRow("space on OK") << int(Qt::Key_Space) << "NextSb" << false;
    QTest::newRow("letter o") << int(Qt::Key_O) << "window" << false;
    QTest::newRow("f4") << int(Qt::Key_F4) << "Label3" << false;
  }
  void keys() {
    QFETCH(int, key);
    QFETCH(QString, target);
    QFETCH(bool, closes);
    OpenAbout about;
    QVERIFY(QTest::qWaitForWindowExposed(about.form));
    QWidget* to = about.form;
    if (target == "Label3") to = about.form->Label3;
    if (target == "Image1") to = about.form->Image1;
    if (target == "NextSb") to = about.form->NextSb;
    QTest::keyClick(to, Qt::Key(key));
    QCOMPARE(about.Closed(), closes);
  }

  void okCloses() {
    OpenAbout about;
    QVERIFY(QTest::qWaitForWindowExposed(about.form));
    QTest::mouseClick(about.form->NextSb, Qt::LeftButton);
    QVERIFY(about.Closed());
  }

  // OK shows no frame at rest and turns yellow under the pointer.
  void okLightsUpUnderThePointer() {
    OpenAbout about;
    about.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about.form));
    TFlatSpeedButton* ok = about.form->NextSb;
    const QColor rest = about.form->Panel1->palette().color(QPalette::Window);
    QImage shot = ok->grab().toImage();
    QCOMPARE(shot.pixelColor(0, 0), rest);
    QCOMPARE(shot.pixelColor(3, ok->height() / 2), rest);

    QCursor::setPos(ok->mapToGlobal(ok->rect().center()));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(ok, &enter);
    QTRY_VERIFY(ok->Hot());
    shot = ok->grab().toImage();
    QCOMPARE(shot.pixelColor(3, ok->height() / 2), QColor(Qt::yellow));
  }

  void webLabelOpensTheSite_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("releasedOutside");
    QTest::addColumn<bool>("opens");
    QTest::newRow("left click") << Qt::LeftButton << false << true;
    QTest::newRow("dragged off before release") << Qt::LeftButton << true << false;
    QTest::newRow("right click") << Qt::RightButton << false << false;
  }
  void webLabelOpensTheSite() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, releasedOutside);
    QFETCH(bool, opens);
    testing::FakeDialogs dialogs;
    OpenAbout about;
    QVERIFY(QTest::qWaitForWindowExposed(about.form));
    QLabel* label = about.form->Label3;
    QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
    const QPoint inside = label->rect().center();
    QTest::mousePress(label, button, {}, inside);
    QTest::mouseRelease(label, button, {},
                        releasedOutside ? inside + QPoint(label->width(), 0) : inside);
    QCOMPARE(dialogs.urls, opens ? QStringList{kMakerWebAddress} : QStringList{});
    QVERIFY(!about.Closed());
  }

  // The pictures are built in and decode (the logo is a JPEG), and the address stays clear of
  // the logo's frame.
  void contentsInPlace() {
    OpenAbout about;
    QVERIFY(QTest::qWaitForWindowExposed(about.form));
    QCOMPARE(about.form->size(), QSize(313, 323));
    for (QLabel* picture : {about.form->Image1, about.form->Image2, about.form->Image3})
      QVERIFY(!picture->pixmap().isNull());
    QVERIFY(about.form->Image1->pixmap().width() > 64);
    const QRect address = about.form->Label3->geometry();
    QVERIFY2(address.right() < about.form->Panel2->geometry().left(),
             qPrintable(QString::number(address.right())));
    QVERIFY(about.form->Label3->text().contains(QUrl(kMakerWebAddress).host()));
    // The data the starter course is made of is credited with its licences, every line whole
    // between the logo and the icon.
    QLabel* credits = about.form->CreditsLb;
    for (const char* licence : {"CC-CEDICT 词典（CC BY-SA 4.0）", "chinese-poetry 古诗（MIT）", "Unicode"})
      QVERIFY2(credits->text().contains(QString::fromUtf8(licence)), licence);
    const int lines = int(credits->text().count(u'\n')) + 1;
    QVERIFY(credits->geometry().top() > about.form->Panel2->geometry().bottom());
    QVERIFY(credits->y() + lines * credits->fontMetrics().lineSpacing() < about.form->Image2->y());
    for (const QString& line : credits->text().split(u'\n'))
      QVERIFY2(credits->fontMetrics().horizontalAdvance(line) <= credits->width(), qPrintable(line));
  }
};

QTEST_MAIN(AboutWindowTest)
#include "test_about_window.moc"
