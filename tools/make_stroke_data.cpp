// SPDX-License-Identifier: GPL-3.0-or-later
// Converts the character files of hanzi-writer-data (one JSON file per character, named after it)
// into the program's stroke file. Run by the build:
//   make_stroke_data <unpacked package folder> <output file>
#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "writing/stroke_data.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_stroke_data <package folder> <output file>\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  QMap<char32_t, QByteArray> records;
  qint64 source = 0;
  for (const QFileInfo& info : folder.entryInfoList({QStringLiteral("*.json")}, QDir::Files)) {
    const QList<uint> name = info.completeBaseName().toUcs4();
    if (name.size() != 1) continue;  // package.json and the like
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "cannot read %s\n", qPrintable(info.filePath()));
      return 1;
    }
    const QByteArray json = file.readAll();
    source += json.size();
    const QJsonObject character = QJsonDocument::fromJson(json).object();
    QStringList outlines;
    for (const QJsonValue& v : character.value(QLatin1String("strokes")).toArray())
      outlines << v.toString();
    QList<QList<QPointF>> medians;
    for (const QJsonValue& line : character.value(QLatin1String("medians")).toArray()) {
      QList<QPointF> points;
      for (const QJsonValue& p : line.toArray())
        points << QPointF(p.toArray().at(0).toDouble(), p.toArray().at(1).toDouble());
      medians << points;
    }
    QList<int> radical;
    for (const QJsonValue& v : character.value(QLatin1String("radStrokes")).toArray())
      radical << v.toInt(-1);
    QString error;
    const QByteArray record = writing::EncodeCharacter(outlines, medians, radical, &error);
    if (record.isEmpty()) {
      std::fprintf(stderr, "%s: %s\n", qPrintable(info.fileName()), qPrintable(error));
      return 1;
    }
    records.insert(char32_t(name.first()), record);
  }
  if (records.isEmpty()) {
    std::fprintf(stderr, "no character files in %s\n", argv[1]);
    return 1;
  }
  // Reproducible builds fix the date through SOURCE_DATE_EPOCH.
  const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH");
  const QDate when = epoch.isEmpty() ? QDate::currentDate()
                                     : QDateTime::fromSecsSinceEpoch(epoch.toLongLong()).date();
  const QString notice =
      QStringLiteral(
          "Stroke-order data of hanzi-writer-data 2.0.1 (Arphic Public License, ARPHICPL.TXT), "
          "converted on %1 by Tindora's make_stroke_data: each character's SVG outlines and "
          "centre lines and the radical's strokes re-encoded as binary records with whole-number coordinates and "
          "compressed with zlib; no stroke changed.\n")
          .arg(when.toString(Qt::ISODate));
  QString error;
  if (!writing::WriteStrokeFile(QString::fromLocal8Bit(argv[2]), records, notice, &error)) {
    std::fprintf(stderr, "cannot write %s: %s\n", argv[2], qPrintable(error));
    return 1;
  }
  std::printf("%lld characters, %lld bytes of JSON, written to %s\n", qlonglong(records.size()),
              qlonglong(source), argv[2]);
  return 0;
}
