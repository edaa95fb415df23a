// SDL2 sound player: one device opened at first use, one current sound that the audio callback
// plays; a new sound or a stop replaces it. Decoding and conversion happen on the calling thread,
// so the audio thread only copies samples.
#include "platform/sdl_sound.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace platform {
namespace {

// Guards against garbage: larger files are not read, longer sounds are cut.
constexpr qint64 kMaxFileBytes = 128 * 1024 * 1024;
constexpr int kMaxSeconds = 5 * 60;
// A short device buffer keeps the delay between a click and the first sound small.
constexpr int kWantedRate = 44100;
constexpr Uint8 kDeviceChannels = 2;
constexpr Uint16 kDeviceSamples = 512;

using Samples = std::vector<Sint16>;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Decodes a WAV held in memory into interleaved signed 16-bit samples at the device rate and
// channel count. Empty when SDL cannot make sense of it.
Samples Decode(const QByteArray& bytes, int rate, int channels) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.constData(), static_cast<int>(bytes.size()));
  if (!rw) return {};
  SDL_AudioSpec spec{};
  Uint8* raw = nullptr;
  Uint32 rawBytes = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &spec, &raw, &rawBytes)) return {};
  const std::unique_ptr<Uint8, decltype(&SDL_FreeWAV)> owned(raw, &SDL_FreeWAV);

  const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8u * spec.channels;
  if (frameBytes == 0 || spec.channels > 8 || spec.freq <= 0) return {};
  const Uint32 frames = std::min<Uint32>(rawBytes / frameBytes,
                                         static_cast<Uint32>(spec.freq) * kMaxSeconds);
  if (frames == 0) return {};

  // SDL_AudioCVT rather than SDL_AudioStream: the stream's flush drops the last few hundred
  // frames when resampling (SDL 2.26), which cuts off the end of short words.
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS,
                        static_cast<Uint8>(channels), rate) < 0)
    return {};
  cvt.len = static_cast<int>(frames * frameBytes);
  const size_t room = static_cast<size_t>(cvt.len) * static_cast<size_t>(std::max(cvt.len_mult, 1));
  Samples out((room + 1) / sizeof(Sint16));
  std::memcpy(out.data(), raw, static_cast<size_t>(cvt.len));
  cvt.buf = reinterpret_cast<Uint8*>(out.data());
  if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) return {};
  const size_t whole = static_cast<size_t>(cvt.needed ? cvt.len_cvt : cvt.len) / sizeof(Sint16);
  out.resize(whole - whole % static_cast<size_t>(channels));
  return out;
}

Samples Load(const QString& name, int rate, int channels) {
  QFile file(name);
  // Sequential files (devices, pipes) have no size to check and may never end.
  if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() > kMaxFileBytes) return {};
  return Decode(file.readAll(), rate, channels);
}

class SdlPlayer final : public SoundPlayer {
 public:
  ~SdlPlayer() override { Close(); }

  void Play(const QString& name) override {
    const std::int64_t requested = NowNs();
    const std::lock_guard guard(m_mutex);
    if (!EnsureDevice()) return;
    Samples next = name.isEmpty() ? Samples{} : Load(name, m_rate, m_channels);
    Samples old;
    SDL_LockAudioDevice(m_device);
    old.swap(m_sound);
    m_sound.swap(next);
    m_position = 0;
    m_heard = m_sound.empty();
    if (!m_sound.empty()) {
      m_requestedNs = requested;
      m_audibleNs = 0;
      ++m_sounds;
    }
    SDL_UnlockAudioDevice(m_device);
    // `old` is freed here, outside the audio lock.
  }

  SdlSoundStatus Status() const {
    SdlSoundStatus s;
    s.deviceOpen = m_open;
    s.rate = m_statusRate;
    s.channels = m_statusChannels;
    s.sounds = m_sounds;
    s.requestedNs = m_requestedNs;
    s.audibleNs = m_audibleNs;
    return s;
  }

 private:
  bool EnsureDevice() {
    if (m_device != 0) {
      if (SDL_GetAudioDeviceStatus(m_device) != SDL_AUDIO_STOPPED) return true;
      Close();  // the device went away (unplugged): one fresh attempt
      m_tried = false;
    }
    if (m_tried) return false;
    m_tried = true;

    SDL_SetMainReady();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{};
    want.freq = kWantedRate;
    want.format = AUDIO_S16SYS;
    want.channels = kDeviceChannels;
    want.samples = kDeviceSamples;
    want.callback = &SdlPlayer::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (m_device == 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    if (have.freq <= 0) {
      Close();
      return false;
    }
    m_rate = have.freq;
    m_channels = have.channels;
    m_statusRate = m_rate;
    m_statusChannels = m_channels;
    m_open = true;
    SDL_PauseAudioDevice(m_device, 0);  // runs from now on, playing silence when idle
    return true;
  }

  void Close() {
    if (m_device == 0) return;
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
    m_open = false;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }

  static void SDLCALL Callback(void* self, Uint8* stream, int len) {
    static_cast<SdlPlayer*>(self)->Fill(stream, len);
  }

  // Runs on SDL's audio thread with the device locked.
  void Fill(Uint8* stream, int len) {
    const size_t wanted = static_cast<size_t>(len) / sizeof(Sint16);
    const size_t count = std::min(wanted, m_sound.size() - m_position);
    const Sint16* from = m_sound.data() + m_position;
    if (count > 0) std::memcpy(stream, from, count * sizeof(Sint16));
    std::memset(stream + count * sizeof(Sint16), 0, static_cast<size_t>(len) - count * sizeof(Sint16));
    if (!m_heard && std::any_of(from, from + count, [](Sint16 v) { return v != 0; })) {
      m_heard = true;
      m_audibleNs = NowNs();
    }
    m_position += count;
  }

  std::mutex m_mutex;  // serialises Play()
  bool m_tried = false;
  SDL_AudioDeviceID m_device = 0;
  int m_rate = 0;
  int m_channels = 0;

  // Shared with the audio callback; changed only under the device lock.
  Samples m_sound;
  size_t m_position = 0;
  bool m_heard = true;

  std::atomic<bool> m_open{false};
  std::atomic<int> m_statusRate{0};
  std::atomic<int> m_statusChannels{0};
  std::atomic<std::uint64_t> m_sounds{0};
  std::atomic<std::int64_t> m_requestedNs{0};
  std::atomic<std::int64_t> m_audibleNs{0};
};

SdlPlayer& Player() {
  static SdlPlayer player;
  return player;
}

}  // namespace

SoundPlayer& SdlSoundPlayer() { return Player(); }

SdlSoundStatus SdlSoundStatusNow() { return Player().Status(); }

}  // namespace platform
