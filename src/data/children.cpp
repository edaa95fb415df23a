// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/children.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include "platform/dataset.h"
#include "platform/plain_text.h"

namespace children {

namespace {

const QString kGateName = QStringLiteral("家长验证");
const QString kGateOff = QStringLiteral("关");
// The highest child number ever given: a removed child's number is never given again.
const QString kLastNumberName = QStringLiteral("小朋友编号");

bool ColumnPresent(const QString& connection, const QString& table, const QString& column) {
  // Asked of the catalogue: a failed probe would spoil a server's transaction.
  const QSqlDatabase db = QSqlDatabase::database(connection, false);
  QSqlQuery q(db);
  bool present = false;
  if (db.driver()->dbmsType() == QSqlDriver::PostgreSQL) {
    q.prepare(QStringLiteral("select count(*) from information_schema.columns where table_schema "
                             "= current_schema() and table_name = ? and column_name = ?"));
    q.addBindValue(table);
    q.addBindValue(column);
    if (q.exec() && q.next()) present = q.value(0).toInt() > 0;
  } else if (q.exec(QStringLiteral("pragma table_info(%1)").arg(table))) {
    while (q.next()) present = present || q.value(1).toString() == column;
  }
  return present;
}

bool Rows(const QString& connection, const QString& sql, const QVector<QVariant>& values,
          QVector<QVector<QVariant>>* rows, QString* error) {
  return platform::ExecQuery(connection, sql, values, rows, error);
}

}  // namespace

QString AnimalName(int picture) {
  static const char* const names[kPictureCount] = {
      "小猫", "小狗", "小兔", "小熊", "熊猫", "小猪", "小鸡", "小鸭",
      "青蛙", "小猴", "老虎", "狮子", "大象", "小鱼", "狐狸", "小牛"};
  return picture >= 0 && picture < kPictureCount ? QString::fromUtf8(names[picture]) : QString();
}

QString PictureResource(int picture) {
  if (picture < 0 || picture >= kPictureCount) picture = 0;
  return QStringLiteral(":/images/child_%1.png").arg(picture, 2, 10, QLatin1Char('0'));
}

QString NameProblem(const QString& name) {
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty()) return QStringLiteral("请输入小朋友的名字。");
  if (platform::HasControlCharacters(trimmed))
    return QStringLiteral("名字%1里有看不见的字符或控制字符，请重新输入。")
        .arg(platform::Quoted(platform::Shortened(trimmed, kNameMaxChars)));
  if (trimmed.toUcs4().size() > kNameMaxChars)
    return QStringLiteral("名字最多 %1 个字，“%2”太长了。")
        .arg(kNameMaxChars)
        .arg(platform::Shortened(trimmed, kNameMaxChars));
  return {};
}

bool LoadChildren(const QString& connection, QList<Child>* children, QString* error) {
  QVector<QVector<QVariant>> rows;
  children->clear();
  if (!Rows(connection,
            QStringLiteral("select child_id, name, picture from children order by child_id"), {},
            &rows, error))
    return false;
  for (const QVector<QVariant>& row : rows)
    children->append({row[0].toInt(), row[1].toString(), qBound(0, row[2].toInt(), kPictureCount - 1)});
  return true;
}

bool AddChild(const QString& connection, const QString& name, int picture, Child* added,
              QString* error) {
  const QString trimmed = name.trimmed();
  if (const QString problem = NameProblem(trimmed); !problem.isEmpty()) {
    if (error) *error = problem;
    return false;
  }
  // Another seat may add a child at the same moment and take the same number: try again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    QList<Child> present;
    if (!LoadChildren(connection, &present, error)) return false;
    for (const Child& c : present)
      if (c.name.compare(trimmed, Qt::CaseInsensitive) == 0) {
        if (error) *error = QStringLiteral("已经有一个叫“%1”的小朋友了，请换一个名字。").arg(c.name);
        return false;
      }
    // Never a number a removed child had: a note of theirs still on its way from another seat
    // must not become the new child's.
    QVector<QVector<QVariant>> highest, given;
    if (!Rows(connection, QStringLiteral("select max(child_id) from learn_record"), {}, &highest,
              error) ||
        !Rows(connection, QStringLiteral("select 内容 from SYS where 名称 = ?"), {kLastNumberName},
              &given, error))
      return false;
    int id = highest.isEmpty() ? 1 : highest[0][0].toInt() + 1;
    for (const QVector<QVariant>& row : given) id = qMax(id, row[0].toInt() + 1);
    for (const Child& c : present) id = qMax(id, c.id + 1);
    const int pic = qBound(0, picture, kPictureCount - 1);
    platform::Transaction tx(connection);
    if (!tx.Begin()) {
      if (error) *error = tx.LastError();
      return false;
    }
    if (Rows(connection,
             QStringLiteral("insert into children (child_id, name, picture) values (?, ?, ?)"),
             {id, trimmed, pic}, nullptr, error) &&
        Rows(connection, QStringLiteral("delete from SYS where 名称 = ?"), {kLastNumberName},
             nullptr, error) &&
        Rows(connection, QStringLiteral("insert into SYS (名称, 内容) values (?, ?)"),
             {kLastNumberName, QString::number(id)}, nullptr, error) &&
        tx.Commit()) {
      if (added) *added = {id, trimmed, pic};
      return true;
    }
    if (error && error->isEmpty()) *error = tx.LastError();
  }
  return false;
}

