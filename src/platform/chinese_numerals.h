// SPDX-License-Identifier: GPL-3.0-or-later
// Chapter numbers as a course writes them ("第十二章"): shared by the course made at build time
// and the program that renumbers its chapters, so the two always agree.
#pragma once

#include <QString>

namespace platform {

// 1..99 in Chinese numerals (一, 十二, 四十); other numbers in digits.
inline QString ChineseNumber(int n) {
  static const QString digits = QStringLiteral("零一二三四五六七八九");
  if (n < 0) return QString::number(n);
  if (n < 10) return digits[n];
  if (n < 20) return QStringLiteral("十") + (n % 10 ? QString(digits[n % 10]) : QString());
  if (n < 100)
    return QString(digits[n / 10]) + QStringLiteral("十") +
           (n % 10 ? QString(digits[n % 10]) : QString());
  return QString::number(n);
}

}  // namespace platform
