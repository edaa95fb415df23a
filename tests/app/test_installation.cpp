// SPDX-License-Identifier: GPL-3.0-or-later
// What an installed program relies on: drill sounds found from any working folder, and the
// self-check that tells an installation works.
#include <QDirIterator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include "platform/install_paths.h"
#include "platform/sound.h"
#include "self_check.h"
#include "support/fakes.h"

namespace {

QString SourceFile(const QString& path) {
  QFile f(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../") + path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The lines of `text` from the one matching `start` up to the next one matching `end`.
QString Section(const QString& text, const QString& start, const QString& end) {
  const QRegularExpression from(start, QRegularExpression::MultilineOption);
  const QRegularExpressionMatch m = from.match(text);
  if (!m.hasMatch()) return {};
  const QString rest = text.mid(m.capturedEnd());
  const qsizetype next = rest.indexOf(QRegularExpression(end, QRegularExpression::MultilineOption));
  return next < 0 ? rest : rest.left(next);
}

QStringList Names(const QString& text, const QString& pattern) {
  QStringList names;
  auto it = QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(text);
  while (it.hasNext()) names << it.next().captured(1);
  names.removeDuplicates();
  names.sort();
  return names;
}

// The program's own settings: every TINDORA_ variable the sources under src/ read.
QStringList SettingsRead() {
  QString sources;
  QDirIterator it(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../src"), {"*.cpp", "*.h"}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile f(it.next());
    if (f.open(QIODevice::ReadOnly)) sources += QString::fromUtf8(f.readAll());
  }
  return Names(sources, R"re((?:qgetenv|qEnvironmentVariable\w*|getenv)\("(TINDORA_\w+)")re");
}

}  // namespace

class TestInstallation : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The README and the manual page list the same settings, and they are the ones the program
  // reads: a setting added to the program without a word in both fails here.
  void settingsListedAlike_data() {
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("README") << Names(Section(SourceFile("README.md"), "^## Settings$", "^## "),
                                     R"(^- `([A-Z][A-Z0-9_]+)`)");
    QTest::newRow("manual") << Names(Section(SourceFile("docs/man/tindora.1"),
                                             R"(^\.SH ENVIRONMENT$)", R"(^\.SH )"),
                                     R"(^\.TP\n\.B ([A-Z][A-Z0-9_]+)$)");
  }
  void settingsListedAlike() {
    QFETCH(QStringList, listed);
    const QStringList read = SettingsRead();
    QVERIFY(read.contains("TINDORA_SCALE"));  // the search itself works
    QStringList own = listed.filter(QRegularExpression("^TINDORA_"));
    QCOMPARE(own, read);
    // Settings of the toolkit that the README and the manual tell of, the same in both.
    QCOMPARE(listed.filter(QRegularExpression("^(?!TINDORA_)")), QStringList{"QT_LOGGING_RULES"});
  }

  void soundNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");  // "<data>/x" means x in the data folder
    QTest::newRow("in the working folder") << "S5.wav"
                                           << "S5.wav";
    QTest::newRow("only in the data folder") << "CM.wav"
                                             << "<data>/CM.wav";
    QTest::newRow("nowhere") << "S11.wav"
                             << "S11.wav";
    QTest::newRow("with a folder") << "/no/such/S5.wav"
                                   << "/no/such/S5.wav";
    QTest::newRow("stop") << ""
                          << "";
  }

  // Through the sound call, as the program plays them once start-up has set the resolver.
  void soundNames() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QFile(dir.filePath("S5.wav")).open(QIODevice::WriteOnly);
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    testing::RecordingSoundPlayer player;
    platform::SetSoundNameResolver(SoundFilePath);
    platform::PlaySound(name);
    platform::SetSoundNameResolver(nullptr);
    QDir::setCurrent(before);
    expected.replace("<data>", DataFolder());
    QCOMPARE(player.Names(), QStringList{expected});
    if (expected.startsWith(DataFolder())) QVERIFY(QFileInfo::exists(expected));
  }

  void selfCheck_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("fresh home") << "" << 0 << "自检通过";
    // A zero-byte file holds nothing to lose: it is built anew.
    QTest::newRow("zero-byte database") << "empty" << 0 << "自检通过";
    QTest::newRow("recording gone") << "recording" << 1 << "自检失败: 找不到录音 /gone/一.wav";
  }

  void selfCheck() {
    QFETCH(QString, damage);
    QFETCH(int, status);
    QFETCH(QString, said);
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString db = home.filePath("Tindora/lessons.db");
    QString report;
    QTextStream out(&report);
    if (damage == "empty") {
      QDir().mkpath(home.filePath("Tindora"));
      QFile(db).open(QIODevice::WriteOnly);
    } else if (damage == "recording") {
      QCOMPARE(RunSelfCheck(out), 0);
      {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "damage");
        c.setDatabaseName(db);
        QVERIFY(c.open());
        QVERIFY(QSqlQuery(c).exec("update szSound set 声音 = '/gone/一.wav' where 字名 = '一'"));
      }
      QSqlDatabase::removeDatabase("damage");
      report.clear();
    }
    QCOMPARE(RunSelfCheck(out), status);
    QVERIFY2(report.contains(said), qPrintable(report));
    QVERIFY(QFileInfo::exists(db));
  }
};

QTEST_GUILESS_MAIN(TestInstallation)
#include "test_installation.moc"
