// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/record_stats.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace records {

QString ModuleName(Module module) {
  switch (module) {
    case Module::Character:
      return QStringLiteral("识字");
    case Module::Poem:
      return QStringLiteral("学诗");
    case Module::English:
      return QStringLiteral("学英语");
    case Module::Writing:
      return QStringLiteral("写字");
    case Module::Drill:
      break;
  }
  return QStringLiteral("算数");
}

int DayNumber(const QDate& date) { return date.year() * 10000 + date.month() * 100 + date.day(); }

QDate DayDate(int number) { return QDate(number / 10000, number / 100 % 100, number % 100); }

QString EncodeMarks(const QStringList& marks) {
  QString results;
  for (const QString& mark : marks)
    if (!mark.isEmpty()) results += mark == QStringLiteral("√") ? u'1' : u'0';
  return results;
}

DailyPractice PracticePerDay(const QList<DayCount>& counts, const QDate& today, int days) {
  DailyPractice practice;
  const QDate first = today.addDays(1 - days);
  for (int i = 0; i < days; ++i) practice.days << first.addDays(i);
  for (QList<int>& perDay : practice.counts) perDay.fill(0, days);
  for (const DayCount& c : counts) {
    const qint64 i = first.daysTo(DayDate(c.day));
    if (i < 0 || i >= days) continue;
    practice.counts[int(c.module)][int(i)] += c.count;
    practice.total += c.count;
  }
  return practice;
}

namespace {
QHash<QString, int> Totals(const QList<ItemCount>& counts) {
  QHash<QString, int> totals;
  for (const ItemCount& c : counts) totals[c.item] += c.count;
  return totals;
}
}  // namespace

QList<ItemCount> MostPractised(const QList<ItemCount>& counts, const QStringList& chapterItems,
                               int limit) {
  const QHash<QString, int> totals = Totals(counts);
  QList<ItemCount> most;
  for (const QString& item : chapterItems) {
    const int n = totals.value(item);
    // An item listed twice in the chapter is still one item.
    if (n > 0 && std::none_of(most.cbegin(), most.cend(),
                              [&](const ItemCount& c) { return c.item == item; }))
      most.append({item, n});
  }
  std::stable_sort(most.begin(), most.end(),
                   [](const ItemCount& a, const ItemCount& b) { return a.count > b.count; });
  if (most.size() > limit) most.resize(limit);
  return most;
}

QStringList NeverOpened(const QList<ItemCount>& counts, const QStringList& chapterItems) {
  const QHash<QString, int> totals = Totals(counts);
  QStringList never;
  for (const QString& item : chapterItems)
    if (totals.value(item) <= 0 && !never.contains(item)) never << item;
  return never;
}

namespace {
int Percent(int part, int all) { return all == 0 ? -1 : (part * 100 + all / 2) / all; }
}  // namespace

int DrillProgress::RightPercent(int operation) const {
  return Percent(right[operation], right[operation] + shown[operation]);
}

int DrillProgress::FirstRightPercent(int operation) const {
  return Percent(firstRight[operation], firstMet[operation]);
}

QString SumLabel(const QString& sum) {
  const qsizetype at = sum.indexOf(QRegularExpression(QStringLiteral("[+-]")));
  if (at <= 0) return sum;
  return sum.left(at) + u' ' + sum[at] + u' ' + sum.mid(at + 1);
}

namespace {
QList<ScorePoint> DailyAverages(const QList<ScorePoint>& points) {
  QList<ScorePoint> days;
  int sum = 0, n = 0;
  for (qsizetype i = 0; i < points.size(); ++i) {
    sum += points[i].score;
    ++n;
    const QDate day = points[i].at.date();
    if (i + 1 == points.size() || points[i + 1].at.date() != day) {
      days.append({QDateTime(day, QTime(12, 0)), (sum + n / 2) / n});
      sum = n = 0;
    }
  }
  return days;
}
}  // namespace

