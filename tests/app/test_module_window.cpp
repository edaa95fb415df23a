// SPDX-License-Identifier: GPL-3.0-or-later
// Windows built as modules: the learning record's window (and Qt Charts with it) is loaded only
// when it is first opened; a module that is missing or broken is told, and nothing opens. The
// lesson packs' code likewise at the first import.
#include <QDialog>
#include <QFile>
#include <QtTest>

#include "app/module_window.h"
#include "packs/lesson_pack.h"
#include "support/fakes.h"
#include "support/test_db.h"

namespace {
bool Mapped(const char* library) {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}
bool ChartsLoaded() { return Mapped("libQt6Charts"); }
}  // namespace

class ModuleWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void opensOrTells_data() {
    QTest::addColumn<QString>("module");
    QTest::addColumn<QByteArray>("factory");
    QTest::addColumn<bool>("opens");
    QTest::newRow("the learning record")
        << "tindora_records_window" << QByteArray("TindoraRecordsWindow") << true;
    QTest::newRow("no such entry")
        << "tindora_records_window" << QByteArray("TindoraNoWindow") << false;
    QTest::newRow("no such module")
        << "tindora_no_window" << QByteArray("TindoraRecordsWindow") << false;
  }
  void opensOrTells() {
    QFETCH(QString, module);
    QFETCH(QByteArray, factory);
    QFETCH(bool, opens);
    testing::TestDataModule data;
    REQUIRE_DATABASE(data.database());
    testing::FakeClock clock;
    testing::ScriptedMessageBox boxes;
    const bool chartsBefore = ChartsLoaded();
    std::unique_ptr<QDialog> window(OpenModuleWindow(module, factory.constData(), nullptr));
    QCOMPARE(bool(window), opens);
    QCOMPARE(boxes.shown.size(), opens ? 0 : 1);
    if (opens) {
      QVERIFY(!chartsBefore);  // the program itself does not load the charts
      QCOMPARE(window->metaObject()->className(), "TRecordsForm");
      QVERIFY(ChartsLoaded());
    } else {
      QVERIFY2(boxes.shown[0].text.contains(module), qPrintable(boxes.shown[0].text));
    }
  }

  // The pack code with QuaZip comes with the first import, and answers for the file it was given.
  void packsLoadOnFirstUse() {
    QVERIFY(!Mapped("libquazip"));
    const packs::ImportResult r =
        packs::ImportPack(QStringLiteral("none"), QStringLiteral("/nonexistent/a.tindora"), {});
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("a.tindora")), qPrintable(r.error));
    QVERIFY(Mapped("libquazip"));
  }
};

QTEST_MAIN(ModuleWindowTest)
#include "test_module_window.moc"
