// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/recordings_library.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <memory>

#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"
#include "platform/db_watchdog.h"
#include "platform/logging.h"
#include "platform/sound.h"
#include "platform/wav_file.h"

namespace recordings {
namespace {

const QString kTable = QStringLiteral("recordings");

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Names of stored recordings that satisfy `where` (one value bound).
bool StoredNames(const QString& connection, const QString& where, const QString& value,
                 QStringList* names, QString* error) {
  QVector<QVector<QVariant>> rows;
  if (!platform::ExecQuery(connection,
                           QStringLiteral("select name from %1 where %2 = ?").arg(kTable, where),
                           {value}, &rows, error))
    return false;
  for (const auto& row : rows) *names << row.value(0).toString();
  return true;
}

// Whether a recording of that name is kept already; false with `error` when that can't be read.
QString RootOr(const QString& root) { return root.isEmpty() ? LibraryRoot() : root; }

bool Taken(const QString& connection, const QString& name, bool* taken, QString* error,
           const QString& root = {}) {
  if (!InDatabase(connection)) {
    *taken = QFileInfo::exists(QDir(RootOr(root)).filePath(name));
    return true;
  }
  QStringList names;
  if (!StoredNames(connection, QStringLiteral("name"), name, &names, error)) return false;
  *taken = !names.isEmpty();
  return true;
}

// The library's name for bytes with hash `sha` of `kind`, when it has them.
bool Existing(const QString& connection, const LessonKind& kind, const QString& sha, QString* name,
              QString* error, const QString& root) {
  const QString prefix = kind.soundFolder + QLatin1Char('/');
  if (InDatabase(connection)) {
    QStringList names;
    if (!StoredNames(connection, QStringLiteral("sha256"), sha, &names, error)) return false;
    for (const QString& n : names) {
      // A name another computer wrote is never given again unless the library would give it.
      if (!IsValidName(n)) {
        qCWarning(lcDb).noquote() << "recordings: refused the stored name" << n;
        continue;
      }
      if (n.startsWith(prefix)) {
        *name = n;
        return true;
      }
    }
    return true;
  }
  const QDir folder(QDir(RootOr(root)).filePath(kind.soundFolder));
  for (const QString& file :
       folder.entryList({QStringLiteral("*-%1*.wav").arg(sha.left(8))}, QDir::Files))
    if (IsValidName(prefix + file) && Sha256(ReadAll(folder.filePath(file))) == sha) {
      *name = prefix + file;
      return true;
    }
  return true;
}

}  // namespace

bool IsLibraryName(const QString& sound) {
  for (const LessonKind* k : AllKinds())
    if (sound.startsWith(k->soundFolder + QLatin1Char('/'))) return true;
  return false;
}

bool IsValidName(const QString& name) {
  // What NameFor makes: RecordingFileName's characters, not hidden, then the hash.
  static const QRegularExpression pattern(QStringLiteral(
      "^([^/]+)/(?:[^/\\\\:*?\"<>|\\x00-\\x1f\\x7f.][^/\\\\:*?\"<>|\\x00-\\x1f\\x7f]*)?-"
      "(?:[0-9a-f]{8}|[0-9a-f]{16}|[0-9a-f]{64})\\.wav$"));
  const QRegularExpressionMatch m = pattern.match(name);
  if (!m.hasMatch()) return false;
  for (const LessonKind* k : AllKinds())
    if (m.captured(1) == k->soundFolder) return true;
  return false;
}

namespace {

// A name from before the library's pattern ("字语音库/一.wav"): a file straight in a kind's
// folder of the library, read where it is and never written.
bool IsOlderName(const QString& sound) {
  static const QRegularExpression file(
      QStringLiteral("^[^/\\\\\\x00-\\x1f\\x7f.][^/\\\\\\x00-\\x1f\\x7f]*\\.wav$"),
      QRegularExpression::CaseInsensitiveOption);
  const int slash = sound.indexOf(QLatin1Char('/'));
  return IsLibraryName(sound) && file.match(sound.mid(slash + 1)).hasMatch();
}

}  // namespace

bool InDatabase(const QString& connection) {
  return QSqlDatabase::database(connection, false).driverName() == QLatin1String("QODBC");
}

QString LibraryRoot() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

QString CacheRoot() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
      .filePath(QStringLiteral("recordings"));
}

