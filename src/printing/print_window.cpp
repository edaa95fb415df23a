// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/print_window.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QStandardPaths>
#include <QToolButton>

#include "app/current_child.h"
#include "app/shared_routines.h"
#include "data/children.h"
#include "data/data_module.h"
#include "data/record_store.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/logging.h"
#include "printing/print_data.h"
#include "printing/print_pages.h"

namespace {

QToolButton* Button(QWidget* parent, const QString& text) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setFocusPolicy(Qt::NoFocus);
  b->setFont(SongFont(15, true));
  b->setMinimumSize(96, 36);
  b->setStyleSheet(
      QStringLiteral("QToolButton { border: 1px solid rgb(200, 160, 60); border-radius: 6px;"
                     " background: rgb(255, 246, 214); color: rgb(120, 70, 0); padding: 2px 10px; }"
                     "QToolButton:hover { border-color: rgb(230, 120, 0); }"
                     "QToolButton:disabled { color: rgb(170, 150, 120); }"));
  return b;
}

QLabel* Heading(QWidget* parent, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setFont(SongFont(17, true));
  l->setStyleSheet(QStringLiteral("color: rgb(150, 60, 0);"));
  return l;
}

}  // namespace

TPrintForm::TPrintForm(QWidget* owner)
    : QDialog(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("TPrintForm"));
  setWindowTitle(QStringLiteral("打印字帖和报告"));
  setAttribute(Qt::WA_DeleteOnClose);
  setStyleSheet(QStringLiteral("QDialog { background: rgb(255, 251, 235); }"));
  const QString child = CurrentChild().name;
  const QString connection = dm ? dm->ConnectionName() : QString();

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(24, 18, 24, 18);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(10);
  m_choice = new QButtonGroup(this);
  const auto radio = [this](const QString& text) {
    auto* r = new QRadioButton(text, this);
    r->setFont(SongFont(15));
    m_choice->addButton(r);
    return r;
  };
  grid->addWidget(Heading(this, QStringLiteral("字帖（田字格，描红和笔顺）")), 0, 0, 1, 2);
  ChapterRb = radio(QStringLiteral("这一章的字："));
  ChapterCb = new QComboBox(this);
  ChapterCb->setFont(SongFont(15));
  QStringList chapters;
  QString error;
  if (!connection.isEmpty() && !records::LoadCharacterChapters(connection, &chapters, &error))
    qCWarning(lcDb) << "print: chapters not read:" << error;
  for (int i = 0; i < chapters.size(); ++i) ChapterCb->addItem(chapters[i], i + 1);
  const int shown =
      int(chapters.indexOf(owner ? owner->property("chapter").toString() : QString()));
  ChapterCb->setCurrentIndex(qMax(0, shown));
  grid->addWidget(ChapterRb, 1, 0);
  grid->addWidget(ChapterCb, 1, 1);
  DueRb = radio(child.isEmpty() ? QStringLiteral("今天该复习的字")
                                : QStringLiteral("%1今天该复习的字").arg(child));
  grid->addWidget(DueRb, 2, 0, 1, 2);
  TypedRb = radio(QStringLiteral("这些字："));
  TypedEd = new QLineEdit(this);
  TypedEd->setFont(SongFont(17));
  TypedEd->setPlaceholderText(QStringLiteral("输入要练的字，如：我你他"));
  TypedEd->setMaxLength(200);
  grid->addWidget(TypedRb, 3, 0);
  grid->addWidget(TypedEd, 3, 1);
  connect(TypedEd, &QLineEdit::textEdited, TypedRb, [this] { TypedRb->setChecked(true); });

  grid->addWidget(Heading(this, QStringLiteral("学习报告")), 4, 0, 1, 2);
  ReportRb = radio(child.isEmpty() ? QStringLiteral("孩子的学习报告（请先选一个小朋友）")
                                   : QStringLiteral("%1的学习报告").arg(child));
  ReportRb->setEnabled(!child.isEmpty());
  DueRb->setEnabled(!child.isEmpty());
  ClassRb = radio(QStringLiteral("全班的学习情况"));
  DaysCb = new QComboBox(this);
  DaysCb->setFont(SongFont(15));
  DaysCb->addItem(QStringLiteral("近7天"), 7);
  DaysCb->addItem(QStringLiteral("近30天"), 30);
  DaysCb->setCurrentIndex(1);
  grid->addWidget(ReportRb, 5, 0, 1, 2);
  grid->addWidget(ClassRb, 6, 0);
  grid->addWidget(DaysCb, 6, 1, Qt::AlignLeft);
  (chapters.isEmpty() ? TypedRb : ChapterRb)->setChecked(true);

  StatusLb = new QLabel(this);
  StatusLb->setFont(SongFont(14));
  StatusLb->setWordWrap(true);
  StatusLb->setMinimumHeight(44);
  grid->addWidget(StatusLb, 7, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  PdfSb = Button(this, QStringLiteral("存成PDF…"));
  PrintSb = Button(this, QStringLiteral("打印…"));
  QuitSb = Button(this, QStringLiteral("返回→"));
  buttons->setSpacing(12);
  buttons->addWidget(PdfSb);
  buttons->addWidget(PrintSb);
  buttons->addStretch(1);
  buttons->addWidget(QuitSb);
  grid->addLayout(buttons, 8, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  connect(PdfSb, &QToolButton::clicked, this, &TPrintForm::PdfSbClick);
  connect(PrintSb, &QToolButton::clicked, this, &TPrintForm::PrintSbClick);
  connect(QuitSb, &QToolButton::clicked, this, &QDialog::close);
  resize(560, 460);
}

bool TPrintForm::Prepare(std::function<bool(QPagedPaintDevice*)>* paint, QString* title,
                         QString* error) {
  const QString connection = dm ? dm->ConnectionName() : QString();
  const QDate today = platform::CurrentClock().Now().date();
  const children::Child child = CurrentChild();
  const int days = DaysCb->currentData().toInt();
  if (ReportRb->isChecked()) {
    printing::ChildReport report;
    if (!printing::LoadChildReport(connection, child.id, child.name, days, today, &report, error))
      return false;
    *title = QStringLiteral("%1的学习报告").arg(child.name);
    *paint = [report](QPagedPaintDevice* d) {
      printing::PaintChildReport(d, report);
      return true;
    };
    return true;
  }
  if (ClassRb->isChecked()) {
    QList<printing::ClassRow> rows;
    if (!printing::LoadClassReport(connection, days, today, &rows, error)) return false;
    *title = QStringLiteral("全班学习情况");
    const QString heading = *title;
    *paint = [rows, heading, today, days](QPagedPaintDevice* d) {
      printing::PaintClassReport(d, heading, today.addDays(-(days - 1)), today, rows);
      return true;
    };
    return true;
  }
  QStringList characters;
  *title = QStringLiteral("字帖");
  if (ChapterRb->isChecked()) {
    QString chapter;
    if (!printing::LoadChapterSheet(connection, ChapterCb->currentData().toInt(), &characters,
                                    &chapter, error))
      return false;
    *title += QStringLiteral("  ") + chapter;
  } else if (DueRb->isChecked()) {
    if (!printing::LoadDueCharacters(connection, child.id, today, &characters, error)) return false;
    *title += QStringLiteral("  今天该复习的字");
  } else {
    characters = printing::SheetCharacters(TypedEd->text());
  }
  if (characters.isEmpty()) {
    *error = QStringLiteral("没有要写的汉字：请选另一章，或者输入几个字。");
    return false;
  }
  writing::StrokeData strokes;
  if (!strokes.Open(writing::StrokeFilePath()))
    qCWarning(lcUi) << "print: no stroke order:" << strokes.Error();
  const QList<printing::SheetRow> rows = printing::MakeSheetRows(characters, strokes);
  const printing::SheetHeader header{*title, child.name, today};
  *paint = [rows, header](QPagedPaintDevice* d) { return printing::PaintSheets(d, header, rows); };
  return true;
}

void TPrintForm::PdfSbClick() {
  std::function<bool(QPagedPaintDevice*)> paint;
  QString title, error;
  if (!Prepare(&paint, &title, &error)) {
    StatusLb->setText(error);
    return;
  }
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString path = platform::GetSaveFileName(
      this, QStringLiteral("存成PDF"), QStringLiteral("PDF 文件 (*.pdf)"),
      QDir(folder).filePath(title.simplified().replace(QLatin1Char(' '), QLatin1Char('_')) +
                            QStringLiteral(".pdf")));
  if (path.isEmpty()) return;
  if (!printing::WritePdf(path, title, paint, &error)) {
    StatusLb->setText(error);
    return;
  }
  StatusLb->setText(QStringLiteral("已存好：%1").arg(QDir::toNativeSeparators(path)));
}

void TPrintForm::PrintSbClick() {
  std::function<bool(QPagedPaintDevice*)> paint;
  QString title, error;
  if (!Prepare(&paint, &title, &error)) {
    StatusLb->setText(error);
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(title);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF());
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("打印"));
  if (dialog.exec() != QDialog::Accepted) return;
  StatusLb->setText(paint(&printer) ? QStringLiteral("已送去打印。")
                                    : QStringLiteral("没有可以打印的内容。"));
}

extern "C" Q_DECL_EXPORT QDialog* TindoraPrintWindow(QWidget* owner) {
  return new TPrintForm(owner);
}
