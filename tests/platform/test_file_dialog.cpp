// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialog's list speaks Chinese whatever the locale, and its columns hold their texts.
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "platform/chinese_file_dialog.h"

class FileDialogTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void columnsInChinese_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("English machine") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("German machine") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("Chinese machine") << QLocale(QLocale::Chinese, QLocale::China);
  }
  void columnsInChinese() {
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("录音")));
    QFile wav(folder.filePath(QStringLiteral("猫.wav")));
    QVERIFY(wav.open(QIODevice::WriteOnly));
    wav.write(QByteArray(42123, '\0'));  // 41.1 KB
    wav.close();

    QFileDialog dialog(nullptr, QStringLiteral("选择"), folder.path(), QStringLiteral("*.wav"));
    platform::SpeakChinese(&dialog);
    dialog.show();
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    QVERIFY(view && view->isVisible());
    QAbstractItemModel* shown = view->model();
    QTRY_COMPARE(shown->rowCount(view->rootIndex()), 2);
    QStringList texts;
    for (int row = 0; row < 2; ++row)
      for (int column = 1; column <= 3; ++column) {
        const QString text = shown->index(row, column, view->rootIndex()).data().toString();
        texts << text;
        // Whole, not "41....KiB".
        QVERIFY2(
            view->fontMetrics().horizontalAdvance(text) + 8 <= view->header()->sectionSize(column),
            qPrintable(text));
      }
    QVERIFY(texts.contains(QStringLiteral("文件夹")));
    QVERIFY(texts.contains(QStringLiteral("WAV 声音")));
    QVERIFY(texts.contains(QStringLiteral("41.1 KB")));
    // No English beyond the file type's own letters ("WAV audio", "Dec", "Folder").
    for (const QString& text : texts)
      QVERIFY2(!QString(text)
                    .remove(QStringLiteral("WAV"))
                    .remove(QStringLiteral("KB"))
                    .contains(QRegularExpression(QStringLiteral("[A-Za-z]"))),
               qPrintable(text));
    QLocale::setDefault(QLocale::c());
  }
};

QTEST_MAIN(FileDialogTest)
#include "test_file_dialog.moc"
