// SPDX-License-Identifier: GPL-3.0-or-later
// Where the recordings an adult makes in the item editor go, what they are called, and how the
// program speaks an item: the same rules the sample course's recordings were made with.
#pragma once

#include <QString>

#include "platform/speech.h"
#include "platform/wav_file.h"

struct LessonKind;

// The kind's recordings folder in the user's data folder (…/Tindora/字语音库 and so on).
QString RecordingsFolder(const LessonKind& kind);

// The file name the sample course gives an item's recording: 一.wav, 静夜思.wav, and for English
// the word in upper case with spaces turned into "_" (APPLE.wav). Characters that no file name
// may hold become "_".
QString RecordingFileName(const LessonKind& kind, const QString& name);

// What is said for an item and with which voice.
struct ItemSpeech {
  QString text;
  platform::SpeechSettings settings;
};

// A character item's reading as its text gives it: the Latin words before the first Han one
// ("yī  一个  一天" -> "yī"); empty when the text starts with none.
QString ReadingInText(const QString& text);

// Characters: the pinyin when the text starts with one (else the character), then the first
// example word. Poems: the title, the author line and the lines. English: the word.
ItemSpeech SpeechFor(const LessonKind& kind, const QString& name, const QString& text);

// Speaks `speech` and tidies the result (silence trimmed, pauses shortened, loudness evened).
bool Speak(const ItemSpeech& speech, platform::Samples* out, QString* error);

// A file that says a character item: its recording (`sound`, a path or a library name, fetched
// from the database the first time), else the item spoken once by speech synthesis and kept in
// the cache folder. When neither can be had the reason is logged and what comes back plays the
// player's default sound.
QString CharacterSoundFile(const QString& connection, const QString& name, const QString& text,
                           const QString& sound);

namespace platform {
class Dataset;
}

// The recording of an item that has none, made when it is first played: spoken as the item
// editor's "合成" does, kept in the recordings library under the item's name and written into
// the item's 声音, in one transaction, so that the next play is instant and an adult can record
// over it later. `items` stands on the item. Where the item cannot be written (a seat's login, a
// read-only file, the row changed meanwhile) what was spoken is kept in the cache and plays this
// time. Returns the file to play; empty with the reason in `error` when speech fails, which the
// player answers with its default sound.
QString RecordFirstPlay(platform::Dataset& items, const LessonKind& kind, QString* error);