QString Sha256(const QByteArray& bytes) {
  return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString NameFor(const QString& connection, const LessonKind& kind, const QString& itemName,
                const QByteArray& bytes, QString* error, const QString& root) {
  const QString sha = Sha256(bytes);
  QString name;
  if (!Existing(connection, kind, sha, &name, error, root)) return {};
  if (!name.isEmpty()) return name;
  const QString base = RecordingFileName(kind, itemName).chopped(4);
  // Longer hashes only when a shorter one is taken by other bytes.
  for (const int length : {8, 16, 64}) {
    name = QStringLiteral("%1/%2-%3.wav").arg(kind.soundFolder, base, sha.left(length));
    bool taken = false;
    if (!Taken(connection, name, &taken, error, root)) return {};
    if (!taken) return name;
  }
  if (error) *error = QStringLiteral("声音文件“%1”已经存在。").arg(name);
  return {};
}

bool Stage(const QString& connection, const LessonKind& kind, const QString& itemName,
           const QByteArray& bytes, Staged* staged, QString* error) {
  *staged = {};
  staged->name = NameFor(connection, kind, itemName, bytes, error);
  if (staged->name.isEmpty()) return false;
  const QString kept = QDir(LibraryRoot()).filePath(staged->name);
  if (!InDatabase(connection) && QFileInfo(kept).isFile()) {
    staged->localPath = kept;
    return true;
  }
  staged->localPath = QDir(CacheRoot()).filePath(staged->name);
  if (QFileInfo(staged->localPath).isFile() && ReadAll(staged->localPath) == bytes) return true;
  if (!platform::SaveFile(bytes, staged->localPath, platform::Overwrite::Replace, error))
    return false;
  staged->createdCopy = true;
  return true;
}

bool Publish(const QString& connection, const QString& name, const QByteArray& bytes,
             QString* written, QString* error, const QString& root) {
  if (!IsValidName(name)) {
    if (error) *error = QStringLiteral("录音名称“%1”不合规，没有保存。").arg(name);
    return false;
  }
  bool taken = false;
  if (!Taken(connection, name, &taken, error, root)) return false;
  if (taken) return true;
  if (!InDatabase(connection)) {
    const QString path = QDir(RootOr(root)).filePath(name);
    if (!platform::SaveFile(bytes, path, platform::Overwrite::Never, error)) return false;
    if (written) *written = path;
    return true;
  }
  return platform::ExecQuery(
      connection,
      QStringLiteral("insert into %1 (name, sha256, size, bytes) values (?, ?, ?, ?)").arg(kTable),
      {name, Sha256(bytes), static_cast<qlonglong>(bytes.size()), bytes}, nullptr, error);
}

bool Publish(const QString& connection, const Staged& staged, QString* written, QString* error) {
  if (!InDatabase(connection) && staged.localPath == QDir(LibraryRoot()).filePath(staged.name))
    return true;
  QFile file(staged.localPath);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error)
      *error = QStringLiteral("找不到刚才的录音“%1”，请再录一次。")
                   .arg(QDir::toNativeSeparators(staged.localPath));
    return false;
  }
  const QByteArray bytes = file.readAll();
  return Publish(connection, staged.name, bytes, written, error);
}

void Discard(const QString& connection, const Staged& staged) {
  if (!staged.createdCopy) return;
  bool stored = false;
  // The seat's copy of a recording a row now names stays as its cache.
  if (InDatabase(connection) && Taken(connection, staged.name, &stored, nullptr) && stored) return;
  QFile::remove(staged.localPath);
}

