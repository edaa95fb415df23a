// SPDX-License-Identifier: GPL-3.0-or-later
// Creates the lesson schema on an ODBC data source or a SQLite file, or brings an older one up to
// date, and, when asked, loads the sample course into empty lesson tables, so that a school can
// set up a server database. Safe to run again after an interruption; it says what it did. It also
// exports and imports lesson packs.
#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QTextStream>
#include <csignal>
#include <functional>

#include "data/lesson_database.h"
#include "data/lesson_kinds.h"
#include "data/recordings_library.h"
#include "data/schema_migrations.h"
#include "packs/lesson_pack.h"
#include "self_check.h"

namespace {

struct Settings {
  ConnectionSpec spec;
  bool sample = false;
  bool storeRecordings = false;
  QString exportKind, exportFile, importFile, soundDir;
  bool Pack() const { return !exportFile.isEmpty() || !importFile.isEmpty(); }
};

struct Option {
  QString name;
  QString argument;  // empty for a switch; one word per value
  QString help;
  std::function<void(Settings&, const QString& value)> apply;
};

// Every option of the tool; a new one is one more row.
const QList<Option>& Options() {
  static const QList<Option> options = {
      {"--odbc", "CONNECTION", "data source name, or a full \"DRIVER=...;\" string",
       [](Settings& s, const QString& v) {
         s.spec.driver = QStringLiteral("QODBC");
         s.spec.databaseName = v;
         // What the tool prints may end up in a log or on a screen share: no password.
         s.spec.label = QString(v).replace(
             QRegularExpression(QStringLiteral("((?:PWD|Password)\\s*=)(\\{[^}]*\\}|[^;]*)"),
                                QRegularExpression::CaseInsensitiveOption),
             QStringLiteral("\\1***"));
       }},
      {"--sqlite", "FILE", "SQLite file (made when missing)",
       [](Settings& s, const QString& v) {
         s.spec.driver = QStringLiteral("QSQLITE");
         s.spec.databaseName = s.spec.label = v;
       }},
      {"--user", "USER", "user name for a data source name",
       [](Settings& s, const QString& v) { s.spec.user = v; }},
      {"--password", "PASSWORD", "password for a data source name",
       [](Settings& s, const QString& v) { s.spec.password = v; }},
      {"--sample",
       {},
       "load the sample course into the lesson kinds whose tables are empty",
       [](Settings& s, const QString&) { s.sample = true; }},
      {"--export", "KIND FILE", "write the lesson pack FILE of KIND (character, poem, english)",
       [](Settings& s, const QString& v) {
         s.exportKind = v.section(QLatin1Char('\n'), 0, 0);
         s.exportFile = v.section(QLatin1Char('\n'), 1);
       }},
      {"--import", "FILE", "add the lesson pack FILE to the database",
       [](Settings& s, const QString& v) { s.importFile = v; }},
      {"--sound-dir", "DIR",
       "where an import into a SQLite file puts its recordings (a server keeps them itself)",
       [](Settings& s, const QString& v) { s.soundDir = v; }},
      {"--store-recordings",
       {},
       "upload into the server every recording its items name that is on this computer",
       [](Settings& s, const QString&) { s.storeRecordings = true; }},
  };
  return options;
}

// False on an unknown option or a missing value.
bool Parse(const QStringList& args, Settings& settings) {
  for (int i = 0; i < args.size(); ++i) {
    auto option = std::find_if(Options().begin(), Options().end(),
                               [&](const Option& o) { return o.name == args[i]; });
    if (option == Options().end()) return false;
    QStringList values;
    for (int n = option->argument.isEmpty() ? 0 : option->argument.count(' ') + 1; n > 0; --n) {
      if (++i >= args.size()) return false;
      values << args[i];
    }
    option->apply(settings, values.join(QLatin1Char('\n')));
  }
  const bool packBad = !settings.exportFile.isEmpty() && !settings.importFile.isEmpty();
  return !settings.spec.driver.isEmpty() && !packBad;
}

QString Usage() {
  QString text = QStringLiteral("usage: tindora_dbsetup (--odbc CONNECTION | --sqlite FILE) ...\n");
  for (const Option& o : Options())
    text += QStringLiteral("  %1 %2\n      %3\n").arg(o.name, o.argument, o.help);
  return text;
}

// Lesson packs: --export KIND FILE or --import FILE on the open connection "setup".
bool RunPack(const QString& exportKind, const QString& exportFile, const QString& importFile,
             const QString& soundDir, QString* error) {
  QTextStream out(stdout);
  if (!exportFile.isEmpty()) {
    const LessonKind* kind = packs::KindByKey(exportKind);
    if (!kind) {
      *error =
          QStringLiteral("课程类别“%1”无法识别，应为 character、poem 或 english。").arg(exportKind);
      return false;
    }
    const packs::ExportResult r = packs::ExportPack(QStringLiteral("setup"), *kind, {}, exportFile);
    if (!r.ok) *error = r.error;
    if (r.ok) out << "已导出: " << r.chapters << " 个章节, " << r.items << " 个项目\n";
    for (const QString& name : r.missingRecordings) out << "找不到录音: " << name << "\n";
    return r.ok;
  }
  // Tests simulate a kill mid-way: the process dies after unpacking this many recordings.
  const int dieAfter = qEnvironmentVariableIntValue("TINDORA_TEST_KILL_IMPORT_AFTER");
  const packs::ImportResult r = packs::ImportPack(QStringLiteral("setup"), importFile, soundDir,
                                                  nullptr, [dieAfter](int done, int) {
                                                    if (dieAfter > 0 && done >= dieAfter)
                                                      std::raise(SIGKILL);
                                                    return true;
                                                  });
  if (!r.ok) *error = r.error;
  if (r.ok)
    out << "已导入: " << r.chapters << " 个章节, " << r.items << " 个项目; 录音放在 "
        << (r.soundFolder.isEmpty() ? QStringLiteral("数据库或录音库中") : r.soundFolder) << "\n";
  return r.ok;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // The program's own folders: its recordings library and cache.
  QCoreApplication::setApplicationName(QStringLiteral("Tindora"));
  QTextStream out(stdout);
  QTextStream err(stderr);
  const QStringList args = app.arguments().mid(1);
  if (args == QStringList{QStringLiteral("--self-check")}) return RunSelfCheck(out);
  Settings settings;
  if (!Parse(args, settings)) {
    err << Usage() << "  --self-check\n      check this installation (alone)\n";
    return 2;
  }
  const QString connection = QStringLiteral("setup");
  QString error;
  QStringList steps, loaded;
  bool ok = OpenConnection(connection, settings.spec, &error);
  if (ok) {
    ok = MigrateSchema(connection, &error, &steps);
    for (const QString& step : steps) out << "已建立: " << step << "\n";
  }
  QStringList duplicates;
  if (ok) ok = EnsureChapterConstraints(connection, &duplicates, &error);
  for (const QString& line : duplicates) out << "章节重复: " << line << "\n";
  if (ok && settings.sample) {
    ok = LoadCourseIntoEmptyTables(connection, SampleCourseJson(), InstallationFolder(), &loaded,
                                   &error);
    for (const LessonKind* kind : AllKinds()) {
      if (!ok) break;
      out << (loaded.contains(kind->key) ? "已加载示例课程: " : "已有内容，未加载示例课程: ")
          << kind->screenTitle << " (" << kind->chapterTable << ", " << kind->itemTable << ")\n";
    }
  }
  if (ok && settings.storeRecordings) {
    recordings::StoreReport report;
    ok = recordings::StoreNamedRecordings(connection, &report, &error);
    for (const QString& line : report.stored) out << "已上传录音: " << line << "\n";
    for (const QString& line : report.missing) out << "找不到录音: " << line << "\n";
    if (ok)
      out << "录音: 上传 " << report.stored.size() << ", 已在数据库 " << report.alreadyStored
          << ", 找不到 " << report.missing.size() << "\n";
  }
  if (ok && settings.Pack())
    ok = RunPack(settings.exportKind, settings.exportFile, settings.importFile, settings.soundDir,
                 &error);
  QSqlDatabase::database(connection, false).close();
  if (!ok) {
    err << "tindora_dbsetup: " << settings.spec.label << ": " << error << "\n";
    return 1;
  }
  out << "课程数据库已就绪: " << settings.spec.label << " (结构版本 " << CurrentSchemaVersion()
      << (steps.isEmpty() ? ", 无需更改" : "") << ")\n";
  return 0;
}
