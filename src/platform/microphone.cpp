// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/microphone.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/logging.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace platform {

QString NoCaptureDeviceMessage() {
  return QStringLiteral("没有找到录音设备…\n请接好麦克风再试，或者用“合成”让电脑读出这一项。");
}

Microphone::Microphone(int limitSeconds)
    : m_limit(static_cast<std::size_t>(limitSeconds) * kRecordingRate) {}

Microphone::~Microphone() { Stop(); }

bool Microphone::Start(QString* error) {
  if (m_device != 0) return true;
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    qCWarning(lcSound) << "no audio for recording:" << SDL_GetError();
    if (error) *error = NoCaptureDeviceMessage();
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = kRecordingRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = 1024;
  want.callback = &Microphone::Callback;
  want.userdata = this;
  // No changes allowed: SDL converts whatever the microphone delivers to our format.
  SDL_AudioSpec have{};
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
  if (device == 0) {
    qCWarning(lcSound) << "cannot open the capture device:" << SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (error) *error = NoCaptureDeviceMessage();
    return false;
  }
  {
    const std::lock_guard guard(m_mutex);
    m_samples.clear();
    m_samples.reserve(static_cast<std::size_t>(kRecordingRate) * 60);
  }
  m_full = false;
  m_level = 0;
  m_device = device;
  SDL_PauseAudioDevice(device, 0);
  return true;
}

Samples Microphone::Stop() {
  if (m_device == 0) return {};
  // Closing waits for the audio thread, so nothing arrives afterwards.
  SDL_CloseAudioDevice(m_device);
  m_device = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  const std::lock_guard guard(m_mutex);
  Samples out;
  out.swap(m_samples);
  return out;
}

double Microphone::Seconds() const {
  const std::lock_guard guard(m_mutex);
  return static_cast<double>(m_samples.size()) / kRecordingRate;
}

double Microphone::TakeLevel() { return m_level.exchange(0) / 32768.0; }

void Microphone::Callback(void* self, unsigned char* stream, int len) {
  auto* r = static_cast<Microphone*>(self);
  const auto* in = reinterpret_cast<const std::int16_t*>(stream);
  std::size_t n = static_cast<std::size_t>(len) / 2;
  int loudest = 0;
  {
    const std::lock_guard guard(r->m_mutex);
    n = std::min(n, r->m_limit - r->m_samples.size());
    r->m_samples.insert(r->m_samples.end(), in, in + n);
    if (r->m_samples.size() >= r->m_limit) r->m_full = true;
  }
  for (std::size_t i = 0; i < n; ++i) loudest = std::max(loudest, std::abs(int{in[i]}));
  int seen = r->m_level.load();
  while (loudest > seen && !r->m_level.compare_exchange_weak(seen, loudest)) {
  }
}

}  // namespace platform
