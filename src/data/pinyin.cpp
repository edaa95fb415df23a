// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/pinyin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
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

// Readings of words in the classic poems that the everyday word list reads otherwise or lacks:
// a short list by hand, checked against how the poems are taught.
const QHash<QString, QString>& PoemReadings() {
  static const QHash<QString, QString> words = {
      {QStringLiteral("朝辞"), QStringLiteral("zhāo cí")},
      {QStringLiteral("日还"), QStringLiteral("rì huán")},
      {QStringLiteral("重山"), QStringLiteral("chóng shān")},
      {QStringLiteral("还来就菊花"), QStringLiteral("huán lái jiù jú huā")},
      {QStringLiteral("少小离家"), QStringLiteral("shào xiǎo lí jiā")},
      {QStringLiteral("一行白鹭"), QStringLiteral("yī háng bái lù")},
      {QStringLiteral("曲项"), QStringLiteral("qū xiàng")},
      {QStringLiteral("重阳"), QStringLiteral("chóng yáng")},
      {QStringLiteral("地上霜"), QStringLiteral("dì shàng shuāng")},
      {QStringLiteral("为异客"), QStringLiteral("wéi yì kè")},
      {QStringLiteral("谁言寸草心"), QStringLiteral("shuí yán cùn cǎo xīn")},
  };
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

QStringList CharacterReadings(const QString& text) {
  const QList<uint> codes = text.toUcs4();
  QStringList readings;
  const auto word = [&](qsizetype at, qsizetype length) -> QString {
    if (at + length > codes.size()) return {};
    const QString w =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(codes.constData() + at), length);
    const QString poem = PoemReadings().value(w);
    return poem.isEmpty() && length == 2 ? WordReadings().value(w) : poem;
  };
  for (qsizetype i = 0; i < codes.size();) {
    // The longest word known from here, poems' first.
    qsizetype length = 0;
    QString reading;
    for (qsizetype l = 5; l >= 2 && reading.isEmpty(); --l)
      if (!(reading = word(i, l)).isEmpty()) length = l;
    const QStringList parts = reading.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (length > 0 && parts.size() == length) {
      readings << parts;
      i += length;
      continue;
    }
    readings << (QChar::script(codes[i]) == QChar::Script_Han ? MandarinReading(codes[i]) : QString());
    ++i;
  }
  return readings;
}

QString LinePinyin(const QString& text) {
  QStringList lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    QStringList readings = CharacterReadings(line);
    readings.removeAll(QString());
    lines << readings.join(QLatin1Char(' '));
  }
  return lines.join(QLatin1Char('\n'));
}

QString PinyinSortKey(const QString& name) {
  static const QRegularExpression marks(QStringLiteral("\\p{Mn}"));
  return ProposePinyin(name).normalized(QString::NormalizationForm_D).remove(marks).toLower() +
         QLatin1Char('\x01') + name;
}
