// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded lesson database: checked on every start, built on first use, damaged files moved
// aside for rescue.
#include "data/embedded_database.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <dlfcn.h>
#include <unistd.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "data/lesson_kinds.h"
#include "data/schema_migrations.h"
#include "platform/logging.h"

namespace {

enum class FileState { Missing, Empty, Damaged, Unreadable, Incomplete, IncompleteWithLessons, Ok };

struct Check {
  FileState state = FileState::Missing;
  QString why;  // SQLite's words, for the message
};

QStringList LessonTables() {
  QStringList tables{QStringLiteral("SYS")};
  for (const LessonKind* kind : AllKinds()) tables << kind->chapterTable << kind->itemTable;
  return tables;
}

// Files up to this size get the full integrity check (which also compares every index with its
// table) within about 50 ms even on a busy machine: bench_database measured 32 ms for 1 MiB and
// 60 ms for 1.9 MiB under heavy load. Larger ones get the
// quick check, which reads every page but not the indexes' contents.
constexpr qint64 kFullCheckBytes = qint64(1) << 20;
// The quick check takes about 2.5 ms a MiB; up to this size it ends while the menu is being built
// beside it. Past it the menu waited for it (a 53 MB file drew the menu 90 ms later), so start-up
// only reads the schema and the whole check after the menu reads the pages.
constexpr qint64 kQuickCheckBytes = qint64(8) << 20;

// A connection of its own on `path` for the length of one job.
class Connection {
 public:
  explicit Connection(const QString& path, bool readOnly = false) {
    static std::atomic<int> count{0};
    m_name = QStringLiteral("tindora-embedded-%1").arg(++count);
    QString error;
    m_open =
        OpenConnection(m_name, readOnly ? ReadOnlyEmbeddedSpec(path) : EmbeddedSpec(path), &error);
  }
  ~Connection() {
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
  }
  bool open() const { return m_open; }
  const QString& name() const { return m_name; }

 private:
  QString m_name;
  bool m_open = false;
};

// The integrity check's findings on an open connection, "ok" left out: empty when the file is
// sound. False with the driver's words in `why` when the check itself could not run.
bool Findings(const QString& connection, const QString& pragma, QStringList* found, QString* why) {
  QSqlQuery q(QSqlDatabase::database(connection, false));
  q.setForwardOnly(true);
  if (!q.exec(pragma)) {
    *why = q.lastError().text().trimmed();
    return false;
  }
  while (q.next())
    if (q.value(0).toString() != QLatin1String("ok")) *found << q.value(0).toString();
  return true;
}

// Damage that rebuilding the indexes mends without losing a row: entries missing from an index or
// left in it. A table page out of order, or two rows where a unique index allows one, is not.
bool OnlyIndexes(const QStringList& found) {
  static const QRegularExpression index(
      QStringLiteral("^(row \\d+ missing from index \\S+|wrong # of entries in index \\S+)$"));
  for (const QString& f : found)
    if (!index.match(f.trimmed()).hasMatch()) return false;
  return !found.isEmpty();
}

// Rebuilds every index of the file and checks it whole again; true when it is sound now.
bool RebuildIndexes(const QString& connection) {
  QSqlQuery q(QSqlDatabase::database(connection, false));
  QStringList found;
  QString why;
  const bool ok = q.exec(QStringLiteral("reindex")) &&
                  Findings(connection, QStringLiteral("pragma integrity_check"), &found, &why) &&
                  found.isEmpty();
  qCWarning(lcDb) << "indexes rebuilt:" << ok << q.lastError().text() << why << found.mid(0, 5);
  return ok;
}

Check Inspect(const QString& path, bool readOnly = false) {
  const QFileInfo info(path);
  if (!info.exists()) return {FileState::Missing, {}};
  if (info.size() == 0) return {FileState::Empty, {}};
  Connection c(path, readOnly);
  if (!c.open()) return {FileState::Unreadable, QStringLiteral("无法打开")};
  // Larger files get the whole check once the menu shows (CheckWholeFile). Reading the schema
  // still finds a file that is no database at all or whose schema is damaged.
  const StartCheck check = StartCheckFor(info.size());
  QStringList found;
  QString why;
  if (!Findings(c.name(),
                check == StartCheck::Whole   ? QStringLiteral("pragma integrity_check")
                : check == StartCheck::Pages ? QStringLiteral("pragma quick_check")
                                             : QStringLiteral("select 'ok' from sqlite_master"),
                &found, &why)) {
    const bool damage = why.contains(QLatin1String("malformed")) ||
                        why.contains(QLatin1String("not a database"));
    return {damage ? FileState::Damaged : FileState::Unreadable, why};
  }
  if (!found.isEmpty()) {
    qCWarning(lcDb) << "embedded database check found:" << found.mid(0, 10);
    // Nothing is moved aside for what can be mended without loss.
    if (readOnly || !OnlyIndexes(found) || !RebuildIndexes(c.name()))
      return {FileState::Damaged, found.join(QLatin1Char('\n'))};
  }
  const QStringList present = QSqlDatabase::database(c.name(), false).tables();
  bool complete = true, lessons = false;
  for (const QString& table : LessonTables()) {
    if (!present.contains(table, Qt::CaseInsensitive)) {
      complete = false;
      continue;
    }
    QSqlQuery rows(QSqlDatabase::database(c.name(), false));
    if (rows.exec(QStringLiteral("select 1 from %1 limit 1").arg(table)) && rows.next())
      lessons = true;
  }
  if (!complete)
    return {lessons ? FileState::IncompleteWithLessons : FileState::Incomplete,
            QStringLiteral("缺少课程表")};
  return {FileState::Ok, {}};
}

// Removes the file and what SQLite keeps beside it.
void RemoveWithJournal(const QString& path) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"})
    QFile::remove(path + QLatin1String(suffix));
}

