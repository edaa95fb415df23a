// SPDX-License-Identifier: GPL-3.0-or-later
// Sheets and reports as PDF files, read back as a reader of them would: the pages drawn by
// poppler's pdftoppm (the cells' ink: black model, grey copies, empty cells) and their text by
// pdftotext (names in the class's order, the child's numbers).
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "data/children.h"
#include "printing/print_data.h"
#include "printing/print_pages.h"
#include "printing/print_window.h"
#include "review/review_store.h"
#include "support/fakes.h"
#include "support/strokes.h"
#include "support/test_db.h"

using namespace printing;

namespace {

constexpr int kDpi = 50;

// The darkest grey inside cell `column` of row `row` on a sheet page, leaving out the cell's frame
// and its dashed centre lines (0 black .. 255 white).
int Darkest(const QImage& page, int row, int column) {
  const double mm = kDpi / 25.4, cell = (210.0 - 24) / kCellsPerRow;
  const double block = (297.0 - 26 - 14) / kRowsPerPage;
  const double left = 12 + column * cell, top = 26 + row * block + 16.5;
  int darkest = 255;
  for (double y = top + 1.2; y < top + cell - 1.2; y += 1 / mm)
    for (double x = left + 1.2; x < left + cell - 1.2; x += 1 / mm) {
      if (std::abs(x - (left + cell / 2)) < 1 || std::abs(y - (top + cell / 2)) < 1) continue;
      darkest = qMin(darkest, qGray(page.pixel(int(x * mm), int(y * mm))));
    }
  return darkest;
}

// The pages of a PDF as grey images, and its text.
QList<QImage> Pages(const QString& pdf) {
  QProcess::execute("pdftoppm", {"-r", QString::number(kDpi), "-gray", "-png", pdf, pdf});
  QList<QImage> pages;
  for (int i = 1;; ++i) {
    QImage page(QString("%1-%2.png").arg(pdf).arg(i));
    if (page.isNull()) break;
    pages << page;
  }
  return pages;
}

QString Text(const QString& pdf) {
  QProcess p;
  p.start("pdftotext", {"-layout", pdf, "-"});
  p.waitForFinished();
  // The CJK fonts share a glyph between 小 and the radical ⼩, which the PDF's text may name.
  return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

}  // namespace

class PrintPagesTest : public QObject {
  Q_OBJECT
  QTemporaryDir m_dir;

 private Q_SLOTS:
  void initTestCase() {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
      QSKIP("no pdftoppm: scripts/tindora.sh installs poppler-utils");
  }

  // Six characters fill a page, the seventh starts a second; every row has its model in black,
  // its copies in grey and its empty cells empty, with the stroke data or the font alone.
  void sheetCells_data() {
    QTest::addColumn<QString>("characters");
    QTest::addColumn<bool>("strokes");
    QTest::addColumn<int>("pages");
    QTest::newRow("three with strokes") << "我你他" << true << 1;
    QTest::newRow("six, one page") << "一二三山水火" << true << 1;
    QTest::newRow("seven, two pages") << "一二三山水火木" << true << 2;
    QTest::newRow("from the font") << "我你他" << false << 1;
  }
  void sheetCells() {
    QFETCH(QString, characters);
    QFETCH(bool, strokes);
    QFETCH(int, pages);
    writing::StrokeData data;
    if (strokes) {
      REQUIRE_STROKE_FILE();
      QVERIFY(data.Open(testing::BuiltStrokeFile()));
    }
    // Only Han characters, each once.
    const QList<SheetRow> rows =
        MakeSheetRows(SheetCharacters(characters + "a" + characters.left(1) + "，"), data);
    QCOMPARE(rows.size(), characters.size());
    QCOMPARE(rows.first().pinyin.isEmpty(), false);
    const QString pdf = m_dir.filePath(QString("sheet-%1.pdf").arg(QTest::currentDataTag()));
    QString error;
    QVERIFY2(WritePdf(
                 pdf, "字帖",
                 [&](QPagedPaintDevice* d) {
                   return PaintSheets(d, {"字帖", "小明", QDate(2026, 12, 10)}, rows);
                 },
                 &error),
             qPrintable(error));
    const QList<QImage> images = Pages(pdf);
    QCOMPARE(images.size(), pages);
    for (int i = 0; i < rows.size(); ++i) {
      const QImage& page = images[i / kRowsPerPage];
      const int row = i % kRowsPerPage;
      QVERIFY2(Darkest(page, row, 0) < 80, qPrintable(QString("model of row %1").arg(i)));
      for (int c = 1; c <= kTraceCells; ++c) {
        const int grey = Darkest(page, row, c);
        QVERIFY2(grey > 150 && grey < 235,
                 qPrintable(QString("copy %1 of row %2: %3").arg(c).arg(i).arg(grey)));
      }
      for (int c = kTraceCells + 1; c < kCellsPerRow; ++c)
        QVERIFY2(Darkest(page, row, c) > 240,
                 qPrintable(QString("cell %1 of row %2").arg(c).arg(i)));
    }
    const QString text = Text(pdf);
    QVERIFY2(text.contains("姓名:小明") && text.contains("2026年12月10日") &&
                 text.contains(QString("共 %1 ").arg(pages)),
             qPrintable(text));
    QCOMPARE(text.contains("没有笔顺数据"), !strokes);
    if (strokes)
      QVERIFY(text.contains(QRegularExpression(QString("%1\\s+%2\\s+笔顺:\\s*%3 画")
                                                   .arg(rows[0].character, rows[0].pinyin)
                                                   .arg(rows[0].strokes.size()))));
    // Nothing to print writes nothing.
    QVERIFY(!WritePdf(
        m_dir.filePath("empty.pdf"), "字帖",
        [](QPagedPaintDevice* d) { return PaintSheets(d, {}, {}); }, &error));
    QVERIFY(!QFile::exists(m_dir.filePath("empty.pdf")));
  }

