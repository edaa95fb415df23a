// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up benchmark: the real program started as a user starts it (no scale override, a fresh
// home for the first start, the same home for the second) against bench_bare_window, a separately
// built Qt program with one Chinese label, in interleaved rounds. Watched from outside through
// the X server: time from exec to the first top-level window mapped and to its first drawing
// (XDamage) and the processor time used until then, which other load hardly changes; the shared
// objects mapped when the menu is drawn; 5 s after start the resident and proportional memory and
// the CPU used over 2 idle seconds. Prints the medians and a verdict against the targets (exit
// status 1 when one is missed: no Qt Charts nor OpenGL beyond the bare window's at the menu,
// mapped and first paint <= 1.2 x the bare window, resident <= 45 MB). Then a profile of the
// second start: the program's own marks of its phases (TINDORA_STARTUP_PROFILE) and where its
// resident memory lies. Also the CPU that WaitSeconds(3) burns. A family's home with two children's
// profiles shows how long the picker "谁来学习？" takes to appear over the menu.
//   Xvfb :99 -screen 0 1920x1080x24 &  DISPLAY=:99 bench_startup [rounds [program]]
// The program is the tindora beside this benchmark unless another (an older build) is given.
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/shared_routines.h"

extern char** environ;

namespace {

double NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

void SleepUntil(double ms) {
  const double left = ms - NowMs();
  if (left > 0) usleep(useconds_t(left * 1000));
}

struct Launch {
  double mapped = -1;      // ms from exec to the first top-level window mapped
  double painted = -1;     // ms from exec to the first drawing into that window
  double cpuToPaint = -1;  // ms the process ran on a processor until then, all threads
  double rssMb = -1, pssMb = -1, idleMs = -1;
  int sharedObjects = -1;
  QSet<QByteArray> libraries;  // file names of the shared objects mapped at the first drawing
  QList<std::pair<QByteArray, double>> residentBy;  // MB resident per mapped file, anonymous
};

// Rss and Pss of a running process, in MB.
void ReadMemory(pid_t pid, Launch* run) {
  QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
  if (!f.open(QIODevice::ReadOnly)) return;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const QList<QByteArray> w = line.simplified().split(' ');
    if (w.size() < 2) continue;
    if (w[0] == "Rss:") run->rssMb = w[1].toDouble() / 1024;
    if (w[0] == "Pss:") run->pssMb = w[1].toDouble() / 1024;
  }
}

// The file names of the shared objects a process has mapped.
QSet<QByteArray> SharedObjects(pid_t pid) {
  QFile f(QStringLiteral("/proc/%1/maps").arg(pid));
  QSet<QByteArray> names;
  if (!f.open(QIODevice::ReadOnly)) return names;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const qsizetype slash = line.indexOf('/');
    if (slash >= 0 && line.contains(".so")) names.insert(line.mid(line.lastIndexOf('/') + 1));
  }
  return names;
}

// Resident memory of a process by what is mapped: each file, the heap and other anonymous
// memory, largest first.
QList<std::pair<QByteArray, double>> ResidentBy(pid_t pid) {
  QFile f(QStringLiteral("/proc/%1/smaps").arg(pid));
  QHash<QByteArray, double> kb;
  if (!f.open(QIODevice::ReadOnly)) return {};
  QByteArray current;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const QList<QByteArray> w = line.simplified().split(' ');
    if (w[0].isEmpty()) continue;
    if (w[0].endsWith(':')) {  // a field of the current mapping
      if (w[0] == "Rss:") kb[current] += w.value(1).toDouble();
      continue;
    }
    // A mapping: "start-end perms offset dev inode [path]".
    const QByteArray path = w.size() > 5 ? w.mid(5).join(' ') : QByteArray();
    current = path.startsWith('/') ? path.mid(path.lastIndexOf('/') + 1)
              : path.isEmpty()     ? QByteArray("[anonymous]")
                                   : path;
  }
  QList<std::pair<QByteArray, double>> out;
  for (auto it = kb.cbegin(); it != kb.cend(); ++it) out.append({it.key(), it.value() / 1024});
  std::sort(out.begin(), out.end(),
            [](const auto& a, const auto& b) { return a.second > b.second; });
  return out;
}

