// Creates the lesson schema on an ODBC data source or a SQLite file and, when asked, loads the
// sample course, so that a school can set up a server database. It also exports and imports
// lesson packs.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTextStream>
#include <csignal>

#include "packs/lesson_pack.h"
#include "shell/lesson_database.h"

namespace {

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
    if (r.ok) out << "exported " << r.chapters << " chapters, " << r.items << " items\n";
    for (const QString& name : r.missingRecordings) out << "recording missing: " << name << "\n";
    return r.ok;
  }
  // Tests simulate a kill mid-way: the process dies after unpacking this many recordings.
  const int dieAfter = qEnvironmentVariableIntValue("TINDORA_TEST_KILL_IMPORT_AFTER");
  const packs::ImportResult r = packs::ImportPack(
      QStringLiteral("setup"), importFile, soundDir.isEmpty() ? packs::UserSoundRoot() : soundDir,
      nullptr, [dieAfter](int done, int) {
        if (dieAfter > 0 && done >= dieAfter) std::raise(SIGKILL);
        return true;
      });
  if (!r.ok) *error = r.error;
  if (r.ok)
    out << "imported " << r.chapters << " chapters, " << r.items << " items; recordings in "
        << (r.soundFolder.isEmpty() ? QStringLiteral("-") : r.soundFolder) << "\n";
  return r.ok;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream err(stderr);
  const QStringList args = app.arguments().mid(1);
  ConnectionSpec spec;
  bool sample = false;
  QString exportKind, exportFile, importFile, soundDir;
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
    } else if (a == "--export" && i + 2 < args.size()) {
      exportKind = args[++i];
      exportFile = args[++i];
    } else if (a == "--import" && i + 1 < args.size()) {
      importFile = args[++i];
    } else if (a == "--sound-dir" && i + 1 < args.size()) {
      soundDir = args[++i];
    } else {
      spec.driver.clear();
      break;
    }
  }
  // A server database is shared between machines: its recordings need a folder they all reach.
  const bool packBad = (!exportFile.isEmpty() && !importFile.isEmpty()) ||
                       (!importFile.isEmpty() && spec.driver == "QODBC" && soundDir.isEmpty());
  if (spec.driver.isEmpty() || packBad) {
    err << "usage: tindora_dbsetup (--odbc CONNECTION | --sqlite FILE) [--user U --password P]"
           " [--sample] [--export KIND FILE | --import FILE [--sound-dir DIR]]\n"
           "  --sound-dir is required with --import on --odbc\n";
    return 2;
  }
  QString error;
  // Packs work on a database that is already set up.
  const bool pack = !exportFile.isEmpty() || !importFile.isEmpty();
  bool ok = OpenConnection(QStringLiteral("setup"), spec, &error) &&
            (pack || CreateSchema(QStringLiteral("setup"), &error)) &&
            (!sample || LoadCourse(QStringLiteral("setup"), SampleCourseJson(),
                                   InstallationFolder(), &error)) &&
            (!pack || RunPack(exportKind, exportFile, importFile, soundDir, &error));
  QSqlDatabase::database(QStringLiteral("setup"), false).close();
  if (!ok) {
    err << "tindora_dbsetup: " << error << "\n";
    return 1;
  }
  QTextStream(stdout) << "lesson database ready: " << spec.label << "\n";
  return 0;
}
