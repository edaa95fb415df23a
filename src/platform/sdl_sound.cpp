// SPDX-License-Identifier: GPL-3.0-or-later
// SDL2 sound player: one device opened at first use, one current sound that the audio callback
// plays; a new sound or a stop replaces it. Files are read and decoded on the calling thread; the
// audio thread converts the decoded samples to the device format a slice at a time.
#include "platform/sdl_sound.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

#include "platform/logging.h"
#include "platform/sound.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace platform {
namespace {

// Guards against garbage: larger files are not read, longer sounds are cut.
constexpr qint64 kMaxFileBytes = kMaxRecordingBytes;
constexpr int kMaxSeconds = 5 * 60;
// Sample rates outside this range are no recording: SDL's converter overflows on the high ones
// and the low ones buzz for minutes.
constexpr quint32 kMinRate = 4000;
constexpr quint32 kMaxRate = 384000;
// A short device buffer keeps the delay between a click and the first sound small.
constexpr int kWantedRate = 44100;
constexpr Uint8 kDeviceChannels = 2;
constexpr Uint16 kDeviceSamples = 512;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A decoded WAV and the stream that converts it to the device format a slice at a time, so
// that a long recording starts as quickly as a short one.
class Sound {
 public:
  // Decodes a WAV held in memory; null when SDL cannot make sense of it.
  static std::unique_ptr<Sound> Decode(const QByteArray& bytes, int rate, int channels) {
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.constData(), static_cast<int>(bytes.size()));
    if (!rw) return nullptr;
    SDL_AudioSpec spec{};
    Uint8* raw = nullptr;
    Uint32 rawBytes = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &spec, &raw, &rawBytes)) return nullptr;
    std::unique_ptr<Sound> sound(new Sound(raw));
    if (spec.channels == 0 || spec.channels > 8 || spec.freq < static_cast<int>(kMinRate) ||
        spec.freq > static_cast<int>(kMaxRate) || !raw || rawBytes == 0)
      return nullptr;
    // The stream pads with zero bytes when it flushes; for unsigned 8-bit samples that is full
    // negative swing and ends every sound with a click. So those become signed 16-bit first.
    if (!SDL_AUDIO_ISSIGNED(spec.format) && !sound->ToSigned16(spec, rawBytes)) return nullptr;

    const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8u * spec.channels;
    if (frameBytes == 0) return nullptr;
    const Uint32 frames =
        std::min<Uint32>(rawBytes / frameBytes, static_cast<Uint32>(spec.freq) * kMaxSeconds);
    if (frames == 0) return nullptr;
    sound->m_bytes = frames * frameBytes;
    sound->m_sliceBytes = kSliceFrames * frameBytes;
    sound->m_stream = SDL_NewAudioStream(spec.format, spec.channels, spec.freq, AUDIO_S16SYS,
                                         static_cast<Uint8>(channels), rate);
    if (!sound->m_stream) return nullptr;
    // The first slice is converted here, so the first callback finds samples waiting.
    if (!sound->Feed()) return nullptr;
    return sound;
  }

  ~Sound() {
    if (m_stream) SDL_FreeAudioStream(m_stream);
    SDL_FreeWAV(m_source);
  }
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // Fills up to `len` bytes of device samples; returns how many it filled (0 at the end).
  int Read(Uint8* out, int len) {
    while (SDL_AudioStreamAvailable(m_stream) < len && Feed()) {
    }
    const int got = SDL_AudioStreamGet(m_stream, out, len);
    return got > 0 ? got : 0;
  }

 private:
  explicit Sound(Uint8* source) : m_source(source) {}

  // Converts the decoded samples to signed 16-bit at their own rate and channel count.
  bool ToSigned16(SDL_AudioSpec& spec, Uint32& bytes) {
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, spec.channels,
                          spec.freq) <= 0 ||
        bytes > static_cast<Uint32>(std::numeric_limits<int>::max() / std::max(cvt.len_mult, 1)))
      return false;
    cvt.len = static_cast<int>(bytes);
    cvt.buf = static_cast<Uint8*>(SDL_malloc(bytes * static_cast<size_t>(cvt.len_mult)));
    if (!cvt.buf) return false;
    std::memcpy(cvt.buf, m_source, bytes);
    SDL_FreeWAV(m_source);
    m_source = cvt.buf;
    if (SDL_ConvertAudio(&cvt) != 0) return false;
    spec.format = AUDIO_S16SYS;
    bytes = static_cast<Uint32>(cvt.len_cvt);
    return true;
  }

  // Converts the next slice into the stream; false once everything is in (or on failure).
  // Small slices also matter for correctness: one big put loses its tail when resampling
  // (SDL 2.26).
  bool Feed() {
    if (m_flushed) return false;
    if (m_position < m_bytes) {
      const Uint32 n = std::min(m_bytes - m_position, m_sliceBytes);
      if (SDL_AudioStreamPut(m_stream, m_source + m_position, static_cast<int>(n)) == 0) {
        m_position += n;
        return true;
      }
    }
    SDL_AudioStreamFlush(m_stream);
    m_flushed = true;
    return true;
  }

  static constexpr Uint32 kSliceFrames = 1024;
  Uint8* m_source;  // from SDL's allocator: SDL_LoadWAV_RW or SDL_malloc
  Uint32 m_bytes = 0;
  Uint32 m_position = 0;
  Uint32 m_sliceBytes = 0;
  SDL_AudioStream* m_stream = nullptr;
  bool m_flushed = false;
};

