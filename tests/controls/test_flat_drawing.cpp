// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "controls/flat_drawing.h"

// The integer colour model, the face layout and the disabled glyph: pure functions, no widgets.
class FlatDrawingTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void rgbToHls_data() {
    QTest::addColumn<TColor>("rgb");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("l");
    QTest::addColumn<int>("s");
    QTest::newRow("worked example") << RGBColor(212, 208, 200) << 27 << 194 << 29;
    QTest::newRow("black") << RGBColor(0, 0, 0) << 160 << 0 << 0;
    QTest::newRow("white") << RGBColor(255, 255, 255) << 160 << 240 << 0;
    QTest::newRow("mid grey") << RGBColor(128, 128, 128) << 160 << 120 << 0;
    QTest::newRow("red") << RGBColor(255, 0, 0) << 0 << 120 << 240;
    QTest::newRow("yellow") << RGBColor(255, 255, 0) << 40 << 120 << 240;
    QTest::newRow("green") << RGBColor(0, 255, 0) << 80 << 120 << 240;
    QTest::newRow("cyan") << RGBColor(0, 255, 255) << 120 << 120 << 240;
    QTest::newRow("blue") << RGBColor(0, 0, 255) << 160 << 120 << 240;
    QTest::newRow("magenta") << RGBColor(255, 0, 255) << 200 << 120 << 240;
    // Red is the largest channel but blue beats green: the hue wraps below zero.
    QTest::newRow("rose wraps") << RGBColor(255, 0, 64) << 230 << 120 << 240;
    QTest::newRow("dark, low luminance") << RGBColor(64, 32, 0) << 20 << 30 << 240;
  }
  void rgbToHls() {
    QFETCH(TColor, rgb);
    QFETCH(int, h);
    QFETCH(int, l);
    QFETCH(int, s);
    QCOMPARE(RgbToHls(rgb), (Hls{h, l, s}));
  }

  void hlsToRgb_data() {
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("l");
    QTest::addColumn<int>("s");
    QTest::addColumn<TColor>("rgb");
    QTest::newRow("grey") << 160 << 120 << 0 << RGBColor(127, 127, 127);
    QTest::newRow("white") << 160 << 240 << 0 << RGBColor(255, 255, 255);
    QTest::newRow("red") << 0 << 120 << 240 << RGBColor(255, 0, 0);
    QTest::newRow("green") << 80 << 120 << 240 << RGBColor(0, 255, 0);
    QTest::newRow("blue") << 160 << 120 << 240 << RGBColor(0, 0, 255);
    QTest::newRow("hue past a full turn") << 240 + 80 << 120 << 240 << RGBColor(0, 255, 0);
  }
  void hlsToRgb() {
    QFETCH(int, h);
    QFETCH(int, l);
    QFETCH(int, s);
    QFETCH(TColor, rgb);
    QCOMPARE(HlsToRgb(h, l, s), rgb);
  }

  void shiftLuminance_data() {
    QTest::addColumn<TColor>("base");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("lighter");
    QTest::addColumn<TColor>("expected");
    const TColor base = RGBColor(212, 208, 200);
    QTest::newRow("focused") << base << 10 << true << RGBColor(221, 218, 213);
    QTest::newRow("down") << base << 10 << false << RGBColor(203, 198, 188);
    QTest::newRow("border") << base << 50 << false << RGBColor(166, 157, 140);
    // Lighter is capped at L 234, which is darker than white itself.
    QTest::newRow("white lighter") << clWhite << 10 << true << RGBColor(248, 248, 248);
    QTest::newRow("black darker stays") << clBlack << 10 << false << clBlack;
    QTest::newRow("dark floor at 0") << RGBColor(20, 20, 20) << 100 << false << clBlack;
    QTest::newRow("step 0 keeps current") << base << 0 << true << RGBColor(1, 2, 3);
  }
  void shiftLuminance() {
    QFETCH(TColor, base);
    QFETCH(int, step);
    QFETCH(bool, lighter);
    QFETCH(TColor, expected);
    const auto dir = lighter ? TShiftDirection::Lighter : TShiftDirection::Darker;
    QCOMPARE(ShiftLuminance(base, RGBColor(1, 2, 3), step, dir), expected);
  }

  // Every value of each channel alone, and every grey, survives a trip through the model to
  // within the model's rounding (240 steps against 255).
  void roundTrip() {
    int worst = 0;
    for (int v = 0; v <= 255; ++v) {
      for (const TColor c : {RGBColor(v, 0, 0), RGBColor(0, v, 0), RGBColor(0, 0, v),
                             RGBColor(v, v, v), RGBColor(v, 255 - v, 128)}) {
        const Hls hls = RgbToHls(c);
        QVERIFY(hls.H >= 0 && hls.H < 240);
        QVERIFY(hls.L >= 0 && hls.L <= 240);
        QVERIFY(hls.S >= 0 && hls.S <= 240);
        const TColor back = HlsToRgb(hls.H, hls.L, hls.S);
        for (auto channel : {GetRValue, GetGValue, GetBValue})
          worst = std::max(worst, std::abs(channel(back) - channel(c)));
      }
    }
    QVERIFY2(worst <= 3, qPrintable(QString("worst channel error %1").arg(worst)));
  }

  void faceLayout_data() {
    QTest::addColumn<TButtonLayout>("layout");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QSize>("text");
    QTest::addColumn<QSize>("glyph");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QPoint>("glyphAt");
    QTest::addColumn<QRect>("textRect");
    const QSize none(0, 0);
    // Caption only: spacing drops to 0 and the caption is centred with (extent - text + 1) / 2.
    QTest::newRow("caption centred") << blGlyphTop << QSize(75, 25) << QSize(30, 14) << none << -1
                                     << 4 << QPoint() << QPoint(38, 6) << QRect(23, 6, 30, 14);
    QTest::newRow("caption pressed") << blGlyphTop << QSize(75, 25) << QSize(30, 14) << none << -1
                                     << 4 << QPoint(1, 1) << QPoint(39, 7) << QRect(24, 7, 30, 14);
    QTest::newRow("odd remainder rounds up")
        << blGlyphLeft << QSize(76, 26) << QSize(31, 15) << none << -1 << 4 << QPoint()
        << QPoint(23, 13) << QRect(23, 6, 31, 15);
    QTest::newRow("left centred") << blGlyphLeft << QSize(100, 40) << QSize(30, 14) << QSize(16, 16)
                                  << -1 << 4 << QPoint() << QPoint(25, 12) << QRect(45, 13, 30, 14);
    QTest::newRow("right centred")
        << blGlyphRight << QSize(100, 40) << QSize(30, 14) << QSize(16, 16) << -1 << 4 << QPoint()
        << QPoint(59, 12) << QRect(25, 13, 30, 14);
    QTest::newRow("top centred") << blGlyphTop << QSize(100, 60) << QSize(30, 14) << QSize(16, 16)
                                 << -1 << 4 << QPoint() << QPoint(42, 13) << QRect(35, 33, 30, 14);
    QTest::newRow("bottom centred")
        << blGlyphBottom << QSize(100, 60) << QSize(30, 14) << QSize(16, 16) << -1 << 4 << QPoint()
        << QPoint(42, 31) << QRect(35, 13, 30, 14);
    QTest::newRow("left margin fixed")
        << blGlyphLeft << QSize(100, 40) << QSize(30, 14) << QSize(16, 16) << 5 << 4 << QPoint()
        << QPoint(5, 12) << QRect(25, 13, 30, 14);
    QTest::newRow("both chosen: thirds")
        << blGlyphLeft << QSize(100, 40) << QSize(30, 14) << QSize(16, 16) << -1 << -1 << QPoint()
        << QPoint(18, 12) << QRect(52, 13, 30, 14);
    QTest::newRow("spacing chosen")
        << blGlyphRight << QSize(100, 40) << QSize(30, 14) << QSize(16, 16) << 4 << -1 << QPoint()
        << QPoint(80, 12) << QRect(25, 13, 30, 14);
    QTest::newRow("glyph only") << blGlyphTop << QSize(40, 40) << none << QSize(16, 16) << -1 << 4
                                << QPoint() << QPoint(12, 12) << QRect(20, 28, 0, 0);
  }
  void faceLayout() {
    QFETCH(TButtonLayout, layout);
    QFETCH(QSize, client);
    QFETCH(QSize, text);
    QFETCH(QSize, glyph);
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(QPoint, offset);
    QFETCH(QPoint, glyphAt);
    QFETCH(QRect, textRect);
    const FaceLayout f = ComputeFaceLayout(QRect(QPoint(0, 0), client), offset, text, glyph, layout,
                                           margin, spacing);
    QCOMPARE(f.GlyphOrigin, glyphAt);
    QCOMPARE(f.TextRect, textRect);
  }

  void disabledGlyph() {
    QImage src(4, 3, QImage::Format_RGB32);
    src.fill(qRgb(255, 0, 255));
    src.setPixel(0, 0, qRgb(0, 0, 0));
    src.setPixel(3, 2, qRgb(0, 0, 0));  // its highlight would fall outside
    src.setPixel(1, 0, qRgb(1, 0, 0));  // almost black is not black
    const QImage out = MakeDisabledGlyph(src, clBlack, RGBColor(10, 10, 10),
                                         RGBColor(200, 200, 200), RGBColor(90, 90, 90), true);
    QCOMPARE(out.size(), src.size());
    QCOMPARE(out.pixel(0, 0), qRgb(90, 90, 90));
    QCOMPARE(out.pixel(1, 1), qRgb(200, 200, 200));
    QCOMPARE(out.pixel(3, 2), qRgb(90, 90, 90));
    QCOMPARE(out.pixel(1, 0), qRgb(10, 10, 10));
    QCOMPARE(out.pixel(2, 2), qRgb(10, 10, 10));
    const QImage noHighlight = MakeDisabledGlyph(
        src, clBlack, RGBColor(10, 10, 10), RGBColor(200, 200, 200), RGBColor(90, 90, 90), false);
    QCOMPARE(noHighlight.pixel(1, 1), qRgb(10, 10, 10));
  }
};

QTEST_MAIN(FlatDrawingTest)
#include "test_flat_drawing.moc"
