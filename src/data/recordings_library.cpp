// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/recordings_library.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QStandardPaths>

#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"
#include "platform/logging.h"
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
    for (const QString& n : names)
      if (n.startsWith(prefix)) {
        *name = n;
        return true;
      }
    return true;
  }
  const QDir folder(QDir(RootOr(root)).filePath(kind.soundFolder));
  for (const QString& file :
       folder.entryList({QStringLiteral("*-%1*.wav").arg(sha.left(8))}, QDir::Files))
    if (Sha256(ReadAll(folder.filePath(file))) == sha) {
      *name = prefix + file;
      return true;
    }
  return true;
}

}  // namespace

bool IsLibraryName(const QString& sound) {
  const QStringList parts = sound.split(QLatin1Char('/'));
  if (parts.size() != 2 || parts[1].isEmpty() || parts[1].startsWith(QLatin1Char('.')) ||
      !parts[1].endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
    return false;
  for (const LessonKind* k : AllKinds())
    if (parts[0] == k->soundFolder) return true;
  return false;
}

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

QString LocalPath(const QString& connection, const QString& sound) {
  if (!IsLibraryName(sound)) return sound;
  if (!InDatabase(connection)) {
    const QString path = QDir(LibraryRoot()).filePath(sound);
    if (QFileInfo(path).isFile()) return path;
    qCInfo(lcSound).noquote() << "recording" << sound << "is not in" << LibraryRoot();
    return sound;
  }
  const QString cached = QDir(CacheRoot()).filePath(sound);
  if (QFileInfo(cached).isFile()) return cached;
  QVector<QVector<QVariant>> rows;
  QString error;
  if (!platform::ExecQuery(
          connection, QStringLiteral("select sha256, bytes from %1 where name = ?").arg(kTable),
          {sound}, &rows, &error)) {
    qCWarning(lcSound).noquote() << "recording" << sound << "not fetched:" << error;
    return sound;
  }
  if (rows.isEmpty()) {
    qCWarning(lcSound).noquote() << "recording" << sound << "is not in the database";
    return sound;
  }
  const QByteArray bytes = rows[0].value(1).toByteArray();
  if (Sha256(bytes) != rows[0].value(0).toString().trimmed()) {
    qCWarning(lcSound).noquote() << "recording" << sound << "fetched with a wrong hash";
    return sound;
  }
  if (!platform::SaveFile(bytes, cached, platform::Overwrite::Replace, &error)) {
    qCWarning(lcSound).noquote() << "recording" << sound << "not cached:" << error;
    return sound;
  }
  return cached;
}

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
      bool stored = false;
      if (IsLibraryName(sound) && !Taken(connection, sound, &stored, error)) return false;
      if (stored) {
        ++report->alreadyStored;
        continue;
      }
      // A library name comes from this computer's library folder, a path from where it points.
      const QString path = IsLibraryName(sound) ? QDir(LibraryRoot()).filePath(sound) : sound;
      if (!QFileInfo(path).isFile()) {
        report->missing << line;
        continue;
      }
      const QByteArray bytes = ReadAll(path);
      platform::Transaction tx(connection);
      const QString name =
          IsLibraryName(sound) ? sound : NameFor(connection, *kind, item, bytes, error);
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

}  // namespace recordings