// Removes what a first start killed while building left behind. Builds run under the lock this
// process now holds, so whoever made these is gone.
void SweepHalfBuilt(const QString& path) {
  const QFileInfo info(path);
  const QDir dir = info.absoluteDir();
  for (const QString& name : dir.entryList({info.fileName() + QStringLiteral(".*.new"),
                                            info.fileName() + QStringLiteral(".*.new-*")},
                                           QDir::Files | QDir::Hidden)) {
    qCInfo(lcDb) << "half-built database removed:" << name;
    QFile::remove(dir.filePath(name));
  }
}

// The folder itself, or the nearest one above it that exists: a first start on a read-only disk
// finds no data folder and cannot make one.
QString ExistingFolder(QString folder) {
  while (!QFileInfo(folder).isDir()) {
    const QString up = QFileInfo(folder).absolutePath();
    if (up == folder) break;
    folder = up;
  }
  return folder;
}

QString WriteProblem(int error) {
  switch (error) {
    case 0:
      return {};
    case ENOSPC:
    case EDQUOT:
      return QStringLiteral("磁盘已满");
    case EROFS:
      return QStringLiteral("文件夹所在的磁盘是只读的");
    default:
      return QStringLiteral("没有写入这个文件夹的权限");
  }
}

// Why nothing can be written in `folder`, in the user's words; empty when it can.
QString UnwritableFolder(const QString& folder) {
  const QString existing = ExistingFolder(folder);
  struct statvfs disk {};
  if (::statvfs(QFile::encodeName(existing).constData(), &disk) == 0 && (disk.f_flag & ST_RDONLY))
    return WriteProblem(EROFS);
  QByteArray probe =
      QFile::encodeName(QDir(existing).filePath(QStringLiteral(".tindora-probe-XXXXXX")));
  int problem = 0;
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) {
    problem = errno;
  } else {
    // A full disk may take the byte and refuse it only when it has to be kept.
    if (::write(fd, "x", 1) != 1 || ::fsync(fd) != 0) problem = errno;
    ::close(fd);
    ::unlink(probe.constData());
  }
  return WriteProblem(problem);
}

// Why the database file itself cannot be written (mode 444, immutable); empty when it can. Opened
// for writing without changing a byte.
QString UnwritableFile(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    return {};
  }
  if (errno == ENOENT) return {};
  return errno == EROFS ? WriteProblem(EROFS) : QStringLiteral("数据库文件是只读的");
}

// Moves the file (and its journal) aside under a dated name; returns that name, empty on failure.
QString MoveAside(const QString& path) {
  const QString aside = path + QStringLiteral(".damaged-") +
                        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  if (!QFile::rename(path, aside)) return {};
  for (const char* suffix : {"-journal", "-wal", "-shm"})
    QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
  return aside;
}

