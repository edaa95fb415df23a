// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long a lesson pack of 20 chapters, 400 poems and 400 one-second recordings takes to
// export from one SQLite database and to import into another (target: each under 2 s). With
// TINDORA_PG_CONNSTR set, the import into that PostgreSQL database is measured too.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>
#include <cmath>
#include <ctime>
#include <memory>

#include "bench_support.h"
#include "data/lesson_database.h"
#include "packs/lesson_pack.h"
#include "platform/dataset.h"

namespace {

// One second of a voice-like tone with a little noise, 22050 Hz 16-bit mono, as recordings are.
QByteArray Recording(int seed) {
  const int rate = 22050;
  QByteArray pcm(rate * 2, Qt::Uninitialized);
  quint32 noise = quint32(seed);
  for (int i = 0; i < rate; ++i) {
    noise = noise * 1103515245u + 12345u;
    const double v =
        8000 * std::sin(i * (200.0 + seed) * 2 * M_PI / rate) * std::sin(i * M_PI / rate) +
        int(noise >> 22) - 512;
    qToLittleEndian<qint16>(qint16(v), pcm.data() + 2 * i);
  }
  QByteArray header(44, 0);
  char* h = header.data();
  memcpy(h, "RIFF", 4);
  qToLittleEndian<quint32>(36 + pcm.size(), h + 4);
  memcpy(h + 8, "WAVEfmt ", 8);
  qToLittleEndian<quint32>(16, h + 16);
  qToLittleEndian<quint16>(1, h + 20);
  qToLittleEndian<quint16>(1, h + 22);
  qToLittleEndian<quint32>(rate, h + 24);
  qToLittleEndian<quint32>(rate * 2, h + 28);
  qToLittleEndian<quint16>(2, h + 32);
  qToLittleEndian<quint16>(16, h + 34);
  memcpy(h + 36, "data", 4);
  qToLittleEndian<quint32>(pcm.size(), h + 40);
  return header + pcm;
}

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

bool Open(const QString& connection, const ConnectionSpec& spec) {
  QString error;
  if (!OpenConnection(connection, spec, &error) || !CreateSchema(connection, &error)) {
    QTextStream(stderr) << connection << ": " << error << "\n";
    return false;
  }
  return true;
}

void Fill(const QString& connection, const LessonKind& kind, const QString& media) {
  platform::Transaction tx(connection);
  tx.Begin();
  platform::Dataset d(connection);
  d.SetTableName(kind.chapterTable);
  d.Open();
  for (int c = 1; c <= 20; ++c) {
    d.Append();
    d.SetField(QStringLiteral("章号"), QString::number(c));
    d.SetField(QStringLiteral("章节"), QStringLiteral("第%1章").arg(c));
    d.Post();
  }
  d.Close();
  d.SetTableName(kind.itemTable);
  d.Open();
  for (int i = 1; i <= 400; ++i) {
    const QString path = QDir(media).filePath(QStringLiteral("%1.wav").arg(i));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(Recording(i));
    d.Append();
    d.SetField(kind.numberField, QString::number(i));
    d.SetField(kind.nameField, QStringLiteral("诗%1").arg(i));
    d.SetField(QStringLiteral("章节"), QStringLiteral("第%1章").arg((i - 1) / 20 + 1));
    d.SetField(kind.textField, QStringLiteral("床前明月光，\n疑是地上霜。"));
    d.SetField(QStringLiteral("声音"), path);
    d.Post();
  }
  tx.Commit();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTemporaryDir dir;
  const LessonKind& kind = Kind(LessonKindId::Poem);
  const QString media = dir.filePath(QStringLiteral("media"));
  QDir().mkpath(media);
  if (!Open(QStringLiteral("source"), EmbeddedSpec(dir.filePath(QStringLiteral("a.db"))))) return 1;
  Fill(QStringLiteral("source"), kind, media);

  const QString pack = dir.filePath(QStringLiteral("课程.tindora"));
  // The machine may be shared: the processor time tells what the work itself costs.
  QElapsedTimer t;
  t.start();
  double cpu = CpuSeconds();
  const packs::ExportResult e = packs::ExportPack(QStringLiteral("source"), kind, {}, pack);
  const double exportSeconds = t.nsecsElapsed() / 1e9, exportCpu = CpuSeconds() - cpu;
  if (!e.ok) {
    out << "export failed: " << e.error << "\n";
    return 1;
  }
  out << QStringLiteral("export: %1 chapters, %2 items, pack %3 MB: %4 s (processor %5 s)\n")
             .arg(e.chapters)
             .arg(e.items)
             .arg(QFileInfo(pack).size() / 1e6, 0, 'f', 1)
             .arg(exportSeconds, 0, 'f', 3)
             .arg(exportCpu, 0, 'f', 3);

  struct Target {
    QString name;
    ConnectionSpec spec;
  };
  QList<Target> targets{
      {QStringLiteral("SQLite"), EmbeddedSpec(dir.filePath(QStringLiteral("b.db")))}};
  const QString pg = qEnvironmentVariable("TINDORA_PG_CONNSTR");
  std::unique_ptr<BenchSchema> postgres;
  if (!pg.isEmpty()) {
    postgres = std::make_unique<BenchSchema>(pg, QStringLiteral("tindora_bench_packs"));
    if (!postgres->Ok()) {
      out << "PostgreSQL: " << postgres->Error() << "\n";
      return 1;
    }
    targets.append({QStringLiteral("PostgreSQL"), postgres->spec});
  } else {
    out << "PostgreSQL: skipped (TINDORA_PG_CONNSTR is not set)\n";
  }
  for (const Target& target : targets) {
    if (!Open(target.name, target.spec)) return 1;
    t.restart();
    cpu = CpuSeconds();
    const packs::ImportResult r = packs::ImportPack(
        target.name, pack, dir.filePath(QStringLiteral("sounds-") + target.name), &kind);
    const double importSeconds = t.nsecsElapsed() / 1e9, importCpu = CpuSeconds() - cpu;
    if (!r.ok) {
      out << "import failed: " << r.error << "\n";
      return 1;
    }
    out << QStringLiteral("import into %1: %2 chapters, %3 items: %4 s (processor %5 s)\n")
               .arg(target.name)
               .arg(r.chapters)
               .arg(r.items)
               .arg(importSeconds, 0, 'f', 3)
               .arg(importCpu, 0, 'f', 3);
  }
  out << "target: each under 2 s\n";
  return 0;
}
