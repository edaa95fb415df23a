// SPDX-License-Identifier: GPL-3.0-or-later
// Names and texts a person can read: no NUL or other control characters. PostgreSQL cuts a value
// at a NUL, so "第一章\0x" would be stored as "第一章" and meet the other chapter of that name.
#pragma once

#include <QString>

namespace platform {

// True when `text` holds a control character; line breaks count only when not allowed (they are
// in an item's text: a poem's lines, and older databases hold them in pinyin too).
bool HasControlCharacters(const QString& text, bool lineBreaksAllowed = false);

}  // namespace platform
