// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/item_pictures.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <iterator>

#include "data/lesson_kinds.h"
#include "platform/dataset.h"

namespace pictures {
namespace {

struct Entry {
  const char* word;
  const char* pictures;  // separated by spaces
};

constexpr Entry kTable[] = {
#include "picture_table.inc"
};

}  // namespace

QStringList PicturesFor(const QString& word) {
  const QByteArray key = word.trimmed().toLower().toUtf8();
  if (key.isEmpty()) return {};
  const auto* it = std::lower_bound(std::begin(kTable), std::end(kTable), key,
                                    [](const Entry& e, const QByteArray& k) {
                                      return std::strcmp(e.word, k.constData()) < 0;
                                    });
  if (it == std::end(kTable) || key != it->word) return {};
  return QString::fromUtf8(it->pictures).split(u' ', Qt::SkipEmptyParts);
}

QStringList ProposePictures(const QString& name, const QString& text) {
  QStringList result = PicturesFor(name);
  // Pinyin and ASCII punctuation find nothing, so only the Chinese punctuation needs naming.
  static const QRegularExpression separators(QStringLiteral("[\\s,;/、，；。！？：（）()]+"));
  for (const QString& word : text.split(separators, Qt::SkipEmptyParts))
    for (const QString& p : PicturesFor(word))
      if (!result.contains(p)) result << p;
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