// Looks over a WAV before SDL sees it; false (with the reason) when it must not be played.
// SDL allocates whatever a chunk header claims before it reads the chunk, so a corrupt size asks
// for up to 4 GB: chunk sizes are cut to the bytes actually present, and a truncated file then
// plays what it holds.
bool Vet(QByteArray& wav, const char** why) {
  if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE") {
    *why = "not a RIFF WAVE file";
    return false;
  }
  char* p = wav.data();
  const auto size = static_cast<quint64>(wav.size());
  if (qFromLittleEndian<quint32>(p + 4) > size - 8)
    qToLittleEndian<quint32>(static_cast<quint32>(size - 8), p + 4);
  int formats = 0;
  quint64 at = 12;
  while (at + 8 <= size) {
    quint64 chunk = qFromLittleEndian<quint32>(p + at + 4);
    const quint64 present = size - at - 8;
    if (chunk > present) {
      qToLittleEndian<quint32>(static_cast<quint32>(present), p + at + 4);
      chunk = present;
    }
    if (std::memcmp(p + at, "fmt ", 4) == 0) {
      // Two format chunks: which one describes the samples is anybody's guess (noise).
      if (++formats > 1) {
        *why = "more than one format chunk";
        return false;
      }
      const quint32 rate = chunk >= 8 ? qFromLittleEndian<quint32>(p + at + 12) : 0;
      if (rate < kMinRate || rate > kMaxRate) {
        *why = "sample rate outside 4 kHz to 384 kHz";
        return false;
      }
    }
    at += 8 + chunk + (chunk & 1);
  }
  return true;
}

std::unique_ptr<Sound> Load(const QString& name, int rate, int channels) {
  // A FIFO or device would block the caller on open or never end; only plain files play.
  const QFileInfo info(name);
  if (!info.isFile() || info.size() > kMaxFileBytes) {
    qCInfo(lcSound) << "not played, no plain file of a playable size:" << name;
    return nullptr;
  }
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly) || file.isSequential()) return nullptr;
  QByteArray wav = file.read(kMaxFileBytes);
  const char* why = nullptr;
  if (!Vet(wav, &why)) {
    qCInfo(lcSound) << "not played:" << name << why;
    return nullptr;
  }
  std::unique_ptr<Sound> sound = Sound::Decode(wav, rate, channels);
  if (!sound) qCInfo(lcSound) << "not played, SDL cannot decode it:" << name << SDL_GetError();
  return sound;
}

