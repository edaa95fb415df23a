// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up benchmark: time from launching the program to the main menu painted, against a bare
// Qt window with one label (same binary, same run); resident memory and idle CPU of the open
// menu; CPU time spent in WaitSeconds(3). Prints figures; asserts nothing.
//   bench_startup [rounds]      runs everything (children are this program in other modes)
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/main_form.h"
#include "app/shared_routines.h"
#include "program.h"

namespace {

QElapsedTimer g_sinceMain;

double CpuMs() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
         (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

double ResidentMb() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n')) {
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
  }
  return -1;
}

// Reports "shown <ms>" once `window` has been painted, then, after a settling second, the
// resident memory and the CPU used over three idle seconds, and quits.
class ShownProbe : public QObject {
 public:
  explicit ShownProbe(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // The first paint of any widget in the window (an opaque child may cover the window itself).
    if (event->type() == QEvent::Paint && !m_seen && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == m_window) {
      m_seen = true;
      // Once this paint pass (children included) is done and on screen.
      QTimer::singleShot(0, this, [] {
        std::printf("shown %.2f\n", g_sinceMain.nsecsElapsed() / 1e6);
        std::fflush(stdout);
      });
      QTimer::singleShot(1000, this, [this] {
        m_rss = ResidentMb();
        m_cpu = CpuMs();
        QTimer::singleShot(3000, this, [this] {
          std::printf("rss %.1f\nidle %.2f\n", m_rss, CpuMs() - m_cpu);
          std::fflush(stdout);
          QCoreApplication::exit(0);
        });
      });
    }
    return false;
  }

 private:
  QWidget* m_window;
  bool m_seen = false;
  double m_rss = 0, m_cpu = 0;
};

int RunMenu(int argc, char** argv) {
  std::unique_ptr<ShownProbe> probe;
  return RunTindora(argc, argv,
                    [&probe](TMainForm* menu) { probe = std::make_unique<ShownProbe>(menu); });
}

// The bare window: one label, in the default font ("bare"), or Chinese in 宋体 ("bare-cjk"),
// which any Chinese program pays for.
int RunBare(int argc, char** argv, bool chinese) {
  QApplication app(argc, argv);
  QLabel label(chinese ? QStringLiteral("幼儿识字") : QStringLiteral("Tindora"));
  if (chinese) label.setFont(SongFont(19, true));
  label.setWindowState(Qt::WindowMaximized);
  ShownProbe probe(&label);
  label.show();
  return QApplication::exec();
}

int RunWait() {
  const double cpu = CpuMs();
  QElapsedTimer wall;
  wall.start();
  WaitSeconds(3);
  std::printf("wait %.1f %.2f\n", double(wall.elapsed()), CpuMs() - cpu);
  return 0;
}

struct Run {
  double launchMs = -1;  // from starting the process to the "shown" line
  double inProcessMs = -1;
  double rss = -1;
  double idleMs = -1;
};

Run Launch(const QString& mode, const QProcessEnvironment& env) {
  Run run;
  QProcess child;
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::SeparateChannels);
  QElapsedTimer t;
  t.start();
  child.start(QCoreApplication::applicationFilePath(), {mode});
  while (child.state() != QProcess::NotRunning || child.canReadLine()) {
    if (!child.canReadLine() && !child.waitForReadyRead(20000)) break;
    while (child.canReadLine()) {
      const QList<QByteArray> words = child.readLine().trimmed().split(' ');
      if (words[0] == "shown") {
        run.launchMs = t.nsecsElapsed() / 1e6;
        run.inProcessMs = words.value(1).toDouble();
      } else if (words[0] == "rss") {
        run.rss = words.value(1).toDouble();
      } else if (words[0] == "idle") {
        run.idleMs = words.value(1).toDouble();
      }
    }
  }
  if (!child.waitForFinished(20000)) {
    child.kill();
    child.waitForFinished();
  }
  return run;
}

double Median(QList<double> v) {
  std::sort(v.begin(), v.end());
  return v.isEmpty() ? -1 : v[v.size() / 2];
}

