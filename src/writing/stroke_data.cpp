// SPDX-License-Identifier: GPL-3.0-or-later
#include "writing/stroke_data.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

#include "platform/install_paths.h"

namespace writing {

namespace {

// File: magic, record count, the length of a text notice, the notice, then per record (code
// point, offset, length), all little-endian 32-bit, sorted by code point; the records follow.
constexpr char kMagic[8] = {'T', 'N', 'D', 'S', 'T', 'R', 'K', '1'};
constexpr qint64 kHeaderSize = 16;
constexpr qint64 kEntrySize = 12;
// No character comes near this unpacked; a larger claim means a damaged record, and must not
// make qUncompress reserve gigabytes.
constexpr quint32 kMaxRecordSize = 256 * 1024;
constexpr qreal kBaseline = 900;

// Outline commands and how many points follow each.
enum Op : quint8 { kMove = 0, kLine = 1, kQuad = 2, kCubic = 3, kClose = 4 };
constexpr int kOpPoints[] = {1, 1, 2, 3, 0};

QString Damaged(const QString& path) {
  return QStringLiteral("笔顺数据文件已损坏：%1，请重新安装本程序")
      .arg(QDir::toNativeSeparators(path));
}

quint32 Le32(const uchar* p) { return qFromLittleEndian<quint32>(p); }

// Reads an unpacked record; false when it runs short or holds an unknown command.
class RecordReader {
 public:
  explicit RecordReader(const QByteArray& data) : m_data(data) {}
  bool Read(CharacterStrokes* strokes) {
    quint8 count = 0;
    if (!Byte(&count)) return false;
    for (int s = 0; s < count; ++s) {
      Stroke stroke;
      quint16 ops = 0;
      if (!Word(&ops)) return false;
      for (int i = 0; i < ops; ++i) {
        quint8 op = 0;
        if (!Byte(&op) || op > kClose) return false;
        QPointF pt[3];
        for (int k = 0; k < kOpPoints[op]; ++k)
          if (!Point(&pt[k])) return false;
        switch (op) {
          case kMove:
            stroke.outline.moveTo(pt[0]);
            break;
          case kLine:
            stroke.outline.lineTo(pt[0]);
            break;
          case kQuad:
            stroke.outline.quadTo(pt[0], pt[1]);
            break;
          case kCubic:
            stroke.outline.cubicTo(pt[0], pt[1], pt[2]);
            break;
          default:
            stroke.outline.closeSubpath();
            break;
        }
      }
      quint8 points = 0;
      // A centre line of one point or none has no way to draw: the record is damaged.
      if (!Byte(&points) || points < 2) return false;
      for (int i = 0; i < points; ++i) {
        QPointF pt;
        if (!Point(&pt)) return false;
        stroke.median << pt;
      }
      strokes->append(stroke);
    }
    // The radical's strokes follow; files made before they were kept end here.
    if (m_at == m_data.size()) return true;
    quint8 radical = 0;
    if (!Byte(&radical)) return false;
    for (int i = 0; i < radical; ++i) {
      quint8 index = 0;
      if (!Byte(&index) || index >= strokes->size()) return false;
      (*strokes)[index].radical = true;
    }
    return m_at == m_data.size();
  }

