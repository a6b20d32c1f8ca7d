// The one sound of the process and the window that started it.
#include "runtime/units/window_sound.h"

#include <vector>

namespace runtime {
namespace {

struct PlayingSound {
  const void* window = nullptr;
  std::vector<uint8_t> bytes;  // what the system is reading
};

PlayingSound& Playing() {
  static PlayingSound playing;
  return playing;
}

}  // namespace

void StopWindowSound(SoundOutput& output, const void* window) {
  PlayingSound& playing = Playing();
  if (!window || playing.window != window) return;
  output.Stop();
  playing.window = nullptr;
  playing.bytes = {};
}

void PlayWindowSound(SoundOutput& output, const void* window, std::span<const uint8_t> sound,
                     int32_t playing) {
  StopWindowSound(output, window);
  if (sound.empty() || (playing != 0 && playing != 1)) return;
  std::vector<uint8_t> bytes(sound.begin(), sound.end());
  output.Play(bytes, playing == 0);
  // The system has let go of the sound it played before (another window's, if any), so its
  // bytes may go now.
  Playing().window = window;
  Playing().bytes.swap(bytes);
}

}  // namespace runtime
