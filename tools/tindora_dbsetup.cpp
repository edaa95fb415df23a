// Creates the lesson schema on an ODBC data source or a SQLite file, or brings an older one up to
// date, and, when asked, loads the sample course into empty lesson tables, so that a school can
// set up a server database. Safe to run again after an interruption; it says what it did.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTextStream>
#include <functional>

#include "self_check.h"
#include "shell/lesson_database.h"
#include "shell/lesson_kinds.h"
#include "shell/schema_migrations.h"

namespace {

struct Settings {
  ConnectionSpec spec;
  bool sample = false;
};

struct Option {
  QString name;
  QString argument;  // empty for a switch
  QString help;
  std::function<void(Settings&, const QString& value)> apply;
};

// Every option of the tool; a new one is one more row.
const QList<Option>& Options() {
  static const QList<Option> options = {
      {"--odbc", "CONNECTION", "data source name, or a full \"DRIVER=...;\" string",
       [](Settings& s, const QString& v) {
         s.spec.driver = QStringLiteral("QODBC");
         s.spec.databaseName = s.spec.label = v;
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
  };
  return options;
}

// False on an unknown option or a missing value.
bool Parse(const QStringList& args, Settings& settings) {
  for (int i = 0; i < args.size(); ++i) {
    auto option = std::find_if(Options().begin(), Options().end(),
                               [&](const Option& o) { return o.name == args[i]; });
    if (option == Options().end()) return false;
    QString value;
    if (!option->argument.isEmpty()) {
      if (++i >= args.size()) return false;
      value = args[i];
    }
    option->apply(settings, value);
  }
  return !settings.spec.driver.isEmpty();
}

QString Usage() {
  QString text = QStringLiteral("usage: tindora_dbsetup (--odbc CONNECTION | --sqlite FILE) ...\n");
  for (const Option& o : Options())
    text += QStringLiteral("  %1 %2\n      %3\n").arg(o.name, o.argument, o.help);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
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
  if (ok && settings.sample) {
    ok = LoadCourseIntoEmptyTables(connection, SampleCourseJson(), InstallationFolder(), &loaded,
                                   &error);
    for (const LessonKind* kind : AllKinds()) {
      if (!ok) break;
      out << (loaded.contains(kind->key) ? "已加载示例课程: " : "已有内容，未加载示例课程: ")
          << kind->screenTitle << " (" << kind->chapterTable << ", " << kind->itemTable << ")\n";
    }
  }
  QSqlDatabase::database(connection, false).close();
  if (!ok) {
    err << "tindora_dbsetup: " << settings.spec.label << ": " << error << "\n";
    return 1;
  }
  out << "课程数据库已就绪: " << settings.spec.label << " (结构版本 " << CurrentSchemaVersion()
      << (steps.isEmpty() ? ", 无需更改" : "") << ")\n";
  return 0;
}
