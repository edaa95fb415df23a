// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/print_pages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>

#include "data/pinyin.h"

namespace printing {

namespace {

// A4 in millimetres; everything is laid out in millimetres and turned into device units here.
constexpr qreal kPageWidth = 210, kPageHeight = 297, kMargin = 12;
const QColor kTrace(200, 200, 200);
const QColor kGridLine(90, 90, 90);
const QColor kCentreLine(150, 150, 150);
const QColor kEarlierStroke(160, 160, 160);

class Page {
 public:
  explicit Page(QPagedPaintDevice* device) : m_device(device), m_painter(device) {
    m_scale = device->width() / kPageWidth;
    m_painter.setRenderHint(QPainter::Antialiasing);
  }
  bool Active() const { return m_painter.isActive(); }
  QPainter& P() { return m_painter; }
  qreal U(qreal mm) const { return mm * m_scale; }
  QRectF R(qreal x, qreal y, qreal w, qreal h) const { return {U(x), U(y), U(w), U(h)}; }
  void Next() { m_device->newPage(); }

  // Text of `sizeMm` high characters in a box, black unless told.
  void Text(const QRectF& mm, const QString& text, qreal sizeMm, int flags = Qt::AlignLeft,
            bool bold = false, const QColor& colour = Qt::black) {
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(qMax(1, qRound(U(sizeMm))));
    f.setBold(bold);
    m_painter.setFont(f);
    m_painter.setPen(colour);
    m_painter.drawText(R(mm.x(), mm.y(), mm.width(), mm.height()), flags | Qt::TextWordWrap, text);
  }

  void Line(qreal x1, qreal y1, qreal x2, qreal y2, qreal widthMm, const QColor& colour,
            Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, U(widthMm), style);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF(U(x1), U(y1)), QPointF(U(x2), U(y2)));
  }

  // A 田字格 cell: the square and its dashed centre lines.
  void Grid(qreal x, qreal y, qreal size) {
    Line(x + size / 2, y, x + size / 2, y + size, 0.15, kCentreLine, Qt::DashLine);
    Line(x, y + size / 2, x + size, y + size / 2, 0.15, kCentreLine, Qt::DashLine);
    m_painter.setPen(QPen(kGridLine, U(0.35)));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(R(x, y, size, size));
  }

  // Fills `path` (in the stroke data's 1024 box) into the cell at x, y.
  void Fill(const QPainterPath& path, qreal x, qreal y, qreal size, const QColor& colour) {
    const qreal inset = size * 0.06;
    QTransform t;
    t.translate(U(x + inset), U(y + inset));
    t.scale(U(size - 2 * inset) / writing::kBoxSize, U(size - 2 * inset) / writing::kBoxSize);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colour);
    m_painter.drawPath(t.map(path));
  }

  // The character's outline from the font, fitted to the cell, for characters without strokes.
  void FontCharacter(const QString& character, qreal x, qreal y, qreal size, const QColor& colour) {
    QFont f(QStringLiteral("Noto Serif CJK SC"));
    f.setPixelSize(1000);
    QPainterPath path;
    path.addText(0, 0, f, character);
    const QRectF box = path.boundingRect();
    if (box.isEmpty()) return;
    const qreal room = U(size) * 0.78, scale = room / qMax(box.width(), box.height());
    QTransform t;
    t.translate(U(x + size / 2), U(y + size / 2));
    t.scale(scale, scale);
    t.translate(-box.center().x(), -box.center().y());
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colour);
    m_painter.drawPath(t.map(path));
  }

 private:
  QPagedPaintDevice* m_device;
  QPainter m_painter;
  qreal m_scale = 1;
};

QPainterPath Outline(const writing::CharacterStrokes& strokes, qsizetype count) {
  QPainterPath all;
  for (qsizetype i = 0; i < count && i < strokes.size(); ++i) all.addPath(strokes[i].outline);
  return all;
}

