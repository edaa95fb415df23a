// SPDX-License-Identifier: GPL-3.0-or-later
// SDL2 and espeak-ng are opened when first called, not when the program starts: together they
// pull in some thirty libraries (PulseAudio, ALSA, Wayland, sound codecs) that the main menu
// never needs, and loading them cost every start. Each function used is defined here under its
// own name and forwards to the library, opened with dlopen on the first call, so the callers stay
// as they are; the program is linked with --as-needed and so no longer names the libraries.
// When a library cannot be opened, every call fails the way the library reports failure.
#include <dlfcn.h>
#include <espeak-ng/speak_lib.h>

#include "platform/logging.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace {

void* Open(const char* file) {
  void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (!library) qCWarning(lcSound) << "cannot load" << file << dlerror();
  return library;
}

void* Sdl() {
  static void* const library = Open("libSDL2-2.0.so.0");
  return library;
}

void* Espeak() {
  static void* const library = Open("libespeak-ng.so.1");
  return library;
}

template <typename Function>
Function* Find(void* library, const char* name) {
  return library ? reinterpret_cast<Function*>(dlsym(library, name)) : nullptr;
}

}  // namespace

// Defines `name` with the library's own signature; `fallback` is the result without the library.
#define FORWARD(library, result, name, params, args, fallback)    \
  extern "C" result name params {                                 \
    static auto* const f = Find<result params>(library(), #name); \
    return f ? f args : fallback;                                 \
  }

FORWARD(Sdl, int, SDL_InitSubSystem, (Uint32 flags), (flags), -1)
FORWARD(Sdl, void, SDL_QuitSubSystem, (Uint32 flags), (flags), void())
FORWARD(Sdl, Uint32, SDL_WasInit, (Uint32 flags), (flags), 0)
FORWARD(Sdl, void, SDL_Quit, (void), (), void())
FORWARD(Sdl, void, SDL_SetMainReady, (void), (), void())
FORWARD(Sdl, const char*, SDL_GetError, (void), (), "SDL2 could not be loaded")
FORWARD(Sdl, SDL_bool, SDL_SetHint, (const char* name, const char* value), (name, value), SDL_FALSE)
FORWARD(Sdl, void*, SDL_malloc, (size_t size), (size), nullptr)
FORWARD(Sdl, SDL_AudioDeviceID, SDL_OpenAudioDevice,
        (const char* device, int iscapture, const SDL_AudioSpec* desired, SDL_AudioSpec* obtained,
         int allowed_changes),
        (device, iscapture, desired, obtained, allowed_changes), 0)
FORWARD(Sdl, void, SDL_PauseAudioDevice, (SDL_AudioDeviceID dev, int pause_on), (dev, pause_on),
        void())
FORWARD(Sdl, void, SDL_CloseAudioDevice, (SDL_AudioDeviceID dev), (dev), void())
FORWARD(Sdl, void, SDL_LockAudioDevice, (SDL_AudioDeviceID dev), (dev), void())
FORWARD(Sdl, void, SDL_UnlockAudioDevice, (SDL_AudioDeviceID dev), (dev), void())
FORWARD(Sdl, SDL_AudioStatus, SDL_GetAudioDeviceStatus, (SDL_AudioDeviceID dev), (dev),
        SDL_AUDIO_STOPPED)
FORWARD(Sdl, SDL_AudioStream*, SDL_NewAudioStream,
        (const SDL_AudioFormat src_format, const Uint8 src_channels, const int src_rate,
         const SDL_AudioFormat dst_format, const Uint8 dst_channels, const int dst_rate),
        (src_format, src_channels, src_rate, dst_format, dst_channels, dst_rate), nullptr)
FORWARD(Sdl, int, SDL_AudioStreamPut, (SDL_AudioStream * stream, const void* buf, int len),
        (stream, buf, len), -1)
FORWARD(Sdl, int, SDL_AudioStreamGet, (SDL_AudioStream * stream, void* buf, int len),
        (stream, buf, len), -1)
FORWARD(Sdl, int, SDL_AudioStreamAvailable, (SDL_AudioStream * stream), (stream), 0)
FORWARD(Sdl, int, SDL_AudioStreamFlush, (SDL_AudioStream * stream), (stream), -1)
FORWARD(Sdl, void, SDL_FreeAudioStream, (SDL_AudioStream * stream), (stream), void())
FORWARD(Sdl, void, SDL_FreeWAV, (Uint8 * audio_buf), (audio_buf), void())
FORWARD(Sdl, SDL_RWops*, SDL_RWFromConstMem, (const void* mem, int size), (mem, size), nullptr)
FORWARD(Sdl, SDL_AudioSpec*, SDL_LoadWAV_RW,
        (SDL_RWops * src, int freesrc, SDL_AudioSpec* spec, Uint8** audio_buf, Uint32* audio_len),
        (src, freesrc, spec, audio_buf, audio_len), nullptr)
FORWARD(Sdl, int, SDL_BuildAudioCVT,
        (SDL_AudioCVT * cvt, SDL_AudioFormat src_format, Uint8 src_channels, int src_rate,
         SDL_AudioFormat dst_format, Uint8 dst_channels, int dst_rate),
        (cvt, src_format, src_channels, src_rate, dst_format, dst_channels, dst_rate), -1)
FORWARD(Sdl, int, SDL_ConvertAudio, (SDL_AudioCVT * cvt), (cvt), -1)

FORWARD(Espeak, int, espeak_Initialize,
        (espeak_AUDIO_OUTPUT output, int buflength, const char* path, int options),
        (output, buflength, path, options), -1)
FORWARD(Espeak, void, espeak_SetSynthCallback, (t_espeak_callback * callback), (callback), void())
FORWARD(Espeak, espeak_ERROR, espeak_SetVoiceByName, (const char* name), (name), EE_INTERNAL_ERROR)
FORWARD(Espeak, espeak_ERROR, espeak_SetParameter,
        (espeak_PARAMETER parameter, int value, int relative), (parameter, value, relative),
        EE_INTERNAL_ERROR)
FORWARD(Espeak, espeak_ERROR, espeak_Synth,
        (const void* text, size_t size, unsigned int position, espeak_POSITION_TYPE position_type,
         unsigned int end_position, unsigned int flags, unsigned int* unique_identifier,
         void* user_data),
        (text, size, position, position_type, end_position, flags, unique_identifier, user_data),
        EE_INTERNAL_ERROR)
FORWARD(Espeak, espeak_ERROR, espeak_Synchronize, (void), (), EE_INTERNAL_ERROR)
