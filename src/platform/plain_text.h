// SPDX-License-Identifier: GPL-3.0-or-later
// Names and texts a person can read: no NUL or other control characters. PostgreSQL cuts a value
// at a NUL, so "第一章\0x" would be stored as "第一章" and meet the other chapter of that name.
// Nor the controls that reorder text (U+202E shows "第一章\u202E二" as something else than is
// stored), nor line and paragraph separators in a one-line name.
#pragma once

#include <QString>

namespace platform {

// True when `text` holds a control character (C0, C1, bidirectional), or in a one-line name an
// invisible one (zero-width space and joiners, soft hyphen, byte-order mark); line breaks (CR, LF, U+2028,
// U+2029) count only when not allowed (they are in an item's text: a poem's lines, and older
// databases hold them in pinyin too).
bool HasControlCharacters(const QString& text, bool lineBreaksAllowed = false);

// `text` cut to its first `maxChars` characters, with "…" when it was longer: a long name in a
// message.
QString Shortened(const QString& text, int maxChars);

// `name` in quotes for a message, with what cannot be seen written out ("\t", "U+202E"): a TAB
// or a line break would split the message, a direction mark would turn it round.
QString Quoted(const QString& name);

}  // namespace platform