namespace {

// One statement on `connection` under the time limit. `observed`: through the SQL observer, which
// only the interface thread uses.
bool Query(const QString& connection, bool observed, const QString& sql,
           const QVector<QVariant>& values, QVector<QVector<QVariant>>* rows, QString* error) {
  if (observed) return platform::ExecQuery(connection, sql, values, rows, error);
  QSqlQuery q(QSqlDatabase::database(connection, false));
  q.setForwardOnly(true);
  bool ok = q.prepare(sql);
  if (ok) {
    for (const QVariant& v : values) q.addBindValue(v);
    platform::StatementWatch watch(connection);
    ok = q.exec();
  }
  if (!ok) {
    if (error) *error = q.lastError().text().trimmed();
    return false;
  }
  while (rows && q.next()) rows->push_back({q.value(0), q.value(1)});
  return true;
}

// Fetches a valid library name into the cache; the name itself when that fails.
QString Fetch(const QString& connection, bool observed, const QString& sound) {
  const QString cached = QDir(CacheRoot()).filePath(sound);
  QVector<QVector<QVariant>> rows;
  QString error;
  // The size first, counted by the database: a row claiming hundreds of megabytes is not read.
  if (!Query(connection, observed,
             QStringLiteral("select sha256, length(bytes) from %1 where name = ?").arg(kTable),
             {sound}, &rows, &error)) {
    qCWarning(lcSound).noquote() << "recording" << sound << "not fetched:" << error;
    return sound;
  }
  if (rows.isEmpty()) {
    qCWarning(lcSound).noquote() << "recording" << sound << "is not in the database";
    return sound;
  }
  const QString sha = rows[0].value(0).toString().trimmed();
  const qint64 size = rows[0].value(1).toLongLong();
  if (size > platform::kMaxRecordingBytes) {
    qCWarning(lcSound).noquote() << "recording" << sound << "refused:" << size
                                 << "bytes, more than a recording may have";
    return sound;
  }
  rows.clear();
  if (!Query(connection, observed,
             QStringLiteral("select bytes from %1 where name = ? and length(bytes) <= ?")
                 .arg(kTable),
             {sound, platform::kMaxRecordingBytes}, &rows, &error)) {
    qCWarning(lcSound).noquote() << "recording" << sound << "not fetched:" << error;
    return sound;
  }
  const QByteArray bytes = rows.value(0).value(0).toByteArray();
  if (rows.isEmpty() || Sha256(bytes) != sha) {
    qCWarning(lcSound).noquote() << "recording" << sound << "fetched with a wrong hash";
    return sound;
  }
  if (!platform::SaveFile(bytes, cached, platform::Overwrite::Replace, &error)) {
    qCWarning(lcSound).noquote() << "recording" << sound << "not cached:" << error;
    return sound;
  }
  return cached;
}

}  // namespace


QString LocalPath(const QString& connection, const QString& sound) {
  if (!IsLibraryName(sound)) return sound;
  if (!IsValidName(sound)) {
    if (IsOlderName(sound)) {
      const QString path = QDir(LibraryRoot()).filePath(sound);
      return QFileInfo(path).isFile() ? path : sound;
    }
    qCWarning(lcSound).noquote() << "recording name refused:" << sound;
    return {};
  }
  if (!InDatabase(connection)) {
    const QString path = QDir(LibraryRoot()).filePath(sound);
    if (QFileInfo(path).isFile()) return path;
    qCInfo(lcSound).noquote() << "recording" << sound << "is not in" << LibraryRoot();
    return sound;
  }
  const QString cached = QDir(CacheRoot()).filePath(sound);
  if (QFileInfo(cached).isFile()) return cached;
  return Fetch(connection, true, sound);
}

bool NeedsFetch(const QString& connection, const QString& sound) {
  return IsValidName(sound) && InDatabase(connection) &&
         !QFileInfo(QDir(CacheRoot()).filePath(sound)).isFile();
}

void FetchLater(const QString& connection, const QString& sound, QObject* context,
                std::function<void(const QString& path)> done) {
  auto result = std::make_shared<QString>(sound);
  QThread* thread = QThread::create([connection, sound, result] {
    static QAtomicInt count = 0;
    const QString name = QStringLiteral("recording-fetch-%1").arg(++count);
    {
      QSqlDatabase db = QSqlDatabase::cloneDatabase(connection, name);
      if (platform::OpenDatabase(db))
        *result = Fetch(name, false, sound);
      else
        qCWarning(lcSound).noquote() << "recording" << sound << "not fetched:"
                                     << db.lastError().text().trimmed();
      db.close();
    }
    QSqlDatabase::removeDatabase(name);
  });
  QObject::connect(thread, &QThread::finished, context,
                   [result, done = std::move(done)] { done(*result); });
  QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
  thread->start();
}

namespace {

// The recording a row names on this computer: a plain file of a playable WAV within the limit.
// Empty with `why` otherwise; `missing` when there is no such file at all.
QByteArray ReadRecording(const QString& path, bool* missing, QString* why) {
  const QFileInfo info(path);
  *missing = !info.exists();
  if (*missing) return {};
  // Only a plain file: opening a FIFO would block.
  if (!info.isFile()) {
    *why = QStringLiteral("不是普通文件");
    return {};
  }
  if (info.size() > platform::kMaxRecordingBytes) {
    *why = QStringLiteral("超过 %1 MB").arg(platform::kMaxRecordingBytes >> 20);
    return {};
  }
  const QByteArray bytes = ReadAll(path);
  if (!platform::IsPlayableWav(bytes)) {
    *why = QStringLiteral("不是能播放的WAV声音文件");
    return {};
  }
  return bytes;
}

}  // namespace

