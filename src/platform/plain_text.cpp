// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/plain_text.h"

#include <QList>

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
    // Invisible in a one-line name ("小\u200B明" beside 小明): zero widths, soft hyphen, BOM.
    if (!lineBreaksAllowed && c.category() == QChar::Other_Format) return true;
  }
  return false;
}

QString Shortened(const QString& text, int maxChars) {
  const QList<uint> points = text.toUcs4();
  if (points.size() <= maxChars) return text;
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), maxChars) +
         QStringLiteral("…");
}

QString Quoted(const QString& name) {
  QString out = QStringLiteral("“");
  for (const QChar c : name) {
    const char16_t u = c.unicode();
    if (u == u'\t')
      out += QStringLiteral("\\t");
    else if (u == u'\n')
      out += QStringLiteral("\\n");
    else if (u == u'\r')
      out += QStringLiteral("\\r");
    else if (c.category() == QChar::Other_Control || IsLineBreak(u) || IsBidiControl(u) ||
             c.category() == QChar::Other_Format)
      out += QStringLiteral("U+") + QString::number(u, 16).rightJustified(4, u'0').toUpper();
    else
      out += c;
  }
  return out + QStringLiteral("”");
}

}  // namespace platform