// Builds schema and sample course under a unique name and publishes the file whole. The
// driver's words go to the log; the user is told the cause in Chinese.
bool Build(const QString& path, QString* error) {
  const QString folder = QFileInfo(path).absolutePath();
  QString why;
  bool ok = false;
  {
    QTemporaryFile partial(path + QStringLiteral(".XXXXXX.new"));
    if (partial.open()) {
      partial.close();
      {
        Connection c(partial.fileName());
        ok = c.open() && CreateSchema(c.name(), &why) &&
             LoadCourse(c.name(), SampleCourseJson(), InstallationFolder(), &why);
      }
      if (ok && !QFile::rename(partial.fileName(), path)) {
        why = QStringLiteral("rename failed");
        ok = false;
      }
      if (ok) partial.setAutoRemove(false);
    } else {
      why = partial.errorString();
    }
  }
  qCInfo(lcDb) << "embedded database built:" << path << ok << why;
  if (!ok && error) {
    const QString cause = UnwritableFolder(folder);
    *error = cause.isEmpty()
                 ? QStringLiteral("无法在数据文件夹 %1 建立课程数据库。").arg(folder)
                 : QStringLiteral("无法在数据文件夹 %1 建立课程数据库（%2），请检查后再启动本程序。")
                       .arg(folder, cause);
  }
  return ok;
}

}  // namespace

ConnectionSpec ReadOnlyEmbeddedSpec(const QString& path) {
  ConnectionSpec spec = EmbeddedSpec(path);
  spec.databaseName =
      QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
      // Immutable: a file kept in the write-ahead log mode cannot make its shared-memory file in
      // a folder that cannot be written, and nobody can write there meanwhile anyway.
      QStringLiteral("?mode=ro&immutable=1");
  return spec;
}

bool EnsureEmbeddedDatabase(const QString& path, QString* error, QString* notice) {
  return EnsureEmbeddedDatabase(path, error, notice, nullptr, nullptr);
}

namespace {

// The lessons can still be shown from a good file that cannot be written: read only, told why.
bool OfferReadOnly(const QString& path, const QString& where, const QString& cause,
                   QString* error, QString* notice, bool* readOnly, QString* readOnlyReason) {
  qCWarning(lcDb) << "lesson database cannot be written:" << where << cause;
  if (readOnly && QFileInfo::exists(path) && Inspect(path, true).state == FileState::Ok) {
    *readOnly = true;
    const QString reason = QStringLiteral("%1 无法写入（%2）").arg(where, cause);
    if (readOnlyReason) *readOnlyReason = reason;
    if (notice)
      *notice = QStringLiteral(
                    "%1。\n课程照常可以学习，但编辑已关闭，学习记录也不会保存。"
                    "\n请让管理员检查后再启动本程序。")
                    .arg(reason);
    return true;
  }
  if (error)
    *error = QStringLiteral("无法写入%1（%2），请检查后再启动本程序。").arg(where, cause);
  return false;
}

}  // namespace

bool EnsureEmbeddedDatabase(const QString& path, QString* error, QString* notice, bool* readOnly,
                            QString* readOnlyReason) {
  if (readOnly) *readOnly = false;
  const QString folder = QFileInfo(path).absolutePath();
  const QString where = QStringLiteral("数据文件夹 %1").arg(folder);
  QDir().mkpath(folder);
  // Two first starts at the same moment: the second waits for the first and finds its file.
  QLockFile lock(path + QStringLiteral(".lock"));
  if (!lock.tryLock(60000)) {
    const QString cause =
        lock.error() == QLockFile::LockFailedError ? QString() : UnwritableFolder(folder);
    if (cause.isEmpty()) {
      if (error)
        *error = QStringLiteral("课程数据库 %1 正被另一个 Tindora 使用，请稍后再试。").arg(path);
      return false;
    }
    return OfferReadOnly(path, where, cause, error, notice, readOnly, readOnlyReason);
  }
  // A full disk may still take the lock's few bytes; a file of mode 444 sits in a folder that
  // can be written. Either way every save would fail.
  if (const QString cause = UnwritableFolder(folder); !cause.isEmpty())
    return OfferReadOnly(path, where, cause, error, notice, readOnly, readOnlyReason);
  if (const QString cause = UnwritableFile(path); !cause.isEmpty())
    return OfferReadOnly(path, QStringLiteral("课程数据库文件 %1").arg(path), cause, error, notice,
                         readOnly, readOnlyReason);
  SweepHalfBuilt(path);
  const Check check = Inspect(path);
  switch (check.state) {
    case FileState::Ok: {
      Connection c(path);
      return c.open() && MigrateSchema(c.name(), error);
    }
    case FileState::Unreadable:
      qCWarning(lcDb) << "embedded database unreadable:" << path << check.why;
      if (error)
        *error = QStringLiteral("课程数据库文件 %1 无法读取。请检查这个文件和它所在文件夹的权限。")
                     .arg(path);
      return false;
    case FileState::Empty:
    case FileState::Incomplete:
      // Nothing of the user's is in it: an interrupted build.
      qCInfo(lcDb) << "embedded database holds no lessons, built anew:" << path;
      RemoveWithJournal(path);
      break;
    case FileState::Damaged:
    case FileState::IncompleteWithLessons: {
      const QString aside = MoveAside(path);
      if (aside.isEmpty()) {
        if (error)
          *error = QStringLiteral(
                       "课程数据库文件 %1 已损坏，也无法移开。请把它移到别处保存后再启动本程序。")
                       .arg(path);
        return false;
      }
      qCWarning(lcDb) << "embedded database damaged, moved aside:" << path << check.why << aside;
      if (notice)
        *notice = QStringLiteral(
                      "课程数据库文件 %1 已损坏，已原样移到\n%2\n保存，没有删除。\n"
                      "程序已重新建立示例课程。若要找回原来的课程，请把那个文件交给管理员修复。")
                      .arg(path, aside);
      break;
    }
    case FileState::Missing:
      break;
  }
  return Build(path, error);
}

