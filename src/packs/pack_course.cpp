// SPDX-License-Identifier: GPL-3.0-or-later
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

#include "data/classroom_logins.h"
#include "packs/lesson_pack.h"
#include "packs/pack_code.h"
#include "packs/pack_zip.h"
#include "platform/dataset.h"
#include "platform/chinese_numerals.h"
#include "platform/logging.h"
#include "platform/plain_text.h"

namespace packs {
namespace {

using platform::ChineseNumber;

// "第一章 数字" numbered 5 reads "第五章 数字", "第二课" "第六课": the ordinal follows the number the
// chapter gets after the ones already there.
QString Renumbered(const QString& name, int number) {
  static const QRegularExpression ordinal(QStringLiteral("^第[零一二三四五六七八九十百0-9]+([章课])"));
  const auto m = ordinal.match(name);
  if (!m.hasMatch()) return name;
  return QStringLiteral("第%1%2").arg(ChineseNumber(number), m.captured(1)) +
         name.mid(m.capturedLength());
}

bool AppendRow(platform::Dataset& d, const QList<std::pair<QString, QString>>& fields) {
  d.Append();
  for (const auto& [name, value] : fields) d.SetField(name, value);
  if (d.Post()) return true;
  d.Cancel();
  return false;
}

}  // namespace

CourseResult AddCourseFiles(const QString& connection, const QStringList& files) {
  CourseResult r;
  const auto fail = [&r](const QString& error) {
    r.error = error;
    r.kinds.clear();
    r.renamed.clear();
    return r;
  };
  if (files.isEmpty())
    return fail(QStringLiteral("找不到入门课程的文件，本程序可能没有完整安装。请重新安装本程序。"));
  if (!MayEditCourse(connection))
    return fail(QStringLiteral("这台电脑只能学习，不能添加入门课程。要添加，请到老师的电脑上。"));
  // Every pack is read and judged before the database is touched.
  QVector<std::pair<const LessonKind*, QVector<PackChapter>>> packs;
  for (const QString& file : files) {
    OpenedPack pack;
    const QString refused = OpenPack(file, nullptr, PackLimits{}, &pack);
    if (!refused.isEmpty())
      return fail(QStringLiteral("入门课程的文件有误，没有添加任何内容：%1请重新安装本程序。").arg(refused));
    packs.push_back({pack.kind, pack.chapters});
  }

  const auto storeFailed = [&](const QString& why) {
    // A driver's words go to the log; the adult reads what to do.
    QString told = why;
    if (told.isEmpty() || told.at(0).unicode() < 0x80) {
      qCWarning(lcDb) << "starter course:" << why;
      told = QStringLiteral("数据库没有接受这些章节，请检查数据库连接和磁盘空间后再试。");
    }
    return fail(QStringLiteral("添加入门课程时出错，没有添加任何内容：%1").arg(told));
  };
  platform::Transaction tx(connection);
  // The write lock first (SQLite), or the server's lock for this one job: two computers adding
  // the course at once take turns, and the second finds the mark of the first.
  if (!tx.Begin(true)) return storeFailed(tx.LastError());
  QString why;
  if (IsPostgres(connection) &&
      !platform::ExecQuery(connection, QStringLiteral("select pg_advisory_xact_lock(4404)"), {},
                           nullptr, &why))
    return storeFailed(why);
  QVector<QVector<QVariant>> marks;
  if (!platform::ExecQuery(connection, QStringLiteral("select 内容 from SYS where 名称 = ?"),
                           {QString::fromUtf8(kStarterCourseMark)}, &marks, &why))
    return storeFailed(why);
  if (!marks.isEmpty()) {
    r.alreadyAdded = true;
    return fail(QStringLiteral("入门课程已经添加过了，这次没有再添加。"));
  }

  for (auto& [kind, chapters] : packs) {
    platform::Dataset chapterTable(connection);
    chapterTable.SetTableName(kind->chapterTable);
    platform::Dataset itemTable(connection);
    itemTable.SetTableName(kind->itemTable);
    if (!chapterTable.Open()) return storeFailed(chapterTable.LastError());
    if (!itemTable.Open()) return storeFailed(itemTable.LastError());
    int chapterNumber = 0, itemNumber = 0;
    QSet<QString> taken;  // case-folded, as the unique index and the editors compare them
    for (chapterTable.First(); !chapterTable.Eof(); chapterTable.Next()) {
      chapterNumber = std::max(chapterNumber, chapterTable.Field(kChapterNumber).toInt());
      taken.insert(chapterTable.Field(kChapterName).toCaseFolded());
    }
    for (itemTable.First(); !itemTable.Eof(); itemTable.Next())
      itemNumber = std::max(itemNumber, itemTable.Field(kind->numberField).toInt());

    std::sort(chapters.begin(), chapters.end(),
              [](const PackChapter& a, const PackChapter& b) { return a.number < b.number; });
    CourseKindResult done{kind, 0, 0, chapterNumber + 1};
    for (PackChapter& c : chapters) {
      const int number = ++chapterNumber;
      const QString wanted = Renumbered(c.name, number);
      QString name = wanted;
      for (int n = 1; taken.contains(name.toCaseFolded()); ++n)
        name = wanted + (n == 1 ? QStringLiteral("（入门）") : QStringLiteral("（入门%1）").arg(n));
      if (name != wanted) r.renamed << name;
      taken.insert(name.toCaseFolded());
      if (!AppendRow(chapterTable, {{kChapterNumber, QString::number(number)}, {kChapterName, name}}))
        return storeFailed(chapterTable.LastError());
      ++done.chapters;
      std::sort(c.items.begin(), c.items.end(),
                [](const PackItem& a, const PackItem& b) { return a.number < b.number; });
      // Recordings are made when an item is first played.
      for (const PackItem& i : c.items) {
        QList<std::pair<QString, QString>> row{{kind->numberField, QString::number(++itemNumber)},
                                               {kind->nameField, i.name},
                                               {kChapterName, name},
                                               {kind->textField, i.text},
                                               {kSound, QString()}};
        if (!i.picture.isNull()) row.append({kPicture, i.picture});
        if (!AppendRow(itemTable, row))
          return storeFailed(itemTable.LastError());
        ++done.items;
      }
    }
    r.kinds << done;
  }
  if (!platform::ExecQuery(connection, QStringLiteral("insert into SYS (名称, 内容) values (?, ?)"),
                           {QString::fromUtf8(kStarterCourseMark), QStringLiteral("1")}, nullptr,
                           &why))
    return storeFailed(why);
  if (!tx.Commit()) return storeFailed(tx.LastError());
  r.ok = true;
  return r;
}

}  // namespace packs
