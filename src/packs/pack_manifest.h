// SPDX-License-Identifier: GPL-3.0-or-later
// A lesson pack's manifest: the chapters and items it carries, written by the export and read by
// the import under the same rules, which are the editors' rules. Used within packs/ only.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include "data/lesson_kinds.h"

namespace packs {

// The columns the chapter and item tables share across lesson kinds.
inline const QString kChapterNumber = QStringLiteral("章号");
inline const QString kChapterName = QStringLiteral("章节");
inline const QString kSound = QStringLiteral("声音");
inline const QString kPicture = QStringLiteral("图片");

struct PackItem {
  int number = 0;
  QString name;
  QString text;
  QString sound;  // entry name inside the pack; empty = no recording
  QString picture;  // the adult's choice (data/item_pictures.h); null = follows the proposal
};

struct PackChapter {
  int number = 0;
  QString name;
  QVector<PackItem> items;
};

// The RIFF header, the format chunk and the data chunk's header.
inline constexpr qint64 kSmallestWav = 44;
// The longest emoji sequences (families, flags with tags) take 14 UTF-16 units.
inline constexpr int kLongestPicture = 16;

inline bool LooksLikeWav(const QByteArray& head) {
  return head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

// The manifest of `chapters` of `kind`, as the export writes it.
QByteArray ManifestJson(const LessonKind& kind, const QVector<PackChapter>& chapters);

// Reads the manifest `json` into `kind` and `chapters`; the user's message when it is refused,
// else empty. With `expected` set, a pack of another kind is refused.
QString ParseManifest(const QByteArray& json, const LessonKind* expected, const LessonKind** kind,
                      QVector<PackChapter>* chapters);

}  // namespace packs
