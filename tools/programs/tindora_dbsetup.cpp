// SPDX-License-Identifier: GPL-3.0-or-later
// Creates the lesson schema on an ODBC data source or a SQLite file, or brings an older one up to
// date, and, when asked, loads the sample course into empty lesson tables, so that a school can
// set up a server database. Safe to run again after an interruption; it says what it did. It also
// exports and imports lesson packs.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QTextStream>
#include <csignal>
#include <functional>

#include "data/children.h"
#include "data/classroom_logins.h"
#include "data/lesson_database.h"
#include "data/lesson_kinds.h"
#include "data/pinyin.h"
#include "data/recordings_library.h"
#include "data/schema_migrations.h"
#include "packs/lesson_pack.h"
#include "self_check.h"

namespace {

struct Settings {
  ConnectionSpec spec;
  bool sample = false;
  bool starterCourse = false;
  bool storeRecordings = false;
  bool checkRecordings = false;
  bool pruneRecordings = false;
  QString teacher, seat;
  QString exportKind, exportFile, importFile, soundDir;
  QStringList addChildren;  // names, in order
  QString classList, removeChild;
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
      {"--starter-course",
       {},
       "add the starter course after the chapters already there (once)",
       [](Settings& s, const QString&) { s.starterCourse = true; }},
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
      {"--add-child", "NAME", "add a child's profile (a picture is given in turn)",
       [](Settings& s, const QString& v) { s.addChildren << v; }},
      {"--add-children", "FILE", "add a child for every line of the UTF-8 text FILE",
       [](Settings& s, const QString& v) { s.classList = v; }},
      {"--remove-child", "NAME", "remove a child's profile and all of the child's learning record",
       [](Settings& s, const QString& v) { s.removeChild = v; }},
      {"--check-recordings",
       {},
       "list the recordings no item names and the ones items name that are missing",
       [](Settings& s, const QString&) { s.checkRecordings = true; }},
      {"--prune-recordings",
       {},
       "remove the recordings no item names (a server's in one transaction)",
       [](Settings& s, const QString&) { s.pruneRecordings = true; }},
      {"--grant-teacher", "ROLE",
       "PostgreSQL: let the login ROLE read and change the course (run as the course's owner)",
       [](Settings& s, const QString& v) { s.teacher = v; }},
      {"--grant-seat", "ROLE",
       "PostgreSQL: let the login ROLE read the course and add learning notes, writing stars "
       "and reviews, nothing else",
       [](Settings& s, const QString& v) { s.seat = v; }},
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

// The class list's lines. It is read only when it is a plain file of a sensible size, so a FIFO
// or a wrongly named disk image is refused instead of read.
bool ReadClassList(const QString& file, QStringList* lines, QString* error) {
  constexpr qint64 kMaxBytes = 1 << 20;
  const QFileInfo info(file);
  if (!info.exists()) {
    *error = QStringLiteral("找不到名单文件 %1").arg(file);
    return false;
  }
  if (!info.isFile() || info.size() > kMaxBytes) {
    *error = QStringLiteral("名单文件 %1 不是普通的文本文件，或大于 1 MB").arg(file);
    return false;
  }
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("无法读取名单文件 %1：%2").arg(file, f.errorString());
    return false;
  }
  QByteArray bytes = f.read(kMaxBytes + 1);
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);  // a byte-order mark from Windows
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8.decode(bytes);
  if (utf8.hasError()) {
    *error = QStringLiteral("名单文件 %1 不是 UTF-8 编码，请另存为 UTF-8 后再试").arg(file);
    return false;
  }
  *lines = text.split(QLatin1Char('\n'));
  for (QString& line : *lines) {
    line.remove(QLatin1Char('\r'));
    // Lists pasted together from files saved on Windows: a mark at each one's start.
    if (line.startsWith(QChar(0xFEFF))) line.remove(0, 1);
  }
  return true;
}

