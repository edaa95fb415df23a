// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <QFile>
#include <QHash>
#include <filesystem>

#include "data/recordings_library.h"
#include "packs/lesson_pack.h"
#include "packs/pack_code.h"
#include "packs/pack_manifest.h"
#include "platform/dataset.h"

namespace packs {
namespace {

bool Reissue(platform::Dataset& d, const QString& sql) {
  d.Close();
  d.SqlClear();
  d.SqlAdd(sql);
  return d.Open();
}

// `level` 0 stores the entry as it is.
bool WriteEntry(QuaZip& zip, const QString& name, const QByteArray& data, int level) {
  QuaZipFile out(&zip);
  QuaZipNewInfo info(name);
  info.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  if (!out.open(QIODevice::WriteOnly, info, nullptr, 0, level == 0 ? 0 : Z_DEFLATED, level))
    return false;
  const bool written = out.write(data) == data.size();
  out.close();
  return written && out.getZipError() == ZIP_OK;
}

// The recording at `path` when it is one: a plain file of a size a WAV can have that starts like
// one. Anything else is never read: a FIFO would block for ever, a device or someone's private
// file named by a row is none of the pack's business.
QByteArray ReadRecording(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat st {};
  char head[12];
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < kSmallestWav ||
      st.st_size > PackLimits().maxEntryBytes || ::pread(fd, head, sizeof head, 0) != sizeof head ||
      !LooksLikeWav(QByteArray(head, sizeof head))) {
    ::close(fd);
    return {};
  }
  QFile f;
  if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return {};
  }
  return f.readAll();
}

}  // namespace

ExportResult ExportPackFile(const QString& connection, const LessonKind& kind,
                            const QString& chapter, const QString& file, const Progress& progress) {
  ExportResult r;
  const auto fail = [&r](const QString& error) {
    r.error = error;
    return r;
  };
  platform::Dataset d(connection);
  const QString readFailed = QStringLiteral("读取章节出错：%1");
  if (!Reissue(d, kind.sqlChapters)) return fail(readFailed.arg(d.LastError()));
  QVector<PackChapter> chapters;
  for (d.First(); !d.Eof(); d.Next()) {
    const QString name = d.Field(kChapterName);
    if (chapter.isEmpty() || name == chapter)
      chapters.push_back({d.Field(kChapterNumber).toInt(), name, {}});
  }
  if (chapters.isEmpty())
    return fail(chapter.isEmpty() ? QStringLiteral("没有可以导出的章节。")
                                  : QStringLiteral("找不到章节“%1”。").arg(chapter));
  // All items at once, in number order, sorted into their chapters.
  if (!Reissue(d, kind.sqlAllItems)) return fail(readFailed.arg(d.LastError()));
  QHash<QString, int> chapterIndex;
  for (int i = 0; i < chapters.size(); ++i) chapterIndex.insert(chapters[i].name, i);
  int withSound = 0;
  for (d.First(); !d.Eof(); d.Next()) {
    const auto c = chapterIndex.constFind(d.Field(kChapterName));
    if (c == chapterIndex.cend()) continue;
    PackItem item{d.Field(kind.numberField).toInt(), d.Field(kind.nameField),
                  d.Field(kind.textField), d.Field(kSound),
                  kind.pictures && !d.FieldIsNull(kPicture) ? d.Field(kPicture) : QString()};
    if (!item.sound.isEmpty()) ++withSound;
    chapters[*c].items.push_back(item);
  }

  // What its own import would refuse is not written: the two keep the same rules.
  {
    const LessonKind* read = nullptr;
    QVector<PackChapter> check;
    const QString problem = ParseManifest(ManifestJson(kind, chapters), &kind, &read, &check);
    if (!problem.isEmpty())
      return fail(
          QStringLiteral("无法导出，导入时会被拒绝：%1请先在编辑窗口里改正。").arg(problem));
  }
  // Written beside the target and renamed when complete, so a failure leaves no half-made file.
  const QString partial = file + QStringLiteral(".part");
  const QString cannotWrite = QStringLiteral("无法写入文件“%1”。").arg(file);
  QFile::remove(partial);
  struct RemovePartial {
    const QString& path;
    bool keep = false;
    ~RemovePartial() {
      if (!keep) QFile::remove(path);
    }
  } removePartial{partial};
  {
    QuaZip zip(partial);
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate)) return fail(cannotWrite);
    int done = 0, recording = 0;
    QHash<QString, QString> entryOf;  // file -> entry: a recording shared by items travels once
    for (PackChapter& c : chapters) {
      for (PackItem& item : c.items) {
        if (item.sound.isEmpty()) continue;
        const QString path = recordings::LocalPath(connection, item.sound);
        if (entryOf.contains(path)) {
          item.sound = entryOf.value(path);
          if (progress && !progress(++done, withSound + 1)) {
            zip.close();
            QFile::remove(partial);
            r.cancelled = true;
            return fail(QStringLiteral("已取消导出。"));
          }
          continue;
        }
        // What an import would refuse travels as missing.
        const QByteArray data = ReadRecording(path);
        item.sound.clear();
        if (!LooksLikeWav(data)) {
          r.missingRecordings << item.name;
        } else {
          item.sound = QStringLiteral("recordings/%1.wav").arg(++recording);
          entryOf.insert(path, item.sound);
          // Recordings hardly shrink (a few per cent), so they are stored: big packs stay quick.
          if (!WriteEntry(zip, item.sound, data, 0)) {
            zip.close();
            return fail(cannotWrite);
          }
        }
        if (progress && !progress(++done, withSound + 1)) {
          zip.close();
          r.cancelled = true;
          return fail(QStringLiteral("已取消导出。"));
        }
      }
    }
    const bool ok = WriteEntry(zip, QLatin1String(kManifestName), ManifestJson(kind, chapters),
                               Z_DEFAULT_COMPRESSION);
    zip.close();
    if (!ok || zip.getZipError() != ZIP_OK) return fail(cannotWrite);
  }
  std::error_code ec;
  // Replaces an existing file in one step, which QFile::rename does not.
  std::filesystem::rename(QFile::encodeName(partial).toStdString(),
                          QFile::encodeName(file).toStdString(), ec);
  if (ec) return fail(cannotWrite);
  removePartial.keep = true;
  if (progress) progress(withSound + 1, withSound + 1);
  r.ok = true;
  r.chapters = static_cast<int>(chapters.size());
  for (const PackChapter& c : chapters) r.items += static_cast<int>(c.items.size());
  return r;
}

}  // namespace packs