bool UpdateChild(const QString& connection, const Child& child, QString* error) {
  const QString trimmed = child.name.trimmed();
  if (const QString problem = NameProblem(trimmed); !problem.isEmpty()) {
    if (error) *error = problem;
    return false;
  }
  QList<Child> present;
  if (!LoadChildren(connection, &present, error)) return false;
  for (const Child& c : present)
    if (c.id != child.id && c.name.compare(trimmed, Qt::CaseInsensitive) == 0) {
      if (error) *error = QStringLiteral("已经有一个叫“%1”的小朋友了，请换一个名字。").arg(c.name);
      return false;
    }
  return Rows(connection, QStringLiteral("update children set name = ?, picture = ? where child_id = ?"),
              {trimmed, qBound(0, child.picture, kPictureCount - 1), child.id}, nullptr, error);
}

bool CountNotes(const QString& connection, int id, int* notes, QString* error) {
  QVector<QVector<QVariant>> rows;
  if (!Rows(connection, QStringLiteral("select count(*) from learn_record where child_id = ?"), {id},
            &rows, error))
    return false;
  *notes = rows.isEmpty() ? 0 : rows[0][0].toInt();
  return true;
}

bool RemoveChild(const QString& connection, int id, int* notes, QString* error) {
  platform::Transaction tx(connection);
  if (!tx.Begin()) {
    if (error) *error = tx.LastError();
    return false;
  }
  int count = 0;
  if (!CountNotes(connection, id, &count, error)) return false;
  for (const QString& table : ChildOwnedTables())
    if (!Rows(connection, QStringLiteral("delete from %1 where child_id = ?").arg(table), {id},
              nullptr, error))
      return false;  // rolled back
  if (!Rows(connection, QStringLiteral("delete from children where child_id = ?"), {id}, nullptr,
            error))
    return false;
  if (!tx.Commit()) {
    if (error) *error = tx.LastError();
    return false;
  }
  if (notes) *notes = count;
  return true;
}

bool AddClassList(const QString& connection, const QStringList& lines, QList<Child>* added,
                  QStringList* refused, QString* error) {
  QList<Child> present;
  if (!LoadChildren(connection, &present, error)) return false;
  int picture = present.isEmpty() ? 0 : present.last().picture + 1;
  for (int i = 0; i < lines.size(); ++i) {
    if (lines[i].trimmed().isEmpty()) continue;
    Child child;
    QString why;
    if (AddChild(connection, lines[i], picture % kPictureCount, &child, &why)) {
      if (added) added->append(child);
      ++picture;
      continue;
    }
    // A refusal of the name itself is the adult's to mend; anything else is the database's.
    if (!NameProblem(lines[i]).isEmpty() || why.startsWith(QStringLiteral("已经有"))) {
      if (refused) refused->append(QStringLiteral("第 %1 行：%2").arg(i + 1).arg(why));
      continue;
    }
    if (error) *error = why;
    return false;
  }
  return true;
}

QStringList ChildOwnedTables() {
  return {QStringLiteral("learn_record"), QStringLiteral("writing_done"),
          QStringLiteral("review_state"), QStringLiteral("child_level"), QStringLiteral("stickers")};
}

bool ParentGateOn(const QString& connection) {
  QVector<QVector<QVariant>> rows;
  if (!Rows(connection, QStringLiteral("select 内容 from SYS where 名称 = ?"), {kGateName}, &rows,
            nullptr))
    return true;  // unreadable: the safe side
  return rows.isEmpty() || rows[0][0].toString() != kGateOff;
}

bool SetParentGateOn(const QString& connection, bool on, QString* error) {
  platform::Transaction tx(connection);
  if (!tx.Begin()) {
    if (error) *error = tx.LastError();
    return false;
  }
  if (!Rows(connection, QStringLiteral("delete from SYS where 名称 = ?"), {kGateName}, nullptr,
            error) ||
      (!on && !Rows(connection, QStringLiteral("insert into SYS (名称, 内容) values (?, ?)"),
                    {kGateName, kGateOff}, nullptr, error)))
    return false;
  if (!tx.Commit()) {
    if (error) *error = tx.LastError();
    return false;
  }
  return true;
}

bool AddChildrenTables(const QString& connection, QString* error) {
  return platform::ExecSql(connection,
                           QStringLiteral("create table if not exists children (child_id integer "
                                          "not null primary key, name varchar(40) not null, "
                                          "picture integer not null)"),
                           error) &&
         platform::ExecSql(
             connection,
             QStringLiteral("create unique index if not exists children_name on children (name)"),
             error) &&
         (ColumnPresent(connection, QStringLiteral("learn_record"), QStringLiteral("child_id")) ||
          platform::ExecSql(connection,
                            QStringLiteral("alter table learn_record add column child_id integer"),
                            error)) &&
         platform::ExecSql(connection,
                           QStringLiteral("create index if not exists learn_record_child on "
                                          "learn_record (child_id, day, module)"),
                           error);
}

}  // namespace children
