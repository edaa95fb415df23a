// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/plain_text.h"

namespace platform {
namespace {

bool IsLineBreak(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }

// The marks, embeddings, overrides and isolates that change the order text is shown in.
bool IsBidiControl(char16_t c) {
  return c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

bool HasControlCharacters(const QString& text, bool lineBreaksAllowed) {
  for (const QChar c : text) {
    if (IsLineBreak(c.unicode())) {
      if (lineBreaksAllowed) continue;
      return true;
    }
    if (c.category() == QChar::Other_Control || IsBidiControl(c.unicode())) return true;
  }
  return false;
}

}  // namespace platform