// The platform plays its default sound for a name that names no playable WAV, so "测试" in the
// item editor always gives the adult an audible answer. The reason is logged, not reported.
constexpr char kDefaultSound[] = ":/media/default.wav";
std::atomic<std::uint64_t> g_defaults{0};

std::unique_ptr<Sound> LoadOrDefault(const QString& name, int rate, int channels) {
  if (std::unique_ptr<Sound> sound = Load(name, rate, channels)) return sound;
  const QFileInfo info(name);
  const QString why =
      !info.exists() ? QStringLiteral("no such file")
      : !info.isFile()
          ? QStringLiteral("not a regular file")
          : QStringLiteral("not a playable WAV (%1)").arg(QString::fromUtf8(SDL_GetError()));
  qCInfo(lcSound).noquote() << "default sound in place of" << name << "-" << why;
  ++g_defaults;
  return Load(QString::fromLatin1(kDefaultSound), rate, channels);
}

class SdlPlayer final : public SoundPlayer {
 public:
  ~SdlPlayer() override { Close(); }

  void Play(const QString& name) override {
    const std::int64_t requested = NowNs();
    const std::lock_guard guard(m_mutex);
    // Silence needs no device: opening one loads the whole sound stack (several MB).
    if (name.isEmpty() && m_device == 0) return;
    if (!EnsureDevice()) {
      qCInfo(lcSound) << "no audio device:" << SDL_GetError() << "- not played:" << name;
      return;
    }
    std::unique_ptr<Sound> next =
        name.isEmpty() ? nullptr : LoadOrDefault(name, m_rate, m_channels);
    std::unique_ptr<Sound> old;
    SDL_LockAudioDevice(m_device);
    old.swap(m_sound);
    m_sound.swap(next);
    m_heard = !m_sound;
    if (m_sound) {
      m_requestedNs = requested;
      m_audibleNs = 0;
      ++m_sounds;
    }
    SDL_UnlockAudioDevice(m_device);
    // `old` is freed here, outside the audio lock.
  }

  bool Open() {
    const std::lock_guard guard(m_mutex);
    return EnsureDevice();
  }

  SdlSoundStatus Status() const {
    SdlSoundStatus s;
    s.deviceOpen = m_open;
    s.rate = m_statusRate;
    s.channels = m_statusChannels;
    s.sounds = m_sounds;
    s.requestedNs = m_requestedNs;
    s.audibleNs = m_audibleNs;
    s.defaults = g_defaults;
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
    // SDL's own handlers would turn SIGTERM and SIGINT into an event nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
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
    const int got = m_sound ? m_sound->Read(stream, len) : 0;
    std::memset(stream + got, 0, static_cast<size_t>(len - got));
    // A 16-bit sample is silent exactly when both of its bytes are zero.
    if (!m_heard && std::any_of(stream, stream + got, [](Uint8 b) { return b != 0; })) {
      m_heard = true;
      m_audibleNs = NowNs();
    }
  }

  std::mutex m_mutex;  // serialises Play()
  bool m_tried = false;
  SDL_AudioDeviceID m_device = 0;
  int m_rate = 0;
  int m_channels = 0;

  // Shared with the audio callback; changed only under the device lock.
  std::unique_ptr<Sound> m_sound;
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

bool IsPlayableWav(const QByteArray& bytes) {
  if (bytes.size() > kMaxRecordingBytes) return false;
  QByteArray wav = bytes;
  const char* why = nullptr;
  return Vet(wav, &why) && Sound::Decode(wav, kWantedRate, kDeviceChannels) != nullptr;
}

SdlSoundStatus SdlSoundStatusNow() { return Player().Status(); }

bool OpenSdlSoundDevice() { return Player().Open(); }

}  // namespace platform