bool StoreNamedRecordings(const QString& connection, StoreReport* report, QString* error) {
  if (!InDatabase(connection)) {
    if (error) *error = QStringLiteral("只有服务器上的课程数据库（--odbc）才保存录音。");
    return false;
  }
  for (const LessonKind* kind : AllKinds()) {
    QVector<QVector<QVariant>> rows;
    if (!platform::ExecQuery(connection,
                             QStringLiteral("select %1, %2, 声音 from %3")
                                 .arg(kind->numberField, kind->nameField, kind->itemTable),
                             {}, &rows, error))
      return false;
    for (const auto& row : rows) {
      const QString number = row.value(0).toString(), item = row.value(1).toString();
      const QString sound = row.value(2).toString().trimmed();
      if (sound.isEmpty()) continue;
      const QString line = item + QStringLiteral(": ") + sound;
      if (IsLibraryName(sound) && !IsValidName(sound) && !IsOlderName(sound)) {
        report->refused << line + QStringLiteral("（录音名称不合规）");
        continue;
      }
      bool stored = false;
      if (IsValidName(sound) && !Taken(connection, sound, &stored, error)) return false;
      if (stored) {
        ++report->alreadyStored;
        continue;
      }
      // A library name comes from this computer's library folder, a path from where it points.
      const QString path = IsLibraryName(sound) ? QDir(LibraryRoot()).filePath(sound) : sound;
      bool missing = false;
      QString why;
      const QByteArray bytes = ReadRecording(path, &missing, &why);
      if (missing) {
        report->missing << line;
        continue;
      }
      if (bytes.isEmpty()) {
        report->refused << line + QStringLiteral("（%1）").arg(why);
        continue;
      }
      // The name the bytes give, whatever the row said.
      platform::Transaction tx(connection);
      const QString name = NameFor(connection, *kind, item, bytes, error);
      if (name.isEmpty() || !tx.Begin() || !Publish(connection, name, bytes, nullptr, error) ||
          !platform::ExecQuery(connection,
                               QStringLiteral("update %1 set 声音 = ? where %2 = ? and 声音 = ?")
                                   .arg(kind->itemTable, kind->numberField),
                               {name, number, row.value(2)}, nullptr, error) ||
          !tx.Commit()) {
        if (error && error->isEmpty()) *error = tx.LastError();
        return false;
      }
      report->stored << line;
    }
  }
  return true;
}

namespace {

// Every 声音 the items hold, and the items naming each library name.
bool NamedSounds(const QString& connection, QSet<QString>* sounds,
                 QList<std::pair<QString, QString>>* libraryNames, QString* error) {
  for (const LessonKind* kind : AllKinds()) {
    QVector<QVector<QVariant>> rows;
    if (!platform::ExecQuery(
            connection,
            QStringLiteral("select %1, 声音 from %2").arg(kind->nameField, kind->itemTable), {},
            &rows, error))
      return false;
    for (const auto& row : rows) {
      const QString sound = row.value(1).toString().trimmed();
      if (sound.isEmpty()) continue;
      // Rows from before the library may name a library file by its full path.
      sounds->insert(QDir::cleanPath(QDir::fromNativeSeparators(sound)));
      if (IsLibraryName(sound)) libraryNames->append({row.value(0).toString(), sound});
    }
  }
  return true;
}

// What the library holds: names on a server, names relative to the library folder for files.
bool LibraryNames(const QString& connection, QStringList* names, QString* error) {
  if (InDatabase(connection)) {
    QVector<QVector<QVariant>> rows;
    if (!platform::ExecQuery(connection, QStringLiteral("select name from %1").arg(kTable), {},
                             &rows, error))
      return false;
    for (const auto& row : rows) *names << row.value(0).toString();
    return true;
  }
  const QDir root(LibraryRoot());
  for (const LessonKind* kind : AllKinds())
    for (const QString& file :
         QDir(root.filePath(kind->soundFolder)).entryList({QStringLiteral("*.wav")}, QDir::Files))
      // Only what the library made itself: an adult's own files there are not its business.
      if (const QString name = kind->soundFolder + QLatin1Char('/') + file; IsValidName(name))
        *names << name;
  return true;
}

bool Unnamed(const QString& connection, QStringList* unnamed,
             QList<std::pair<QString, QString>>* libraryNames, QString* error) {
  QSet<QString> sounds;
  QStringList names;
  if (!NamedSounds(connection, &sounds, libraryNames, error) ||
      !LibraryNames(connection, &names, error))
    return false;
  const QDir root(LibraryRoot());
  for (const QString& name : names)
    if (!sounds.contains(name) && (InDatabase(connection) || !sounds.contains(root.filePath(name))))
      *unnamed << name;
  unnamed->sort();
  return true;
}

}  // namespace

