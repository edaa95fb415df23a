// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/pinyin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <iterator>

namespace {
#include "pinyin_table.inc"
static_assert(std::size(kCodes) == std::size(kReadings));
// Two-character words read otherwise than their characters alone, "银行" -> "yín háng".
// Read once from the data file beside the program (installed or in the build); without it the
// characters' own readings are proposed.
const QHash<QString, QString>& WordReadings() {
  static const QHash<QString, QString> words = [] {
    QHash<QString, QString> read;
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString& path :
         {program.filePath(QStringLiteral("../share/tindora/word_readings.txt")),
          program.filePath(QStringLiteral("word_readings.txt")),
          QStringLiteral(TINDORA_BUILD_WORD_READINGS)}) {
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly)) continue;
      QTextStream lines(&file);
      for (QString line; lines.readLineInto(&line);) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab > 0) read.insert(line.left(tab), line.mid(tab + 1));
      }
      break;
    }
    return read;
  }();
  return words;
}

}  // namespace

QString MandarinReading(char32_t c) {
  const auto* end = std::end(kCodes);
  const auto* at = std::lower_bound(std::begin(kCodes), end, c);
  if (at == end || *at != c) return {};
  return QString::fromUtf8(kSyllables[kReadings[at - std::begin(kCodes)]]);
}

QString ProposePinyin(const QString& text) {
  QStringList readings;
  const QList<uint> codes = text.toUcs4();
  for (qsizetype i = 0; i < codes.size(); ++i) {
    if (i + 1 < codes.size()) {
      const QString word = WordReadings().value(
          QString::fromUcs4(reinterpret_cast<const char32_t*>(codes.constData() + i), 2));
      if (!word.isEmpty()) {
        readings << word;
        ++i;
        continue;
      }
    }
    const QString r = MandarinReading(codes[i]);
    if (!r.isEmpty()) readings << r;
  }
  return readings.join(QLatin1Char(' '));
}
