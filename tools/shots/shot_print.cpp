// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the print window (sheets and reports) on the sample course to PNG files for looking
// at, and writes a sheet of the first chapter as PDF beside them. Argument: output folder.
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>

#include "printing/print_pages.h"
#include "printing/print_window.h"
#include "shot_support.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = ShotFolder(argc, argv);
  SampleDataModule data;
  if (!data.Ok()) return 1;
  TPrintForm form(nullptr);
  form.setAttribute(Qt::WA_DeleteOnClose, false);
  form.show();
  if (!SaveShot(&form, QDir(folder).filePath(QStringLiteral("print_window.png")))) return 1;
  form.TypedEd->setText(QStringLiteral("我你他"));
  form.TypedRb->setChecked(true);
  std::function<bool(QPagedPaintDevice*)> paint;
  QString title, error;
  form.ChapterRb->setChecked(true);
  if (!form.Prepare(&paint, &title, &error) ||
      !printing::WritePdf(QDir(folder).filePath(QStringLiteral("print_chapter.pdf")), title, paint,
                          &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
