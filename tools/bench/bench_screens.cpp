// SPDX-License-Identifier: GPL-3.0-or-later
// How long each module screen takes to open the first time: the whole program is started (at
// TINDORA_SCALE 1.75 unless the environment sets a scale), and once the menu has been drawn its
// button is clicked; measured from the click until the screen's first drawing is complete. Each
// opening runs in a process of its own, so every one is a first opening (the record window's
// module is loaded then, as a user meets it). Medians per screen and a verdict (<= 100 ms), and
// what the screen adds to the program's resident memory over the menu: at its first drawing and
// once closed again, with the part of the latter that is the program's own memory (the rest are
// shared pages of font and library files).
// Run on a display (Xvfb) or with QT_QPA_PLATFORM=offscreen.
//   bench_screens [rounds]
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "app/main_form.h"
#include "process_memory.h"
#include "program.h"

namespace {

struct Screen {
  const char* button;  // the menu button's object name
  const char* label;
};

const Screen kScreens[] = {
    {"szsb", "characters (幼儿识字)"}, {"xssb", "poems (幼儿学诗)"},
    {"xyysb", "English (幼儿学英语)"}, {"SSSB", "drill (幼儿算数)"},
    {"xzsb", "writing (幼儿写字)"},    {"RECORDSB", "learning record (学习记录)"},
};

constexpr double kTargetMs = 100;

// Watches for the first drawing of a window other than the menu; reports once that drawing has
// been completed (the event after it), then closes the window.
class FirstDrawing : public QObject {
 public:
  FirstDrawing(QWidget* menu, QElapsedTimer* clock) : m_menu(menu), m_clock(clock) {}
  double ms = -1;
  ProcessMemory open;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || m_seen || !watched->isWidgetType()) return false;
    QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window == m_menu) return false;
    m_seen = true;
    QPointer<QWidget> opened(window);
    QTimer::singleShot(0, this, [this, opened] {
      ms = m_clock->nsecsElapsed() / 1e6;
      open = MemoryNow();
      if (opened) opened->close();
    });
    return false;
  }

 private:
  QWidget* m_menu;
  QElapsedTimer* m_clock;
  bool m_seen = false;
};

// In the child: opens the screen behind `button` once the menu has been drawn, prints the time.
int OpenOne(int argc, char** argv, const QByteArray& button) {
  return RunTindora(argc, argv, [button](TMainForm* menu) {
    QTimer::singleShot(300, menu, [menu, button] {
      auto* b = menu->findChild<QAbstractButton*>(QString::fromLatin1(button));
      if (!b) {
        std::fprintf(stderr, "no button %s\n", button.constData());
        menu->close();
        return;
      }
      QElapsedTimer clock;
      auto* watch = new FirstDrawing(menu, &clock);
      qApp->installEventFilter(watch);
      const ProcessMemory atMenu = MemoryNow();
      clock.start();
      b->click();  // returns when the screen has been closed again
      qApp->removeEventFilter(watch);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      const ProcessMemory closed = MemoryNow();
      std::printf("%.2f %.2f %.2f %.2f\n", watch->ms, watch->open.residentMb - atMenu.residentMb,
                  closed.residentMb - atMenu.residentMb, closed.ownMb - atMenu.ownMb);
      std::fflush(stdout);
      delete watch;
      menu->close();
    });
  });
}

double Median(QList<double> v) {
  std::sort(v.begin(), v.end());
  return v.isEmpty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && qstrcmp(argv[1], "--open") == 0) return OpenOne(1, argv, argv[2]);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  QCoreApplication app(argc, argv);
  QTemporaryDir home;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), home.path());
  for (const char* v : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "ODBCINI"})
    env.remove(QString::fromLatin1(v));
  env.insert(QStringLiteral("ODBCINI"), home.filePath(QStringLiteral(".odbc.ini")));
  if (!env.contains(QStringLiteral("TINDORA_SCALE")) &&
      !env.contains(QStringLiteral("QT_SCALE_FACTOR")))
    env.insert(QStringLiteral("TINDORA_SCALE"), QStringLiteral("1.75"));
  std::printf(
      "first opening of each module screen, scale %s, %s, %d runs each (a process per "
      "run, lesson database made beforehand); medians\n",
      qPrintable(
          env.value(QStringLiteral("TINDORA_SCALE"), env.value(QStringLiteral("QT_SCALE_FACTOR")))),
      qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"),
                           QStringLiteral("DISPLAY=") + env.value(QStringLiteral("DISPLAY")))),
      rounds);
  struct Opening {
    double ms = -1, openMb = 0, closedMb = 0, closedOwnMb = 0;
  };
  const auto run = [&](const char* button, Opening* o) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--open"), QString::fromLatin1(button)});
    if (!p.waitForFinished(60000)) {
      p.kill();
      p.waitForFinished();
      return false;
    }
    const QStringList figures = QString::fromLatin1(p.readAllStandardOutput()).split(u' ');
    if (figures.size() != 4 || p.exitCode() != 0) return false;
    *o = {figures[0].toDouble(), figures[1].toDouble(), figures[2].toDouble(),
          figures[3].trimmed().toDouble()};
    return o->ms >= 0;
  };
  Opening o;
  run("ABOUTSB", &o);  // the first start makes the lesson database; not counted
  bool allMet = true;
  for (const Screen& s : kScreens) {
    QList<double> times, openMb, closedMb, closedOwnMb;
    for (int i = 0; i < rounds; ++i) {
      if (!run(s.button, &o)) continue;
      times << o.ms;
      openMb << o.openMb;
      closedMb << o.closedMb;
      closedOwnMb << o.closedOwnMb;
    }
    if (times.isEmpty()) {
      std::printf("  %-32s did not open\n", s.label);
      allMet = false;
      continue;
    }
    const double median = Median(times);
    const double best = *std::min_element(times.begin(), times.end());
    const bool met = median <= kTargetMs;
    allMet = allMet && met;
    std::printf(
        "  %-32s %7.1f ms (best %6.1f) %-18s memory +%.1f MB open, +%.1f MB closed (own "
        "%+.1f MB)\n",
        s.label, median, best, met ? "met" : "MISSED (<= 100 ms)", Median(openMb),
        Median(closedMb), Median(closedOwnMb));
  }
  std::printf("verdict: %s\n", allMet ? "every screen opens within 100 ms" : "FAILED");
  return allMet ? 0 : 1;
}
