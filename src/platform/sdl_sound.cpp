#include "platform/sound.h"

// Placeholder until the SDL player lands: silent.
namespace platform {
namespace {
class SilentPlayer final : public SoundPlayer {
 public:
  void Play(const QString&) override {}
};
}  // namespace

SoundPlayer& SdlSoundPlayer() {
  static SilentPlayer p;
  return p;
}

}  // namespace platform
