// SPDX-License-Identifier: GPL-3.0-or-later
// A child's level for today's path and the stickers the finished paths earned (tables
// child_level and stickers, a schema step). Both belong to the child and go with it.
#pragma once

#include <QList>
#include <QString>

namespace paths {

// The stickers are the program's animals.
inline constexpr int kStickerCount = 16;
QString StickerPicture(int picture);

struct Level {
  int startChapter = 0;  // 0-based
  int newPerDay = 3;     // 3 .. 5
};

bool LoadLevel(const QString& connection, int child, Level* level, QString* error);
// Refuses a start chapter below 0 or a count outside 3 .. 5 with a Chinese message.
bool SaveLevel(const QString& connection, int child, const Level& level, QString* error);

struct Sticker {
  int day = 0;  // Julian day
  int picture = 0;  // 0 .. kStickerCount - 1
};

// Gives the child the day's sticker; a second finished path that day gives none (`given` false).
bool AwardSticker(const QString& connection, int child, int day, int picture, bool* given,
                  QString* error);
// The child's stickers, oldest first.
bool LoadStickers(const QString& connection, int child, QList<Sticker>* stickers, QString* error);

}  // namespace paths