bool CheckLibrary(const QString& connection, CheckReport* report, QString* error) {
  QList<std::pair<QString, QString>> named;
  if (!Unnamed(connection, &report->unnamed, &named, error)) return false;
  for (const auto& [item, sound] : named) {
    bool there = false;
    if (IsOlderName(sound) && !IsValidName(sound)) continue;  // a file of its own, not the library's
    if (!IsValidName(sound)) {
      report->missing << item + QStringLiteral(": ") + sound + QStringLiteral("（名称不合规）");
      continue;
    }
    if (!Taken(connection, sound, &there, error)) return false;
    if (!there) report->missing << item + QStringLiteral(": ") + sound;
  }
  return true;
}

bool PruneLibrary(const QString& connection, QStringList* removed, QString* error) {
  QList<std::pair<QString, QString>> named;
  QStringList unnamed;
  if (!InDatabase(connection)) {
    if (!Unnamed(connection, &unnamed, &named, error)) return false;
    for (const QString& name : unnamed) {
      if (!QFile::remove(QDir(LibraryRoot()).filePath(name))) {
        if (error) *error = QStringLiteral("无法删除录音文件“%1”。").arg(name);
        return false;
      }
      *removed << name;
    }
    return true;
  }
  platform::Transaction tx(connection);
  if (!tx.Begin() || !Unnamed(connection, &unnamed, &named, error)) {
    if (error && error->isEmpty()) *error = tx.LastError();
    return false;
  }
  for (const QString& name : unnamed)
    if (!platform::ExecQuery(connection, QStringLiteral("delete from %1 where name = ?").arg(kTable),
                             {name}, nullptr, error))
      return false;
  if (!tx.Commit()) {
    if (error) *error = tx.LastError();
    return false;
  }
  *removed = unnamed;
  return true;
}

namespace {
// Every running copy of the program holds a shared lock on this file; only one that finds no
// other holder may sweep. Opened again when the file was replaced (the cache folder removed).
int CacheLockFd() {
  static int fd = -1;
  const QByteArray path = QFile::encodeName(QDir(CacheRoot()).filePath(QStringLiteral(".in-use")));
  struct stat held {}, now {};
  if (fd >= 0 && ::fstat(fd, &held) == 0 && ::stat(path.constData(), &now) == 0 &&
      held.st_ino == now.st_ino && held.st_dev == now.st_dev)
    return fd;
  if (fd >= 0) ::close(fd);
  QDir().mkpath(CacheRoot());
  fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd >= 0) ::flock(fd, LOCK_SH | LOCK_NB);  // refused only while another copy sweeps
  return fd;
}
}  // namespace

void HoldCache() { CacheLockFd(); }

bool SweepCache(const QString& connection, QStringList* removed, QString* error) {
  const int fd = CacheLockFd();
  if (fd < 0) return true;
  // A refused change of the lock may leave none: the shared one is taken again either way.
  const auto shared = qScopeGuard([fd] { ::flock(fd, LOCK_SH | LOCK_NB); });
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return true;  // another copy runs
  QSet<QString> sounds;
  QList<std::pair<QString, QString>> libraryNames;
  if (!NamedSounds(connection, &sounds, &libraryNames, error)) return false;
  const QDir root(CacheRoot());
  for (const LessonKind* kind : AllKinds())
    for (const QString& file :
         QDir(root.filePath(kind->soundFolder)).entryList({QStringLiteral("*.wav")}, QDir::Files)) {
      const QString name = kind->soundFolder + QLatin1Char('/') + file;
      if (!IsValidName(name) || sounds.contains(name)) continue;
      if (QFile::remove(root.filePath(name))) *removed << name;
    }
  return true;
}

}  // namespace recordings
