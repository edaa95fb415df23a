// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound.h"

namespace platform {
namespace {
SoundPlayer* g_player = nullptr;
SoundNameResolver g_resolver = nullptr;
}  // namespace

void PlaySound(const QString& name) {
  (g_player ? *g_player : SdlSoundPlayer()).Play(g_resolver ? g_resolver(name) : name);
}
void SetSoundPlayer(SoundPlayer* player) { g_player = player; }
void SetSoundNameResolver(SoundNameResolver resolver) { g_resolver = resolver; }

}  // namespace platform
