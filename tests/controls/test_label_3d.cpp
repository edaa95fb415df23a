// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "controls/label_3d.h"
#include "support/paint_counter.h"
#include "support/shots.h"

namespace {

constexpr TColor kText = RGBColor(255, 0, 0);
constexpr TColor kHigh = RGBColor(0, 255, 0);
constexpr TColor kShadow = RGBColor(0, 0, 255);
constexpr TColor kBack = RGBColor(255, 255, 255);

QRgb Rgb(TColor c) { return ResolveColor(c).rgb(); }

// Where pixels of one exact colour lie: how many, and their mean position.
struct Spot {
  int count = 0;
  QPointF centre;
};

Spot Find(const QImage& img, QRgb colour) {
  Spot s;
  double sx = 0, sy = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) | 0xFF000000) == colour) {
        ++s.count;
        sx += x;
        sy += y;
      }
  if (s.count) s.centre = QPointF(sx / s.count, sy / s.count);
  return s;
}

TLabel3D* MakeLabel(QWidget* parent, const QString& text) {
  auto* l = new TLabel3D(parent);
  QFont f;
  f.setFamilies({"Noto Sans CJK SC"});
  f.setPixelSize(32);
  f.setBold(true);
  l->setFont(f);
  l->setFontColor(kText);
  l->setHighLightColor(kHigh);
  l->setShadowColor(kShadow);
  l->setColor(kBack);
  l->setAutoSize(false);
  l->setGeometry(0, 0, 120, 60);
  l->setText(text);
  return l;
}

}  // namespace

Q_DECLARE_METATYPE(TLabel3DBevel)

