// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/lesson_clock.h"

namespace {

// A clock on a child's screen has no use for "UTC": drop the format's time-zone part.
QString LongTimeFormatWithoutZone(const QLocale& locale) {
  const QString format = locale.timeFormat(QLocale::LongFormat);
  QString out;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('t')) continue;
    out += c;
  }
  return out.simplified();
}

}  // namespace

QString LessonChapterText(const QString& chapter) {
  return QStringLiteral("  现在章节:") + chapter;
}

QString LessonClockText(const QDateTime& now, const QLocale& locale) {
  // Qt counts Monday as 1 and Sunday as 7; the day names start on Sunday.
  static const QString days = QStringLiteral("日一二三四五六");
  const QDate date = now.date();
  const QString dateText = QStringLiteral("%1年%2月%3日")
                               .arg(date.year(), 4, 10, QLatin1Char('0'))
                               .arg(date.month(), 2, 10, QLatin1Char('0'))
                               .arg(date.day(), 2, 10, QLatin1Char('0'));
  return QStringLiteral("当前时间:  ") + dateText + QStringLiteral("  ") +
         locale.toString(now.time(), LongTimeFormatWithoutZone(locale)) +
         QStringLiteral("    星期") + days.at(date.dayOfWeek() % 7);
}