void PageNumber(Page& page, int number, int count) {
  page.Text({0, kPageHeight - 10, kPageWidth, 6},
            QStringLiteral("第 %1 页，共 %2 页").arg(number).arg(count), 3, Qt::AlignHCenter);
}

QString DayText(const QDate& d) { return d.toString(QStringLiteral("yyyy年M月d日")); }

void SheetRowAt(Page& page, const SheetRow& row, qreal top) {
  const qreal width = kPageWidth - 2 * kMargin;
  const bool outline = row.strokes.isEmpty();
  QString label = row.character + QStringLiteral("  ") + row.pinyin;
  label += outline ? QStringLiteral("    （没有笔顺数据，照字形写）")
                   : QStringLiteral("    笔顺：%1 画").arg(row.strokes.size());
  page.Text({kMargin, top, width, 6}, label, 4.2);
  // The stroke order, built up stroke by stroke: the new stroke black, the earlier ones grey.
  qreal y = top + 6.5;
  if (!outline) {
    const qsizetype n = row.strokes.size();
    const qreal cell = qMin<qreal>(9, width / qreal(n));
    for (qsizetype i = 0; i < n; ++i) {
      const qreal x = kMargin + qreal(i) * cell;
      page.Grid(x, y, cell);
      page.Fill(Outline(row.strokes, i), x, y, cell, kEarlierStroke);
      page.Fill(row.strokes[i].outline, x, y, cell, Qt::black);
    }
  }
  y += 10;
  const qreal cell = width / kCellsPerRow;
  for (int i = 0; i < kCellsPerRow; ++i) {
    const qreal x = kMargin + i * cell;
    page.Grid(x, y, cell);
    if (i > kTraceCells) continue;
    const QColor colour = i == 0 ? QColor(Qt::black) : kTrace;
    if (outline)
      page.FontCharacter(row.character, x, y, cell, colour);
    else
      page.Fill(Outline(row.strokes, row.strokes.size()), x, y, cell, colour);
  }
}

// A bar chart of the minutes per day, in black and grey.
void MinutesChart(Page& page, const QList<int>& minutes, const QDate& from, qreal top,
                  qreal height) {
  const qreal left = kMargin + 10, width = kPageWidth - 2 * kMargin - 10;
  int most = 10;
  for (const int m : minutes) most = qMax(most, m);
  most = (most + 9) / 10 * 10;
  page.Line(left, top, left, top + height, 0.3, Qt::black);
  page.Line(left, top + height, left + width, top + height, 0.3, Qt::black);
  for (int step = 0; step <= 2; ++step) {
    const qreal y = top + height - height * step / 2;
    page.Text({kMargin - 2, y - 2, 11, 4}, QString::number(most * step / 2), 2.8, Qt::AlignRight);
    if (step > 0) page.Line(left, y, left + width, y, 0.1, kCentreLine, Qt::DashLine);
  }
  const qsizetype n = minutes.size();
  if (n == 0) return;
  const qreal slot = width / qreal(n);
  const int labelEvery = n <= 14 ? 1 : 7;
  for (qsizetype i = 0; i < n; ++i) {
    const qreal h = height * minutes[i] / most;
    page.P().setPen(Qt::NoPen);
    page.P().setBrush(QColor(70, 70, 70));
    page.P().drawRect(
        page.R(left + slot * qreal(i) + slot * 0.15, top + height - h, slot * 0.7, h));
    if (i % labelEvery == 0 || i == n - 1)
      page.Text({left + slot * qreal(i) - 5, top + height + 1, slot + 10, 4},
                from.addDays(i).toString(QStringLiteral("M/d")), 2.6, Qt::AlignHCenter);
  }
}

}  // namespace

QStringList SheetCharacters(const QString& text) {
  QStringList out;
  for (const uint c : text.toUcs4()) {
    if (QChar::script(c) != QChar::Script_Han) continue;
    const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
    if (!out.contains(one)) out << one;
  }
  return out;
}

