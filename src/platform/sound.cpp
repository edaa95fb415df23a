#include "platform/sound.h"

namespace platform {
namespace {
SoundPlayer* g_player = nullptr;
}

void PlaySound(const QString& name) { (g_player ? *g_player : SdlSoundPlayer()).Play(name); }
void SetSoundPlayer(SoundPlayer* player) { g_player = player; }

}  // namespace platform