// --- the whole check after the menu ------------------------------------------------------------

namespace {

// The SQLite handle of a whole check in progress, for interrupting it from another thread.
std::mutex g_checkMutex;
void* g_checkHandle = nullptr;
bool g_checkInterrupted = false;

// sqlite3_interrupt, from the SQLite library the driver loaded (safe from any thread).
void InterruptSqlite(void* handle) {
  using Interrupt = void (*)(void*);
  static const Interrupt interrupt = [] {
    void* lib = ::dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD);
    return lib ? reinterpret_cast<Interrupt>(::dlsym(lib, "sqlite3_interrupt")) : nullptr;
  }();
  if (interrupt && handle) interrupt(handle);
}

}  // namespace

StartCheck StartCheckFor(qint64 bytes) {
  return bytes <= kFullCheckBytes    ? StartCheck::Whole
         : bytes <= kQuickCheckBytes ? StartCheck::Pages
                                     : StartCheck::Schema;
}

bool WholeCheckWaitsForMenu(const QString& path) {
  return StartCheckFor(QFileInfo(path).size()) != StartCheck::Whole;
}

WholeFileCheck CheckWholeFile(const QString& path, bool mayRepair) {
  using Outcome = WholeFileCheck::Outcome;
  WholeFileCheck r;
  QElapsedTimer took;
  took.start();
  static std::atomic<int> count{0};
  const QString name = QStringLiteral("tindora-whole-check-%1").arg(++count);
  bool repair = false;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (db.open()) {
      {
        std::lock_guard lock(g_checkMutex);
        g_checkHandle = *static_cast<void* const*>(db.driver()->handle().constData());
      }
      QString why;
      const bool ran =
          Findings(name, QStringLiteral("pragma integrity_check"), &r.found, &why);
      {
        std::lock_guard lock(g_checkMutex);
        g_checkHandle = nullptr;
        if (g_checkInterrupted) r.found.clear();
        if (!ran && !g_checkInterrupted) r.found << why;
        if (g_checkInterrupted)
          r.outcome = Outcome::NotChecked;
        else if (ran && r.found.isEmpty())
          r.outcome = Outcome::Sound;
        else if (!ran && !why.contains(QLatin1String("malformed")) &&
                 !why.contains(QLatin1String("not a database")))
          r.outcome = Outcome::NotChecked;  // busy, unreadable: nothing found
        else
          r.outcome = Outcome::Damaged;
      }
      repair = r.outcome == Outcome::Damaged && mayRepair && OnlyIndexes(r.found);
      db.close();
    }
  }
  QSqlDatabase::removeDatabase(name);
  if (repair) {
    Connection c(path);
    if (c.open() && RebuildIndexes(c.name())) r.outcome = Outcome::Repaired;
  }
  r.ms = took.elapsed();
  qCInfo(lcDb) << "whole check of" << path << QFileInfo(path).size() << "bytes:" << int(r.outcome)
               << r.ms << "ms" << r.found.mid(0, 10);
  return r;
}

void InterruptWholeFileCheck() {
  std::lock_guard lock(g_checkMutex);
  g_checkInterrupted = true;
  InterruptSqlite(g_checkHandle);
}
