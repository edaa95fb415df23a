// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speech.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>

#include "platform/logging.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace platform {
namespace {

// espeak-ng keeps one global synthesiser: one caller at a time.
std::mutex g_mutex;
int g_rate = 0;  // espeak's sample rate once initialised; < 0 when it could not start
Samples* g_out = nullptr;

int Collect(short* wav, int count, espeak_EVENT*) {
  if (wav && count > 0) g_out->insert(g_out->end(), wav, wav + count);
  return 0;
}

bool Initialise() {
  if (g_rate == 0) {
    // Without DONT_EXIT espeak ends the whole program when its data is missing.
    g_rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (g_rate > 0)
      espeak_SetSynthCallback(&Collect);
    else
      qCWarning(lcSound) << "espeak-ng could not start";
  }
  return g_rate > 0;
}

// espeak-ng speaks at 22,050 Hz; should a build differ, convert in slices (one big conversion
// loses its tail in SDL 2.26).
bool Resample(Samples& samples, int rate) {
  if (rate == kRecordingRate) return true;
  SDL_AudioStream* stream =
      SDL_NewAudioStream(AUDIO_S16SYS, 1, rate, AUDIO_S16SYS, 1, kRecordingRate);
  if (!stream) return false;
  constexpr std::size_t kSlice = 1024;
  for (std::size_t at = 0; at < samples.size(); at += kSlice) {
    const std::size_t n = std::min(kSlice, samples.size() - at);
    SDL_AudioStreamPut(stream, samples.data() + at, static_cast<int>(n * 2));
  }
  SDL_AudioStreamFlush(stream);
  Samples out(static_cast<std::size_t>(SDL_AudioStreamAvailable(stream)) / 2);
  const int got = SDL_AudioStreamGet(stream, out.data(), static_cast<int>(out.size() * 2));
  SDL_FreeAudioStream(stream);
  out.resize(got > 0 ? static_cast<std::size_t>(got) / 2 : 0);
  samples.swap(out);
  return true;
}

}  // namespace

bool Synthesise(const QString& text, const SpeechSettings& settings, Samples* out, QString* error) {
  const std::lock_guard guard(g_mutex);
  out->clear();
  if (!Initialise()) {
    if (error) *error = QStringLiteral("语音合成不能启动（缺少 espeak-ng 的语音数据）。");
    return false;
  }
  // The plain Mandarin voice reads unknown characters as pinyin with English tone numbers; the
  // pinyin variant reads them, and pinyin with tone marks, as Mandarin.
  const char* voice = settings.voice == Voice::Mandarin ? "cmn-latn-pinyin" : "en-us";
  const QByteArray utf8 = text.toUtf8();
  g_out = out;
  const bool ok = espeak_SetVoiceByName(voice) == EE_OK &&
                  espeak_SetParameter(espeakRATE, settings.rate, 0) == EE_OK &&
                  espeak_SetParameter(espeakPITCH, settings.pitch, 0) == EE_OK &&
                  espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size() + 1), 0,
                               POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr) == EE_OK &&
                  espeak_Synchronize() == EE_OK && Resample(*out, g_rate);
  g_out = nullptr;
  if (!ok) {
    qCWarning(lcSound) << "espeak-ng failed on voice" << voice;
    if (error) *error = QStringLiteral("语音合成失败。");
    out->clear();
  }
  return ok;
}

}  // namespace platform
