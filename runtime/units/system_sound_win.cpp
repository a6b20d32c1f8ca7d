// The system's sound player: PlaySound from memory.
#include "runtime/units/system_sound_win.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include "runtime/core/declared_functions_win.h"

namespace runtime {
namespace {

class SystemSound final : public SoundOutput {
 public:
  void Play(std::span<const uint8_t> sound, bool repeat) override {
    if (!kPlaySoundA.Available()) return;
    kPlaySoundA(reinterpret_cast<const char*>(sound.data()), nullptr,
                SND_MEMORY | SND_ASYNC | SND_NODEFAULT | (repeat ? SND_LOOP : 0));
  }
  void Stop() override {
    if (kPlaySoundA.Available()) kPlaySoundA(nullptr, nullptr, 0);
  }
};

}  // namespace

SoundOutput& SystemSoundOutput() {
  static SystemSound sound;
  return sound;
}

}  // namespace runtime