// Qt Charts, Qt's OpenGL modules, and OpenGL libraries the bare window does not map itself (Qt
// Gui links libEGL, libGLX and libOpenGL, so they come with any Qt window).
QStringList UnwantedAtMenu(const QSet<QByteArray>& libraries, const QSet<QByteArray>& bare) {
  QStringList found;
  for (const QByteArray& name : libraries) {
    const bool qt = name.startsWith("libQt6Charts") || name.startsWith("libQt6OpenGL");
    const bool gl = name.startsWith("libGL") || name.startsWith("libOpenGL") ||
                    name.startsWith("libEGL") || name.startsWith("libgbm") ||
                    name.contains("_dri.so") || name.startsWith("libglapi");
    if (qt || (gl && !bare.contains(name))) found << QString::fromLatin1(name);
  }
  found.sort();
  return found;
}

// Time a process has run on a processor so far, all its threads, in ms. Unlike the wall-clock
// figures it hardly changes when other programs load the machine.
double RunMs(pid_t pid) {
  double ns = 0;
  const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
  for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile f(tasks.filePath(task + QStringLiteral("/schedstat")));
    if (f.open(QIODevice::ReadOnly)) ns += f.readAll().split(' ').value(0).toDouble();
  }
  return ns / 1e6;
}

// User and system CPU of a process so far, in ms.
double CpuMs(pid_t pid) {
  QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray s = f.readAll();
  // Fields after the command name, which may hold spaces: utime and stime are the 12th and 13th.
  const QList<QByteArray> w = s.mid(s.lastIndexOf(')') + 2).split(' ');
  return (w.value(11).toDouble() + w.value(12).toDouble()) * 1000.0 / sysconf(_SC_CLK_TCK);
}

void EndChild(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 500; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

class Watcher {
 public:
  ~Watcher() {
    if (m_c) xcb_disconnect(m_c);
  }

  bool Open(QString* why) {
    m_c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_c)) {
      *why = QStringLiteral("cannot connect to the X server (DISPLAY)");
      return false;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(m_c, &xcb_damage_id);
    if (!damage || !damage->present) {
      *why = QStringLiteral("the X server has no DAMAGE extension");
      return false;
    }
    m_damageEvent = damage->first_event;
    free(xcb_damage_query_version_reply(m_c, xcb_damage_query_version(m_c, 1, 1), nullptr));
    m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_c, m_screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_c);
    return true;
  }
  int Width() const { return m_screen->width_in_pixels; }
  int Height() const { return m_screen->height_in_pixels; }

  // Starts `program` in `home` with `env` and follows it until its first window has been drawn,
  // then measures it at 5 s and 7 s and ends it. `started` receives the exec's time (NowMs).
  // With `windows` 2 the figures are those of the second top-level window (the children's
  // picker, which opens over the menu).
  Launch Run(const QByteArray& program, const QByteArray& home, const QList<QByteArray>& env,
             double* started = nullptr, int windows = 1) {
    Launch run;
    QList<xcb_damage_damage_t> damages;
    while (xcb_generic_event_t* e = xcb_poll_for_event(m_c)) free(e);
    std::vector<char*> envp;
    for (const QByteArray& v : env) envp.push_back(const_cast<char*>(v.constData()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.constData()), nullptr};
    const double start = NowMs();
    if (started) *started = start;
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(home.constData()) != 0) _exit(127);
      execve(argv[0], argv, envp.data());
      _exit(127);
    }
    QList<xcb_window_t> shown;
    const double deadline = start + 30000;
    while (run.painted < 0 && NowMs() < deadline) {
      pollfd p{xcb_get_file_descriptor(m_c), POLLIN, 0};
      poll(&p, 1, 100);
      while (xcb_generic_event_t* e = xcb_poll_for_event(m_c)) {
        const double now = NowMs() - start;
        const int type = e->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
          // Watched from its creation: the first drawing may follow the mapping at once.
          const auto* c = reinterpret_cast<xcb_create_notify_event_t*>(e);
          const xcb_damage_damage_t d = xcb_generate_id(m_c);
          xcb_damage_create(m_c, d, c->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
          damages << d;
          xcb_flush(m_c);
        } else if (type == XCB_MAP_NOTIFY && shown.size() < windows) {
          const auto* m = reinterpret_cast<xcb_map_notify_event_t*>(e);
          if (!m->override_redirect && !shown.contains(m->window)) {
            shown << m->window;
            if (shown.size() == windows) run.mapped = now;
          }
        } else if (type == m_damageEvent + XCB_DAMAGE_NOTIFY && shown.size() == windows) {
          const auto* d = reinterpret_cast<xcb_damage_notify_event_t*>(e);
          if (d->drawable == shown.last() && run.painted < 0) {
            run.painted = now;
            run.cpuToPaint = RunMs(pid);
            run.libraries = SharedObjects(pid);
            run.sharedObjects = int(run.libraries.size());
          }
        }
        free(e);
      }
    }
    SleepUntil(start + 5000);
    ReadMemory(pid, &run);
    run.residentBy = ResidentBy(pid);
    const double cpu = CpuMs(pid);
    SleepUntil(start + 7000);
    run.idleMs = CpuMs(pid) - cpu;
    EndChild(pid);
    for (xcb_damage_damage_t d : damages) xcb_damage_destroy(m_c, d);
    xcb_flush(m_c);
    return run;
  }

 private:
  xcb_connection_t* m_c = nullptr;
  xcb_screen_t* m_screen = nullptr;
  uint8_t m_damageEvent = 0;
};

