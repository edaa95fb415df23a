// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/screen_registry.h"
#include "arithmetic/drill_screen.h"
#include "controls/flat_drawing.h"
#include "controls/flat_speed_button.h"
#include "platform/random.h"
#include "support/fakes.h"

namespace {

const QString kTick = QString(QChar(0x221A));
const QString kCross = QString(QChar(0x2169));

void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

}  // namespace

class DrillScreenTest : public QObject {
  Q_OBJECT

  std::unique_ptr<testing::FakeClock> m_clock;
  std::unique_ptr<testing::RecordingSoundPlayer> m_sounds;
  std::unique_ptr<platform::SeededRandom> m_random;
  std::unique_ptr<TYSMAINForm> m_form;

  TYSMAINForm& form() { return *m_form; }

  // The exercise as the child sees it.
  int ShownAnswer() {
    const int a = form().FIRSTLB->text().toInt();
    const int b = form().SECONDLB->text().toInt();
    return form().fhlb->text() == "+" ? a + b : a - b;
  }
  int WrongAnswer() { return ShownAnswer() == 1 ? 2 : 1; }
  QWidget* AnswerButton(int n) { return form().SB[n - 1]; }

  // Starts the drill and lets the first read-out run, then forgets its sounds.
  void Begin() {
    Click(form().STARTSB);
    form().Timer2Timer();
    m_sounds->calls.clear();
  }
  void AnswerRight() { Click(AnswerButton(ShownAnswer())); }

  QStringList Boxes() {
    QStringList out;
    for (int i = 0; i < 5; ++i) out << form().ResultBox(i)->text();
    return out;
  }
  QColor BoxColour(int i) { return form().ResultBox(i)->palette().color(QPalette::WindowText); }

  QStringList EnabledControls() {
    QStringList out;
    const QList<QPair<QString, QWidget*>> controls{
        {"STARTSB", form().STARTSB}, {"ADDRB", form().ADDRB},   {"DELRB", form().DELRB},
        {"SHOWSB", form().SHOWSB},   {"NEXTsb", form().NEXTsb}, {"HELPSB", form().HELPSB},
        {"QuitSb", form().QuitSb}};
    for (const auto& [name, w] : controls)
      if (w->isEnabled()) out << name;
    int answers = 0;
    for (int n = 1; n <= 10; ++n) answers += AnswerButton(n)->isEnabled() ? 1 : 0;
    if (answers == 10)
      out << "SB1-10";
    else if (answers)
      out << "some SB";
    return out;
  }

 private Q_SLOTS:
  void init() {
    m_clock = std::make_unique<testing::FakeClock>();
    m_sounds = std::make_unique<testing::RecordingSoundPlayer>(m_clock.get());
    m_random = std::make_unique<platform::SeededRandom>(11);
    platform::SetRandom(m_random.get());
    m_form = std::make_unique<TYSMAINForm>(nullptr);
    m_form->ShowMaximizedOrDesign(false);
  }
  void cleanup() {
    m_form.reset();
    platform::SetRandom(nullptr);
    m_sounds.reset();
    m_clock.reset();
    SetShowScreenHook({});
  }

  void screenStates() {
    QCOMPARE(form().windowTitle(), QStringLiteral("幼儿算数"));
    QCOMPARE(EnabledControls(), (QStringList{"STARTSB", "HELPSB", "QuitSb"}));
    QCOMPARE(form().ANSWERLB->text(), "?");
    QCOMPARE(form().FIRSTLB->text(), "");
    QCOMPARE(form().fENSHULB->text(), QStringLiteral("0分"));

    Begin();
    const QStringList awaiting{"ADDRB", "DELRB", "SHOWSB", "HELPSB", "QuitSb", "SB1-10"};
    QCOMPARE(EnabledControls(), awaiting);
    QCOMPARE(form().ANSWERLB->text(), "?");
    QVERIFY(!form().FIRSTLB->text().isEmpty());

    Click(AnswerButton(WrongAnswer()));
    QCOMPARE(EnabledControls(), awaiting);

    AnswerRight();
    QCOMPARE(EnabledControls(),
             (QStringList{"ADDRB", "DELRB", "SHOWSB", "NEXTsb", "HELPSB", "QuitSb", "SB1-10"}));
    QCOMPARE(form().ANSWERLB->text().toInt(), ShownAnswer());

    Click(form().NEXTsb);
    QCOMPARE(EnabledControls(), awaiting);
    QCOMPARE(form().ANSWERLB->text(), "?");
  }