 private:
  bool Byte(quint8* v) {
    if (m_at + 1 > m_data.size()) return false;
    *v = quint8(m_data[m_at++]);
    return true;
  }
  bool Word(quint16* v) {
    if (m_at + 2 > m_data.size()) return false;
    *v = qFromLittleEndian<quint16>(m_data.constData() + m_at);
    m_at += 2;
    return true;
  }
  bool Point(QPointF* p) {
    quint16 x = 0, y = 0;
    if (!Word(&x) || !Word(&y)) return false;
    *p = QPointF(qint16(x), kBaseline - qint16(y));
    return true;
  }
  const QByteArray& m_data;
  qsizetype m_at = 0;
};

void PutByte(QByteArray& out, int v) { out.append(char(quint8(v))); }
void PutWord(QByteArray& out, quint16 v) {
  PutByte(out, v & 0xff);
  PutByte(out, v >> 8);
}
void Put32(QByteArray& out, quint32 v) {
  PutWord(out, v & 0xffff);
  PutWord(out, v >> 16);
}
bool PutPoint(QByteArray& out, qreal x, qreal y) {
  if (x < -32768 || x > 32767 || y < -32768 || y > 32767) return false;
  PutWord(out, quint16(qint16(qRound(x))));
  PutWord(out, quint16(qint16(qRound(y))));
  return true;
}

bool EncodeOutline(const QString& svg, QByteArray& out) {
  static const QRegularExpression token(QStringLiteral("[MLQCZ]|-?[0-9]+(?:\\.[0-9]+)?"));
  QList<QString> tokens;
  for (auto it = token.globalMatch(svg); it.hasNext();) tokens << it.next().captured();
  QByteArray ops;
  int count = 0;
  for (qsizetype i = 0; i < tokens.size();) {
    const QString& t = tokens[i++];
    const int op = QStringLiteral("MLQCZ").indexOf(t);
    if (op < 0 || t.size() != 1) return false;
    PutByte(ops, op);
    ++count;
    for (int k = 0; k < kOpPoints[op]; ++k) {
      if (i + 2 > tokens.size()) return false;
      bool okX = false, okY = false;
      const qreal x = tokens[i].toDouble(&okX), y = tokens[i + 1].toDouble(&okY);
      i += 2;
      if (!okX || !okY || !PutPoint(ops, x, y)) return false;
    }
  }
  if (count == 0 || count > 0xffff) return false;
  PutWord(out, quint16(count));
  out += ops;
  return true;
}

}  // namespace

QString StrokeFilePath() {
  const QString chosen = qEnvironmentVariable("TINDORA_STROKE_FILE");
  if (!chosen.isEmpty()) return chosen;
  const QString beside = QDir(DataFolder()).filePath(QLatin1String(kStrokeFileName));
  const QString built = QStringLiteral(TINDORA_BUILT_STROKE_FILE);
  return QFileInfo::exists(beside) || built.isEmpty() ? beside : built;
}

bool StrokeData::Open(const QString& path) {
  m_file.close();
  m_map = nullptr;
  m_count = 0;
  m_error.clear();
  m_file.setFileName(path);
  if (!m_file.exists()) {
    m_error = QStringLiteral("没有找到笔顺数据文件：%1，请重新安装本程序")
                  .arg(QDir::toNativeSeparators(path));
    return false;
  }
  m_size = m_file.size();
  const uchar* map = nullptr;
  if (m_file.open(QIODevice::ReadOnly) && m_size >= kHeaderSize) map = m_file.map(0, m_size);
  if (!map || memcmp(map, kMagic, sizeof kMagic) != 0) {
    m_error = Damaged(path);
    m_file.close();
    return false;
  }
  // Every entry is checked once here, so a lookup can trust the index.
  const quint32 count = Le32(map + 8);
  const qint64 indexStart = kHeaderSize + Le32(map + 12);
  const qint64 recordsStart = indexStart + qint64(count) * kEntrySize;
  bool sound = recordsStart <= m_size;
  for (quint32 i = 0; sound && i < count; ++i) {
    const uchar* e = map + indexStart + i * kEntrySize;
    const qint64 offset = Le32(e + 4), length = Le32(e + 8);
    sound = offset >= recordsStart && length >= 4 && offset + length <= m_size &&
            (i == 0 || Le32(e) > Le32(e - kEntrySize));
  }
  if (!sound) {
    m_error = Damaged(path);
    m_file.close();
    return false;
  }
  m_map = map;
  m_index = map + indexStart;
  m_count = int(count);
  return true;
}

std::optional<CharacterStrokes> StrokeData::Find(char32_t c, QString* error) const {
  if (!m_map) return std::nullopt;
  const uchar* first = m_index;
  int low = 0, high = m_count;
  while (low < high) {
    const int mid = (low + high) / 2;
    if (Le32(first + mid * kEntrySize) < c)
      low = mid + 1;
    else
      high = mid;
  }
  if (low == m_count || Le32(first + low * kEntrySize) != c) return std::nullopt;
  const uchar* e = first + low * kEntrySize;
  const uchar* record = m_map + Le32(e + 4);
  const quint32 length = Le32(e + 8);
  CharacterStrokes strokes;
  const quint32 unpackedSize = qFromBigEndian<quint32>(record);  // qCompress's own prefix
  const QByteArray unpacked =
      unpackedSize <= kMaxRecordSize ? qUncompress(record, qsizetype(length)) : QByteArray();
  if (unpacked.isEmpty() || !RecordReader(unpacked).Read(&strokes) || strokes.isEmpty()) {
    if (error) *error = Damaged(m_file.fileName());
    return std::nullopt;
  }
  return strokes;
}

const StrokeData& SharedStrokeData() {
  static StrokeData data;
  static const bool opened = data.Open(StrokeFilePath());
  Q_UNUSED(opened);
  return data;
}

QByteArray EncodeCharacter(const QStringList& outlines, const QList<QList<QPointF>>& medians,
                           const QList<int>& radical, QString* error) {
  QByteArray out;
  if (outlines.isEmpty() || outlines.size() != medians.size() || outlines.size() > 0xff) {
    if (error) *error = QStringLiteral("strokes and centre lines do not match");
    return {};
  }
  PutByte(out, int(outlines.size()));
  for (qsizetype s = 0; s < outlines.size(); ++s) {
    const QList<QPointF>& median = medians[s];
    if (!EncodeOutline(outlines[s], out) || median.size() < 2 || median.size() > 0xff) {
      if (error) *error = QStringLiteral("stroke %1 cannot be read").arg(s + 1);
      return {};
    }
    PutByte(out, int(median.size()));
    for (const QPointF& p : median)
      if (!PutPoint(out, p.x(), p.y())) {
        if (error) *error = QStringLiteral("stroke %1 lies far outside the box").arg(s + 1);
        return {};
      }
  }
  if (radical.size() > 0xff) {
    if (error) *error = QStringLiteral("too many radical strokes");
    return {};
  }
  PutByte(out, int(radical.size()));
  for (const int index : radical) {
    if (index < 0 || index >= outlines.size()) {
      if (error) *error = QStringLiteral("radical stroke %1 does not exist").arg(index + 1);
      return {};
    }
    PutByte(out, index);
  }
  return qCompress(out, 9);
}

bool WriteStrokeFile(const QString& path, const QMap<char32_t, QByteArray>& records,
                     const QString& notice, QString* error) {
  const QByteArray text = notice.toUtf8();
  QByteArray head(kMagic, sizeof kMagic);
  Put32(head, quint32(records.size()));
  Put32(head, quint32(text.size()));
  head += text;
  QByteArray body;
  const qint64 start = head.size() + records.size() * kEntrySize;
  for (auto it = records.begin(); it != records.end(); ++it) {
    Put32(head, quint32(it.key()));
    Put32(head, quint32(start + body.size()));
    Put32(head, quint32(it.value().size()));
    body += it.value();
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(head) != head.size() ||
      file.write(body) != body.size() || !file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace writing
