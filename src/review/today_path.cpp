// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/today_path.h"

#include <QtGlobal>

namespace review {

bool IsPoemDay(const QDate& day) {
  return day.dayOfWeek() == Qt::Wednesday || day.dayOfWeek() == Qt::Saturday;
}

QString StepTitle(StepKind kind) {
  switch (kind) {
    case StepKind::NewCharacters: return QStringLiteral("认新字");
    case StepKind::Listening: return QStringLiteral("听音找字");
    case StepKind::Writing: return QStringLiteral("写一个字");
    case StepKind::Reviews: return QStringLiteral("复习");
    case StepKind::PoemLine: return QStringLiteral("念一句诗");
  }
  return {};
}

QList<PathStep> PlanPath(const PathCourse& course, const PathChild& child, const QDate& today) {
  QList<PathStep> steps;
  const bool tooManyDue = child.due.size() > kMostDueForNew;
  if (!tooManyDue) {
    const int count = qBound(kFewestNew, child.newPerDay, kMostNew);
    const int chapters = int(qMin(course.chapters.size(), course.chapterItems.size()));
    for (int ch = qMax(0, child.startChapter); ch < chapters; ++ch) {
      QStringList fresh;
      for (const QString& item : course.chapterItems[ch])
        if (!child.met.contains(item) && !fresh.contains(item) && fresh.size() < count)
          fresh << item;
      if (fresh.isEmpty()) continue;
      steps.append({StepKind::NewCharacters, fresh, course.chapters[ch]});
      // One character alone is no game: there would be nothing to tell it from.
      if (fresh.size() > 1) steps.append({StepKind::Listening, fresh, course.chapters[ch]});
      // A word is written one character after the other: its first one is the step.
      const QList<uint> first = fresh.first().toUcs4();
      const char32_t c = first.isEmpty() ? U' ' : char32_t(first.first());
      steps.append({StepKind::Writing, {QString::fromUcs4(&c, 1)}, course.chapters[ch]});
      break;
    }
  }
  if (!child.due.isEmpty()) steps.append({StepKind::Reviews, child.due, QString()});
  if (!tooManyDue && IsPoemDay(today)) {
    // The poems in turn, one line a poem day: the weeks since the epoch pick the poem and the
    // line within it, so each poem day brings the next line.
    QList<QPair<int, int>> lines;
    for (int p = 0; p < qMin(course.poemTitles.size(), course.poemLines.size()); ++p)
      for (int l = 0; l < course.poemLines[p].size(); ++l)
        if (!course.poemLines[p][l].trimmed().isEmpty()) lines.append({p, l});
    if (!lines.isEmpty()) {
      const qint64 poemDay = (today.toJulianDay() / 7) * 2 + (today.dayOfWeek() == Qt::Saturday);
      const auto [p, l] = lines[int(poemDay % lines.size())];
      steps.append({StepKind::PoemLine, {course.poemTitles[p], course.poemLines[p][l].trimmed()},
                    QString()});
    }
  }
  return steps;
}

}  // namespace review
