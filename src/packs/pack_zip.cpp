// SPDX-License-Identifier: GPL-3.0-or-later
#include "packs/pack_zip.h"

#include <quazip.h>
#include <quazipfile.h>

#include <QFileInfo>
#include <algorithm>

#include "platform/plain_text.h"

namespace packs {

QString DamagedMessage(const QString& file) {
  return QStringLiteral("课程包“%1”已损坏，无法读取。").arg(QFileInfo(file).fileName());
}

QString TooLargeMessage() {
  return QStringLiteral("课程包解压后过大，可能是恶意文件，已拒绝导入。");
}

bool WithoutComment::Open(const QString& file) {
  m_file.setFileName(file);
  if (!m_file.open(QIODevice::ReadOnly)) return false;
  const qint64 size = m_file.size();
  const qint64 span = std::min<qint64>(size, kEndRecord + 0xFFFF);
  if (!m_file.seek(size - span)) return false;
  const QByteArray tail = m_file.read(span);
  for (qint64 at = tail.size() - kEndRecord; at >= 0; --at) {
    if (tail.mid(at, 4) != QByteArrayLiteral("PK\x05\x06")) continue;
    const qint64 comment = uchar(tail[at + 20]) | uchar(tail[at + 21]) << 8;
    if (at + kEndRecord + comment != tail.size()) continue;
    m_end = size - span + at + kEndRecord;
    return QIODevice::open(QIODevice::ReadOnly);
  }
  return false;
}

qint64 WithoutComment::readData(char* data, qint64 max) {
  const qint64 at = pos();
  const qint64 n = std::min(max, m_end - at);
  if (n <= 0) return 0;
  if (!m_file.seek(at)) return -1;
  const qint64 got = m_file.read(data, n);
  for (qint64 i = std::max<qint64>(0, m_end - 2 - at); i < got; ++i) data[i] = 0;
  return got;
}

bool SafeEntryName(const QString& name) {
  if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
      name.contains(QChar(0)) || (name.size() > 1 && name[1] == QLatin1Char(':')))
    return false;
  for (const QString& part : name.split(QLatin1Char('/')))
    if (part == QLatin1String("..")) return false;
  return true;
}

// Checks what the central directory says about an entry; empty when acceptable.
QString CheckEntry(const QuaZipFileInfo64& info, const PackLimits& limits) {
  if (!SafeEntryName(info.name))
    return QStringLiteral("课程包中含有不安全的文件路径%1，已拒绝导入。")
        .arg(platform::Quoted(info.name));
  const quint32 mode = info.externalAttr >> 16;
  if ((mode & 0170000) == 0120000)
    return QStringLiteral("课程包中含有链接%1，已拒绝导入。").arg(platform::Quoted(info.name));
  const qint64 size = static_cast<qint64>(info.uncompressedSize);
  const qint64 packed = std::max<qint64>(1, static_cast<qint64>(info.compressedSize));
  if (size > limits.maxEntryBytes || (size > limits.ratioFloor && size / packed > limits.maxRatio))
    return TooLargeMessage();
  return {};
}

// Unpacks the zip's current entry into `out`, counting the bytes really produced: the declared
// size may lie. `budget` is what all entries together may still produce.
Unpacked UnpackCurrent(QuaZip& zip, qint64 declared, QIODevice& out, qint64* budget,
                       QByteArray* head) {
  QuaZipFile in(&zip);
  if (!in.open(QIODevice::ReadOnly)) return Unpacked::Damaged;
  static constexpr qint64 kChunk = 64 * 1024;
  QByteArray buffer(kChunk, Qt::Uninitialized);
  qint64 got = 0;
  for (;;) {
    const qint64 n = in.read(buffer.data(), kChunk);
    if (n < 0) return Unpacked::Damaged;
    if (n == 0) break;
    got += n;
    *budget -= n;
    if (got > declared || *budget < 0) return Unpacked::TooLarge;
    if (head && head->size() < 12)
      head->append(buffer.constData(), std::min<qint64>(n, 12 - head->size()));
    if (out.write(buffer.constData(), n) != n) return Unpacked::WriteFailed;
  }
  in.close();
  return in.getZipError() == UNZ_OK && got == declared ? Unpacked::Ok : Unpacked::Damaged;
}

}  // namespace packs
