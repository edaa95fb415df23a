// SPDX-License-Identifier: GPL-3.0-or-later
#include <quazip.h>
#include <quazipfile.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "data/recordings_library.h"
#include "packs/lesson_pack.h"
#include "packs/pack_code.h"
#include "packs/pack_manifest.h"
#include "packs/pack_zip.h"
#include "platform/dataset.h"
#include "platform/plain_text.h"

namespace packs {
namespace {

// Folders an import is still unpacking into; a hidden sibling of the final folder, so that the
// final rename stays on one file system. Those left by a killed import are swept by the next one.
const QString kUnpackPrefix = QStringLiteral(".tindora-import-");

// Removes unpack folders whose import died; a live import holds the lock beside its folder.
void SweepAbandonedUnpacks(const QDir& dir) {
  QSet<QString> bases;
  for (const QString& name : dir.entryList(
           {kUnpackPrefix + QLatin1Char('*')},
           QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
    bases.insert(name.endsWith(QLatin1String(".lock")) ? name.chopped(5) : name);
  }
  for (const QString& base : bases) {
    QLockFile lock(dir.filePath(base + QStringLiteral(".lock")));
    lock.setStaleLockTime(0);  // stale only when its process is gone
    if (lock.tryLock(0)) QDir(dir.filePath(base)).removeRecursively();
  }
}

bool AppendRow(platform::Dataset& d, const QList<std::pair<QString, QString>>& fields) {
  d.Append();
  for (const auto& [name, value] : fields) d.SetField(name, value);
  if (d.Post()) return true;
  d.Cancel();
  return false;
}

QString StoreFailed(const QString& why) {
  return QStringLiteral("储存课程包出错，没有导入任何内容：%1").arg(why);
}

}  // namespace

QString UserSoundRoot() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/Tindora");
}

QString OpenPack(const QString& file, const LessonKind* expected, const PackLimits& limits,
                 OpenedPack* pack) {
  if (!QFileInfo(file).isFile()) return QStringLiteral("找不到课程包文件“%1”。").arg(file);
  pack->zip = std::make_unique<QuaZip>(file);
  if (!pack->zip->open(QuaZip::mdUnzip)) {
    if (!pack->withoutComment.Open(file)) return DamagedMessage(file);
    pack->zip = std::make_unique<QuaZip>(&pack->withoutComment);
    if (!pack->zip->open(QuaZip::mdUnzip)) return DamagedMessage(file);
  }
  QuaZip& zip = *pack->zip;
  QHash<QString, QuaZipFileInfo64>& entries = pack->entries;

  // Every entry is judged before anything is unpacked, referenced by the manifest or not.
  qint64 declaredTotal = 0;
  for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info)) return DamagedMessage(file);
    // This program never encrypts a pack: an entry flagged so was made by something else.
    if (info.flags & 0x1)
      return QStringLiteral("课程包“%1”中的文件%2加了密码，本程序不能读取。请导入没有密码的课程包。")
          .arg(QFileInfo(file).fileName(), platform::Quoted(info.name));
    const QString problem = CheckEntry(info, limits);
    if (!problem.isEmpty()) return problem;
    if (entries.contains(info.name))
      return QStringLiteral("课程包中的文件%1出现了两次，已拒绝导入。").arg(platform::Quoted(info.name));
    declaredTotal += static_cast<qint64>(info.uncompressedSize);
    if (entries.size() >= limits.maxEntries || declaredTotal > limits.maxTotalBytes)
      return TooLargeMessage();
    entries.insert(info.name, info);
  }
  if (zip.getZipError() != UNZ_OK) return DamagedMessage(file);

  const QString manifestName = QLatin1String(kManifestName);
  if (!entries.contains(manifestName))
    return QStringLiteral("课程包里没有课程清单(%1)，这不是Tindora课程包。").arg(manifestName);
  pack->budget = limits.maxTotalBytes;
  QByteArray manifest;
  {
    const qint64 size = static_cast<qint64>(entries[manifestName].uncompressedSize);
    if (size > limits.maxManifestBytes) return TooLargeMessage();
    QBuffer buffer(&manifest);
    buffer.open(QIODevice::WriteOnly);
    if (!zip.setCurrentFile(manifestName, QuaZip::csSensitive)) return DamagedMessage(file);
    const Unpacked u = UnpackCurrent(zip, size, buffer, &pack->budget);
    if (u == Unpacked::TooLarge) return TooLargeMessage();
    if (u != Unpacked::Ok) return DamagedMessage(file);
  }
  const QString problem = ParseManifest(manifest, expected, &pack->kind, &pack->chapters);
  if (!problem.isEmpty()) return problem;
  if (pack->chapters.size() > limits.maxChapters)
    return QStringLiteral("课程包有%1个章节，一次最多只能导入%2个章节。")
        .arg(pack->chapters.size())
        .arg(limits.maxChapters);
  int itemCount = 0;
  for (const PackChapter& c : pack->chapters) itemCount += static_cast<int>(c.items.size());
  if (itemCount > limits.maxItems)
    return QStringLiteral("课程包有%1个项目，一次最多只能导入%2个项目。")
        .arg(itemCount)
        .arg(limits.maxItems);
  return {};
}