DrillProgress DrillScores(const QList<DrillSeries>& series, int maxPoints) {
  QList<DrillSeries> ordered = series;
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const DrillSeries& a, const DrillSeries& b) { return a.at < b.at; });
  DrillProgress progress;
  // Entries as the drill writes them; anything else (a row from elsewhere) is not counted.
  static const QRegularExpression entry(QStringLiteral("^(10|[1-9])([+-])(10|[1-9]):([01])$"));
  QHash<QString, int> missed;
  QList<std::pair<int, QString>> order;  // sum order: operation, first, second
  for (const DrillSeries& s : ordered) {
    const int op = s.operation == QStringLiteral("-") ? 1 : 0;
    // A series given up has fewer results: its answers count, its score is not a series' score.
    if (s.results.size() == kDrillSeriesLength) progress.scores[op].append({s.at, s.score});
    const int right = int(s.results.count(u'1'));
    progress.right[op] += right;
    progress.shown[op] += int(s.results.size()) - right;
    for (const QString& e : s.firstAnswers.split(u',', Qt::SkipEmptyParts)) {
      const QRegularExpressionMatch m = entry.match(e);
      if (!m.hasMatch()) continue;
      const int sumOp = m.captured(2) == u"-" ? 1 : 0;
      ++progress.firstMet[sumOp];
      if (m.captured(4) == u"1") {
        ++progress.firstRight[sumOp];
        continue;
      }
      const QString sum = e.left(e.indexOf(u':'));
      if (missed[sum]++ == 0)
        order.append({sumOp * 10000 + m.captured(1).toInt() * 100 + m.captured(3).toInt(), sum});
    }
  }
  std::sort(order.begin(), order.end());
  for (const auto& [key, sum] : order) progress.missedFirst.append({sum, missed.value(sum)});
  std::stable_sort(progress.missedFirst.begin(), progress.missedFirst.end(),
                   [](const ItemCount& a, const ItemCount& b) { return a.count > b.count; });
  for (QList<ScorePoint>& line : progress.scores) {
    if (line.size() <= maxPoints) continue;
    line = DailyAverages(line);
    progress.dailyAverages = true;
  }
  return progress;
}

QString WritingSummary(const WritingTotals& totals, const QList<ItemCount>& misses) {
  QString text;
  if (totals.written > 0 || totals.missed > 0) {
    QStringList which;
    for (const ItemCount& c : misses) which << QStringLiteral("%1 %2 笔").arg(c.item).arg(c.count);
    text = totals.missed <= 0
               ? QStringLiteral("写字 %1 个，一笔也没描错。").arg(totals.written)
               : QStringLiteral("写字 %1 个，描错 %2 笔：%3。")
                     .arg(totals.written)
                     .arg(totals.missed)
                     .arg(which.join(QStringLiteral("、")));
  }
  if (totals.alone + totals.helped > 0)
    text += QStringLiteral("默写 %1 个：自己写出 %2 个，看了提示 %3 个。")
                .arg(totals.alone + totals.helped)
                .arg(totals.alone)
                .arg(totals.helped);
  return text;
}

QList<int> MinutesPerDay(const QList<QDateTime>& times, const QDate& today, int days) {
  QList<qint64> seconds(qMax(0, days), 0);
  const QDate first = today.addDays(-(days - 1));
  for (qsizetype i = 0; i < times.size(); ++i) {
    const QDate day = times[i].date();
    const qint64 index = first.daysTo(day);
    if (index < 0 || index >= days) continue;
    const bool next = i + 1 < times.size() && times[i + 1].date() == day;
    const qint64 gap = next ? times[i].secsTo(times[i + 1]) : -1;
    seconds[index] += gap >= 0 && gap <= kMinutesGap * 60 ? gap : 60;
  }
  QList<int> minutes;
  for (const qint64 s : seconds) minutes << int((s + 30) / 60);
  return minutes;
}

}  // namespace records
