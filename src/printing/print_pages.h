// SPDX-License-Identifier: GPL-3.0-or-later
// What goes on paper: practice sheets (字帖) in 田字格 and one-page reports, painted on any paged
// device, so the same code makes a PDF (QPdfWriter), feeds a printer, or is read back by a test.
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "writing/stroke_data.h"

class QPagedPaintDevice;

namespace printing {

// One character's rows on a sheet. Without stroke data the character is drawn from the font.
struct SheetRow {
  QString character;
  QString pinyin;
  writing::CharacterStrokes strokes;  // empty: no stroke data
};
struct SheetHeader {
  QString title;  // "字帖" or the chapter's name
  QString child;  // may be empty
  QDate date;
};
inline constexpr int kRowsPerPage = 6;
// The cells of a row: the model in black, copies in grey to trace, then empty ones.
inline constexpr int kCellsPerRow = 7;
inline constexpr int kTraceCells = 3;

// The Han characters of `text`, each once, in order.
QStringList SheetCharacters(const QString& text);
// Rows for `characters`, with their pinyin and their strokes from `strokes` (when open).
QList<SheetRow> MakeSheetRows(const QStringList& characters, const writing::StrokeData& strokes);
// Paints the sheet on `device`, kRowsPerPage rows a page; false when there is nothing to print.
bool PaintSheets(QPagedPaintDevice* device, const SheetHeader& header, const QList<SheetRow>& rows);

// A child's page for the days up to `to`.
struct ChildReport {
  QString child;
  QDate from, to;
  QList<int> minutes;  // one per day from `from` to `to`
  int known = 0, learned = 0, due = 0;
  QStringList dueItems;
  QString writing;  // the record's summary of the writing screen
  int written = 0, stars = 0;
  int firstRightPercent[2] = {-1, -1};  // drill: addition, subtraction; -1 without exercises
  QStringList mostMissed;               // drill sums, most missed first
};
void PaintChildReport(QPagedPaintDevice* device, const ChildReport& report);

// The class at a glance: a row per child, in the order given.
struct ClassRow {
  QString name;
  int days = 0, opened = 0, written = 0, listened = 0;
  int drillScore = -1;
};
void PaintClassReport(QPagedPaintDevice* device, const QString& title, const QDate& from,
                      const QDate& to, const QList<ClassRow>& rows);

// Writes an A4 PDF at `path` with `paint`; false with the reason in Chinese.
bool WritePdf(const QString& path, const QString& title,
              const std::function<bool(QPagedPaintDevice*)>& paint, QString* error);

}  // namespace printing
