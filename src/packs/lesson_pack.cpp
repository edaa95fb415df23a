// SPDX-License-Identifier: GPL-3.0-or-later
#include "packs/lesson_pack.h"

#include <fcntl.h>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "data/recordings_library.h"
#include "platform/dataset.h"
#include "platform/gbk.h"
#include "platform/plain_text.h"

namespace packs {
namespace {

// A name from a pack quoted for a message, with what cannot be seen written out: a TAB or a line
// break would split the message, a direction mark would turn it round.
QString Shown(const QString& name) {
  QString out = QStringLiteral("“");
  for (const QChar c : name) {
    const char16_t u = c.unicode();
    if (u == u'\t')
      out += QStringLiteral("\\t");
    else if (u == u'\n')
      out += QStringLiteral("\\n");
    else if (u == u'\r')
      out += QStringLiteral("\\r");
    else if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || u == 0x200E || u == 0x200F ||
             (u >= 0x2028 && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0xFEFF)
      out += QStringLiteral("U+") + QString::number(u, 16).rightJustified(4, u'0').toUpper();
    else
      out += c;
  }
  return out + QStringLiteral("”");
}


const QString kChapterNumber = QStringLiteral("章号");
const QString kChapterName = QStringLiteral("章节");
const QString kSound = QStringLiteral("声音");
// Folders an import is still unpacking into; a hidden sibling of the final folder, so that the
// final rename stays on one file system. Those left by a killed import are swept by the next one.
const QString kUnpackPrefix = QStringLiteral(".tindora-import-");

struct PackItem {
  int number = 0;
  QString name;
  QString text;
  QString sound;  // entry name inside the pack; empty = no recording
};

struct PackChapter {
  int number = 0;
  QString name;
  QVector<PackItem> items;
};

// The RIFF header, the format chunk and the data chunk's header.
constexpr qint64 kSmallestWav = 44;

bool LooksLikeWav(const QByteArray& head) {
  return head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

bool Reissue(platform::Dataset& d, const QString& sql) {
  d.Close();
  d.SqlClear();
  d.SqlAdd(sql);
  return d.Open();
}

QString DamagedMessage(const QString& file) {
  return QStringLiteral("课程包“%1”已损坏，无法读取。").arg(QFileInfo(file).fileName());
}

QString TooLargeMessage() {
  return QStringLiteral("课程包解压后过大，可能是恶意文件，已拒绝导入。");
}

// ---- export ------------------------------------------------------------------------------------

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

QByteArray ManifestJson(const LessonKind& kind, const QVector<PackChapter>& chapters) {
  QJsonArray list;
  for (const PackChapter& c : chapters) {
    QJsonArray items;
    for (const PackItem& i : c.items)
      items.append(QJsonObject{{QStringLiteral("number"), i.number},
                               {QStringLiteral("name"), i.name},
                               {QStringLiteral("text"), i.text},
                               {QStringLiteral("sound"), i.sound}});
    list.append(QJsonObject{{QStringLiteral("number"), c.number},
                            {QStringLiteral("name"), c.name},
                            {QStringLiteral("items"), items}});
  }
  return QJsonDocument(QJsonObject{{QStringLiteral("format"), QLatin1String(kPackFormat)},
                                   {QStringLiteral("version"), kPackVersion},
                                   {QStringLiteral("kind"), kind.key},
                                   {QStringLiteral("chapters"), list}})
      .toJson(QJsonDocument::Indented);
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

// ---- import: the manifest -----------------------------------------------------------------------

// Field checks name the place of the bad field in the manifest ("chapters[2].items[0].name").
class ManifestReader {
 public:
  QString error;

  bool Number(const QJsonObject& o, const QString& at, int* out) {
    const QJsonValue v = o.value(QStringLiteral("number"));
    const double d = v.toDouble();
    if (!v.isDouble() || d < 1 || d > 1e9 || std::floor(d) != d)
      return Bad(at + QStringLiteral(".number"));
    *out = static_cast<int>(d);
    return true;
  }
  bool Text(const QJsonObject& o, const QString& key, const QString& at, bool required,
            QString* out) {
    const QJsonValue v = o.value(key);
    if (!v.isString()) return Bad(at + QLatin1Char('.') + key);
    if (required && v.toString().trimmed().isEmpty()) {
      error = QStringLiteral("课程包的清单有误：“%1.%2”只有空白。").arg(at, key);
      return false;
    }
    *out = v.toString();
    return true;
  }
  bool Array(const QJsonObject& o, const QString& key, const QString& at, QJsonArray* out) {
    const QJsonValue v = o.value(key);
    if (!v.isArray()) return Bad(at.isEmpty() ? key : at + QLatin1Char('.') + key);
    *out = v.toArray();
    return true;
  }
  bool Object(const QJsonValue& v, const QString& at, QJsonObject* out) {
    if (!v.isObject()) return Bad(at);
    *out = v.toObject();
    return true;
  }

 private:
  bool Bad(const QString& at) {
    error = QStringLiteral("课程包的清单有误：%1缺少或类型不对。").arg(Shown(at));
    return false;
  }
};

QString ParseManifest(const QByteArray& json, const LessonKind* expected, const LessonKind** kind,
                      QVector<PackChapter>* chapters) {
  QJsonParseError parse;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
  if (!doc.isObject()) return QStringLiteral("课程包的清单不是有效的JSON，无法读取。");
  const QJsonObject root = doc.object();
  if (root.value(QStringLiteral("format")).toString() != QLatin1String(kPackFormat))
    return QStringLiteral("这个文件不是Tindora课程包。");
  const QJsonValue version = root.value(QStringLiteral("version"));
  if (!version.isDouble())
    return QStringLiteral(
               "课程包清单中的格式版本“%1”应当是一个数字（不加引号），本程序只能读取版本%2。")
        .arg(version.toVariant().toString(), QString::number(kPackVersion));
  if (version.toDouble() != kPackVersion)
    return QStringLiteral("课程包的格式版本是“%1”，本程序只能读取版本%2。")
        .arg(QString::number(version.toDouble()), QString::number(kPackVersion));
  const QString key = root.value(QStringLiteral("kind")).toString();
  *kind = KindByKey(key);
  if (!*kind) return QStringLiteral("课程包的课程类别%1无法识别。").arg(Shown(key));
  if (expected && *kind != expected)
    return QStringLiteral("这是“%1”的课程包，不能导入到“%2”。")
        .arg((*kind)->screenTitle, expected->screenTitle);
  const LessonKind& k = **kind;

  ManifestReader r;
  QJsonArray chapterList;
  if (!r.Array(root, QStringLiteral("chapters"), {}, &chapterList)) return r.error;
  if (chapterList.isEmpty()) return QStringLiteral("课程包里没有章节。");
  for (int c = 0; c < chapterList.size(); ++c) {
    const QString at = QStringLiteral("chapters[%1]").arg(c);
    QJsonObject o;
    PackChapter chapter;
    QJsonArray items;
    if (!r.Object(chapterList[c], at, &o) || !r.Number(o, at, &chapter.number) ||
        !r.Text(o, QStringLiteral("name"), at, true, &chapter.name) ||
        !r.Array(o, QStringLiteral("items"), at, &items))
      return r.error;
    for (int i = 0; i < items.size(); ++i) {
      const QString itemAt = QStringLiteral("%1.items[%2]").arg(at).arg(i);
      QJsonObject io;
      PackItem item;
      if (!r.Object(items[i], itemAt, &io) || !r.Number(io, itemAt, &item.number) ||
          !r.Text(io, QStringLiteral("name"), itemAt, true, &item.name) ||
          !r.Text(io, QStringLiteral("text"), itemAt, false, &item.text) ||
          !r.Text(io, QStringLiteral("sound"), itemAt, false, &item.sound))
        return r.error;
      chapter.items.push_back(item);
    }
    chapters->push_back(chapter);
  }

  // The rules the editors keep, so that an import never stores what they would refuse. Names
  // are compared exactly, as a database made by the editors may hold "Abc" beside "abc".
  QSet<int> chapterNumbers, itemNumbers;
  QSet<QString> chapterNames;
  const auto controls = [](const QString& name) {
    return QStringLiteral("课程包中%1含有控制字符（例如空字符），已拒绝导入。").arg(Shown(name));
  };
  for (const PackChapter& c : *chapters) {
    if (platform::HasControlCharacters(c.name)) return controls(c.name);
    for (const PackItem& i : c.items)
      if (platform::HasControlCharacters(i.name) || platform::HasControlCharacters(i.text, true))
        return controls(i.name);
  }
  for (const PackChapter& c : *chapters) {
    if (chapterNumbers.contains(c.number))
      return QStringLiteral("课程包中章号%1重复。").arg(c.number);
    if (chapterNames.contains(c.name)) return QStringLiteral("课程包中章节%1重复。").arg(Shown(c.name));
    chapterNumbers.insert(c.number);
    chapterNames.insert(c.name);
    if (c.items.size() > k.itemsPerChapter)
      return QStringLiteral("课程包中章节%1：%2").arg(Shown(c.name), k.limitMessage);
    QSet<QString> itemNames;
    for (const PackItem& i : c.items) {
      if (itemNumbers.contains(i.number))
        return QStringLiteral("课程包中%1%2重复。").arg(k.numberField).arg(i.number);
      if (itemNames.contains(i.name))
        return QStringLiteral("课程包中章节%1里的%2重复。").arg(Shown(c.name), Shown(i.name));
      if (k.nameByteLimit > 0 && platform::GbkLength(i.name) > k.nameByteLimit)
        return QStringLiteral("课程包中%1：%2").arg(Shown(i.name), k.nameTooLong);
      if (k.textRequired && i.text.trimmed().isEmpty())
        return QStringLiteral("课程包中%1：%2").arg(Shown(i.name), k.textEmpty);
      itemNumbers.insert(i.number);
      itemNames.insert(i.name);
    }
  }
  return {};
}

// ---- import: the ZIP ----------------------------------------------------------------------------

// A ZIP file seen without its comment. minizip looks for the end of the directory only in the
// last 64 KiB, out of reach behind a comment of up to 65,535 bytes; the record found here by hand
// is shown with a comment length of 0 and nothing after it.
class WithoutComment final : public QIODevice {
 public:
  // False when `file` has no end record whose comment reaches the end of the file.
  bool Open(const QString& file) {
    m_file.setFileName(file);
    if (!m_file.open(QIODevice::ReadOnly)) return false;
    const qint64 size = m_file.size();
    const qint64 span = std::min<qint64>(size, kEndRecord + 0xFFFF);
    if (!m_file.seek(size - span)) return false;
    const QByteArray tail = m_file.read(span);
    for (qint64 at = tail.size() - kEndRecord; at >= 0; --at) {
      if (tail.mid(at, 4) != QByteArrayLiteral("PK\x05\x06")) continue;
      const qint64 comment = uchar(tail[at + 20]) | uchar(tail[at + 21]) << 8;
      if (at + kEndRecord + comment != tail.size()) continue;
      m_end = size - span + at + kEndRecord;
      return QIODevice::open(QIODevice::ReadOnly);
    }
    return false;
  }
  bool isSequential() const override { return false; }
  qint64 size() const override { return m_end; }

 protected:
  qint64 readData(char* data, qint64 max) override {
    const qint64 at = pos();
    const qint64 n = std::min(max, m_end - at);
    if (n <= 0) return 0;
    if (!m_file.seek(at)) return -1;
    const qint64 got = m_file.read(data, n);
    for (qint64 i = std::max<qint64>(0, m_end - 2 - at); i < got; ++i) data[i] = 0;
    return got;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  static constexpr qint64 kEndRecord = 22;  // without its comment
  QFile m_file;
  qint64 m_end = 0;
};

bool SafeEntryName(const QString& name) {
  if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
      name.contains(QChar(0)) || (name.size() > 1 && name[1] == QLatin1Char(':')))
    return false;
  for (const QString& part : name.split(QLatin1Char('/')))
    if (part == QLatin1String("..")) return false;
  return true;
}

// Checks what the central directory says about an entry; empty when acceptable.
QString CheckEntry(const QuaZipFileInfo64& info, const PackLimits& limits) {
  if (!SafeEntryName(info.name))
    return QStringLiteral("课程包中含有不安全的文件路径%1，已拒绝导入。").arg(Shown(info.name));
  const quint32 mode = info.externalAttr >> 16;
  if ((mode & 0170000) == 0120000)
    return QStringLiteral("课程包中含有链接%1，已拒绝导入。").arg(Shown(info.name));
  const qint64 size = static_cast<qint64>(info.uncompressedSize);
  const qint64 packed = std::max<qint64>(1, static_cast<qint64>(info.compressedSize));
  if (size > limits.maxEntryBytes || (size > limits.ratioFloor && size / packed > limits.maxRatio))
    return TooLargeMessage();
  return {};
}

enum class Unpacked { Ok, Damaged, TooLarge, WriteFailed };

// Unpacks the zip's current entry into `out`, counting the bytes really produced: the declared
// size may lie. `budget` is what all entries together may still produce.
Unpacked UnpackCurrent(QuaZip& zip, qint64 declared, QIODevice& out, qint64* budget,
                       QByteArray* head = nullptr) {
  QuaZipFile in(&zip);
  if (!in.open(QIODevice::ReadOnly)) return Unpacked::Damaged;
  static constexpr qint64 kChunk = 64 * 1024;
  QByteArray buffer(kChunk, Qt::Uninitialized);
  qint64 got = 0;
  for (;;) {
    const qint64 n = in.read(buffer.data(), kChunk);
    if (n < 0) return Unpacked::Damaged;
    if (n == 0) break;
    got += n;
    *budget -= n;
    if (got > declared || *budget < 0) return Unpacked::TooLarge;
    if (head && head->size() < 12)
      head->append(buffer.constData(), std::min<qint64>(n, 12 - head->size()));
    if (out.write(buffer.constData(), n) != n) return Unpacked::WriteFailed;
  }
  in.close();
  return in.getZipError() == UNZ_OK && got == declared ? Unpacked::Ok : Unpacked::Damaged;
}

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

const LessonKind* KindByKey(const QString& key) {
  for (const LessonKind* k : AllKinds())
    if (k->key == key) return k;
  return nullptr;
}

QString UserSoundRoot() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/Tindora");
}

ExportResult ExportPack(const QString& connection, const LessonKind& kind, const QString& chapter,
                        const QString& file, const Progress& progress) {
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
                  d.Field(kind.textField), d.Field(kSound)};
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

ImportResult ImportPack(const QString& connection, const QString& file, const QString& soundRoot,
                        const LessonKind* expected, const Progress& progress,
                        const PackLimits& limits) {
  ImportResult r;
  const auto fail = [&r](const QString& error) {
    r.error = error;
    return r;
  };
  if (!QFileInfo(file).isFile()) return fail(QStringLiteral("找不到课程包文件“%1”。").arg(file));
  WithoutComment withoutComment;
  auto opened = std::make_unique<QuaZip>(file);
  if (!opened->open(QuaZip::mdUnzip)) {
    if (!withoutComment.Open(file)) return fail(DamagedMessage(file));
    opened = std::make_unique<QuaZip>(&withoutComment);
    if (!opened->open(QuaZip::mdUnzip)) return fail(DamagedMessage(file));
  }
  QuaZip& zip = *opened;

  // Every entry is judged before anything is unpacked, referenced by the manifest or not.
  QHash<QString, QuaZipFileInfo64> entries;
  qint64 declaredTotal = 0;
  for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info)) return fail(DamagedMessage(file));
    // This program never encrypts a pack: an entry flagged so cannot be one of its own.
    if (info.flags & 0x1) return fail(DamagedMessage(file));
    const QString problem = CheckEntry(info, limits);
    if (!problem.isEmpty()) return fail(problem);
    if (entries.contains(info.name))
      return fail(QStringLiteral("课程包中的文件%1出现了两次，已拒绝导入。").arg(Shown(info.name)));
    declaredTotal += static_cast<qint64>(info.uncompressedSize);
    if (entries.size() >= limits.maxEntries || declaredTotal > limits.maxTotalBytes)
      return fail(TooLargeMessage());
    entries.insert(info.name, info);
  }
  if (zip.getZipError() != UNZ_OK) return fail(DamagedMessage(file));

