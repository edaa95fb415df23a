// SPDX-License-Identifier: GPL-3.0-or-later
// What this process holds: all that is resident, and the program's own part of it (heap, stacks:
// anonymous pages). The rest are pages of files, fonts and libraries, which other programs share
// and which the system takes back whenever it needs the room.
#pragma once

#include <QFile>

struct ProcessMemory {
  double residentMb = -1;
  double ownMb = -1;
};

inline ProcessMemory MemoryNow() {
  ProcessMemory m;
  QFile f(QStringLiteral("/proc/self/smaps_rollup"));
  if (!f.open(QIODevice::ReadOnly)) return m;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const QList<QByteArray> words = line.simplified().split(' ');
    if (words.size() < 2) continue;
    const double mb = words[1].toDouble() / 1024;
    if (words[0] == "Rss:") m.residentMb = mb;
    if (words[0] == "Anonymous:") m.ownMb = mb;
  }
  return m;
}
