// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/pinyin.h"

#include <QStringList>
#include <algorithm>
#include <iterator>

namespace {
#include "pinyin_table.inc"
static_assert(std::size(kCodes) == std::size(kReadings));
}  // namespace

QString MandarinReading(char32_t c) {
  const auto* end = std::end(kCodes);
  const auto* at = std::lower_bound(std::begin(kCodes), end, c);
  if (at == end || *at != c) return {};
  return QString::fromUtf8(kSyllables[kReadings[at - std::begin(kCodes)]]);
}

QString ProposePinyin(const QString& text) {
  QStringList readings;
  for (const char32_t c : text.toUcs4()) {
    const QString r = MandarinReading(c);
    if (!r.isEmpty()) readings << r;
  }
  return readings.join(QLatin1Char(' '));
}
