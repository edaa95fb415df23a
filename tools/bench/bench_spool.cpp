// SPDX-License-Identifier: GPL-3.0-or-later
// Draining a long notes spool, as after a week's outage: a spool of 200 MB (its newest part is
// taken, at most the newest 100,000 notes) is written to the embedded SQLite database. Prints
// the time until every note taken is stored and the spool is gone (target: in proportion to the
// notes, no whole-spool rewrite per batch), and the time quitting takes one second into the
// drain (target: within 1.5 s), with how many notes the spool then still holds for the next start.
//   bench_spool [megabytes]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "app/practice_log.h"
#include "data/lesson_database.h"
#include "platform/dataset.h"

namespace {

// A spool of `bytes` bytes of notes, each padded to about 400 bytes as notes with long items are.
void WriteSpool(const QString& path, qint64 bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return;
  const QByteArray pad(280, 'x');
  for (qint64 n = 0, written = 0; written < bytes; ++n)
    written += f.write(R"({"id":"spooled-)" + QByteArray::number(n) +
                       R"(","machine":"pc","at":"2026-12-01T10:00:00.000","module":0,"item":")" +
                       pad + R"("})" + "\n");
}

int Lines(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;
  QTemporaryDir dir;
  const QString spool = dir.filePath("notes.spool");
  bool fine = true;
  for (const bool quit : {false, true}) {
    const QString file = dir.filePath(quit ? "quit.db" : "drain.db");
    QString error;
    if (!EnsureEmbeddedDatabase(file, &error) || !OpenConnection(file, EmbeddedSpec(file), &error)) {
      std::fprintf(stderr, "%s\n", qPrintable(error));
      return 2;
    }
    WriteSpool(spool, megabytes << 20);
    QElapsedTimer took;
    took.start();
    records::Start(file, spool);
    if (!quit) {
      const bool flushed = records::Flush(600000);
      while (QFileInfo::exists(spool) && took.elapsed() < 600000) QThread::msleep(20);
      const double seconds = took.elapsed() / 1000.0;
      std::printf("drain of a %lld MB spool: %.1f s%s\n", megabytes, seconds,
                  flushed ? "" : " (not finished)");
      records::Stop();
    } else {
      QThread::msleep(1000);
      QElapsedTimer stop;
      stop.start();
      records::Stop();
      const double seconds = stop.elapsed() / 1000.0;
      std::printf("quitting 1 s into the drain: %.2f s (target 1.5), %d notes kept for the next start\n",
                  seconds, Lines(spool));
      fine = fine && seconds <= 1.5;
    }
    QSqlDatabase::database(file).close();
  }
  std::printf("%s\n", fine ? "targets met" : "a target missed");
  return fine ? 0 : 1;
}
