// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a small corpus of WAV inputs, good and hostile, into a folder for the sound tests (run
// under the sanitizers too). The name says what the player must do: "play-" files are played,
// "refuse-" files are not, "any-" files may go either way but must neither crash nor hang.
#include <sys/stat.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QtEndian>
#include <cmath>

namespace {

struct Format {
  quint16 tag = 1;  // 1 PCM, 3 float
  quint16 channels = 1;
  quint32 rate = 22050;
  quint16 bits = 16;
  int blockAlign = -1;  // -1: as the other fields say
};

void Put16(QByteArray& b, quint16 v) {
  char x[2];
  qToLittleEndian(v, x);
  b.append(x, 2);
}
void Put32(QByteArray& b, quint32 v) {
  char x[4];
  qToLittleEndian(v, x);
  b.append(x, 4);
}

QByteArray Chunk(const char* id, const QByteArray& body, qint64 claimed = -1) {
  QByteArray c(id, 4);
  Put32(c, static_cast<quint32>(claimed < 0 ? body.size() : claimed));
  c += body;
  if (body.size() & 1) c += '\0';
  return c;
}

QByteArray FmtChunk(const Format& f) {
  QByteArray b;
  const quint16 align = f.blockAlign >= 0 ? static_cast<quint16>(f.blockAlign)
                                          : static_cast<quint16>(f.channels * f.bits / 8);
  Put16(b, f.tag);
  Put16(b, f.channels);
  Put32(b, f.rate);
  Put32(b, f.rate * align);
  Put16(b, align);
  Put16(b, f.bits);
  return Chunk("fmt ", b);
}

// A 440 Hz tone at half of full scale.
QByteArray Samples(const Format& f, double seconds) {
  QByteArray b;
  const int frames = static_cast<int>(f.rate * seconds);
  for (int i = 0; i < frames; ++i) {
    const double v = 0.5 * std::sin(2 * M_PI * 440 * i / std::max<quint32>(f.rate, 1));
    for (int c = 0; c < f.channels; ++c) {
      if (f.tag == 3 && f.bits == 32) {
        const float x = static_cast<float>(v);
        b.append(reinterpret_cast<const char*>(&x), 4);
      } else if (f.bits == 8) {
        b += static_cast<char>(static_cast<quint8>(128 + v * 127));
      } else {
        const qint32 x = static_cast<qint32>(v * 2147483647.0);
        for (int k = 4 - f.bits / 8; k < 4; ++k) b += static_cast<char>((x >> (8 * k)) & 0xff);
      }
    }
  }
  return b;
}

QByteArray Riff(const QByteArray& chunks) {
  QByteArray b("RIFF");
  Put32(b, static_cast<quint32>(chunks.size() + 4));
  return b + "WAVE" + chunks;
}

QByteArray Wav(const Format& f, double seconds = 0.05) {
  return Riff(FmtChunk(f) + Chunk("data", Samples(f, seconds)));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (app.arguments().size() != 2) {
    QTextStream(stderr) << "usage: make_wav_corpus FOLDER\n";
    return 2;
  }
  QDir dir(app.arguments()[1]);
  dir.removeRecursively();
  if (!QDir().mkpath(dir.path())) return 1;
  int count = 0;
  auto write = [&](const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name + ".wav"));
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    ++count;
  };

  // Good files across formats, channels and the edges of the rate range.
  for (quint16 bits : {8, 16, 24, 32})
    for (quint16 channels : {1, 2})
      for (quint32 rate : {4000u, 44100u, 384000u})
        write(QString("play-pcm%1-ch%2-%3hz").arg(bits).arg(channels).arg(rate),
              Wav({1, channels, rate, bits}));
  write("play-float32-22050hz", Wav({3, 1, 22050, 32}));
  write("play-list-chunk-first",
        Riff(Chunk("LIST", QByteArray(7, 'x')) + FmtChunk({}) + Chunk("data", Samples({}, 0.05))));

  // Rates that overflow SDL's converter or buzz for minutes.
  for (quint32 rate : {1u, 100u, 3999u, 384001u, 5700000u, 10000000u, 14300000u, 14600000u,
                       0x7fffffffu, 0xffffffffu})
    for (quint16 bits : {8, 16})
      write(QString("refuse-rate-%1hz-pcm%2").arg(rate).arg(bits),
            Riff(FmtChunk({1, 1, rate, bits}) + Chunk("data", QByteArray(64, '\x40'))));
  // Empty data chunks (an 8-bit one used to be copied from a null pointer).
  for (quint16 bits : {8, 16})
    write(QString("refuse-empty-data-pcm%1").arg(bits),
          Riff(FmtChunk({1, 1, 22050, bits}) + Chunk("data", {})));
  // Two format chunks: which one describes the samples is a guess.
  write("refuse-two-fmt-same",
        Riff(FmtChunk({}) + FmtChunk({}) + Chunk("data", Samples({}, 0.05))));
  write("refuse-two-fmt-different", Riff(FmtChunk({1, 2, 8000, 8}) + FmtChunk({3, 1, 44100, 32}) +
                                         Chunk("data", Samples({}, 0.05))));
  write("refuse-not-riff", QByteArray("MThd\0\0\0\6", 8) + QByteArray(100, '\1'));
  // Pipes block whoever opens them.
  ::mkfifo(QFile::encodeName(dir.filePath("refuse-fifo.wav")).constData(), 0600);
  ++count;

  // Hostile headers: must not crash, hang or read out of bounds.
  const QByteArray good = Wav({}, 0.02);
  for (int cut = 0; cut <= 60; cut += 3) write(QString("any-cut-at-%1").arg(cut), good.left(cut));
  for (quint16 channels : {0, 3, 8, 9, 255})
    write(QString("any-channels-%1").arg(channels), Wav({1, channels, 22050, 16}, 0.01));
  for (quint16 bits : {0, 1, 4, 12, 20, 48, 64})
    write(QString("any-bits-%1").arg(bits),
          Riff(FmtChunk({1, 1, 22050, bits}) + Chunk("data", QByteArray(256, '\x55'))));
  for (quint16 tag : {0, 2, 3, 6, 7, 0x11, 0x55, 0xfffe})
    write(QString("any-tag-%1").arg(tag),
          Riff(FmtChunk({tag, 1, 22050, 16}) + Chunk("data", QByteArray(512, '\x33'))));
  for (int align : {0, 1, 3, 65535})
    write(QString("any-block-align-%1").arg(align),
          Riff(FmtChunk({1, 1, 22050, 16, align}) + Chunk("data", Samples({}, 0.01))));
  write("any-data-before-fmt", Riff(Chunk("data", Samples({}, 0.01)) + FmtChunk({})));
  write("any-no-data", Riff(FmtChunk({})));
  write("any-huge-data-size", Riff(FmtChunk({}) + Chunk("data", Samples({}, 0.01), 0xfffffff0)));
  write("any-huge-fmt-size", Riff(Chunk("fmt ", FmtChunk({}).mid(8), 0xfffffff0)));
  write("any-odd-data-size", Riff(FmtChunk({1, 1, 22050, 16}) + Chunk("data", QByteArray(33, 7))));

  QTextStream(stdout) << count << " WAV inputs in " << dir.path() << "\n";
  return 0;
}