QList<SheetRow> MakeSheetRows(const QStringList& characters, const writing::StrokeData& strokes) {
  QList<SheetRow> rows;
  for (const QString& c : characters) {
    SheetRow row{c, ProposePinyin(c), {}};
    if (strokes.IsOpen())
      if (const auto found = strokes.Find(c.toUcs4().value(0))) row.strokes = *found;
    rows << row;
  }
  return rows;
}

bool PaintSheets(QPagedPaintDevice* device, const SheetHeader& header,
                 const QList<SheetRow>& rows) {
  if (rows.isEmpty()) return false;
  Page page(device);
  if (!page.Active()) return false;
  const int pages = int((rows.size() + kRowsPerPage - 1) / kRowsPerPage);
  const qreal width = kPageWidth - 2 * kMargin, block = (kPageHeight - 26 - 14) / kRowsPerPage;
  for (int p = 0; p < pages; ++p) {
    if (p > 0) page.Next();
    page.Text({kMargin, kMargin - 2, width, 9}, header.title, 6.5, Qt::AlignLeft, true);
    QStringList who;
    if (!header.child.isEmpty()) who << QStringLiteral("姓名：") + header.child;
    who << QStringLiteral("日期：") + DayText(header.date);
    page.Text({kMargin, kMargin, width, 6}, who.join(QStringLiteral("    ")), 3.8, Qt::AlignRight);
    page.Line(kMargin, 22, kPageWidth - kMargin, 22, 0.3, Qt::black);
    for (int i = 0; i < kRowsPerPage; ++i) {
      const qsizetype index = qsizetype(p) * kRowsPerPage + i;
      if (index >= rows.size()) break;
      SheetRowAt(page, rows[index], 26 + i * block);
    }
    PageNumber(page, p + 1, pages);
  }
  return true;
}

void PaintChildReport(QPagedPaintDevice* device, const ChildReport& r) {
  Page page(device);
  if (!page.Active()) return;
  const qreal width = kPageWidth - 2 * kMargin;
  page.Text({kMargin, kMargin, width, 12}, QStringLiteral("%1的学习报告").arg(r.child), 8,
            Qt::AlignHCenter, true);
  page.Text({kMargin, kMargin + 12, width, 6},
            QStringLiteral("%1 至 %2").arg(DayText(r.from), DayText(r.to)), 4, Qt::AlignHCenter);
  qreal y = kMargin + 24;
  const auto heading = [&](const QString& text) {
    page.Text({kMargin, y, width, 7}, text, 5, Qt::AlignLeft, true);
    page.Line(kMargin, y + 7.5, kPageWidth - kMargin, y + 7.5, 0.2, Qt::black);
    y += 10;
  };
  const auto line = [&](const QString& text, qreal height = 7) {
    page.Text({kMargin + 2, y, width - 2, height}, text, 4);
    y += height;
  };
  int total = 0, days = 0;
  for (const int m : r.minutes) {
    total += m;
    days += m > 0;
  }
  heading(QStringLiteral("每天练习的时间（分钟）"));
  line(QStringLiteral("共练习 %1 天，%2 分钟。").arg(days).arg(total));
  MinutesChart(page, r.minutes, r.from, y + 2, 45);
  y += 56;
  heading(QStringLiteral("认识的字"));
  line(QStringLiteral("认识的字 %1 个，学过 %2 个，今天该复习 %3 个。")
           .arg(r.known)
           .arg(r.learned)
           .arg(r.due));
  if (!r.dueItems.isEmpty())
    line(QStringLiteral("该复习的字：") + r.dueItems.mid(0, 60).join(QStringLiteral(" ")) +
             (r.dueItems.size() > 60 ? QStringLiteral(" …") : QString()),
         14);
  heading(QStringLiteral("写字"));
  line(QStringLiteral("写完的字 %1 个，得到星星 %2 颗。").arg(r.written).arg(r.stars));
  if (!r.writing.isEmpty()) line(r.writing, 14);
  heading(QStringLiteral("算数"));
  const auto percent = [](int p) {
    return p < 0 ? QStringLiteral("还没有做过") : QStringLiteral("%1%").arg(p);
  };
  line(QStringLiteral("第一次就答对：加法 %1，减法 %2。")
           .arg(percent(r.firstRightPercent[0]), percent(r.firstRightPercent[1])));
  line(r.mostMissed.isEmpty()
           ? QStringLiteral("没有常错的算式。")
           : QStringLiteral("最常错的算式：") + r.mostMissed.mid(0, 8).join(QStringLiteral("，")));
  PageNumber(page, 1, 1);
}

