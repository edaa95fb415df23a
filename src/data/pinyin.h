// SPDX-License-Identifier: GPL-3.0-or-later
// Pinyin proposals for character items: the Unicode Han database's Mandarin readings (compiled in
// at build time) and, for two-character words, CC-CEDICT's (a data file beside the program).
#pragma once

#include <QString>
#include <QStringList>

// The reading of one character in tone marks ("yī"); empty when the database has none.
QString MandarinReading(char32_t c);

// The readings of the characters in `text`, joined by a space, a two-character word read as a
// word; characters without a reading
// (Latin letters, punctuation, rare characters) are left out.
QString ProposePinyin(const QString& text);

// One reading per code point of `text`, in tone marks, word readings first ("长江" cháng jiāng,
// "朝辞" zhāo cí); an empty string for what is no Han character (punctuation, letters).
QStringList CharacterReadings(const QString& text);
// The readings of each line of `text` joined by spaces, one line of pinyin per line of text.
QString LinePinyin(const QString& text);

// A name's place in a list sorted by its reading, as a class list runs: pinyin without tone marks,
// then the name itself (阿宝 before 陈十 before 朱珠).
QString PinyinSortKey(const QString& name);
