// SPDX-License-Identifier: GPL-3.0-or-later
#include "packs/pack_manifest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>

#include "packs/lesson_pack.h"
#include "platform/gbk.h"
#include "platform/plain_text.h"

namespace packs {
namespace {

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
    error = QStringLiteral("课程包的清单有误：%1缺少或类型不对。").arg(platform::Quoted(at));
    return false;
  }
};

}  // namespace

QByteArray ManifestJson(const LessonKind& kind, const QVector<PackChapter>& chapters) {
  QJsonArray list;
  for (const PackChapter& c : chapters) {
    QJsonArray items;
    for (const PackItem& i : c.items) {
      QJsonObject item{{QStringLiteral("number"), i.number},
                       {QStringLiteral("name"), i.name},
                       {QStringLiteral("text"), i.text},
                       {QStringLiteral("sound"), i.sound}};
      if (!i.picture.isNull()) item.insert(QStringLiteral("picture"), i.picture);
      items.append(item);
    }
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
  if (!*kind) return QStringLiteral("课程包的课程类别%1无法识别。").arg(platform::Quoted(key));
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
      // Older packs have no pictures; a kind without them ignores the field.
      if (k.pictures && io.contains(QStringLiteral("picture")) &&
          !r.Text(io, QStringLiteral("picture"), itemAt, true, &item.picture))
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
    return QStringLiteral("课程包中%1含有控制字符（例如空字符），已拒绝导入。")
        .arg(platform::Quoted(name));
  };
  // Cut in the message: the name may be thousands of characters long.
  const auto tooLong = [](const QString& name) {
    return name.toUcs4().size() > kNameColumnChars
               ? QStringLiteral("课程包中的名称%1太长，最多%2个字，已拒绝导入。")
                     .arg(platform::Quoted(platform::Shortened(name, 20)))
                     .arg(kNameColumnChars)
               : QString();
  };
  for (const PackChapter& c : *chapters) {
    if (const QString refusal = tooLong(c.name); !refusal.isEmpty()) return refusal;
    for (const PackItem& i : c.items)
      if (const QString refusal = tooLong(i.name); !refusal.isEmpty()) return refusal;
  }
  for (const PackChapter& c : *chapters) {
    if (platform::HasControlCharacters(c.name)) return controls(c.name);
    for (const PackItem& i : c.items)
      if (platform::HasControlCharacters(i.name) || platform::HasControlCharacters(i.text, true) ||
          platform::HasControlCharacters(i.picture))
        return controls(i.name);
  }
  for (const PackChapter& c : *chapters) {
    if (chapterNumbers.contains(c.number))
      return QStringLiteral("课程包中章号%1重复。").arg(c.number);
    if (chapterNames.contains(c.name)) return QStringLiteral("课程包中章节%1重复。").arg(platform::Quoted(c.name));
    chapterNumbers.insert(c.number);
    chapterNames.insert(c.name);
    if (c.items.size() > k.itemsPerChapter)
      return QStringLiteral("课程包中章节%1：%2").arg(platform::Quoted(c.name), k.limitMessage);
    QSet<QString> itemNames;
    for (const PackItem& i : c.items) {
      if (itemNumbers.contains(i.number))
        return QStringLiteral("课程包中%1%2重复。").arg(k.numberField).arg(i.number);
      if (itemNames.contains(i.name))
        return QStringLiteral("课程包中章节%1里的%2重复。")
            .arg(platform::Quoted(c.name), platform::Quoted(i.name));
      if (k.nameByteLimit > 0 && platform::GbkLength(i.name) > k.nameByteLimit)
        return QStringLiteral("课程包中%1：%2").arg(platform::Quoted(i.name), k.nameTooLong);
      // An emoji is a few code points; the column holds 64.
      if (i.picture.size() > kLongestPicture || i.picture.contains(u' '))
        return QStringLiteral("课程包中%1的图片不是一个表情符号。").arg(platform::Quoted(i.name));
      if (k.textRequired && i.text.trimmed().isEmpty())
        return QStringLiteral("课程包中%1：%2").arg(platform::Quoted(i.name), k.textEmpty);
      itemNumbers.insert(i.number);
      itemNames.insert(i.name);
    }
  }
  return {};
}

const LessonKind* KindByKey(const QString& key) {
  for (const LessonKind* k : AllKinds())
    if (k->key == key) return k;
  return nullptr;
}

}  // namespace packs