// --add-child, --add-children and --remove-child on the open connection "setup". Refused names
// are listed and make the run fail, after the others were added.
bool RunChildren(const Settings& settings, QTextStream& out, QString* error) {
  const QString connection = QStringLiteral("setup");
  QStringList lines = settings.addChildren;
  if (!settings.classList.isEmpty()) {
    QStringList fromFile;
    if (!ReadClassList(settings.classList, &fromFile, error)) return false;
    lines << fromFile;
  }
  if (!lines.isEmpty()) {
    QList<children::Child> added;
    QStringList refused;
    if (!children::AddClassList(connection, lines, &added, &refused, error)) return false;
    for (const children::Child& c : added)
      out << "已加入小朋友: " << c.name << " (" << children::AnimalName(c.picture) << ")\n";
    for (const QString& line : refused) out << "未加入: " << line << "\n";
    if (!refused.isEmpty()) {
      *error = QStringLiteral("有 %1 个名字未加入，请改正后再加入这些名字").arg(refused.size());
      return false;
    }
  }
  if (!settings.removeChild.isEmpty()) {
    QList<children::Child> all;
    if (!children::LoadChildren(connection, &all, error)) return false;
    const auto found = std::find_if(all.begin(), all.end(), [&](const children::Child& c) {
      return c.name.compare(settings.removeChild.trimmed(), Qt::CaseInsensitive) == 0;
    });
    if (found == all.end()) {
      *error = QStringLiteral("没有叫“%1”的小朋友").arg(settings.removeChild);
      return false;
    }
    int notes = 0;
    if (!children::RemoveChild(connection, found->id, &notes, error)) return false;
    out << "已删除小朋友: " << found->name << "，学习记录 " << notes << " 条\n";
  }
  return true;
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
  // The pinyin the poem screen shows, a line of it per line of text, to check a course by hand.
  if (args.size() == 2 && args[0] == QLatin1String("--pinyin")) {
    out << LinePinyin(args[1]) << "\n";
    return 0;
  }
  Settings settings;
  if (!Parse(args, settings)) {
    err << Usage() << "  --self-check\n      check this installation (alone)\n"
        << "  --pinyin TEXT\n      print the pinyin of each line of TEXT (alone)\n";
    return 2;
  }
  const QString connection = QStringLiteral("setup");
  QString error;
  QStringList steps, loaded;
  bool ok = OpenConnection(connection, settings.spec, &error);
  if (const QString refused = LoginRefusal(settings.spec, error); !ok && !refused.isEmpty())
    error = refused + QStringLiteral("\n(") + error + QLatin1Char(')');
  if (ok) {
    ok = MigrateSchema(connection, &error, &steps);
    for (const QString& step : steps) out << "已建立: " << step << "\n";
  }
  // A seat's login would fail later on the teacher's tables with the server's words.
  if (ok && settings.starterCourse && !MayEditCourse(connection)) {
    ok = false;
    error = QStringLiteral("这个登录是学生座位的，只能学习，不能添加入门课程。请用老师的登录再运行一次。");
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
  if (ok && settings.starterCourse) {
    const packs::CourseResult r = packs::AddCourse(connection, packs::StarterCourseFiles());
    if (r.alreadyAdded) {
      out << r.error << "\n";
    } else if (!r.ok) {
      ok = false;
      error = r.error;
    }
    for (const packs::CourseKindResult& k : r.kinds)
      out << "已添加入门课程: " << k.kind->screenTitle << " " << k.chapters << " 个章节 (第 "
          << k.firstChapter << " 章起), " << k.items << " 个项目\n";
    for (const QString& name : r.renamed) out << "章节改名: " << name << "\n";
  }
  for (const auto& [role, kind] : {std::pair{settings.teacher, ClassroomLogin::Teacher},
                                    std::pair{settings.seat, ClassroomLogin::Seat}}) {
    if (!ok || role.isEmpty()) continue;
    ok = GrantClassroomLogin(connection, kind, role, &error);
    if (ok)
      out << (kind == ClassroomLogin::Teacher ? "老师的登录: " : "学生座位的登录: ") << role
          << "\n";
  }
  if (ok && settings.storeRecordings) {
    recordings::StoreReport report;
    ok = recordings::StoreNamedRecordings(connection, &report, &error);
    for (const QString& line : report.stored) out << "已上传录音: " << line << "\n";
    for (const QString& line : report.missing) out << "找不到录音: " << line << "\n";
    for (const QString& line : report.refused) out << "没有上传: " << line << "\n";
    if (ok)
      out << "录音: 上传 " << report.stored.size() << ", 已在数据库 " << report.alreadyStored
          << ", 找不到 " << report.missing.size() << ", 没有上传 " << report.refused.size()
          << "\n";
    if (ok && (!report.missing.isEmpty() || !report.refused.isEmpty())) {
      ok = false;
      error = QStringLiteral("有录音没有上传，见上面的清单。");
    }
  }
  if (ok && settings.checkRecordings) {
    recordings::CheckReport report;
    ok = recordings::CheckLibrary(connection, &report, &error);
    for (const QString& line : report.unnamed) out << "没有课程使用的录音: " << line << "\n";
    for (const QString& line : report.missing) out << "缺少的录音: " << line << "\n";
    if (ok)
      out << "录音检查: 没有课程使用 " << report.unnamed.size() << ", 缺少 "
          << report.missing.size() << "\n";
  }
  if (ok && settings.pruneRecordings) {
    QStringList removed;
    ok = recordings::PruneLibrary(connection, &removed, &error);
    for (const QString& line : removed) out << "已删除录音: " << line << "\n";
    if (ok) out << "录音: 删除 " << removed.size() << "\n";
  }
  if (ok) ok = RunChildren(settings, out, &error);
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
