// SPDX-License-Identifier: GPL-3.0-or-later
// A seat of a classroom against a server that misbehaves. Needs TINDORA_PG_CONNSTR; works in a
// schema of its own, dropped at the end.
// 1. A recordings row of 200 MB: the seat's peak resident memory (VmHWM) before and after asking
//    for it.
// 2. A frozen server: the seat reaches it through a relay in this process that stops passing
//    bytes, as a stopped server does while the kernel still acknowledges. A click on a character
//    whose recording is not cached: how long the click holds the interface thread, the longest
//    the thread then goes without handling an event, and when the pop-up plays (the chime, once
//    the time limits pass).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <thread>

#include "bench_support.h"
#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "data/recordings_library.h"
#include "data/schema_migrations.h"
#include "lessons/character_screen.h"
#include "lessons/pronunciation_popup.h"
#include "platform/db_watchdog.h"
#include "platform/sound.h"
#include "platform/wav_file.h"

namespace {

std::atomic<bool> g_frozen{false};

long PeakKb() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  return -1;
}

// Passes bytes between a seat and the server until frozen; then holds them.
void Pass(int a, int b) {
  char buffer[65536];
  for (;;) {
    if (g_frozen) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    if (::poll(fds, 2, 20) < 0) break;
    bool closed = false;
    for (int i = 0; i < 2 && !closed; ++i)
      if (fds[i].revents & (POLLIN | POLLHUP)) {
        const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
        closed = n <= 0 || ::write(fds[1 - i].fd, buffer, size_t(n)) != n;
      }
    if (closed) break;
  }
  ::close(a);
  ::close(b);
}

pid_t g_relay = 0;

// Listens on a free loopback port and relays every connection to `port`, in a process of its own
// (stopped to freeze the server; the seat's own sockets stay apart from the relay's).
int StartRelay(int port) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  g_relay = ::fork();
  if (g_relay != 0) {
    int got = -1;
    if (::read(fds[0], &got, sizeof got) != sizeof got) got = -1;
    return got;
  }
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof at;
  if (::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
      ::listen(listener, 16) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length) != 0)
    ::_exit(1);
  const int relayPort = ntohs(at.sin_port);
  if (::write(fds[1], &relayPort, sizeof relayPort) != sizeof relayPort) ::_exit(1);
  [listener, port] {
    for (;;) {
      const int seat = ::accept(listener, nullptr, nullptr);
      if (seat < 0) return;
      const int server = ::socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in to{};
      to.sin_family = AF_INET;
      to.sin_port = htons(quint16(port));
      to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (::connect(server, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(seat);
        ::close(server);
        continue;
      }
      std::thread(Pass, seat, server).detach();
    }
  }();
  ::_exit(0);
}

class FirstSound final : public platform::SoundPlayer {
 public:
  void Play(const QString& name) override {
    if (name.isEmpty() || at >= 0) return;
    at = clock.elapsed();
    played = name;
  }
  QElapsedTimer clock;
  qint64 at = -1;
  QString played;
};

}  // namespace

