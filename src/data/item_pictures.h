// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures (emoji) for character and English items, proposed from a table word -> emoji made at
// build time from Unicode CLDR's annotations. An item's 图片 column holds the adult's choice:
// NULL follows the proposal (so a better table improves items nobody chose for), kNoPicture
// refuses one, anything else is the emoji chosen. A later proposal never replaces a choice.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

struct LessonKind;
namespace platform {
class Dataset;
}

namespace pictures {

inline constexpr char16_t kNoPicture[] = u"-";
inline const QString kColumn = QStringLiteral("图片");

// The emoji the annotations give a word, best first; English looked up in lower case. With
// `namedOnly`, only those whose speech name is the word (猫 🐈, not the cat faces).
QStringList PicturesFor(const QString& word, bool namedOnly = false);

// The candidates for an item: its name's first, then those named after a word of its text (split
// at spaces and punctuation), without repeats.
QStringList ProposePictures(const QString& name, const QString& text);

// What an item shows: the stored choice, or the first proposal when nobody chose; empty for none.
QString ItemPicture(const QVariant& stored, const QString& name, const QString& text);
// The same for the dataset's current item row; empty for a kind without pictures.
QString ItemPicture(const platform::Dataset& row, const LessonKind& kind);

}  // namespace pictures