  void startWorksOnce() {
    Begin();
    AnswerRight();
    Click(form().STARTSB);
    QVERIFY(!form().STARTSB->isEnabled());
    // The click reached nothing: the series goes on.
    QCOMPARE(Boxes()[0], kTick);
    QVERIFY(form().ANSWERLB->text() != "?");
  }

  void readOut_data() {
    QTest::addColumn<bool>("subtraction");
    QTest::addColumn<QString>("word");
    QTest::newRow("addition") << false << "ja.wav";
    QTest::newRow("subtraction") << true << "jIAN.wav";
  }
  void readOut() {
    QFETCH(bool, subtraction);
    QFETCH(QString, word);
    Click(form().STARTSB);
    if (subtraction) Click(form().DELRB);
    QTimer* timer = subtraction ? form().Timer3 : form().Timer2;
    QTimer* other = subtraction ? form().Timer2 : form().Timer3;
    QVERIFY(timer->isActive());
    QVERIFY(!other->isActive());  // a pending addition read-out must not speak the new numbers
    QCOMPARE(timer->interval(), 300);
    const QDateTime shown = m_clock->Now();
    m_sounds->calls.clear();
    // The real timer fires; the pauses run on the fake clock.
    QTRY_COMPARE_WITH_TIMEOUT(m_sounds->calls.size(), 4, 3000);
    QVERIFY(!timer->isActive());
    const QString a = form().FIRSTLB->text();
    const QString b = form().SECONDLB->text();
    QCOMPARE(m_sounds->Names(), (QStringList{"S" + a + ".wav", word, "S" + b + ".wav", "dy.wav"}));
    QList<qint64> at;
    for (const auto& c : m_sounds->calls) at << shown.msecsTo(c.at);
    QCOMPARE(at, (QList<qint64>{1000, 4000, 7000, 10000}));
  }

  void wrongThenRight() {
    Begin();
    const qint64 slept = m_clock->SleptMs();
    for (int i = 0; i < 3; ++i) Click(AnswerButton(WrongAnswer()));
    QCOMPARE(m_sounds->Names(), (QStringList{"cuo.wav", "cuo.wav", "cuo.wav"}));
    QCOMPARE(m_clock->SleptMs(), slept);
    QCOMPARE(form().ANSWERLB->text(), "?");
    QCOMPARE(Boxes(), (QStringList{"", "", "", "", ""}));
    QCOMPARE(form().fENSHULB->text(), QStringLiteral("0分"));
    QVERIFY(!form().NEXTsb->isEnabled());

    m_sounds->calls.clear();
    const QDateTime before = m_clock->Now();
    const int answer = ShownAnswer();
    const QString sum = form().FIRSTLB->text() + "+" + form().SECONDLB->text();
    QCOMPARE(form().State().SeriesFirstAnswers(), QStringList{sum + ":0"});  // open, tried
    AnswerRight();
    // The screen scores the right answer; the record keeps that the first one was wrong.
    QCOMPARE(form().State().SeriesFirstAnswers(), QStringList{sum + ":0"});
    QCOMPARE(m_sounds->Names(), (QStringList{QStringLiteral("S%1.wav").arg(answer), "CM.wav"}));
    QCOMPARE(before.msecsTo(m_sounds->calls[0].at), 0);
    QCOMPARE(before.msecsTo(m_sounds->calls[1].at), 3000);
    QCOMPARE(form().ANSWERLB->text(), QString::number(answer));
    QCOMPARE(Boxes(), (QStringList{kTick, "", "", "", ""}));
    QCOMPARE(BoxColour(0), QColor(255, 0, 0));
    QCOMPARE(form().fENSHULB->text(), QStringLiteral("20分"));
    QVERIFY(form().NEXTsb->isEnabled());
  }

