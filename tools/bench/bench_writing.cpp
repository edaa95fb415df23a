// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what the writing module costs: reading one character from the stroke file (target
// 2 ms or less), painting one frame of the stroke order at scale 1.75 and 2.75 (target 4 ms or
// less, so that 60 frames a second leave the machine idle), the stroke file's size, and the
// memory the writing screen adds to the whole program over its menu, after 20 characters written
// and once closed (target: at most 10 MB while open, given back when closed).
// Run with QT_QPA_PLATFORM=offscreen or on a display.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/main_form.h"
#include "process_memory.h"
#include "program.h"
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

// The whole program started; the writing screen opened from its menu, 20 characters traced with
// the mouse, then closed. Each figure is what the program holds over the menu alone.
int Memory(int argc, char** argv) {
  return RunTindora(argc, argv, [](TMainForm* menu) {
    QTimer::singleShot(300, menu, [menu] {
      auto* button = menu->findChild<QAbstractButton*>(QStringLiteral("xzsb"));
      if (!button) {
        menu->close();
        return;
      }
      const ProcessMemory before = MemoryNow();
      ProcessMemory open, after;
      int written = 0;
      // Runs inside the screen's own event loop, once the screen is there.
      QTimer::singleShot(0, menu, [&] {
        TxzmainForm* screen = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
          if (auto* s = qobject_cast<TxzmainForm*>(w)) screen = s;
        if (!screen || !QTest::qWaitForWindowExposed(screen, 10000)) return;
        QApplication::processEvents();
        open = MemoryNow();
        for (int chapter = 0; written < 20 && chapter < 5; ++chapter) {
          for (int c = 0; written < 20 && c < screen->Row->Characters().size(); ++c) {
            screen->ChooseCharacter(c);
            screen->mysbClick();
            TWritingPad* pad = screen->Pad;
            const QRectF grid = pad->GridRect();
            for (const writing::Stroke& s : pad->Strokes()) {
              QTest::mousePress(pad, Qt::LeftButton, {},
                                writing::FromBox(s.median.first(), grid).toPoint());
              for (int i = 1; i <= 12; ++i)
                QTest::mouseMove(
                    pad, writing::FromBox(writing::PointAlong(s.median, i / 12.0), grid).toPoint());
              QTest::mouseRelease(pad, Qt::LeftButton, {},
                                  writing::FromBox(s.median.last(), grid).toPoint());
              QApplication::processEvents();
            }
            written += pad->DoneStrokes() == pad->Strokes().size() ? 1 : 0;
          }
          screen->DownSbClick();
        }
        QApplication::processEvents();
        after = MemoryNow();
        screen->close();
      });
      button->click();  // returns once the screen has closed
      const ProcessMemory closed = MemoryNow();
      std::printf("memory: menu %.1f MB; writing screen +%.1f MB (target <= 10), after %d "
                  "characters +%.1f MB, closed +%.1f MB, of which the program's own %+.1f MB "
                  "(the rest: shared font and library pages)\n",
                  before.residentMb, open.residentMb - before.residentMb, written,
                  after.residentMb - before.residentMb, closed.residentMb - before.residentMb,
                  closed.ownMb - before.ownMb);
      menu->close();
    });
  });
}

int main(int argc, char** argv) {
  if (argc > 1 && QByteArray(argv[1]) == "--memory") return Memory(1, argv);
  QApplication app(argc, argv);
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
  // The program in a home of its own, which it fills with the sample course.
  QTemporaryDir home;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), home.path());
  for (const char* v : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
    env.remove(QString::fromLatin1(v));
  env.insert(QStringLiteral("ODBCINI"), home.filePath(QStringLiteral(".odbc.ini")));
  QProcess memory;
  memory.setProcessEnvironment(env);
  memory.setProcessChannelMode(QProcess::ForwardedOutputChannel);
  memory.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory")});
  memory.waitForFinished(120000);
  return 0;
}
