// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/plain_text.h"

namespace platform {

bool HasControlCharacters(const QString& text, bool lineBreaksAllowed) {
  for (const QChar c : text) {
    if (lineBreaksAllowed && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) continue;
    if (c.category() == QChar::Other_Control) return true;
  }
  return false;
}

}  // namespace platform
