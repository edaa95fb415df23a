// Creates the lesson schema on an ODBC data source or a SQLite file and, when asked, loads the
// sample course, so that a school can set up a server database.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTextStream>

#include "self_check.h"
#include "shell/lesson_database.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream err(stderr);
  const QStringList args = app.arguments().mid(1);
  QTextStream out(stdout);
  if (args == QStringList{QStringLiteral("--self-check")}) return RunSelfCheck(out);
  ConnectionSpec spec;
  bool sample = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if ((a == "--odbc" || a == "--sqlite") && i + 1 < args.size()) {
      spec.driver = a == "--odbc" ? QStringLiteral("QODBC") : QStringLiteral("QSQLITE");
      spec.databaseName = spec.label = args[++i];
    } else if (a == "--user" && i + 1 < args.size()) {
      spec.user = args[++i];
    } else if (a == "--password" && i + 1 < args.size()) {
      spec.password = args[++i];
    } else if (a == "--sample") {
      sample = true;
    } else {
      spec.driver.clear();
      break;
    }
  }
  if (spec.driver.isEmpty()) {
    err << "usage: tindora_dbsetup (--odbc CONNECTION | --sqlite FILE) [--user U --password P]"
           " [--sample]\n";
    return 2;
  }
  QString error;
  bool ok = OpenConnection(QStringLiteral("setup"), spec, &error) &&
            CreateSchema(QStringLiteral("setup"), &error) &&
            (!sample ||
             LoadCourse(QStringLiteral("setup"), SampleCourseJson(), InstallationFolder(), &error));
  QSqlDatabase::database(QStringLiteral("setup"), false).close();
  if (!ok) {
    err << "tindora_dbsetup: " << error << "\n";
    return 1;
  }
  QTextStream(stdout) << "lesson database ready: " << spec.label << "\n";
  return 0;
}
