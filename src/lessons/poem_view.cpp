// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/poem_view.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/shared_routines.h"
#include "data/pinyin.h"

namespace {

const QColor kPanel(155, 234, 179);
const QColor kLit(255, 236, 140);
const QColor kReading(20, 60, 160);
constexpr int kLargestPx = 48, kSmallestPx = 16;

int ReadingPx(int characterPx) { return qMax(10, characterPx * 2 / 5); }

}  // namespace

TPoemView::TPoemView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PoemView"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kPanel);
  setPalette(pal);
  setCursor(Qt::PointingHandCursor);
}

void TPoemView::SetPoem(const QString& title, const QString& text) {
  m_lines.clear();
  m_lit = -1;
  QStringList lines{title};
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const QString trimmed = line.trimmed();
    if (!trimmed.isEmpty()) lines << trimmed;
  }
  for (const QString& line : lines) {
    Line l;
    const QStringList readings = CharacterReadings(line);
    const QList<uint> codes = line.toUcs4();
    for (qsizetype i = 0; i < codes.size(); ++i)
      l.cells << Cell{QString::fromUcs4(reinterpret_cast<const char32_t*>(&codes[i]), 1),
                      readings.value(i),
                      {}};
    m_lines << l;
  }
  Layout();
  update();
}

void TPoemView::SetPinyinShown(bool shown) {
  m_pinyin = shown;
  Layout();
  update();
}

void TPoemView::SetRoom(int height) {
  m_room = height;
  Layout();
  update();
}

void TPoemView::SetLitLine(int line) {
  if (line == m_lit) return;
  m_lit = line;
  update();
}

QList<int> TPoemView::Syllables() const {
  QList<int> counts;
  for (const Line& l : m_lines)
    counts << int(std::count_if(l.cells.begin(), l.cells.end(),
                                [](const Cell& c) { return !c.reading.isEmpty(); }));
  return counts;
}

QString TPoemView::CharacterAt(const QPoint& point) const {
  for (const Line& l : m_lines)
    for (const Cell& c : l.cells)
      if (!c.reading.isEmpty() && c.rect.adjusted(0, -c.rect.height() / 2, 0, 0).contains(point))
        return c.text;
  return {};
}

QRect TPoemView::CellRect(int line, int index) const {
  return m_lines.value(line).cells.value(index).rect;
}

QString TPoemView::ReadingAt(int line, int index) const {
  return m_lines.value(line).cells.value(index).reading;
}

void TPoemView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Layout();
}

// The largest characters at which every line fits the width, wrapped only after a phrase's sign
// ("，" "。"), and all the lines the height.
void TPoemView::Layout() {
  const int width = qMax(1, this->width() - 16);
  const int height = qMax(1, (m_room > 0 ? m_room : this->height()) - 12);
  static const QString kBreaks = QStringLiteral("，。？！；、,.?!;");
  for (int px = kLargestPx; px >= kSmallestPx; px -= 2) {
    const QFontMetrics readingMetrics(SongFont(ReadingPx(px)));
    int cell = px + px / 6;
    for (const Line& l : m_lines)
      for (const Cell& c : l.cells)
        if (m_pinyin) cell = qMax(cell, readingMetrics.horizontalAdvance(c.reading) + 4);
    const int readingHeight = m_pinyin ? readingMetrics.height() : 0;
    const int rowHeight = readingHeight + px + px / 4;
    const int perRow = qMax(1, width / cell);
    bool fits = true;
    int y = 6;
    for (Line& l : m_lines) {
      // Rows of whole phrases: [first cell, end) each.
      QList<std::pair<qsizetype, qsizetype>> rows;
      qsizetype rowStart = 0, phraseStart = 0;
      for (qsizetype i = 0; i < l.cells.size(); ++i) {
        const bool phraseEnds = kBreaks.contains(l.cells[i].text) || i + 1 == l.cells.size();
        if (!phraseEnds) continue;
        if (i + 1 - rowStart > perRow && phraseStart > rowStart) {
          rows << std::pair{rowStart, phraseStart};
          rowStart = phraseStart;
        }
        phraseStart = i + 1;
      }
      if (rowStart < l.cells.size() || rows.isEmpty()) rows << std::pair{rowStart, l.cells.size()};
      l.rect = QRect(8, y, width, int(rows.size()) * rowHeight);
      for (qsizetype r = 0; r < rows.size(); ++r) {
        const auto [from, to] = rows[r];
        if (to - from > perRow) fits = false;  // a phrase longer than a row: smaller characters
        const int left = 8 + (width - int(to - from) * cell) / 2;
        for (qsizetype i = from; i < to; ++i)
          l.cells[i].rect = QRect(left + int(i - from) * cell,
                                  y + int(r) * rowHeight + readingHeight, cell, px + px / 6);
      }
      y += l.rect.height() + px / 5;
    }
    m_characterPx = px;
    // Too long even at the smallest size: as tall as it is, for the scroll area.
    setMinimumHeight(m_room > 0 && y + 6 > m_room ? y + 6 : 0);
    if (y <= height && fits) break;
  }
}

