// SPDX-License-Identifier: GPL-3.0-or-later
// Ending the program while its interface thread waits on a frozen server. The whole program is
// started (on its embedded lesson file); once the menu shows, a read on the interface thread goes
// to the PostgreSQL server of TINDORA_PG_CONNSTR, whose process serving the connection has been
// stopped (SIGSTOP: the kernel still acknowledges, nothing answers). Then:
// - SIGTERM: the time from the signal to the end of the process (target: within 2 s), each round;
// - the window system closes the menu: whether the program ends, and when (the close can only be
//   handled once the read has come back, at the statement time limit, 15 s unless
//   TINDORA_DB_TIMEOUT says otherwise).
// Needs root, or the server's own user, to stop the server's process. Run with
// QT_QPA_PLATFORM=offscreen or on a display.
//   bench_quit [rounds]
#include <qpa/qwindowsysteminterface.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <thread>

#include "app/main_form.h"
#include "data/lesson_database.h"
#include "platform/dataset.h"
#include "platform/error_report.h"
#include "program.h"

namespace {

constexpr double kBoundMs = 2000;

// In the child: the program, whose interface thread reads from a frozen server once the menu
// shows, and reports the failure in a box as a screen does. Prints "frozen <backend pid>" before
// the read; with `close`, the window system closes the menu 300 ms into the read.
int Program(int argc, char** argv, bool close) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  return RunTindora(argc, argv, [close](TMainForm* menu) {
    QTimer::singleShot(200, menu, [menu, close] {
      QString error;
      const ConnectionSpec server{QStringLiteral("QODBC"),
                                  qEnvironmentVariable("TINDORA_PG_CONNSTR"),
                                  {},
                                  {},
                                  QStringLiteral("PostgreSQL")};
      if (!OpenConnection(QStringLiteral("frozen"), server, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        QApplication::exit(3);
        return;
      }
      QSqlQuery pid(QSqlDatabase::database(QStringLiteral("frozen")));
      if (!pid.exec(QStringLiteral("select pg_backend_pid()")) || !pid.next()) {
        QApplication::exit(3);
        return;
      }
      const int backend = pid.value(0).toInt();
      pid.finish();
      ::kill(backend, SIGSTOP);
      std::printf("frozen %d\n", backend);
      std::thread closing;
      if (close)
        closing = std::thread([menu] {
          std::this_thread::sleep_for(std::chrono::milliseconds(300));
          QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::AsynchronousDelivery>(
              menu->windowHandle());
          std::printf("closed\n");
        });
      platform::Dataset q(QStringLiteral("frozen"));
      q.SqlAdd(QStringLiteral("select 1"));
      if (!q.Open()) ReportError(q.LastError());
      if (closing.joinable()) closing.join();
    });
  });
}

struct Run {
  double ms = -1;   // from the signal or the close to the end of the process
  int status = -1;  // exit status, -1 when it did not end by itself
};

// Starts the program, waits for its read to be stuck, then ends it one way or the other.
Run Once(const QString& self, bool close) {
  QTemporaryDir home;
  QFile(home.filePath(QStringLiteral("odbc.ini"))).open(QIODevice::WriteOnly);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("ODBCINI"), home.filePath(QStringLiteral("odbc.ini")));
  env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
  env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
  QProcess program;
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  program.start(self, {close ? QStringLiteral("--close") : QStringLiteral("--sigterm")});
  Run run;
  int backend = 0;
  QByteArray out;
  const auto waitFor = [&](const QByteArray& word) {
    while (!out.contains(word)) {
      if (!program.waitForReadyRead(60000)) return false;
      out += program.readAllStandardOutput();
    }
    return true;
  };
  if (!waitFor("frozen ")) {
    std::fprintf(stderr, "the program did not reach its read\n");
    program.kill();
    program.waitForFinished();
    return run;
  }
  waitFor("\n");
  backend = out.mid(out.indexOf("frozen ") + 7).split('\n').value(0).toInt();
  QElapsedTimer clock;
  if (close) {
    waitFor("closed");
    clock.start();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    clock.start();
    ::kill(pid_t(program.processId()), SIGTERM);
  }
  const bool ended = program.waitForFinished(close ? 60000 : 10000);
  run.ms = clock.nsecsElapsed() / 1e6;
  if (ended && program.exitStatus() == QProcess::NormalExit) run.status = program.exitCode();
  if (!ended) {
    program.kill();
    program.waitForFinished();
  }
  if (backend > 0) ::kill(backend, SIGCONT);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
  if (mode == "--sigterm" || mode == "--close") {
    int one = 1;
    return Program(one, argv, mode == "--close");
  }
  QCoreApplication app(argc, argv);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (qEnvironmentVariable("TINDORA_PG_CONNSTR").isEmpty()) {
    std::fprintf(stderr, "set TINDORA_PG_CONNSTR\n");
    return 2;
  }
  const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;
  const QString self = QCoreApplication::applicationFilePath();
  double worst = 0;
  bool allEnded = true;
  for (int r = 0; r < rounds; ++r) {
    const Run run = Once(self, false);
    std::printf(
        "SIGTERM, read stuck on a frozen server: ended %.0f ms after the signal, "
        "status %d\n",
        run.ms, run.status);
    worst = std::max(worst, run.ms);
    allEnded = allEnded && run.status == 0;
  }
  std::printf("SIGTERM: longest %.0f ms over %d rounds (bound %.0f ms): %s\n", worst, rounds,
              kBoundMs, allEnded && worst <= kBoundMs ? "PASS" : "FAIL");
  const Run closed = Once(self, true);
  std::printf(
      "menu closed, read stuck on a frozen server: %s %.1f s after the close, "
      "status %d: %s\n",
      closed.status >= 0 ? "ended" : "STILL UP (killed)", closed.ms / 1000, closed.status,
      closed.status == 0 ? "PASS" : "FAIL");
  return allEnded && worst <= kBoundMs && closed.status == 0 ? 0 : 1;
}