int main(int argc, char** argv) {
  const QString serverEarly = QString::fromLocal8Bit(qgetenv("TINDORA_PG_CONNSTR"));
  const int relay = StartRelay(
      QRegularExpression(QStringLiteral("(?i)port=(\\d+)")).match(serverEarly).captured(1).toInt());
  QApplication app(argc, argv);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  QStandardPaths::setTestModeEnabled(true);
  const QString server = qEnvironmentVariable("TINDORA_PG_CONNSTR");
  const QString port =
      QRegularExpression(QStringLiteral("(?i)port=(\\d+)")).match(server).captured(1);
  if (server.isEmpty() || port.isEmpty()) {
    std::fprintf(stderr, "set TINDORA_PG_CONNSTR (with Port=...)\n");
    return 2;
  }
  BenchSchema schema(server, QStringLiteral("bench_classroom_%1").arg(app.applicationPid()));
  if (!schema.Ok()) {
    std::fprintf(stderr, "%s\n", qPrintable(schema.Error()));
    return 1;
  }
  ConnectionSpec spec = schema.spec;
  spec.databaseName.replace(QRegularExpression(QStringLiteral("(?i)port=\\d+")),
                            QStringLiteral("Port=%1").arg(relay));
  Tdm module(spec);
  if (!module.Connected()) {
    std::fprintf(stderr, "%s\n", qPrintable(module.ConnectError()));
    return 1;
  }
  dm = &module;
  const QString c = module.ConnectionName();
  const LessonKind& k = Kind(LessonKindId::Character);
  QDir(recordings::CacheRoot()).removeRecursively();

  // 1. A row of 200 MB, made by the server itself (on a connection of the bench's own: it takes
  // longer than a statement may).
  const QString huge = k.soundFolder + QStringLiteral("/大-0123abcd.wav");
  QString why;
  OpenConnection(QStringLiteral("direct"), schema.spec, &why);
  platform::SetStatementTimeLimitMs(600000);
  platform::ExecQuery(QStringLiteral("direct"),
                      QStringLiteral("insert into recordings (name, sha256, size, bytes) select ?, "
                                     "encode(sha256(b), 'hex'), length(b), b from (select "
                                     "convert_to(repeat('a', 200000000), 'UTF8') as b) as s"),
                      {huge});
  platform::SetStatementTimeLimitMs(15000);
  const long before = PeakKb();
  QElapsedTimer t;
  t.start();
  const QString got = recordings::LocalPath(c, huge);
  std::printf("row of 200 MB: %s in %lld ms; peak resident %ld -> %ld kB\n",
              got == huge ? "refused" : "FETCHED", t.elapsed(), before, PeakKb());

  // 2. A frozen server.
  const platform::Samples samples(platform::kRecordingRate * 2, 1000);
  const QByteArray wav = platform::WavBytes(samples);
  const QString name = k.soundFolder + QStringLiteral("/一-") + recordings::Sha256(wav).left(8) +
                       QStringLiteral(".wav");
  recordings::Publish(c, name, wav, nullptr, nullptr);
  platform::ExecSql(c, QStringLiteral("insert into ZJ (章号, 章节) values (1, '一')"));
  QString failed;
  if (!platform::ExecQuery(c,
                           QStringLiteral("insert into %1 (%2, %3, 章节, %4, 声音) "
                                          "values (1, '一', '一', 'yī', ?)")
                               .arg(k.itemTable, k.numberField, k.nameField, k.textField),
                           {name}, nullptr, &failed))
    std::fprintf(stderr, "%s\n", qPrintable(failed));
  FirstSound sound;
  platform::SetSoundPlayer(&sound);
  Tsendsongform* popup = nullptr;
  {
    // Closed screens delete themselves: this one lives to the end.
    auto& screen = *new TszmainForm(nullptr);
    screen.SetPopupShower([&popup](Tsendsongform* p) {
      popup = p;
      p->show();
    });
    screen.show();
    QApplication::processEvents();
    screen.ListView1->setCurrentRow(0);
    std::printf("items on the screen: %d\n", screen.ListView1->count());
    ::kill(g_relay, SIGSTOP);
    sound.clock.start();
    screen.ListView1Click();
    const qint64 click = sound.clock.elapsed();
    qint64 last = click, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
      // After the sound the pop-up holds the thread on purpose (it plays three times).
      if (sound.at >= 0 || last > 60000) {
        app.quit();
        return;
      }
      longest = std::max(longest, sound.clock.elapsed() - last);
      last = sound.clock.elapsed();
    });
    tick.start(10);
    app.setQuitOnLastWindowClosed(false);
    app.exec();
    std::printf("frozen server: click returned in %lld ms, pop-up shown: %s; longest the screen "
                "went without handling events before the sound: %lld ms; played %s after %.1f s\n",
                click, popup && popup->isVisible() ? "yes" : "no", longest,
                sound.played.isEmpty()                             ? "nothing"
                : sound.played.startsWith(recordings::CacheRoot()) ? "the recording"
                                                                   : "the chime",
                sound.at / 1000.0);
    ::kill(g_relay, SIGKILL);
    std::fflush(stdout);
  }
  platform::SetSoundPlayer(nullptr);
  dm = nullptr;
  return 0;
}
