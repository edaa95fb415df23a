// SPDX-License-Identifier: GPL-3.0-or-later
// The recordings the program makes itself: mono 16-bit samples at 22,050 Hz, tidied up
// (silence trimmed, loudness evened) and written so that a file under its final name is always
// complete.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

constexpr int kRecordingRate = 22050;
using Samples = std::vector<std::int16_t>;  // mono, kRecordingRate

// The samples as a complete WAV file (mono, 16-bit PCM, kRecordingRate).
QByteArray WavBytes(const Samples& samples);

// Trims silence at both ends (keeping a few milliseconds so the first and last syllables are not
// clipped), brings the peak to -3 dBFS, fades both ends against clicks and pads a short tail.
// With `maxPause` > 0, quiet stretches inside are shortened to that many seconds. Returns an empty
// result when nothing rises above the noise.
Samples Tidy(const Samples& samples, double maxPause = 0);

// Reads a PCM WAV file (8 or 16 bits, one or two channels, any rate) of at most kWavReadLimit
// bytes as mono samples at its own `rate`: enough to find a recording's pauses. Only a regular
// file is read; anything else, or another format, is false.
inline constexpr qint64 kWavReadLimit = qint64(64) << 20;
bool ReadWav(const QString& path, Samples* out, int* rate);

enum class Overwrite { Never, Replace };

// Writes the WAV into a temporary file beside `path` and renames it when complete, so neither a
// crash nor a full disk leaves a partial file under `path`. With Overwrite::Never an existing file
// is kept and the save fails. `error` gets a message for the user.
bool SaveWav(const Samples& samples, const QString& path, Overwrite overwrite, QString* error);
// The same for bytes already made (a WAV read or fetched elsewhere).
bool SaveFile(const QByteArray& bytes, const QString& path, Overwrite overwrite, QString* error);

}  // namespace platform