  // A class of 20: every name once, in the order of their readings; a child's report with the
  // numbers the record holds; the due list comes from the child's reviews.
  void reportsReadBack() {
    testing::TestDataModule data;
    REQUIRE_DATABASE(data.database());
    data.LoadSampleCourse();
    const QString c = data.database().Connection();
    const QStringList names = {"赵一", "钱二", "孙三", "李四", "周五", "吴六", "郑七",
                               "王八", "冯九", "陈十", "褚明", "卫红", "蒋丽", "沈华",
                               "韩梅", "杨洋", "朱珠", "秦琴", "尤优", "阿宝"};
    QString error;
    QVERIFY2(children::AddClassList(c, names, nullptr, nullptr, &error), qPrintable(error));
    QList<ClassRow> rows;
    QVERIFY2(LoadClassReport(c, 30, QDate(2026, 12, 10), &rows, &error), qPrintable(error));
    QCOMPARE(rows.size(), 20);
    QCOMPARE(rows.first().name, "阿宝");  // ā
    QCOMPARE(rows.last().name, "朱珠");   // zhū
    const QString classPdf = m_dir.filePath("class.pdf");
    QVERIFY(WritePdf(
        classPdf, "全班",
        [&](QPagedPaintDevice* d) {
          PaintClassReport(d, "全班学习情况", QDate(2026, 11, 11), QDate(2026, 12, 10), rows);
          return true;
        },
        &error));
    const QString text = Text(classPdf);
    qsizetype at = 0;
    for (const ClassRow& r : rows) {
      const qsizetype found = text.indexOf(r.name, at);
      QVERIFY2(found > at || (at == 0 && found >= 0), qPrintable(r.name));
      at = found;
    }
    QVERIFY(text.contains("听音找字") && text.contains("共 20 个小朋友"));

    int child = 0;
    QString name;
    QVERIFY(!FindChild(c, "没有这个人", &child, &name, &error));
    QCOMPARE(error, "没有叫“没有这个人”的小朋友。");
    QVERIFY(FindChild(c, " 阿宝 ", &child, &name, &error));
    ChildReport report;
    QVERIFY2(LoadChildReport(c, child, name, 14, QDate(2026, 12, 10), &report, &error),
             qPrintable(error));
    QCOMPARE(report.minutes.size(), 14);
    QCOMPARE(report.from, QDate(2026, 11, 27));
    const QString childPdf = m_dir.filePath("child.pdf");
    QVERIFY(WritePdf(
        childPdf, "报告",
        [&](QPagedPaintDevice* d) {
          PaintChildReport(d, report);
          return true;
        },
        &error));
    const QString childText = Text(childPdf);
    QVERIFY2(childText.contains("阿宝的学习报告") && childText.contains("认识的字 0 个") &&
                 childText.contains("2026年11月27日 至 2026年12月10日"),
             qPrintable(childText));
    // Due on the day and the day before are due; tomorrow's is not.
    const int today = int(QDate(2026, 12, 10).toJulianDay());
    for (const auto& [item, due] : {std::pair{"一", today}, {"二", today - 1}, {"三", today + 1}})
      QVERIFY(review::SaveCard(c, child, item,
                               {.stability = 2,
                                .difficulty = 5,
                                .due = due,
                                .lastReview = today - 3,
                                .reps = 1,
                                .state = review::MemoryState::Review},
                               today - 3, &error));
    QStringList due;
    QVERIFY2(LoadDueCharacters(c, child, QDate(2026, 12, 10), &due, &error), qPrintable(error));
    QCOMPARE(due, QStringList({"一", "二"}));
  }

  // The window: the characters typed in become a sheet where the adult saves it, and nothing to
  // print is said in words, with no file made.
  void windowSavesWhatWasChosen() {
    testing::TestDataModule data;
    REQUIRE_DATABASE(data.database());
    data.LoadSampleCourse();
    TPrintForm form(nullptr);
    testing::FakeDialogs dialogs;
    dialogs.saveFileToChoose = m_dir.filePath("typed.pdf");
    form.TypedRb->setChecked(true);
    form.TypedEd->setText("abc，");
    form.PdfSbClick();
    QCOMPARE(form.StatusLb->text(), "没有要写的汉字：请选另一章，或者输入几个字。");
    QCOMPARE(dialogs.saveDialogs, 0);
    form.TypedEd->setText("我你他");
    form.PdfSbClick();
    QCOMPARE(form.StatusLb->text(), "已存好：" + dialogs.saveFileToChoose);
    QCOMPARE(Pages(dialogs.saveFileToChoose).size(), 1);
    // Without a child chosen, the child's report and due list cannot be chosen.
    QVERIFY(!form.ReportRb->isEnabled() && !form.DueRb->isEnabled());
  }

  void chapterSheet() {
    testing::TestDataModule data;
    REQUIRE_DATABASE(data.database());
    data.LoadSampleCourse();
    const QString c = data.database().Connection();
    QStringList characters;
    QString chapter, error;
    QVERIFY2(LoadChapterSheet(c, 1, &characters, &chapter, &error), qPrintable(error));
    QVERIFY(!characters.isEmpty() && !chapter.isEmpty());
    QVERIFY(!LoadChapterSheet(c, 999, &characters, &chapter, &error));
    QCOMPARE(error, "识字课程里没有第 999 章。");
  }
};

QTEST_MAIN(PrintPagesTest)
#include "test_print_pages.moc"