// The benchmark's own environment as a user's session would have it, with a home of its own:
// no scale override, no other data folders, no ODBC data sources of this machine's user.
QList<QByteArray> UserEnvironment(const QByteArray& home, const QByteArray& runtime) {
  static const char* const dropped[] = {"HOME=",           "XDG_DATA_HOME=",   "XDG_CONFIG_HOME=",
                                        "XDG_CACHE_HOME=", "XDG_STATE_HOME=",  "XDG_RUNTIME_DIR=",
                                        "TINDORA_SCALE=",  "QT_SCALE_FACTOR=", "QT_QPA_PLATFORM=",
                                        "ODBCINI=",        "QT_LOGGING_RULES="};
  QList<QByteArray> env;
  for (char** e = environ; *e; ++e) {
    const QByteArray v(*e);
    if (std::none_of(std::begin(dropped), std::end(dropped),
                     [&v](const char* d) { return v.startsWith(d); }))
      env << v;
  }
  env << "HOME=" + home << "XDG_RUNTIME_DIR=" + runtime << "ODBCINI=" + home + "/.odbc.ini";
  return env;
}

double Median(QList<double> v) {
  std::sort(v.begin(), v.end());
  return v.isEmpty() ? -1 : v[v.size() / 2];
}

struct Series {
  QList<double> mapped, painted, cpu, rss, pss, idle, objects;
  QSet<QByteArray> libraries;  // mapped at the first drawing in any run
  void Add(const Launch& r) {
    libraries.unite(r.libraries);
    mapped << r.mapped;
    painted << r.painted;
    cpu << r.cpuToPaint;
    rss << r.rssMb;
    pss << r.pssMb;
    idle << r.idleMs;
    objects << r.sharedObjects;
  }
};

void PrintRow(const char* label, const Series& s) {
  std::printf("  %-24s %7.1f ms %7.1f ms %7.1f ms %6.1f MB %6.1f MB %4.0f %5.1f ms\n", label,
              Median(s.mapped), Median(s.painted), Median(s.cpu), Median(s.rss), Median(s.pss),
              Median(s.objects), Median(s.idle));
}

// "met" or by how much the figure misses its limit; false when missed.
bool Verdict(const char* what, double value, double limit, const char* unit) {
  if (value <= limit)
    std::printf("  %-44s %8.1f %s <= %6.1f %s: met\n", what, value, unit, limit, unit);
  else
    std::printf("  %-44s %8.1f %s >  %6.1f %s: missed by %.1f %s (%.0f %%)\n", what, value, unit,
                limit, unit, value - limit, unit, 100 * (value / limit - 1));
  return value <= limit;
}

// The program's marks of its start-up phases (TINDORA_STARTUP_PROFILE): name, ms on the
// monotonic clock.
QList<std::pair<QByteArray, double>> ReadMarks(const QString& file) {
  QList<std::pair<QByteArray, double>> marks;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return marks;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const qsizetype space = line.lastIndexOf(' ');
    if (space > 0) marks.append({line.left(space), line.mid(space + 1).toDouble()});
  }
  return marks;
}

