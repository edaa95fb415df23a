// SPDX-License-Identifier: GPL-3.0-or-later
// The one way sound is played: asynchronous WAV playback where a new sound or a stop cuts off the
// old one. Nothing is reported back; callers that must know test for the file themselves.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The largest recording the program keeps, fetches or plays: five minutes of the editor's own
// recordings (22,050 Hz mono 16-bit, 13 MB) with room to spare, or three minutes of CD sound.
inline constexpr qint64 kMaxRecordingBytes = qint64(32) << 20;

// Whether `bytes` are a WAV the player plays (within kMaxRecordingBytes, decodable), as a
// recording must be before it is kept for others.
bool IsPlayableWav(const QByteArray& bytes);

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Plays a WAV by full path or by bare name from the current folder; an empty name stops.
  virtual void Play(const QString& name) = 0;
};

// Plays through the installed player (the SDL player unless a test has installed another).
void PlaySound(const QString& name);
// Installs `player` (not owned); nullptr restores the SDL player.
void SetSoundPlayer(SoundPlayer* player);
// Maps every name before it is played (the program finds bare names outside the current folder
// too); nullptr plays names as given.
using SoundNameResolver = QString (*)(const QString& name);
void SetSoundNameResolver(SoundNameResolver resolver);
// The SDL player itself, for tests that drive the real sound path.
SoundPlayer& SdlSoundPlayer();

}  // namespace platform
