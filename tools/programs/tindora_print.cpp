// SPDX-License-Identifier: GPL-3.0-or-later
// Practice sheets and reports as PDF files, for a school that prepares a week's sheets at once:
//   tindora_print [--sqlite FILE | --odbc CONNECTION [--user U --password P]]
//                 (--sheet CHARS | --chapter N | --due) [--child NAME] --out FILE.pdf
//   tindora_print [...] (--report NAME | --class) [--days N] --out FILE.pdf
// Without a database option the user's own lesson database is read, as the program reads it.
#include <QCoreApplication>
#include <QDate>
#include <QGuiApplication>
#include <QTextStream>

#include "data/lesson_database.h"
#include "printing/print_data.h"
#include "printing/print_pages.h"
#include "writing/stroke_data.h"

namespace {

struct Settings {
  ConnectionSpec spec;
  QString sheet, child, report, out;
  int chapter = 0, days = 30;
  bool due = false, wholeClass = false;
};

QString Usage() {
  return QStringLiteral(
      "usage: tindora_print [--sqlite FILE | --odbc CONNECTION [--user U --password P]]\n"
      "         (--sheet CHARS | --chapter N | --due) [--child NAME] --out FILE.pdf\n"
      "       tindora_print [...] (--report NAME | --class) [--days N] --out FILE.pdf\n");
}

bool Parse(const QStringList& args, Settings* s) {
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--due")) {
      s->due = true;
      continue;
    }
    if (a == QLatin1String("--class")) {
      s->wholeClass = true;
      continue;
    }
    if (i + 1 >= args.size()) return false;
    const QString v = args[++i];
    bool number = true;
    if (a == QLatin1String("--sqlite")) {
      s->spec = {QStringLiteral("QSQLITE"), v, {}, {}, v};
    } else if (a == QLatin1String("--odbc")) {
      s->spec = {QStringLiteral("QODBC"), v, s->spec.user, s->spec.password, v.section(u';', 0, 0)};
    } else if (a == QLatin1String("--user")) {
      s->spec.user = v;
    } else if (a == QLatin1String("--password")) {
      s->spec.password = v;
    } else if (a == QLatin1String("--sheet")) {
      s->sheet = v;
    } else if (a == QLatin1String("--chapter")) {
      s->chapter = v.toInt(&number);
    } else if (a == QLatin1String("--child")) {
      s->child = v;
    } else if (a == QLatin1String("--report")) {
      s->report = v;
    } else if (a == QLatin1String("--days")) {
      s->days = v.toInt(&number);
      number = number && s->days >= 1 && s->days <= 366;
    } else if (a == QLatin1String("--out")) {
      s->out = v;
    } else {
      return false;
    }
    if (!number) return false;
  }
  const int sheets = !s->sheet.isEmpty() + (s->chapter > 0) + s->due;
  const int reports = !s->report.isEmpty() + s->wholeClass;
  return !s->out.isEmpty() && sheets + reports == 1 && (!s->due || !s->child.isEmpty());
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts are read through the window system's font database: no window is opened.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tindora"));
  QTextStream out(stdout), err(stderr);
  Settings s;
  if (!Parse(app.arguments().mid(1), &s)) {
    err << Usage();
    return 2;
  }
  const QString connection = QStringLiteral("print");
  QString error;
  const bool needsDatabase = s.sheet.isEmpty() || !s.child.isEmpty();
  if (needsDatabase) {
    if (s.spec.driver.isEmpty()) s.spec = EmbeddedSpec(EmbeddedDatabasePath());
    if (!OpenConnection(connection, s.spec, &error)) {
      err << "tindora_print: " << s.spec.label << ": " << error << "\n";
      return 1;
    }
  }
  const QDate today = QDate::currentDate();
  int child = 0;
  QString childName;
  if (!s.child.isEmpty() && !printing::FindChild(connection, s.child, &child, &childName, &error)) {
    err << "tindora_print: " << error << "\n";
    return 1;
  }
  bool ok = true;
  std::function<bool(QPagedPaintDevice*)> paint;
  QString title;
  if (!s.report.isEmpty()) {
    printing::ChildReport report;
    ok = printing::FindChild(connection, s.report, &child, &childName, &error) &&
         printing::LoadChildReport(connection, child, childName, s.days, today, &report, &error);
    title = QStringLiteral("%1的学习报告").arg(childName);
    paint = [report](QPagedPaintDevice* d) {
      printing::PaintChildReport(d, report);
      return true;
    };
  } else if (s.wholeClass) {
    QList<printing::ClassRow> rows;
    ok = printing::LoadClassReport(connection, s.days, today, &rows, &error);
    title = QStringLiteral("全班学习情况");
    paint = [rows, title, s, today](QPagedPaintDevice* d) {
      printing::PaintClassReport(d, title, today.addDays(-(s.days - 1)), today, rows);
      return true;
    };
  } else {
    QStringList characters;
    title = QStringLiteral("字帖");
    if (!s.sheet.isEmpty()) {
      characters = printing::SheetCharacters(s.sheet);
      if (characters.isEmpty()) {
        error = QStringLiteral("“%1”里没有汉字，没有字帖可做。").arg(s.sheet);
        ok = false;
      }
    } else if (s.chapter > 0) {
      QString chapter;
      ok = printing::LoadChapterSheet(connection, s.chapter, &characters, &chapter, &error);
      title = QStringLiteral("字帖  ") + chapter;
    } else {
      ok = printing::LoadDueCharacters(connection, child, today, &characters, &error);
      title = QStringLiteral("字帖  今天该复习的字");
      if (ok && characters.isEmpty()) {
        error = QStringLiteral("%1今天没有该复习的字。").arg(childName);
        ok = false;
      }
    }
    writing::StrokeData strokes;
    if (ok && !strokes.Open(writing::StrokeFilePath()))
      err << "tindora_print: " << strokes.Error() << "\n";
    const QList<printing::SheetRow> rows = printing::MakeSheetRows(characters, strokes);
    const printing::SheetHeader header{title, childName, today};
    paint = [rows, header](QPagedPaintDevice* d) { return printing::PaintSheets(d, header, rows); };
  }
  if (ok) ok = printing::WritePdf(s.out, title, paint, &error);
  if (!ok) {
    err << "tindora_print: " << error << "\n";
    return 1;
  }
  out << "已写入: " << s.out << "\n";
  return 0;
}
