// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/item_pictures.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "data/lesson_kinds.h"
#include "platform/dataset.h"

namespace pictures {
namespace {

struct Entry {
  const char* word;
  int named;             // the first pictures, whose speech name is the word
  const char* pictures;  // separated by spaces
};

constexpr Entry kTable[] = {
#include "picture_table.inc"
};

// Pictures of a word of the text that are no picture of the item itself (月 is not 月饼, 老 not
// 老师), found by looking at the sample and starter courses. The word's own item keeps them.
constexpr std::pair<const char*, const char*> kRefusedForItem[] = {
    {"月", "🥮"}, {"老", "🧑‍🏫"}, {"生", "🧑‍🎓"}, {"美", "💵"}, {"下", "🌧️"},
    {"号", "📯"}, {"玩", "⛹️"}, {"呵", "🙂"},  {"失", "😞"}, {"板", "🛹"}, {"足", "⚽"},
};

bool RefusedFor(const QString& name, const QString& picture) {
  for (const auto& [item, refused] : kRefusedForItem)
    if (name == QString::fromUtf8(item) && picture == QString::fromUtf8(refused)) return true;
  return false;
}

}  // namespace

QStringList PicturesFor(const QString& word, bool namedOnly) {
  const QByteArray key = word.trimmed().toLower().toUtf8();
  if (key.isEmpty()) return {};
  const auto* it = std::lower_bound(std::begin(kTable), std::end(kTable), key,
                                    [](const Entry& e, const QByteArray& k) {
                                      return std::strcmp(e.word, k.constData()) < 0;
                                    });
  if (it == std::end(kTable) || key != it->word) return {};
  const QStringList all = QString::fromUtf8(it->pictures).split(u' ', Qt::SkipEmptyParts);
  return namedOnly ? all.mid(0, it->named) : all;
}

QStringList ProposePictures(const QString& name, const QString& text) {
  QStringList result = PicturesFor(name);
  // Pinyin and ASCII punctuation find nothing, so only the Chinese punctuation needs naming.
  static const QRegularExpression separators(QStringLiteral("[\\s,;/、，；。！？：（）()]+"));
  // A word of the text counts by its name only: 热带 is a keyword of the tropical fish, which is
  // no picture of 热.
  for (const QString& word : text.split(separators, Qt::SkipEmptyParts))
    for (const QString& p : PicturesFor(word, true))
      if (!result.contains(p) && !RefusedFor(name.trimmed(), p)) result << p;
  return result;
}

QString ItemPicture(const QVariant& stored, const QString& name, const QString& text) {
  if (stored.isNull() || !stored.isValid()) {
    const QStringList proposal = ProposePictures(name, text);
    return proposal.isEmpty() ? QString() : proposal.first();
  }
  const QString chosen = stored.toString();
  return chosen == QStringView(kNoPicture) ? QString() : chosen;
}

QString ItemPicture(const platform::Dataset& row, const LessonKind& kind) {
  if (!kind.pictures) return {};
  return ItemPicture(row.FieldIsNull(kColumn) ? QVariant() : QVariant(row.Field(kColumn)),
                     row.Field(kind.nameField), row.Field(kind.textField));
}

}  // namespace pictures
