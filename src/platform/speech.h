// SPDX-License-Identifier: GPL-3.0-or-later
// Speech synthesis with espeak-ng, in process: text in, mono 16-bit samples at 22,050 Hz out.
#pragma once

#include <QString>

#include "platform/wav_file.h"

namespace platform {

enum class Voice { Mandarin, English };

struct SpeechSettings {
  Voice voice = Voice::Mandarin;
  int rate = 150;  // words per minute
  int pitch = 50;  // 0 to 100
};

// Speaks `text` (Chinese characters or pinyin with tone marks for Mandarin) into `out`, untrimmed.
// On failure `error` gets a message for the user.
bool Synthesise(const QString& text, const SpeechSettings& settings, Samples* out, QString* error);

}  // namespace platform
