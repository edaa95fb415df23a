// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/wav_check.h"

#include <QProcess>
#include <QStandardPaths>

namespace testing {

QString WavHeaderFault(const QString& path) {
  static const char kScript[] = R"(
import struct, sys, wave
path = sys.argv[1]
b = open(path, 'rb').read()
w = wave.open(path, 'rb')
frames = w.getnframes()
faults = []
if (w.getnchannels(), w.getsampwidth(), w.getframerate()) != (1, 2, 22050):
    faults.append('format %d x %d bytes at %d Hz' % (w.getnchannels(), w.getsampwidth(), w.getframerate()))
if len(w.readframes(frames)) != 2 * frames:
    faults.append('data size says %d frames, the file holds fewer' % frames)
chunks, at = {}, 12
while at + 8 <= len(b):
    name, size = struct.unpack_from('<4sI', b, at)
    chunks[name] = (at + 8, size)
    at += 8 + size + size % 2
rate, align = struct.unpack_from('<IH', b, chunks[b'fmt '][0] + 8)
if (rate, align) != (44100, 2):
    faults.append('byte rate %d, block align %d' % (rate, align))
if sum(chunks[b'data']) != len(b):
    faults.append('data chunk ends at %d of %d bytes' % (sum(chunks[b'data']), len(b)))
if struct.unpack_from('<I', b, 4)[0] + 8 != len(b):
    faults.append('RIFF size %d for %d bytes' % (struct.unpack_from('<I', b, 4)[0], len(b)))
print('; '.join(faults))
)";
  const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
  if (python.isEmpty()) return QStringLiteral("python3 not found (scripts/tindora.sh installs it)");
  QProcess p;
  p.start(python, {QStringLiteral("-c"), QString::fromLatin1(kScript), path});
  if (!p.waitForFinished(30000) || p.exitCode() != 0)
    return QStringLiteral("python3 could not read %1: %2")
        .arg(path, QString::fromLocal8Bit(p.readAllStandardError()));
  return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

}  // namespace testing
