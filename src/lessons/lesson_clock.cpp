#include "lessons/lesson_clock.h"

QString LessonChapterText(const QString& chapter) {
  return QStringLiteral("  现在章节:") + chapter;
}

QString LessonClockText(const QDateTime& now) {
  // Qt counts Monday as 1 and Sunday as 7; the day names start on Sunday.
  static const QString days = QStringLiteral("日一二三四五六");
  const QDate date = now.date();
  return QStringLiteral("当前时间:  ") + date.toString(QStringLiteral("yyyy年MM月dd日")) +
         QStringLiteral("  ") + now.time().toString(QStringLiteral("HH:mm:ss")) +
         QStringLiteral("    星期") + days.at(date.dayOfWeek() % 7);
}