  const QString manifestName = QLatin1String(kManifestName);
  if (!entries.contains(manifestName))
    return fail(
        QStringLiteral("课程包里没有课程清单(%1)，这不是Tindora课程包。").arg(manifestName));
  qint64 budget = limits.maxTotalBytes;
  QByteArray manifest;
  {
    const qint64 size = static_cast<qint64>(entries[manifestName].uncompressedSize);
    if (size > limits.maxManifestBytes) return fail(TooLargeMessage());
    QBuffer buffer(&manifest);
    buffer.open(QIODevice::WriteOnly);
    if (!zip.setCurrentFile(manifestName, QuaZip::csSensitive)) return fail(DamagedMessage(file));
    const Unpacked u = UnpackCurrent(zip, size, buffer, &budget);
    if (u == Unpacked::TooLarge) return fail(TooLargeMessage());
    if (u != Unpacked::Ok) return fail(DamagedMessage(file));
  }
  QVector<PackChapter> chapters;
  const QString problem = ParseManifest(manifest, expected, &r.kind, &chapters);
  if (!problem.isEmpty()) return fail(problem);
  const LessonKind& kind = *r.kind;
  if (chapters.size() > limits.maxChapters)
    return fail(QStringLiteral("课程包有%1个章节，一次最多只能导入%2个章节。")
                    .arg(chapters.size())
                    .arg(limits.maxChapters));
  int itemCount = 0;
  for (const PackChapter& c : chapters) itemCount += static_cast<int>(c.items.size());
  if (itemCount > limits.maxItems)
    return fail(QStringLiteral("课程包有%1个项目，一次最多只能导入%2个项目。")
                    .arg(itemCount)
                    .arg(limits.maxItems));
  // Each recording is unpacked and stored once, however many items name it; it is named after
  // the first of them.
  QHash<QString, QString> firstNamer;
  for (const PackChapter& c : chapters)
    for (const PackItem& i : c.items) {
      if (i.sound.isEmpty()) continue;
      if (!entries.contains(i.sound) || i.sound.endsWith(QLatin1Char('/')))
        return fail(QStringLiteral("课程包中缺少声音文件%1。").arg(Shown(i.sound)));
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
                      .arg(Shown(present.value(c.name.toCaseFolded()))));

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
      return fail(QStringLiteral("课程包中的%1不是WAV声音文件。").arg(Shown(entry)));
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
      if (!AppendRow(itemTable, {{kind.numberField, QString::number(++itemNumber)},
                                 {kind.nameField, i.name},
                                 {kChapterName, c.name},
                                 {kind.textField, i.text},
                                 {kSound, soundOf.value(i.sound)}}))
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