void PaintClassReport(QPagedPaintDevice* device, const QString& title, const QDate& from,
                      const QDate& to, const QList<ClassRow>& rows) {
  Page page(device);
  if (!page.Active()) return;
  const qreal width = kPageWidth - 2 * kMargin, rowHeight = 7.5;
  const QStringList heads = {QStringLiteral("名字"),     QStringLiteral("练习天数"),
                             QStringLiteral("认过的字"), QStringLiteral("写过的字"),
                             QStringLiteral("听音找字"), QStringLiteral("算数平均分")};
  const QList<qreal> widths = {56, 26, 26, 26, 26, 26};
  const int perPage = int((kPageHeight - kMargin - 40 - 14) / rowHeight);
  const int pages = qMax(1, int((rows.size() + perPage - 1) / perPage));
  for (int p = 0; p < pages; ++p) {
    if (p > 0) page.Next();
    page.Text({kMargin, kMargin, width, 12}, title, 7, Qt::AlignHCenter, true);
    page.Text(
        {kMargin, kMargin + 11, width, 6},
        QStringLiteral("%1 至 %2，共 %3 个小朋友").arg(DayText(from), DayText(to)).arg(rows.size()),
        4, Qt::AlignHCenter);
    qreal y = kMargin + 22;
    const auto cells = [&](const QStringList& texts, bool bold) {
      qreal x = kMargin;
      for (qsizetype i = 0; i < texts.size(); ++i) {
        page.Text({x + 1.5, y + 1.5, widths[i] - 3, rowHeight - 1.5}, texts[i], 3.8,
                  i == 0 ? Qt::AlignLeft : Qt::AlignHCenter, bold);
        x += widths[i];
      }
      page.Line(kMargin, y + rowHeight, kMargin + width, y + rowHeight, bold ? 0.35 : 0.12,
                bold ? QColor(Qt::black) : kCentreLine);
      y += rowHeight;
    };
    cells(heads, true);
    for (int i = p * perPage; i < qMin<qsizetype>(rows.size(), qsizetype(p + 1) * perPage); ++i) {
      const ClassRow& r = rows[i];
      cells({r.name, QString::number(r.days), QString::number(r.opened), QString::number(r.written),
             QString::number(r.listened),
             r.drillScore < 0 ? QStringLiteral("—") : QString::number(r.drillScore)},
            false);
    }
    PageNumber(page, p + 1, pages);
  }
}

bool WritePdf(const QString& path, const QString& title,
              const std::function<bool(QPagedPaintDevice*)>& paint, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error)
      *error = QStringLiteral("无法写入文件“%1”：%2。请换一个文件夹再试。")
                   .arg(path, file.errorString());
    return false;
  }
  bool painted = false;
  {
    QPdfWriter writer(&file);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Tindora"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    painted = paint(&writer);
  }
  if (!painted) {
    file.cancelWriting();
    if (error) *error = QStringLiteral("没有可以打印的内容。");
    return false;
  }
  if (!file.commit()) {
    if (error)
      *error = QStringLiteral("无法写入文件“%1”：%2。请检查磁盘空间后再试。")
                   .arg(path, file.errorString());
    return false;
  }
  return true;
}

}  // namespace printing