int RunAll(int rounds) {
  QTemporaryDir home;
  QFile(home.filePath("odbc.ini")).open(QIODevice::WriteOnly);  // no data source: embedded default
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", home.filePath("data"));
  env.insert("XDG_RUNTIME_DIR", home.path());
  env.insert("ODBCINI", home.filePath("odbc.ini"));
  env.insert("TINDORA_SCALE", "1");  // the design size, whatever the screen
  if (!env.contains("QT_QPA_PLATFORM") && !env.contains("DISPLAY"))
    env.insert("QT_QPA_PLATFORM", "offscreen");
  std::printf("platform: %s; %d rounds after one warm-up each (medians)\n",
              qPrintable(env.value("QT_QPA_PLATFORM", "xcb")), rounds);

  Launch("menu", env);  // creates the embedded database
  Launch("bare", env);
  Launch("bare-cjk", env);
  QProcessEnvironment doubled = env;  // the design grown to twice its size
  doubled.insert("TINDORA_SCALE", "2");
  Launch("menu", doubled);
  QList<double> menuLaunch, bareLaunch, cjkLaunch, menuIn, bareIn, cjkIn, menuRss, bareRss,
      menuIdle, twoLaunch, twoRss;
  for (int i = 0; i < rounds; ++i) {
    const Run m = Launch("menu", env);
    const Run b = Launch("bare", env);
    const Run c = Launch("bare-cjk", env);
    menuLaunch << m.launchMs;
    menuIn << m.inProcessMs;
    menuRss << m.rss;
    menuIdle << m.idleMs;
    bareLaunch << b.launchMs;
    bareIn << b.inProcessMs;
    bareRss << b.rss;
    cjkLaunch << c.launchMs;
    cjkIn << c.inProcessMs;
    const Run d = Launch("menu", doubled);
    twoLaunch << d.launchMs;
    twoRss << d.rss;
  }
  const double ml = Median(menuLaunch), bl = Median(bareLaunch), cl = Median(cjkLaunch);
  const double mi = Median(menuIn), bi = Median(bareIn), ci = Median(cjkIn);
  std::printf("start-up to shown (launch to painted / from main() to painted), target <= 1.5x:\n");
  std::printf("  main menu                   %6.1f ms / %6.1f ms\n", ml, mi);
  std::printf("  bare label, default font    %6.1f ms / %6.1f ms   menu ratio %.2f / %.2f\n", bl,
              bi, ml / bl, mi / bi);
  std::printf("  bare label, Chinese in 宋体 %6.1f ms / %6.1f ms   menu ratio %.2f / %.2f\n", cl,
              ci, ml / cl, mi / ci);
  std::printf("resident memory of the open menu: %.1f MB (bare label %.1f MB; target <= 60 MB)\n",
              Median(menuRss), Median(bareRss));
  std::printf("CPU of the open menu over 3 s idle: %.2f ms (max %.2f ms; target 0)\n",
              Median(menuIdle), *std::max_element(menuIdle.begin(), menuIdle.end()));

  const double tl = Median(twoLaunch);
  std::printf(
      "main menu at scale 2.0: %.1f ms (%+.1f %% against 1.0; target <= +10 %%), "
      "%.1f MB (%+.1f MB; target <= +20 MB)\n",
      tl, 100 * (tl / ml - 1), Median(twoRss), Median(twoRss) - Median(menuRss));

  QProcess wait;
  wait.setProcessEnvironment(env);
  wait.start(QCoreApplication::applicationFilePath(), {"wait"});
  wait.waitForFinished(20000);
  const QList<QByteArray> w = wait.readAllStandardOutput().trimmed().split(' ');
  const double wallMs = w.value(1).toDouble(), cpuMs = w.value(2).toDouble();
  std::printf("WaitSeconds(3): %.0f ms wall, %.2f ms CPU = %.3f %% of one core (target <= 2 %%)\n",
              wallMs, cpuMs, wallMs > 0 ? 100 * cpuMs / wallMs : -1);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  g_sinceMain.start();
  const char* mode = argc > 1 ? argv[1] : "";
  if (std::strcmp(mode, "menu") == 0) return RunMenu(argc, argv);
  if (std::strcmp(mode, "bare") == 0) return RunBare(argc, argv, false);
  if (std::strcmp(mode, "bare-cjk") == 0) return RunBare(argc, argv, true);
  if (std::strcmp(mode, "wait") == 0) return RunWait();
  QCoreApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  return RunAll(rounds);
}