void TPoemView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int px = m_characterPx;
  for (int i = 0; i < m_lines.size(); ++i) {
    const Line& l = m_lines[i];
    if (i == m_lit) {
      p.setPen(Qt::NoPen);
      p.setBrush(kLit);
      p.drawRoundedRect(l.rect.adjusted(-4, -2, 4, 2), 10, 10);
    }
    for (const Cell& c : l.cells) {
      if (m_pinyin && !c.reading.isEmpty()) {
        p.setFont(SongFont(ReadingPx(px)));
        p.setPen(kReading);
        const QRect above(c.rect.left() - 8, c.rect.top() - QFontMetrics(p.font()).height(),
                          c.rect.width() + 16, QFontMetrics(p.font()).height());
        p.drawText(above, Qt::AlignHCenter | Qt::AlignBottom, c.reading);
      }
      p.setFont(SongFont(i == 0 ? px : (i == 1 ? px * 3 / 4 : px), i == 0));
      p.setPen(Qt::black);
      p.drawText(c.rect, Qt::AlignCenter, c.text);
    }
  }
}

void TPoemView::mousePressEvent(QMouseEvent* event) {
  const QString character = CharacterAt(event->position().toPoint());
  if (!character.isEmpty()) Q_EMIT characterTouched(character);
  QWidget::mousePressEvent(event);
}

QList<double> LineStarts(const platform::Samples& samples, int rate, const QList<int>& syllables) {
  const int frame = qMax(1, rate / 50);  // 20 ms
  const qsizetype frames = qsizetype(samples.size()) / frame;
  QList<double> level(frames, 0);
  double peak = 0;
  for (qsizetype f = 0; f < frames; ++f) {
    double sum = 0;
    for (int i = 0; i < frame; ++i)
      sum += double(samples[size_t(f * frame + i)]) * samples[size_t(f * frame + i)];
    level[f] = std::sqrt(sum / frame);
    peak = qMax(peak, level[f]);
  }
  const int lines = int(syllables.size());
  if (peak < 100 || lines == 0) return {};
  const double quiet = qMax(peak * 0.08, 150.0);
  qsizetype first = 0, last = frames - 1;
  while (first < frames && level[first] <= quiet) ++first;
  while (last > first && level[last] <= quiet) --last;
  const double seconds = double(frame) / rate;
  // Quiet stretches of 120 ms or more inside the sound: the pauses between lines are the longest.
  struct Gap {
    qsizetype from, to;
  };
  QList<Gap> gaps;
  for (qsizetype f = first; f <= last;) {
    if (level[f] > quiet) {
      ++f;
      continue;
    }
    const qsizetype from = f;
    while (f <= last && level[f] <= quiet) ++f;
    if (f - from >= 6) gaps << Gap{from, f};
  }
  QList<double> starts{double(first) * seconds};
  if (gaps.size() >= lines - 1) {
    std::stable_sort(gaps.begin(), gaps.end(),
                     [](const Gap& a, const Gap& b) { return a.to - a.from > b.to - b.from; });
    gaps.resize(lines - 1);
    std::sort(gaps.begin(), gaps.end(), [](const Gap& a, const Gap& b) { return a.from < b.from; });
    for (const Gap& g : gaps) starts << double(g.to) * seconds;
    return starts;
  }
  // Too few pauses: the voiced time shared by the lines' syllables.
  int total = 0;
  for (const int s : syllables) total += qMax(1, s);
  const double span = double(last + 1 - first) * seconds;
  int before = 0;
  for (int i = 0; i + 1 < lines; ++i) {
    before += qMax(1, syllables[i]);
    starts << starts.first() + span * before / total;
  }
  return starts;
}
