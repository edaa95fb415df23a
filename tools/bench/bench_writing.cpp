// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what the writing module costs: reading one character from the stroke file (target
// 2 ms or less), painting one frame of the stroke order at scale 1.75 and 2.75 (target 4 ms or
// less, so that 60 frames a second leave the machine idle), and the stroke file's size.
// Run with QT_QPA_PLATFORM=offscreen or on a display.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "writing/stroke_data.h"
#include "writing/writing_pad.h"

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

// One frame of the stroke order painted on the screen at the scale the program runs at.
int Frames(const writing::StrokeData& data) {
  // The pad at its size on the design (362 × 362), grown by the scale; 绿 has 11 strokes.
  TWritingPad pad(nullptr);
  pad.resize(362, 362);
  pad.SetCharacter(QStringLiteral("绿"), data.Find(U'绿'));
  pad.show();
  QApplication::processEvents();
  auto [median, worst] = Time(300, [&](int i) {
    pad.ShowDemoAt(i * 30);  // a different moment of the stroke order every frame
    pad.repaint();
  });
  std::printf("stroke-order frame at %.2f: median %.3f ms, worst %.3f ms (target <= 4 ms)\n",
              pad.devicePixelRatioF(), median, worst);
  return 0;
}

int main(int argc, char** argv) {
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
  return 0;
}
