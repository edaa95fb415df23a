// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/path_store.h"

#include <QVariant>

#include "data/children.h"
#include "platform/dataset.h"

namespace paths {

static_assert(kStickerCount == children::kPictureCount);

QString StickerPicture(int picture) { return children::PictureResource(picture); }

bool LoadLevel(const QString& connection, int child, Level* level, QString* error) {
  QVector<QVector<QVariant>> rows;
  *level = {};
  if (!platform::ExecQuery(
          connection,
          QStringLiteral("select start_chapter, new_per_day from child_level where child_id = ?"),
          {child}, &rows, error))
    return false;
  if (!rows.isEmpty()) *level = {qMax(0, rows[0][0].toInt()), qBound(3, rows[0][1].toInt(), 5)};
  return true;
}

bool SaveLevel(const QString& connection, int child, const Level& level, QString* error) {
  if (level.startChapter < 0 || level.newPerDay < 3 || level.newPerDay > 5) {
    if (error) *error = QStringLiteral("每天的新字要在 3 到 5 个之间，从第 1 章或以后的章开始。");
    return false;
  }
  platform::Transaction tx(connection);
  if (!tx.Begin()) {
    if (error) *error = tx.LastError();
    return false;
  }
  if (!platform::ExecQuery(connection, QStringLiteral("delete from child_level where child_id = ?"),
                           {child}, nullptr, error) ||
      !platform::ExecQuery(connection,
                           QStringLiteral("insert into child_level (child_id, start_chapter, "
                                          "new_per_day) values (?, ?, ?)"),
                           {child, level.startChapter, level.newPerDay}, nullptr, error))
    return false;
  if (!tx.Commit()) {
    if (error) *error = tx.LastError();
    return false;
  }
  return true;
}

bool AwardSticker(const QString& connection, int child, int day, int picture, bool* given,
                  QString* error) {
  *given = false;
  QVector<QVector<QVariant>> rows;
  if (!platform::ExecQuery(connection,
                           QStringLiteral("select count(*) from stickers where child_id = ? and day = ?"),
                           {child, day}, &rows, error))
    return false;
  if (!rows.isEmpty() && rows[0][0].toInt() > 0) return true;
  // Two seats finishing at once: the key keeps the second out, and that is no failure.
  QString why;
  if (!platform::ExecQuery(connection,
                           QStringLiteral("insert into stickers (child_id, day, sticker) values (?, ?, ?)"),
                           {child, day, qBound(0, picture, kStickerCount - 1)}, nullptr, &why)) {
    QVector<QVector<QVariant>> again;
    if (platform::ExecQuery(connection,
                            QStringLiteral("select count(*) from stickers where child_id = ? and day = ?"),
                            {child, day}, &again, nullptr) &&
        !again.isEmpty() && again[0][0].toInt() > 0)
      return true;
    if (error) *error = why;
    return false;
  }
  *given = true;
  return true;
}

bool LoadStickers(const QString& connection, int child, QList<Sticker>* stickers, QString* error) {
  QVector<QVector<QVariant>> rows;
  stickers->clear();
  if (!platform::ExecQuery(
          connection,
          QStringLiteral("select day, sticker from stickers where child_id = ? order by day"), {child},
          &rows, error))
    return false;
  for (const QVector<QVariant>& r : rows)
    stickers->append({r[0].toInt(), qBound(0, r[1].toInt(), kStickerCount - 1)});
  return true;
}

}  // namespace paths