ImportResult ImportPackFile(const QString& connection, const QString& file, const QString& soundRoot,
                            const LessonKind* expected, const Progress& progress,
                            const PackLimits& limits) {
  ImportResult r;
  const auto fail = [&r](const QString& error) {
    r.error = error;
    return r;
  };
  OpenedPack pack;
  const QString refused = OpenPack(file, expected, limits, &pack);
  if (!refused.isEmpty()) return fail(refused);
  r.kind = pack.kind;
  QuaZip& zip = *pack.zip;
  QHash<QString, QuaZipFileInfo64>& entries = pack.entries;
  qint64& budget = pack.budget;
  QVector<PackChapter>& chapters = pack.chapters;
  const LessonKind& kind = *r.kind;
  // Each recording is unpacked and stored once, however many items name it; it is named after
  // the first of them.
  QHash<QString, QString> firstNamer;
  for (const PackChapter& c : chapters)
    for (const PackItem& i : c.items) {
      if (i.sound.isEmpty()) continue;
      if (!entries.contains(i.sound) || i.sound.endsWith(QLatin1Char('/')))
        return fail(QStringLiteral("课程包中缺少声音文件%1。").arg(platform::Quoted(i.sound)));
      if (!firstNamer.contains(i.sound)) firstNamer.insert(i.sound, i.name);
    }
  const int steps = static_cast<int>(firstNamer.size()) + 1;  // the last step stores the rows

  platform::Transaction tx(connection);
  if (!tx.Begin()) return fail(StoreFailed(tx.LastError()));
  platform::Dataset chapterTable(connection);
  chapterTable.SetTableName(kind.chapterTable);
  platform::Dataset itemTable(connection);
  itemTable.SetTableName(kind.itemTable);
  if (!chapterTable.Open()) return fail(StoreFailed(chapterTable.LastError()));
  if (!itemTable.Open()) return fail(StoreFailed(itemTable.LastError()));
  int chapterNumber = 0, itemNumber = 0;
  QHash<QString, QString> present;  // case-folded name -> name
  for (chapterTable.First(); !chapterTable.Eof(); chapterTable.Next()) {
    chapterNumber = std::max(chapterNumber, chapterTable.Field(kChapterNumber).toInt());
    const QString name = chapterTable.Field(kChapterName);
    present.insert(name.toCaseFolded(), name);
  }
  for (itemTable.First(); !itemTable.Eof(); itemTable.Next())
    itemNumber = std::max(itemNumber, itemTable.Field(kind.numberField).toInt());
  for (const PackChapter& c : chapters)
    if (present.contains(c.name.toCaseFolded()))
      return fail(QStringLiteral("章节%1已经存在，课程包没有导入。")
                      .arg(platform::Quoted(present.value(c.name.toCaseFolded()))));

  // On a server the recordings go into its table; else into files under `soundRoot`, the library
  // folder unless the caller names another.
  const bool toTable = recordings::InDatabase(connection);
  const QString root =
      soundRoot.isEmpty() ? recordings::LibraryRoot() : QDir(soundRoot).absolutePath();
  const bool libraryNames = toTable || root == QDir(recordings::LibraryRoot()).absolutePath();
  const QString cannotWrite =
      QStringLiteral("无法写入声音文件夹“%1”，课程包没有导入。")
          .arg(QDir::toNativeSeparators(QDir(root).filePath(kind.soundFolder)));
  const QDir unpackParent(recordings::CacheRoot());
  if (!QDir().mkpath(unpackParent.path())) return fail(cannotWrite);
  SweepAbandonedUnpacks(unpackParent);
  QTemporaryDir unpackDir(unpackParent.filePath(kUnpackPrefix + QStringLiteral("XXXXXX")));
  if (!unpackDir.isValid()) return fail(cannotWrite);
  QLockFile unpackLock(unpackDir.path() + QStringLiteral(".lock"));
  unpackLock.tryLock(0);
  // Files written for this import go again unless the rows naming them are committed.
  QStringList written;
  struct Undo {
    QStringList& files;
    bool keep = false;
    ~Undo() {
      if (!keep)
        for (const QString& f : files) QFile::remove(f);
    }
  } undo{written};

  // One walk through the pack: finding each entry by name would read the directory every time.
  QHash<QString, QString> soundOf;    // entry -> what 声音 holds
  QHash<QString, QString> sameBytes;  // SHA-256 -> name: one copy of bytes the pack repeats
  QList<std::pair<QString, QString>> toPublish;  // name, unpacked file
  QSet<QString> pending(firstNamer.keyBegin(), firstNamer.keyEnd());
  const QDir unpack(unpackDir.path());
  int done = 0;
  for (bool more = zip.goToFirstFile(); more && !pending.isEmpty(); more = zip.goToNextFile()) {
    const QString entry = zip.getCurrentFileName();
    if (!pending.remove(entry)) continue;
    ++done;
    QFile out(unpack.filePath(QStringLiteral("%1.wav").arg(done)));  // removed with the folder
    if (!out.open(QIODevice::ReadWrite)) return fail(cannotWrite);
    QByteArray head;
    switch (UnpackCurrent(zip, static_cast<qint64>(entries[entry].uncompressedSize), out, &budget,
                          &head)) {
      case Unpacked::Ok:
        break;
      case Unpacked::TooLarge:
        return fail(TooLargeMessage());
      case Unpacked::Damaged:
        return fail(DamagedMessage(file));
      case Unpacked::WriteFailed:
        return fail(cannotWrite);
    }
    if (!LooksLikeWav(head))
      return fail(QStringLiteral("课程包中的%1不是WAV声音文件。").arg(platform::Quoted(entry)));
    out.seek(0);
    const QByteArray bytes = out.readAll();
    out.close();
    const QString sha = recordings::Sha256(bytes);
    QString why, name = sameBytes.value(sha);
    if (name.isEmpty())
      name = recordings::NameFor(connection, kind, firstNamer.value(entry), bytes, &why,
                                 toTable ? QString() : root);
    if (name.isEmpty()) return fail(toTable ? StoreFailed(why) : cannotWrite);
    // Rows of the table roll back with the transaction; files wait, unseen, for the commit.
    if (toTable && !recordings::Publish(connection, name, bytes, nullptr, &why))
      return fail(StoreFailed(why));
    if (!toTable && !sameBytes.contains(sha)) toPublish.append({name, out.fileName()});
    sameBytes.insert(sha, name);
    soundOf.insert(entry,
                   libraryNames ? name : QDir::toNativeSeparators(QDir(root).filePath(name)));
    if (progress && !progress(done, steps)) {
      r.cancelled = true;
      return fail(QStringLiteral("已取消导入，没有存入任何内容。"));
    }
  }
  if (!pending.isEmpty() || zip.getZipError() != UNZ_OK) return fail(DamagedMessage(file));

  // Sorted as the pack numbers them; new numbers follow the highest in use.
  std::sort(chapters.begin(), chapters.end(),
            [](const PackChapter& a, const PackChapter& b) { return a.number < b.number; });
  for (PackChapter& c : chapters) {
    std::sort(c.items.begin(), c.items.end(),
              [](const PackItem& a, const PackItem& b) { return a.number < b.number; });
    if (!AppendRow(chapterTable,
                   {{kChapterNumber, QString::number(++chapterNumber)}, {kChapterName, c.name}}))
      return fail(StoreFailed(chapterTable.LastError()));
    ++r.chapters;
    for (const PackItem& i : c.items) {
      QList<std::pair<QString, QString>> row{{kind.numberField, QString::number(++itemNumber)},
                                             {kind.nameField, i.name},
                                             {kChapterName, c.name},
                                             {kind.textField, i.text},
                                             {kSound, soundOf.value(i.sound)}};
      if (!i.picture.isNull()) row.append({kPicture, i.picture});
      if (!AppendRow(itemTable, row))
        return fail(StoreFailed(itemTable.LastError()));
      ++r.items;
    }
  }
  if (progress && !progress(steps, steps)) {
    r.cancelled = true;
    return fail(QStringLiteral("已取消导入，没有存入任何内容。"));
  }
  // The files take their places just before the commit: should it fail they go again, whereas
  // rows committed first could name recordings that never arrive.
  for (const auto& [name, unpacked] : toPublish) {
    QFile in(unpacked);
    QString path;
    if (!in.open(QIODevice::ReadOnly) ||
        !recordings::Publish(connection, name, in.readAll(), &path, nullptr, root))
      return fail(cannotWrite);
    if (!path.isEmpty()) written << path;
  }
  if (!tx.Commit()) return fail(StoreFailed(tx.LastError()));
  undo.keep = true;
  if (!toPublish.isEmpty()) r.soundFolder = QDir(root).filePath(kind.soundFolder);
  r.ok = true;
  return r;
}

}  // namespace packs