class Label3DTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void defaults() {
    TLabel3D l;
    QCOMPARE(l.size(), QSize(65, 17));
    QCOMPARE(l.Bevel(), bvRaised);
    QCOMPARE(l.ShadowSize(), 1);
    QCOMPARE(l.HighLightColor(), clBtnHighlight);
    QCOMPARE(l.ShadowColor(), clBtnShadow);
    QVERIFY(l.AutoSize());
    QVERIFY(!l.Transparent());
    QVERIFY(l.ShowAccelChar());
  }

  // Which copies show, where they lie relative to the caption, and the caption's colour.
  // Offsets: -1 up-left, +1 down-right, 0 not drawn.
  void bevels_data() {
    QTest::addColumn<TLabel3DBevel>("bevel");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("highlightAt");
    QTest::addColumn<int>("shadowAt");
    QTest::addColumn<bool>("greyCaption");
    QTest::newRow("lowered") << bvLowered << true << 2 << +1 << -1 << false;
    QTest::newRow("raised") << bvRaised << true << 2 << -1 << +1 << false;
    QTest::newRow("shadow") << bvShadow << true << 2 << 0 << +1 << false;
    QTest::newRow("none") << bvNone << true << 2 << 0 << 0 << false;
    QTest::newRow("raised disabled") << bvRaised << false << 2 << 0 << +1 << true;
    QTest::newRow("lowered disabled") << bvLowered << false << 2 << +1 << 0 << true;
    QTest::newRow("none disabled keeps colour") << bvNone << false << 2 << 0 << 0 << false;
    QTest::newRow("size 0 hides copies") << bvRaised << true << 0 << 0 << 0 << false;
  }
  void bevels() {
    QFETCH(TLabel3DBevel, bevel);
    QFETCH(bool, enabled);
    QFETCH(int, size);
    QFETCH(int, highlightAt);
    QFETCH(int, shadowAt);
    QFETCH(bool, greyCaption);
    QWidget parent;
    TLabel3D* l = MakeLabel(&parent, QStringLiteral("口"));
    l->setBevel(bevel);
    l->setShadowSize(size);
    l->setEnabled(enabled);
    const QImage img = testing::LogicalShot(l);

    const Spot caption = Find(img, greyCaption ? Rgb(clGrayText) : Rgb(kText));
    QVERIFY(caption.count > 50);
    if (greyCaption) QCOMPARE(Find(img, Rgb(kText)).count, 0);
    // Text starts at the top-left of the label.
    QVERIFY(caption.centre.x() < 40 && caption.centre.y() < 35);

    const struct {
      QRgb colour;
      int at;
    } copies[] = {{Rgb(kHigh), highlightAt}, {Rgb(kShadow), shadowAt}};
    for (const auto& copy : copies) {
      const Spot s = Find(img, copy.colour);
      if (copy.at == 0) {
        QCOMPARE(s.count, 0);
        continue;
      }
      QVERIFY(s.count > 10);
      // Only the edges of a copy show beside the caption, so its mean lies past the caption's.
      QVERIFY(copy.at * (s.centre.x() - caption.centre.x()) > 0.5);
      QVERIFY(copy.at * (s.centre.y() - caption.centre.y()) > 0.5);
    }
  }

  void opaqueAndTransparent() {
    QWidget parent;
    parent.resize(200, 100);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(10, 20, 30));
    parent.setPalette(pal);
    parent.setAutoFillBackground(true);
    TLabel3D* l = MakeLabel(&parent, QStringLiteral("口"));
    l->move(20, 20);
    QImage img = testing::LogicalShot(&parent, l->geometry());
    QCOMPARE(img.pixel(0, 0), Rgb(kBack));
    QCOMPARE(img.pixel(119, 59), Rgb(kBack));
    l->setTransparent(true);
    img = testing::LogicalShot(&parent, l->geometry());
    QCOMPARE(img.pixel(0, 0), qRgb(10, 20, 30));
    QCOMPARE(img.pixel(119, 59), qRgb(10, 20, 30));
  }

  void wordBreaksFromTheTop() {
    QWidget parent;
    TLabel3D* l = MakeLabel(&parent, QStringLiteral("口口 口口 口口"));
    l->setBevel(bvNone);
    l->setGeometry(0, 0, 80, 240);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // the vertical part is not consulted
    const QImage img = testing::LogicalShot(l);
    int lines = 0;
    bool inLine = false;
    int firstRow = -1;
    for (int y = 0; y < img.height(); ++y) {
      bool ink = false;
      for (int x = 0; x < img.width() && !ink; ++x) ink = img.pixel(x, y) == Rgb(kText);
      if (ink && firstRow < 0) firstRow = y;
      if (ink && !inLine) ++lines;
      inLine = ink;
    }
    QCOMPARE(lines, 3);
    QVERIFY(firstRow >= 0 && firstRow < 15);
  }

  void accelCharUnderlinedOrShown() {
    QWidget parent;
    TLabel3D* l = MakeLabel(&parent, "&&A");
    l->setAutoSize(true);
    const int shown = l->width();
    l->setShowAccelChar(false);
    QVERIFY(l->width() > shown);  // "&&A" drawn as it stands is wider than "&A"
  }

  void autoSizeFitsTheText() {
    QWidget parent;
    TLabel3D* l = MakeLabel(&parent, QStringLiteral("口口口"));
    l->setAutoSize(true);
    const QFontMetrics fm(l->font());
    QCOMPARE(l->size(), fm.boundingRect(QRect(), Qt::TextExpandTabs, l->text()).size());
    l->setAlignment(Qt::AlignRight);
    l->setGeometry(100, 0, 200, 20);
    l->setText(QStringLiteral("口"));
    QCOMPARE(l->geometry().right(), 299);  // right-justified keeps its right edge
  }

  void clicks() {
    QWidget parent;
    TLabel3D* l = MakeLabel(&parent, "x");
    QSignalSpy spy(l, &TLabel3D::clicked);
    QTest::mouseClick(l, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(spy.count(), 1);
    QTest::mousePress(l, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(l, Qt::LeftButton, {}, QPoint(500, 5));
    QTest::mouseClick(l, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(spy.count(), 1);
  }

  void unchangedValueRequestsNoRepaint_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<bool>("change");
    QTest::newRow("Bevel same") << "Bevel" << false;
    QTest::newRow("Bevel new") << "Bevel" << true;
    QTest::newRow("ShadowSize same") << "ShadowSize" << false;
    QTest::newRow("ShadowColor same") << "ShadowColor" << false;
    QTest::newRow("ShadowColor new") << "ShadowColor" << true;
  }
  void unchangedValueRequestsNoRepaint() {
    QFETCH(QString, property);
    QFETCH(bool, change);
    QWidget parent;
    TLabel3D* l = MakeLabel(&parent, "x");
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    PaintCounter counter(l);
    counter.Settle();
    if (property == "Bevel") l->setBevel(change ? bvShadow : l->Bevel());
    if (property == "ShadowSize") l->setShadowSize(l->ShadowSize());
    if (property == "ShadowColor") l->setShadowColor(change ? clBlack : l->ShadowColor());
    QCOMPARE(counter.Repainted(), change);
  }
};

QTEST_MAIN(Label3DTest)
#include "test_label_3d.moc"
