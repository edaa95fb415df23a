// SPDX-License-Identifier: GPL-3.0-or-later
// The stroke order of the characters: one binary file made at build time from the character data
// of hanzi-writer-data (Arphic Public License) — a notice, an index sorted by code point, then
// one compressed record per character. The file is mapped and a record is unpacked only when asked
// for, so opening costs nothing and a lookup a fraction of a millisecond.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QMap>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>

namespace writing {

// Coordinates are those of a 1024 × 1024 box, y downwards (the source's y runs upwards with the
// baseline at 900).
inline constexpr qreal kBoxSize = 1024;

struct Stroke {
  QPainterPath outline;   // the filled shape
  QList<QPointF> median;  // the centre line, in drawing direction, at least two points
  bool radical = false;   // one of the strokes of the character's radical
};
using CharacterStrokes = QList<Stroke>;

// The data file's name, and where the program looks for it (beside the drill sounds).
inline constexpr const char* kStrokeFileName = "hanzi_strokes.dat";
QString StrokeFilePath();

class StrokeData {
 public:
  // False, with Error() in the program's words, when the file is missing or damaged.
  bool Open(const QString& path);
  bool IsOpen() const { return m_map != nullptr; }
  const QString& Error() const { return m_error; }
  int Count() const { return m_count; }

  // The strokes of `c`; nullopt when the file has no record for it. A damaged record also gives
  // nullopt, with the reason in `error`.
  std::optional<CharacterStrokes> Find(char32_t c, QString* error = nullptr) const;

 private:
  QFile m_file;
  const uchar* m_map = nullptr;
  const uchar* m_index = nullptr;
  qint64 m_size = 0;
  int m_count = 0;
  QString m_error;
};

// The program's one copy, opened from StrokeFilePath() on first use.
const StrokeData& SharedStrokeData();

// --- making the file (the converter and the tests) ---

// One character from the source's SVG outline paths (absolute M, L, Q, C, Z), centre lines, in
// source coordinates, and the indexes of its radical's strokes. Empty with `error` set when a
// path or line cannot be read.
QByteArray EncodeCharacter(const QStringList& outlines, const QList<QList<QPointF>>& medians,
                           const QList<int>& radical, QString* error);
// The whole file: a text notice (the data's licence asks each changed file to say how and when it
// was changed), the index and the records, written under a temporary name and renamed.
bool WriteStrokeFile(const QString& path, const QMap<char32_t, QByteArray>& records,
                     const QString& notice, QString* error);

}  // namespace writing
