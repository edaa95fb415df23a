// SPDX-License-Identifier: GPL-3.0-or-later
// Names and texts a person can read: no NUL or other control characters. PostgreSQL cuts a value
// at a NUL, so "第一章\0x" would be stored as "第一章" and meet the other chapter of that name.
// Nor the controls that reorder text (U+202E shows "第一章\u202E二" as something else than is
// stored), nor line and paragraph separators in a one-line name.
#pragma once

#include <QString>

namespace platform {

// True when `text` holds a control character (C0, C1, bidirectional); line breaks (CR, LF, U+2028,
// U+2029) count only when not allowed (they are in an item's text: a poem's lines, and older
// databases hold them in pinyin too).
bool HasControlCharacters(const QString& text, bool lineBreaksAllowed = false);

}  // namespace platform
