// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLineEdit>
#include <QtTest>
#include <cmath>

#include "controls/flat_speed_button.h"
#include "support/paint_counter.h"
#include "support/shots.h"

namespace {

// Colours that no antialiasing or palette produces by accident.
constexpr TColor kFace = RGBColor(40, 60, 80);
constexpr TColor kFocused = RGBColor(250, 250, 120);
constexpr TColor kDown = RGBColor(90, 30, 30);
constexpr TColor kBorder = RGBColor(20, 200, 20);
constexpr TColor kHighLight = RGBColor(200, 220, 255);
constexpr TColor kShadow = RGBColor(100, 0, 100);
constexpr TColor kText = RGBColor(255, 128, 0);

QRgb Rgb(TColor c) { return ResolveColor(c).rgb(); }

int CountColour(const QImage& img, const QRect& area, QRgb colour) {
  int n = 0;
  const QRect r = area.intersected(img.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if ((img.pixel(x, y) | 0xFF000000) == colour) ++n;
  return n;
}

void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint pos) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

enum class Look { Up, Hot, Pressed, Latched, LatchedHot, Disabled };

// A shown, active window holding flat buttons, with the pointer parked in a free corner.
struct Stage {
  QWidget window;
  Stage() {
    window.resize(400, 200);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) qWarning("window not active");
    Park();
  }
  void Park() { QTest::mouseMove(&window, QPoint(390, 190)); }
  TFlatSpeedButton* Add(QRect geometry) {
    auto* b = new TFlatSpeedButton(&window);
    b->setGeometry(geometry);
    b->setColor(kFace);
    b->setColorFocused(kFocused);
    b->setColorDown(kDown);
    b->setColorBorder(kBorder);
    b->setColorHighLight(kHighLight);
    b->setColorShadow(kShadow);
    b->setFontColor(kText);
    QFont f;
    f.setFamilies({"Noto Sans CJK SC"});
    f.setPixelSize(18);
    f.setBold(true);
    b->setFont(f);
    b->show();
    return b;
  }
};

void Bring(TFlatSpeedButton* b, Look look) {
  switch (look) {
    case Look::Up:
      break;
    case Look::Hot:
      QTest::mouseMove(b, b->rect().center());
      break;
    case Look::Pressed:
      Send(b, QEvent::MouseButtonPress, Qt::LeftButton, b->rect().center());
      break;
    case Look::Latched:
      b->setGroupIndex(1);
      b->setDown(true);
      break;
    case Look::LatchedHot:
      b->setGroupIndex(1);
      b->setDown(true);
      QTest::mouseMove(b, b->rect().center());
      break;
    case Look::Disabled:
      b->setEnabled(false);
      break;
  }
}

}  // namespace

Q_DECLARE_METATYPE(Look)

class FlatSpeedButtonTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void defaults() {
    TFlatSpeedButton b;
    QCOMPARE(b.geometry(), QRect(0, 0, 25, 25));
    QCOMPARE(b.NumGlyphs(), 1);
    QCOMPARE(b.Layout(), blGlyphTop);
    QCOMPARE(b.Margin(), -1);
    QCOMPARE(b.Spacing(), 4);
    QCOMPARE(b.ColorFocused(), RGBColor(235, 234, 225));
    QCOMPARE(b.ColorDown(), RGBColor(217, 214, 197));
    QCOMPARE(b.ColorBorder(), RGBColor(160, 150, 131));
    QCOMPARE(b.ColorHighLight(), clWhite);
    QCOMPARE(b.ColorShadow(), clBlack);
    QCOMPARE(b.focusPolicy(), Qt::NoFocus);
    QVERIFY(b.ParentColor());
    QVERIFY(b.ParentFont());
    QVERIFY(!b.testAttribute(Qt::WA_NativeWindow));
  }

  // Frame sides, corners and face per look; the caption sinks one pixel while pressed or latched.
  void paintsLook_data() {
    QTest::addColumn<Look>("look");
    QTest::addColumn<TColor>("first");
    QTest::addColumn<TColor>("second");
    QTest::addColumn<TColor>("face");
    QTest::addColumn<int>("sink");
    QTest::newRow("up") << Look::Up << kBorder << kBorder << kFace << 0;
    QTest::newRow("hot") << Look::Hot << kHighLight << kShadow << kFocused << 0;
    QTest::newRow("pressed") << Look::Pressed << kShadow << kHighLight << kDown << 1;
    QTest::newRow("latched") << Look::Latched << kShadow << kHighLight << kDown << 1;
    QTest::newRow("latched hot") << Look::LatchedHot << kShadow << kHighLight << kFocused << 1;
    QTest::newRow("disabled") << Look::Disabled << kBorder << kBorder << kFace << 0;
  }
  void paintsLook() {
    QFETCH(Look, look);
    QFETCH(TColor, first);
    QFETCH(TColor, second);
    QFETCH(TColor, face);
    QFETCH(int, sink);
    Stage stage;
    TFlatSpeedButton* plain = stage.Add(QRect(10, 10, 90, 40));
    plain->setCaption(QStringLiteral("口田"));
    const QImage upShot = testing::LogicalShot(plain);
    const QRect upText = plain->TextRect();
    Bring(plain, look);
    const QImage img = testing::LogicalShot(plain);
    const int w = img.width(), h = img.height();

    QCOMPARE(img.pixel(0, 0), Rgb(first));
    QCOMPARE(img.pixel(0, h / 2), Rgb(first));
    QCOMPARE(img.pixel(w / 2, 0), Rgb(first));
    QCOMPARE(img.pixel(w - 1, 0), Rgb(second));  // corners belong to the second colour
    QCOMPARE(img.pixel(0, h - 1), Rgb(second));
    QCOMPARE(img.pixel(w - 1, h / 2), Rgb(second));
    QCOMPARE(img.pixel(w / 2, h - 1), Rgb(second));
    QCOMPARE(img.pixel(1, 1), Rgb(face));
    QCOMPARE(img.pixel(w - 2, h - 2), Rgb(face));

    QCOMPARE(plain->TextRect(), upText.translated(sink, sink));
    if (look == Look::Disabled) {
      // Embossed: button highlight one pixel right and down, button shadow on top.
      QCOMPARE(CountColour(img, img.rect(), Rgb(kText)), 0);
      QVERIFY(CountColour(img, upText, Rgb(clBtnShadow)) > 20);
      QVERIFY(CountColour(img, upText.translated(1, 1), Rgb(clBtnHighlight)) > 5);
    } else {
      // The caption is the same picture, moved by the sink.
      const QRect area = upText.adjusted(-1, -1, 1, 1);
      const int strokes = CountColour(img, area.translated(sink, sink), Rgb(kText));
      QVERIFY(strokes > 20);
      // At a fractional scale the one-pixel sink lands between device pixels, so the glyphs are
      // rasterised anew: the same strokes, give or take their edges.
      const qreal dpr = plain->devicePixelRatioF();
      const int slack = dpr == std::floor(dpr) ? 0 : strokes / 5;
      QVERIFY(qAbs(CountColour(upShot, area, Rgb(kText)) - strokes) <= slack);
      QCOMPARE(img.copy(upText.translated(sink, sink)).pixel(3, 3) == Rgb(kText),
               upShot.copy(upText).pixel(3, 3) == Rgb(kText));
    }
  }

  void accelerator() {
    Stage stage;
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 90, 40));
    b->setCaption("&OK && go");
    QCOMPARE(b->fontMetrics().size(Qt::TextSingleLine | Qt::TextShowMnemonic, b->Caption()),
             b->fontMetrics().size(Qt::TextSingleLine, "OK & go"));
    QSignalSpy clicks(b, &TFlatSpeedButton::clicked);
    QTest::keyClick(&stage.window, Qt::Key_O, Qt::AltModifier);
    QCOMPARE(clicks.count(), 1);
    QTest::keyClick(&stage.window, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(clicks.count(), 1);
    // The bare character too, unless the focused control takes it as typing.
    QTest::keyClick(&stage.window, Qt::Key_O);
    QCOMPARE(clicks.count(), 2);
    auto* edit = new QLineEdit(&stage.window);
    edit->show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_O);
    QCOMPARE(edit->text(), "o");
    QCOMPARE(clicks.count(), 2);
    b->setEnabled(false);
    QTest::keyClick(&stage.window, Qt::Key_O, Qt::AltModifier);
    QCOMPARE(clicks.count(), 2);
  }

  // Cell colours of a strip of four: up, disabled, pressed, latched.
  void glyphCells_data() {
    QTest::addColumn<int>("cells");
    QTest::addColumn<Look>("look");
    QTest::addColumn<int>("shown");
    QTest::newRow("1 up") << 1 << Look::Up << 0;
    QTest::newRow("1 pressed") << 1 << Look::Pressed << 0;
    QTest::newRow("2 disabled") << 2 << Look::Disabled << 1;
    QTest::newRow("2 pressed") << 2 << Look::Pressed << 0;
    QTest::newRow("2 latched") << 2 << Look::Latched << 0;
    QTest::newRow("3 disabled") << 3 << Look::Disabled << 1;
    QTest::newRow("3 pressed") << 3 << Look::Pressed << 2;
    QTest::newRow("3 latched") << 3 << Look::Latched << 2;
    QTest::newRow("4 up") << 4 << Look::Up << 0;
    QTest::newRow("4 hot") << 4 << Look::Hot << 0;
    QTest::newRow("4 disabled") << 4 << Look::Disabled << 1;
    QTest::newRow("4 pressed") << 4 << Look::Pressed << 2;
    QTest::newRow("4 latched") << 4 << Look::Latched << 3;
  }
  void glyphCells() {
    QFETCH(int, cells);
    QFETCH(Look, look);
    QFETCH(int, shown);
    const QRgb key = qRgb(255, 0, 255);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    QImage strip(10 * cells, 10, QImage::Format_RGB32);
    strip.fill(key);
    for (int k = 0; k < cells; ++k) strip.setPixel(k * 10 + 5, 5, colours[k]);
    Stage stage;
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 40, 40));
    b->setGlyph(strip);
    QCOMPARE(b->NumGlyphs(), cells);
    Bring(b, look);
    const QImage img = testing::LogicalShot(b);
    const QPoint at = b->GlyphOrigin();
    QCOMPARE(img.pixel(at + QPoint(5, 5)), colours[shown]);
    // The key colour is left out: the face shows through.
    QCOMPARE(img.pixel(at + QPoint(2, 2)), img.pixel(2, 2));
  }

  // A single-cell glyph, disabled, keeps only its pure black pixels, embossed.
  void disabledSingleGlyph() {
    QImage glyph(12, 12, QImage::Format_RGB32);
    glyph.fill(qRgb(255, 0, 255));
    glyph.setPixel(4, 4, qRgb(0, 0, 0));
    glyph.setPixel(8, 8, qRgb(255, 0, 0));
    Stage stage;
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 40, 40));
    b->setGlyph(glyph);
    b->setEnabled(false);
    const QImage img = testing::LogicalShot(b);
    const QPoint at = b->GlyphOrigin();
    QCOMPARE(img.pixel(at + QPoint(4, 4)), Rgb(clBtnShadow));
    QCOMPARE(img.pixel(at + QPoint(5, 5)), Rgb(clBtnHighlight));
    QCOMPARE(img.pixel(at + QPoint(8, 8)), Rgb(kFace));
    QCOMPARE(img.pixel(at + QPoint(1, 1)), Rgb(kFace));
  }

  void numGlyphsFromWidth_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("64x16 four cells") << QSize(64, 16) << 1 << 4;
    QTest::newRow("32x16 two cells") << QSize(32, 16) << 3 << 2;
    QTest::newRow("80x16 too many: one") << QSize(80, 16) << 3 << 1;
    QTest::newRow("40x16 no multiple: kept") << QSize(40, 16) << 3 << 3;
    QTest::newRow("empty: kept") << QSize() << 2 << 2;
  }
  void numGlyphsFromWidth() {
    QFETCH(QSize, size);
    QFETCH(int, before);
    QFETCH(int, after);
    TFlatSpeedButton b;
    b.setNumGlyphs(before);
    QImage glyph;
    if (size.isValid()) {
      glyph = QImage(size, QImage::Format_RGB32);
      glyph.fill(Qt::white);
    }
    b.setGlyph(glyph);
    QCOMPARE(b.NumGlyphs(), after);
  }

  void marginBelowMinusOneIgnored() {
    TFlatSpeedButton b;
    b.setMargin(3);
    b.setMargin(-2);
    QCOMPARE(b.Margin(), 3);
    b.setMargin(-1);
    QCOMPARE(b.Margin(), -1);
  }

  // Colour setters repaint even for an unchanged value; the layout setters only on a change.
  void repaintOnEqualValue_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<bool>("repaints");
    QTest::newRow("ColorFocused") << "ColorFocused" << true;
    QTest::newRow("ColorShadow") << "ColorShadow" << true;
    QTest::newRow("AdvColorDown") << "AdvColorDown" << true;
    QTest::newRow("Layout") << "Layout" << false;
    QTest::newRow("Spacing") << "Spacing" << false;
    QTest::newRow("Margin") << "Margin" << false;
    QTest::newRow("NumGlyphs") << "NumGlyphs" << false;
  }
  void repaintOnEqualValue() {
    QFETCH(QString, property);
    QFETCH(bool, repaints);
    Stage stage;
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 60, 30));
    PaintCounter counter(b);
    counter.Settle();
    if (property == "ColorFocused") b->setColorFocused(b->ColorFocused());
    if (property == "ColorShadow") b->setColorShadow(b->ColorShadow());
    if (property == "AdvColorDown") b->setAdvColorDown(b->AdvColorDown());
    if (property == "Layout") b->setLayout(b->Layout());
    if (property == "Spacing") b->setSpacing(b->Spacing());
    if (property == "Margin") b->setMargin(b->Margin());
    if (property == "NumGlyphs") b->setNumGlyphs(b->NumGlyphs());
    QCOMPARE(counter.Repainted(), repaints);
  }

  // Press at one point, release at another; only a release inside clicks. The row below the
  // button still counts as inside, the column right of it does not.
  void clicks_data() {
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<int>("releasedButton");
    QTest::addColumn<int>("clicks");
    QTest::newRow("inside") << QPoint(10, 10) << int(Qt::LeftButton) << 1;
    QTest::newRow("y = height clicks") << QPoint(10, 30) << int(Qt::LeftButton) << 1;
    QTest::newRow("y = height + 1") << QPoint(10, 31) << int(Qt::LeftButton) << 0;
    QTest::newRow("x = width does not") << QPoint(60, 10) << int(Qt::LeftButton) << 0;
    QTest::newRow("x = width - 1") << QPoint(59, 10) << int(Qt::LeftButton) << 1;
    QTest::newRow("above") << QPoint(10, -1) << int(Qt::LeftButton) << 0;
    QTest::newRow("right release ends the press") << QPoint(10, 10) << int(Qt::RightButton) << 1;
    QTest::newRow("right release outside") << QPoint(70, 10) << int(Qt::RightButton) << 0;
  }
  void clicks() {
    QFETCH(QPoint, release);
    QFETCH(int, releasedButton);
    QFETCH(int, clicks);
    Stage stage;
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 60, 30));
    QSignalSpy spy(b, &TFlatSpeedButton::clicked);
    Send(b, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
    QVERIFY(b->Tracking());
    Send(b, QEvent::MouseMove, Qt::LeftButton, release);
    Send(b, QEvent::MouseButtonRelease, Qt::MouseButton(releasedButton), release);
    QCOMPARE(spy.count(), clicks);
    QVERIFY(!b->Tracking());
    QCOMPARE(b->FaceState(), TFaceState::Up);
    // A second release after the press has ended does nothing.
    Send(b, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5));
    QCOMPARE(spy.count(), clicks);
  }

  void otherButtonsDoNotPress() {
    Stage stage;
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 60, 30));
    QSignalSpy spy(b, &TFlatSpeedButton::clicked);
    QSignalSpy downs(b, &TFlatSpeedButton::mouseDown);
    Send(b, QEvent::MouseButtonPress, Qt::RightButton, QPoint(5, 5));
    Send(b, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(5, 5));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(downs.count(), 1);  // the mouse events still reach the screen
    QCOMPARE(b->FaceState(), TFaceState::Up);
  }

  void dragOutAndBack() {
    Stage stage;
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 60, 30));
    QTest::mouseMove(b, QPoint(5, 5));
    QVERIFY(b->Hot());
    Send(b, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
    QCOMPARE(b->FaceState(), TFaceState::Pressed);
    Send(b, QEvent::MouseMove, Qt::LeftButton, QPoint(100, 5));
    QCOMPARE(b->FaceState(), TFaceState::Up);
    QVERIFY(b->Hot());  // still hot while the press is tracked
    Send(b, QEvent::MouseMove, Qt::LeftButton, QPoint(6, 6));
    QCOMPARE(b->FaceState(), TFaceState::Pressed);
    Send(b, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(6, 6));
  }

  // A double click arrives as press, release, double-click press, release.
  void doubleClicks_data() {
    QTest::addColumn<int>("groupIndex");
    QTest::addColumn<bool>("downBefore");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("doubleClicks");
    QTest::addColumn<bool>("downAfter");
    QTest::newRow("plain button") << 0 << false << 2 << 0 << false;
    QTest::newRow("latched member stays down") << 1 << true << 2 << 1 << true;
    QTest::newRow("member latched by the first click") << 1 << false << 2 << 1 << true;
  }
  void doubleClicks() {
    QFETCH(int, groupIndex);
    QFETCH(bool, downBefore);
    QFETCH(int, clicks);
    QFETCH(int, doubleClicks);
    QFETCH(bool, downAfter);
    Stage stage;
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 60, 30));
    b->setGroupIndex(groupIndex);
    b->setDown(downBefore);
    QSignalSpy clickSpy(b, &TFlatSpeedButton::clicked);
    QSignalSpy dblSpy(b, &TFlatSpeedButton::doubleClicked);
    const QPoint p(5, 5);
    Send(b, QEvent::MouseButtonPress, Qt::LeftButton, p);
    Send(b, QEvent::MouseButtonRelease, Qt::LeftButton, p);
    Send(b, QEvent::MouseButtonDblClick, Qt::LeftButton, p);
    QCOMPARE(dblSpy.count(), doubleClicks);  // fired on the second press, before its release
    Send(b, QEvent::MouseButtonRelease, Qt::LeftButton, p);
    QCOMPARE(clickSpy.count(), clicks);
    QCOMPARE(dblSpy.count(), doubleClicks);
    QCOMPARE(b->Down(), downAfter);
  }

  // Clicks on a group of three: the sequence of clicked members and who is down after each.
  void groups_data() {
    QTest::addColumn<bool>("allowAllUp");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QList<int>>("downAfter");  // -1: none down
    QTest::newRow("first click latches") << false << QList<int>{0} << QList<int>{0};
    QTest::newRow("latched stays down") << false << QList<int>{0, 0} << QList<int>{0, 0};
    QTest::newRow("another takes over") << false << QList<int>{0, 1, 2} << QList<int>{0, 1, 2};
    QTest::newRow("all up allowed") << true << QList<int>{0, 0} << QList<int>{0, -1};
    QTest::newRow("all up, then another") << true << QList<int>{1, 1, 2} << QList<int>{1, -1, 2};
  }
  void groups() {
    QFETCH(bool, allowAllUp);
    QFETCH(QList<int>, clicks);
    QFETCH(QList<int>, downAfter);
    Stage stage;
    QList<TFlatSpeedButton*> members;
    for (int i = 0; i < 3; ++i) {
      members << stage.Add(QRect(10 + i * 70, 10, 60, 30));
      members.back()->setGroupIndex(7);
    }
    members[2]->setAllowAllUp(allowAllUp);
    TFlatSpeedButton* outsider = stage.Add(QRect(10, 100, 60, 30));
    outsider->setGroupIndex(8);
    outsider->setDown(true);
    for (int step = 0; step < clicks.size(); ++step) {
      TFlatSpeedButton* b = members[clicks[step]];
      QSignalSpy spy(b, &TFlatSpeedButton::clicked);
      Send(b, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
      Send(b, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5));
      QCOMPARE(spy.count(), 1);
      for (int i = 0; i < 3; ++i) {
        QCOMPARE(members[i]->Down(), i == downAfter[step]);
        QCOMPARE(members[i]->FaceState(),
                 i == downAfter[step] ? TFaceState::Latched : TFaceState::Up);
      }
    }
    QVERIFY(outsider->Down());
  }

  void allowAllUpIsOneValuePerGroup() {
    Stage stage;
    QList<TFlatSpeedButton*> members;
    for (int i = 0; i < 3; ++i) {
      members << stage.Add(QRect(10 + i * 70, 10, 60, 30));
      members.back()->setGroupIndex(3);
    }
    TFlatSpeedButton* other = stage.Add(QRect(10, 100, 60, 30));
    other->setGroupIndex(4);
    QWidget elsewhere;
    TFlatSpeedButton stranger(&elsewhere);
    stranger.setGroupIndex(3);

    members[1]->setAllowAllUp(true);
    for (auto* m : members) QVERIFY(m->AllowAllUp());
    QVERIFY(!other->AllowAllUp());
    QVERIFY(!stranger.AllowAllUp());

    // A newcomer to the group hands its own value to the others.
    other->setGroupIndex(3);
    for (auto* m : members) QVERIFY(!m->AllowAllUp());
  }

  void downNeedsAGroup() {
    TFlatSpeedButton b;
    b.setDown(true);
    QVERIFY(!b.Down());
    b.setGroupIndex(2);
    b.setDown(true);
    QVERIFY(b.Down());
    QCOMPARE(b.FaceState(), TFaceState::Latched);
    b.setDown(false);  // refused: AllowAllUp is off
    QVERIFY(b.Down());
    // Leaving the group raises it, or nothing could raise it again.
    b.setGroupIndex(0);
    QVERIFY(!b.Down());
    QCOMPARE(b.FaceState(), TFaceState::Up);
  }

  // Enabled again, a latched button sinks its caption on the very first paint.
  void reEnabledLatchedSinksAtOnce() {
    Stage stage;
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 60, 30));
    b->setCaption("A");
    b->grab();
    const QRect up = b->TextRect();
    b->setGroupIndex(5);
    b->setDown(true);
    b->setEnabled(false);
    b->grab();
    QCOMPARE(b->TextRect(), up);
    b->setEnabled(true);
    b->grab();
    QCOMPARE(b->FaceState(), TFaceState::Latched);
    QCOMPARE(b->TextRect(), up.translated(1, 1));
  }

  void hoverHandsOverAtOnce() {
    Stage stage;
    TFlatSpeedButton* a = stage.Add(QRect(10, 10, 60, 30));
    TFlatSpeedButton* b = stage.Add(QRect(70, 10, 60, 30));
    QTest::mouseMove(a, QPoint(30, 15));
    QVERIFY(a->Hot());
    QCOMPARE(TFlatSpeedButton::HoverButton(), a);
    QVERIFY(TFlatSpeedButton::HoverTimer()->isActive());
    QCOMPARE(TFlatSpeedButton::HoverTimer()->interval(), 100);
    QTest::mouseMove(b, QPoint(5, 15));
    QVERIFY(!a->Hot());  // not at the next tick: at once
    QVERIFY(b->Hot());
    QCOMPARE(TFlatSpeedButton::HoverButton(), b);
    // Leaving for the bare window: the poll notices within a tick.
    stage.Park();
    QVERIFY(b->Hot());
    QTRY_VERIFY_WITH_TIMEOUT(!b->Hot(), 1000);
    QVERIFY(!TFlatSpeedButton::HoverTimer()->isActive());
    QCOMPARE(TFlatSpeedButton::HoverButton(), nullptr);
  }

  void noHoverWithoutActiveWindow() {
    Stage stage;
    TFlatSpeedButton* a = stage.Add(QRect(10, 10, 60, 30));
    {
      // Another window takes the focus and goes away: none of ours is active.
      QWidget other;
      other.setGeometry(300, 300, 40, 40);
      other.show();
      other.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&other));
    }
    QTRY_COMPARE(QApplication::activeWindow(), nullptr);
    QTest::mouseMove(a, QPoint(30, 15));
    QVERIFY(!a->Hot());
    QCOMPARE(TFlatSpeedButton::HoverButton(), nullptr);
  }

  void disablingEndsHover() {
    Stage stage;
    TFlatSpeedButton* a = stage.Add(QRect(10, 10, 60, 30));
    QTest::mouseMove(a, QPoint(30, 15));
    QVERIFY(a->Hot());
    a->setEnabled(false);
    QVERIFY(!a->Hot());
    QCOMPARE(a->FaceState(), TFaceState::Disabled);
    QCOMPARE(TFlatSpeedButton::HoverButton(), nullptr);
    // Enabled again under the pointer: lit at once, and watched so that it goes out again.
    a->setEnabled(true);
    QVERIFY(a->Hot());
    QCOMPARE(TFlatSpeedButton::HoverButton(), a);
    stage.Park();
    QTRY_VERIFY_WITH_TIMEOUT(!a->Hot(), 1000);
  }

  void sharedTimerLivesWithTheButtons() {
    QCOMPARE(TFlatSpeedButton::InstanceCount(), 0);
    QCOMPARE(TFlatSpeedButton::HoverTimer(), nullptr);
    auto* a = new TFlatSpeedButton;
    QTimer* timer = TFlatSpeedButton::HoverTimer();
    QVERIFY(timer && !timer->isActive());
    auto* b = new TFlatSpeedButton;
    QCOMPARE(TFlatSpeedButton::HoverTimer(), timer);
    QCOMPARE(TFlatSpeedButton::InstanceCount(), 2);
    delete a;
    QCOMPARE(TFlatSpeedButton::HoverTimer(), timer);
    delete b;
    QCOMPARE(TFlatSpeedButton::InstanceCount(), 0);
    QCOMPARE(TFlatSpeedButton::HoverTimer(), nullptr);
  }

  void derivedColours() {
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    parent.setPalette(pal);
    TFlatSpeedButton b(&parent);
    b.setColor(clWhite);
    b.setUseAdvColors(true);
    QVERIFY(b.ParentColor());
    QCOMPARE(b.Color(), RGBColor(212, 208, 200));
    QCOMPARE(b.ColorFocused(), RGBColor(221, 218, 213));
    QCOMPARE(b.ColorDown(), RGBColor(203, 198, 188));
    QCOMPARE(b.ColorBorder(), RGBColor(166, 157, 140));
    // The parent's colour changes: derived again.
    pal.setColor(QPalette::Window, QColor(255, 255, 255));
    parent.setPalette(pal);
    QCOMPARE(b.ColorFocused(), RGBColor(248, 248, 248));
  }

  // About-window style: clNone parts are not painted, so the parent shows through.
  void noneIsNotPainted() {
    Stage stage;
    QPalette pal = stage.window.palette();
    pal.setColor(QPalette::Window, QColor(1, 2, 3));
    stage.window.setPalette(pal);
    stage.window.setAutoFillBackground(true);
    TFlatSpeedButton* b = stage.Add(QRect(10, 10, 60, 30));
    b->setColorBorder(clNone);
    b->setColorDown(clNone);
    const QImage up = testing::LogicalShot(&stage.window, b->geometry());
    QCOMPARE(up.pixel(0, 0), qRgb(1, 2, 3));
    QCOMPARE(up.pixel(5, 5), Rgb(kFace));
    Bring(b, Look::Pressed);
    const QImage pressed = testing::LogicalShot(&stage.window, b->geometry());
    QCOMPARE(pressed.pixel(0, 0), Rgb(kShadow));
    QCOMPARE(pressed.pixel(5, 5), qRgb(1, 2, 3));
  }

  void systemColoursFollowThePalette() {
    const QPalette pal = QGuiApplication::palette();
    QCOMPARE(ResolveColor(clBtnFace), pal.color(QPalette::Active, QPalette::Button));
    QCOMPARE(ResolveColor(clBtnShadow), pal.color(QPalette::Active, QPalette::Dark));
    QCOMPARE(ResolveColor(clBtnHighlight), pal.color(QPalette::Active, QPalette::Light));
    QCOMPARE(ResolveColor(clGrayText), pal.color(QPalette::Disabled, QPalette::Text));
    QVERIFY(!ResolveColor(clNone).isValid());
    QCOMPARE(ResolveColor(RGBColor(1, 2, 3)), QColor(1, 2, 3));
  }
};

QTEST_MAIN(FlatSpeedButtonTest)
#include "test_flat_speed_button.moc"