  void showAnswer() {
    Begin();
    const int answer = ShownAnswer();
    const qint64 slept = m_clock->SleptMs();
    Click(form().SHOWSB);
    QCOMPARE(m_sounds->Names(), (QStringList{QStringLiteral("S%1.wav").arg(answer)}));
    QCOMPARE(m_clock->SleptMs(), slept);
    QCOMPARE(form().ANSWERLB->text(), QString::number(answer));
    QCOMPARE(Boxes(), (QStringList{kCross, "", "", "", ""}));
    QCOMPARE(BoxColour(0), QColor(0, 128, 0));
    QCOMPARE(form().fENSHULB->text(), QStringLiteral("0分"));
    QVERIFY(form().NEXTsb->isEnabled());
  }

  void pressesAfterResultIgnored_data() {
    QTest::addColumn<bool>("shown");
    QTest::newRow("after a right answer") << false;
    QTest::newRow("after the shown answer") << true;
  }
  void pressesAfterResultIgnored() {
    QFETCH(bool, shown);
    Begin();
    Click(shown ? static_cast<QWidget*>(form().SHOWSB) : AnswerButton(ShownAnswer()));
    const QStringList boxes = Boxes();
    const QString score = form().fENSHULB->text();
    const QString answer = form().ANSWERLB->text();
    m_sounds->calls.clear();
    for (int n = 1; n <= 10; ++n) Click(AnswerButton(n));
    Click(form().SHOWSB);
    QCOMPARE(m_sounds->calls.size(), 0);
    QCOMPARE(Boxes(), boxes);
    QCOMPARE(form().fENSHULB->text(), score);
    QCOMPARE(form().ANSWERLB->text(), answer);
  }

  void fullSeriesThenNext() {
    Begin();
    for (int i = 0; i < 5; ++i) {
      AnswerRight();
      QCOMPARE(form().fENSHULB->text(), QStringLiteral("%1分").arg(20 * (i + 1)));
      if (i < 4) Click(form().NEXTsb);
      // The next exercise of the same series leaves the boxes alone.
      if (i < 4) QCOMPARE(Boxes()[i], kTick);
    }
    QCOMPARE(Boxes(), (QStringList{kTick, kTick, kTick, kTick, kTick}));
    QCOMPARE(form().fENSHULB->text(), QStringLiteral("100分"));

    Click(form().NEXTsb);
    QCOMPARE(Boxes(), (QStringList{"", "", "", "", ""}));
    QCOMPARE(form().fENSHULB->text(), QStringLiteral("0分"));
    QCOMPARE(form().ANSWERLB->text(), "?");
    QCOMPARE(form().fhlb->text(), "+");
    QVERIFY(form().Timer2->isActive());
    // The new series scores from zero.
    AnswerRight();
    QCOMPARE(form().fENSHULB->text(), QStringLiteral("20分"));
    QCOMPARE(Boxes()[0], kTick);
  }

