// SPDX-License-Identifier: GPL-3.0-or-later
// Build steps' reader of Unicode CLDR's emoji annotations (annotations/<language>.xml) and of
// emoji-test.txt, shared by the starter course and the pictures' table.
#pragma once

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>

namespace cldr {

struct Annotation {
  QString tts;          // the speech name: "猫", "red apple"
  QStringList keywords;  // "宠物 | 猫" split
};

inline QString Unescape(QString s) {
  s.replace(QLatin1String("&amp;"), QLatin1String("&"));
  s.replace(QLatin1String("&quot;"), QLatin1String("\""));
  s.replace(QLatin1String("&apos;"), QLatin1String("'"));
  return s;
}

// Keyed by the emoji without U+FE0F, as CLDR writes them; empty when the file cannot be read.
inline QHash<QString, Annotation> ReadAnnotations(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return {};
  static const QRegularExpression entry(QStringLiteral(
      "<annotation cp=\"([^\"]+)\"( type=\"tts\")?>([^<]+)</annotation>"));
  QHash<QString, Annotation> result;
  const QString text = QString::fromUtf8(f.readAll());
  for (auto m = entry.globalMatch(text); m.hasNext();) {
    const auto match = m.next();
    Annotation& a = result[match.captured(1)];
    const QString value = Unescape(match.captured(3)).trimmed();
    if (!match.captured(2).isEmpty()) {
      a.tts = value;
    } else {
      for (const QString& k : value.split(u'|', Qt::SkipEmptyParts)) a.keywords << k.trimmed();
    }
  }
  return result;
}

struct Emoji {
  QString qualified;  // as drawn, with its U+FE0F
  QString bare;       // as CLDR's annotations key it
  QString group;      // "Animals & Nature"
};

// The fully-qualified emoji of emoji-test.txt in its order; empty when it cannot be read.
inline QVector<Emoji> ReadEmojiTest(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return {};
  static const QRegularExpression line(QStringLiteral("^([0-9A-F ]+);\\s+fully-qualified\\s"));
  QVector<Emoji> result;
  QString group;
  for (const QString& l : QString::fromUtf8(f.readAll()).split(u'\n')) {
    if (l.startsWith(QLatin1String("# group: "))) group = l.mid(9).trimmed();
    const auto m = line.match(l);
    if (!m.hasMatch()) continue;
    Emoji e;
    e.group = group;
    for (const QString& hex : m.captured(1).split(u' ', Qt::SkipEmptyParts)) {
      const char32_t c = hex.toUInt(nullptr, 16);
      e.qualified += QString::fromUcs4(&c, 1);
      if (c != 0xFE0F) e.bare += QString::fromUcs4(&c, 1);
    }
    result << e;
  }
  return result;
}

}  // namespace cldr
