// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the writing screen to PNG files for a look, at the scale the program runs at (set
// QT_SCALE_FACTOR, e.g. 1.75):
//   shot_writing [output folder]   (QT_QPA_PLATFORM=offscreen works)
// The sample course in a temporary embedded database; the stroke file the build made.
#include <QApplication>
#include <QTest>

#include "shot_support.h"
#include "writing/stroke_matcher.h"
#include "writing/writing_pad.h"
#include "writing/writing_screen.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString out = ShotFolder(argc, argv);
  SampleDataModule sample;
  if (!sample.Ok()) return 1;
  const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
  auto name = [&](const char* what) {
    return QStringLiteral("%1/writing_%2_%3.png").arg(out, QLatin1String(what), scale);
  };
  TxzmainForm screen(nullptr);
  screen.ShowMaximizedOrDesign(false);
  QApplication::processEvents();
  bool ok = true;
  // 手 in the second chapter: the stroke order half way through.
  screen.DownSbClick();
  screen.ChooseCharacter(2);
  screen.UpdateStatusBar();
  screen.Pad->ShowDemoAt(2 * writing::kStrokeMs + writing::kStrokeMs / 2);
  ok &= SaveShot(&screen, name("order"));

  // Tracing: two strokes done, a third on its way, a star on the character before.
  screen.ChooseCharacter(2);
  screen.Row->SetStar(0);
  screen.Row->SetStar(1);
  screen.mysbClick();
  TWritingPad* pad = screen.Pad;
  const QRectF grid = pad->GridRect();
  for (int s = 0; s < 3 && s < pad->Strokes().size(); ++s) {
    const QList<QPointF> median = pad->Strokes()[s].median;
    const qreal until = s < 2 ? 1.0 : 0.6;
    QTest::mousePress(pad, Qt::LeftButton, {}, writing::FromBox(median.first(), grid).toPoint());
    for (int i = 1; i <= 12; ++i)
      QTest::mouseMove(
          pad, writing::FromBox(writing::PointAlong(median, until * i / 12), grid).toPoint());
    if (s < 2)
      QTest::mouseRelease(pad, Qt::LeftButton, {}, writing::FromBox(median.last(), grid).toPoint());
  }
  ok &= SaveShot(&screen, name("trace"));
  QTest::mouseRelease(pad, Qt::LeftButton);

  auto draw = [&](const QList<QPointF>& line) {
    QTest::mousePress(pad, Qt::LeftButton, {}, writing::FromBox(line.first(), grid).toPoint());
    for (int i = 1; i <= 12; ++i)
      QTest::mouseMove(pad,
                       writing::FromBox(writing::PointAlong(line, i / 12.0), grid).toPoint());
    QTest::mouseRelease(pad, Qt::LeftButton, {}, writing::FromBox(line.last(), grid).toPoint());
  };
  // Before the next stroke: where it starts and which way it goes.
  screen.ChooseCharacter(2);
  screen.mysbClick();
  for (int s = 0; s < 2; ++s) draw(pad->Strokes()[s].median);
  ok &= SaveShot(&screen, name("way"));

  // The quiz: two strokes written, the third missed three times, so its model shows faintly.
  screen.mxsbClick();
  for (int s = 0; s < 2; ++s) draw(pad->Strokes()[s].median);
  const QList<QPointF> third = pad->Strokes()[2].median;
  for (int miss = 0; miss < writing::kQuizHelpAfterMisses; ++miss)
    draw(QList<QPointF>(third.rbegin(), third.rend()));
  ok &= SaveShot(&screen, name("quiz"));

  // The praise on the screen when the character is done.
  for (int s = pad->DoneStrokes(); s < pad->Strokes().size(); ++s) draw(pad->Strokes()[s].median);
  QTest::qWait(250);
  ok &= SaveShot(&screen, name("praise"));

  // 右 in the fourth chapter: its radical 口 in a colour of its own in the stroke order.
  screen.DownSbClick();
  screen.DownSbClick();
  screen.ChooseCharacter(3);
  screen.UpdateStatusBar();
  screen.Pad->ShowDemoAt(4 * writing::kStrokeMs + writing::kStrokeMs / 2);
  ok &= SaveShot(&screen, name("radical"));

  // The program without its stroke file.
  writing::StrokeData none;
  none.Open(QStringLiteral("/usr/share/tindora/none/hanzi_strokes.dat"));
  screen.SetStrokeData(&none);
  ok &= SaveShot(&screen, name("nodata"));
  return ok ? 0 : 1;
}