int RunWait() {
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  QElapsedTimer wall;
  wall.start();
  WaitSeconds(3);
  getrusage(RUSAGE_SELF, &after);
  const auto ms = [](const rusage& u) {
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
  };
  const double cpu = ms(after) - ms(before);
  std::printf("WaitSeconds(3): %lld ms wall, %.2f ms CPU = %.3f %% of one core (target <= 2 %%)\n",
              wall.elapsed(), cpu, 100 * cpu / double(wall.elapsed()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "wait") == 0) return RunWait();
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const QByteArray folder = QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath().toLocal8Bit();
  const QByteArray program =
      argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath().toLocal8Bit()
               : folder + "/tindora";
  const QByteArray bare = folder + "/bench_bare_window";
  for (const QByteArray& p : {program, bare})
    if (access(p.constData(), X_OK) != 0) {
      std::fprintf(stderr, "%s is missing: build it first\n", p.constData());
      return 2;
    }
  Watcher x;
  QString why;
  if (!x.Open(&why)) {
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 2;
  }
  QTemporaryDir dir;
  const QByteArray top = dir.path().toLocal8Bit();
  const QByteArray runtime = top + "/run";
  mkdir(runtime.constData(), 0700);
  std::printf("%s on an X screen of %dx%d; %d interleaved rounds; medians\n", program.constData(),
              x.Width(), x.Height(), rounds);

  // A family's home: the lesson database with two children, so the program starts on the picker.
  const QByteArray kids = top + "/kids";
  mkdir(kids.constData(), 0700);
  const QList<QByteArray> kidsEnv = UserEnvironment(kids, runtime);
  x.Run(program, kids, kidsEnv);  // makes the lesson database
  const QByteArray setup = "HOME=" + kids + " " + folder + "/tindora_dbsetup --sqlite " + kids +
                           "/.local/share/Tindora/lessons.db --add-child 小明 --add-child 朵朵 >/dev/null";
  if (std::system(setup.constData()) != 0) std::fprintf(stderr, "cannot add the children\n");

  Series bareRuns, firstRuns, secondRuns, pickerRuns;
  for (int round = 0; round <= rounds; ++round) {
    const QByteArray home = top + "/home" + QByteArray::number(round);
    mkdir(home.constData(), 0700);
    const QList<QByteArray> env = UserEnvironment(home, runtime);
    // Round 0 warms the caches and is not counted; the bare window goes first and last in turn.
    Launch b;
    if (round % 2 == 0) b = x.Run(bare, home, env);
    const Launch first = x.Run(program, home, env);
    const Launch second = x.Run(program, home, env);
    if (round % 2 == 1) b = x.Run(bare, home, env);
    const Launch picker = x.Run(program, kids, kidsEnv, nullptr, 2);
    if (round == 0) continue;
    pickerRuns.Add(picker);
    bareRuns.Add(b);
    firstRuns.Add(first);
    secondRuns.Add(second);
  }

  std::printf("  %-24s %10s %10s %10s %9s %9s %4s %8s\n", "", "mapped", "painted", "processor",
              "resident", "proport.", ".so", "idle 2 s");
  PrintRow("bare window (one label)", bareRuns);
  PrintRow("Tindora, fresh home", firstRuns);
  PrintRow("Tindora, second start", secondRuns);
  PrintRow("picker, two children", pickerRuns);
  const double bm = Median(bareRuns.mapped), bp = Median(bareRuns.painted);
  std::printf("verdict (second start; the first start also builds the lesson database):\n");
  const QStringList unwanted = UnwantedAtMenu(secondRuns.libraries, bareRuns.libraries);
  bool passed = unwanted.isEmpty();
  std::printf("  %-44s %s\n", "Qt Charts or OpenGL mapped at the menu",
              unwanted.isEmpty()
                  ? "none: met"
                  : qPrintable(unwanted.join(QLatin1Char(' ')) + QStringLiteral(": MISSED")));
  passed &= Verdict("menu mapped, ms (<= 1.2 x bare)", Median(secondRuns.mapped), 1.2 * bm, "ms");
  passed &=
      Verdict("menu first paint, ms (<= 1.2 x bare)", Median(secondRuns.painted), 1.2 * bp, "ms");
  passed &= Verdict("resident memory at the menu", Median(secondRuns.rss), 45, "MB");
  std::printf("for information:\n");
  Verdict("proportional memory at the menu", Median(secondRuns.pss), 22, "MB");
  Verdict("fresh home: menu mapped (<= 1.2 x bare)", Median(firstRuns.mapped), 1.2 * bm, "ms");
  Verdict("fresh home: first paint (<= 1.2 x bare)", Median(firstRuns.painted), 1.2 * bp, "ms");
  Verdict("CPU of the idle menu over 2 s", Median(secondRuns.idle), 0, "ms");
  std::printf("picker (two children) from start: mapped %.1f ms, first paint %.1f ms; the menu "
              "without children: %.1f ms, %.1f ms\n",
              Median(pickerRuns.mapped), Median(pickerRuns.painted), Median(secondRuns.mapped),
              Median(secondRuns.painted));
  std::printf("ratios to the bare window: mapped %.2f, first paint %.2f (fresh home %.2f, %.2f)\n",
              Median(secondRuns.mapped) / bm, Median(secondRuns.painted) / bp,
              Median(firstRuns.mapped) / bm, Median(firstRuns.painted) / bp);
  // Processor time to the first paint: what the program itself spends, whatever else runs.
  std::printf("processor time to the first paint: %.2f x the bare window's (fresh home %.2f)\n",
              Median(secondRuns.cpu) / Median(bareRuns.cpu),
              Median(firstRuns.cpu) / Median(bareRuns.cpu));

  // The profile: which part of the second start costs what.
  QStringList added;
  for (const QByteArray& name : secondRuns.libraries)
    if (!bareRuns.libraries.contains(name)) added << QString::fromLatin1(name);
  added.sort();
  std::printf(
      "\nprofile of the second start\n  shared objects at the menu: %.0f, bare window "
      "%.0f; the program's own:\n    %s\n",
      Median(secondRuns.objects), Median(bareRuns.objects),
      qPrintable(added.join(QLatin1Char(' '))));
  const QString marksFile = dir.filePath(QStringLiteral("marks"));
  QList<QByteArray> phases;
  QHash<QByteArray, QList<double>> phaseMs;
  QList<double> profileRss;
  Launch last;
  for (int i = 0; i < std::max(3, rounds / 2); ++i) {
    QFile::remove(marksFile);
    QList<QByteArray> env = UserEnvironment(top + "/home1", runtime);
    env << "TINDORA_STARTUP_PROFILE=" + marksFile.toLocal8Bit();
    double started = 0;
    last = x.Run(program, top + "/home1", env, &started);
    double previous = started;
    for (const auto& [phase, at] : ReadMarks(marksFile)) {
      if (!phases.contains(phase)) phases << phase;
      phaseMs[phase] << at - previous;
      previous = at;
    }
    profileRss << last.rssMb;
  }
  std::printf(
      "  phases, each from the end of the one before (medians; exec -> first mark is "
      "loading and linking the shared objects):\n");
  double sum = 0;
  for (const QByteArray& phase : phases) {
    sum += Median(phaseMs[phase]);
    std::printf("    %-40s %7.1f ms  (%7.1f ms from exec)\n", phase.constData(),
                Median(phaseMs[phase]), sum);
  }
  std::printf("  bare window for comparison: mapped %.1f ms, first paint %.1f ms\n", bm, bp);
  std::printf("  resident memory %.1f MB at 5 s, the largest parts:\n", Median(profileRss));
  for (int i = 0; i < std::min<int>(16, last.residentBy.size()); ++i)
    std::printf("    %-40s %6.1f MB\n", last.residentBy[i].first.constData(),
                last.residentBy[i].second);
  std::printf("verdict: %s\n", passed ? "PASSED" : "FAILED");
  std::fflush(stdout);

  // WaitSeconds in a child of its own, as it runs in the program.
  const pid_t pid = fork();
  if (pid == 0) {
    execl(argv[0], argv[0], "wait", nullptr);
    _exit(127);
  }
  waitpid(pid, nullptr, 0);
  return passed ? 0 : 1;
}
