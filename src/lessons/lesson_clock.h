// SPDX-License-Identifier: GPL-3.0-or-later
// Status-bar texts shared by the lesson screens: the current chapter and the date-and-time clock.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// "  现在章节:" followed by the chapter name (alone when there is no chapter).
QString LessonChapterText(const QString& chapter);

// "当前时间:  2024年03月05日  14:07:09    星期二": the date, the time in the locale's long time
// format without its time-zone part, and the day of the week.
QString LessonClockText(const QDateTime& now, const QLocale& locale = QLocale::system());
