// The background sound of windows. The system plays one asynchronous sound per process and
// reads its bytes for as long as it plays: a copy of them is kept here until that sound has
// been stopped or replaced, and a window stops only a sound that it started itself.
#pragma once

#include <cstdint>
#include <span>

namespace runtime {

// The system's sound player.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Plays a sound from memory without waiting, once or repeating, in place of any sound that
  // is playing. The bytes are read until the next Play or Stop.
  virtual void Play(std::span<const uint8_t> sound, bool repeat) = 0;
  virtual void Stop() = 0;
};

// Starts a window's sound by its play setting: 0 repeats, 1 plays once, anything else does
// not play. The sound the window started before is stopped first. Main thread only.
void PlayWindowSound(SoundOutput& output, const void* window, std::span<const uint8_t> sound,
                     int32_t playing);
// Stops the sound that is playing if this window started it; another window's goes on.
void StopWindowSound(SoundOutput& output, const void* window);

}  // namespace runtime
