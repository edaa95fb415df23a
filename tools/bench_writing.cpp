// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what the writing module costs: reading one character from the stroke file (target
// 2 ms or less), painting one frame of the stroke order at scale 1.75 and 2.75 (target 4 ms or
// less, so that 60 frames a second leave the machine idle), the stroke file's size, and the
// memory the writing screen adds over the sample course, after 20 characters written and once
// closed (target: at most 10 MB while open, given back when closed).
// Run with QT_QPA_PLATFORM=offscreen or on a display.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "shot_support.h"
#include "writing/stroke_data.h"
#include "writing/stroke_matcher.h"
#include "writing/writing_pad.h"
#include "writing/writing_screen.h"

namespace {

// Median and worst of `runs` timings of `work`, in milliseconds.
template <class Work>
std::pair<double, double> Time(int runs, Work work) {
  QList<double> ms;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    work(i);
    ms << t.nsecsElapsed() / 1e6;
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.last()};
}

}  // namespace

// Counts the frames that reach the widget's paint event.
class PaintCounter : public QObject {
 public:
  int painted = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++painted;
    return false;
  }
};

// One frame of the stroke order painted on the screen at the scale the program runs at. Timed only
// once the window is exposed: before that a repaint paints nothing.
int Frames(const writing::StrokeData& data) {
  // The pad at its size on the design (362 × 362), grown by the scale; 绿 has 11 strokes.
  TWritingPad pad(nullptr);
  pad.resize(362, 362);
  pad.SetCharacter(QStringLiteral("绿"), data.Find(U'绿'));
  pad.show();
  if (!QTest::qWaitForWindowExposed(&pad, 10000)) {
    std::printf("the window was never exposed: no frame timed\n");
    return 1;
  }
  PaintCounter counter;
  pad.installEventFilter(&counter);
  constexpr int kFrames = 300;
  auto [median, worst] = Time(kFrames, [&](int i) {
    pad.ShowDemoAt(i * 30);  // a different moment of the stroke order every frame
    pad.repaint();
  });
  std::printf("stroke-order frame at %.2f: median %.3f ms, worst %.3f ms (target <= 4 ms), "
              "%d of %d frames painted\n",
              pad.devicePixelRatioF(), median, worst, counter.painted, kFrames);
  return counter.painted >= kFrames ? 0 : 1;
}

double ResidentMb() {
  QFile f(QStringLiteral("/proc/self/statm"));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  return f.readAll().split(' ').value(1).toDouble() * 4096 / (1024 * 1024);
}

// The screen opened over the sample course, 20 characters traced with the mouse, then closed.
int Memory() {
  SampleDataModule sample;
  if (!sample.Ok()) return 1;
  QWidget menu;  // stands for the menu the screen is opened from
  menu.resize(800, 600);
  menu.show();
  if (!QTest::qWaitForWindowExposed(&menu, 10000)) return 1;
  QApplication::processEvents();
  const double before = ResidentMb();
  auto* screen = new TxzmainForm(nullptr);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  screen->ShowMaximizedOrDesign(false);
  if (!QTest::qWaitForWindowExposed(screen, 10000)) return 1;
  QApplication::processEvents();
  const double open = ResidentMb();
  int written = 0;
  for (int chapter = 0; written < 20 && chapter < 5; ++chapter) {
    for (int c = 0; written < 20 && c < screen->Row->Characters().size(); ++c) {
      screen->ChooseCharacter(c);
      screen->mysbClick();
      TWritingPad* pad = screen->Pad;
      const QRectF grid = pad->GridRect();
      for (const writing::Stroke& s : pad->Strokes()) {
        QTest::mousePress(pad, Qt::LeftButton, {}, writing::FromBox(s.median.first(), grid).toPoint());
        for (int i = 1; i <= 12; ++i)
          QTest::mouseMove(pad, writing::FromBox(writing::PointAlong(s.median, i / 12.0), grid).toPoint());
        QTest::mouseRelease(pad, Qt::LeftButton, {}, writing::FromBox(s.median.last(), grid).toPoint());
        QApplication::processEvents();
      }
      written += pad->DoneStrokes() == pad->Strokes().size() ? 1 : 0;
    }
    screen->DownSbClick();
  }
  QApplication::processEvents();
  const double after = ResidentMb();
  screen->close();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  const double closed = ResidentMb();
  std::printf("memory: %.1f MB before; writing screen +%.1f MB (target <= 10), after %d characters "
              "+%.1f MB, closed +%.1f MB\n",
              before, open - before, written, after - before, closed - before);
  return 0;
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc > 1 && QByteArray(argv[1]) == "--memory") return Memory();
  if (argc > 1 && QByteArray(argv[1]) == "--frames") {
    writing::StrokeData data;
    return data.Open(writing::StrokeFilePath()) ? Frames(data) : 1;
  }
  const QString path = writing::StrokeFilePath();
  QElapsedTimer open;
  open.start();
  writing::StrokeData data;
  if (!data.Open(path)) {
    std::fprintf(stderr, "%s\n", qPrintable(data.Error()));
    return 1;
  }
  std::printf("stroke file: %s, %.2f MB, %d characters, opened in %.3f ms\n", qPrintable(path),
              QFileInfo(path).size() / 1e6, data.Count(), open.nsecsElapsed() / 1e6);

  const QString sample = QStringLiteral("一我绿警察赢馨鬱爨手");
  const QList<uint> characters = sample.toUcs4();
  auto [readMedian, readWorst] = Time(2000, [&](int i) {
    if (!data.Find(characters[i % characters.size()])) std::abort();
  });
  std::printf("read one character: median %.3f ms, worst %.3f ms (target <= 2 ms)\n", readMedian,
              readWorst);

  // Frames are measured by the program run again at each scale: Qt takes the scale at start-up.
  std::fflush(stdout);
  for (const char* scale : {"1.75", "2.75"}) {
    QProcess frames;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QLatin1String(scale));
    frames.setProcessEnvironment(env);
    frames.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    frames.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--frames")});
    frames.waitForFinished(120000);
  }
  QProcess memory;
  memory.setProcessChannelMode(QProcess::ForwardedOutputChannel);
  memory.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory")});
  memory.waitForFinished(120000);
  return 0;
}