  void switchOperationMidSeries() {
    Begin();
    AnswerRight();
    Click(form().NEXTsb);
    Click(form().SHOWSB);
    QCOMPARE(Boxes(), (QStringList{kTick, kCross, "", "", ""}));

    Click(form().DELRB);
    QVERIFY(form().DELRB->isChecked());
    QCOMPARE(Boxes(), (QStringList{"", "", "", "", ""}));
    QCOMPARE(form().fENSHULB->text(), QStringLiteral("0分"));
    QCOMPARE(form().fhlb->text(), "-");
    QCOMPARE(form().ANSWERLB->text(), "?");
    QVERIFY(!form().NEXTsb->isEnabled());
    QVERIFY(form().Timer3->isActive());
    const int a = form().FIRSTLB->text().toInt();
    const int b = form().SECONDLB->text().toInt();
    QVERIFY(b >= 1 && b < a && a <= 10);

    // Clicking the selected operation again changes nothing.
    form().Timer3Timer();
    AnswerRight();
    Click(form().DELRB);
    QCOMPARE(Boxes()[0], kTick);
    QVERIFY(!form().Timer3->isActive());

    // The next exercises stay subtractions; switching back gives additions.
    Click(form().NEXTsb);
    QCOMPARE(form().fhlb->text(), "-");
    Click(form().ADDRB);
    QCOMPARE(form().fhlb->text(), "+");
    QCOMPARE(Boxes()[0], "");
    QVERIFY(form().Timer2->isActive());
    QVERIFY(!form().Timer3->isActive());
  }

  void helpAndQuit() {
    QStringList opened;
    SetShowScreenHook([&](const QString& name, QWidget* owner) {
      opened << name;
      return owner == m_form.get();
    });
    Click(form().HELPSB);
    QCOMPARE(opened, QStringList{"TYSMYHLPForm"});
    // Escape does not end a running series: only "返回→" closes the screen.
    Begin();
    QTest::keyClick(m_form.get(), Qt::Key_Escape);
    QVERIFY(form().isVisible());
    m_sounds->calls.clear();
    Click(form().QuitSb);
    QVERIFY(!form().isVisible());
    QCOMPARE(m_sounds->calls.size(), 0);
  }

  // The "-" keeps its text but is drawn as wide as the "+" and at least 4 px thick.
  void signsEquallyVisible() {
    const auto ink = [this] {
      const QImage image = form().fhlb->grab().toImage();
      QRect box;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (QColor(image.pixel(x, y)).green() > 100) box |= QRect(x, y, 1, 1);
      return box;
    };
    const QRect plus = ink();
    QVERIFY(plus.width() >= 20);
    Begin();
    Click(form().DELRB);
    QCOMPARE(form().fhlb->text(), "-");
    const QRect minus = ink();
    QVERIFY2(minus.width() >= plus.width() - 2,
             qPrintable(QStringLiteral("%1 vs %2").arg(minus.width()).arg(plus.width())));
    QVERIFY(minus.height() >= 4);
  }
  // The colours as drawn, before and during a series: the operation labels stay green while
  // disabled, an answer key keeps its aqua face and embosses its digit in button-shadow until the
  // series starts, and the top bar's edge line runs unbroken across the whole window.
  void looks_data() {
    QTest::addColumn<bool>("started");
    QTest::newRow("before a series") << false;
    QTest::newRow("in a series") << true;
  }
  void looks() {
    QFETCH(bool, started);
    if (started) Begin();
    const auto inks = [](QWidget* w) {
      const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
      QSet<QRgb> out;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) out.insert(image.pixel(x, y));
      return out;
    };
    for (QWidget* rb : {static_cast<QWidget*>(form().ADDRB), static_cast<QWidget*>(form().DELRB)})
      QVERIFY(inks(rb).contains(qRgb(0, 128, 0)));
    const QSet<QRgb> key = inks(AnswerButton(8));
    QVERIFY(key.contains(qRgb(0, 255, 255)));
    QCOMPARE(key.contains(qRgb(255, 0, 0)), started);
    QCOMPARE(key.contains(ResolveColor(clBtnShadow).rgb()), !started);

    form().resize(1100, 700);
    const QImage window = form().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb edge = qRgb(160, 166, 180);
    int rows = 0;
    for (int y = 0; y < window.height(); ++y) {
      if (window.pixel(0, y) != edge) continue;
      ++rows;
      for (int x = 0; x < window.width(); ++x)
        QVERIFY2(window.pixel(x, y) == edge, qPrintable(QStringLiteral("gap at %1,%2").arg(x).arg(y)));
    }
    QVERIFY(rows > 0);
  }
};

QTEST_MAIN(DrillScreenTest)
#include "test_drill_screen.moc"
