// Windows' background sounds over a recording player that, like the system's, reads the bytes
// of the sound playing whenever it is called.
#include "runtime/units/window_sound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace runtime;

namespace {

class RecordingSound final : public SoundOutput {
 public:
  std::vector<std::string> log;

  void Play(std::span<const uint8_t> sound, bool repeat) override {
    CheckPlaying();
    playing_ = sound;
    heard_.assign(sound.begin(), sound.end());
    log.push_back((repeat ? "repeat " : "once ") + std::string(heard_.begin(), heard_.end()));
  }
  void Stop() override {
    CheckPlaying();
    playing_ = {};
    heard_.clear();
    log.push_back("stop");
  }

 private:
  // The bytes of the sound playing are still there, unchanged (the sanitizer catches freed ones).
  void CheckPlaying() {
    EXPECT_EQ(std::vector<uint8_t>(playing_.begin(), playing_.end()), heard_) << "read while playing";
  }

  std::span<const uint8_t> playing_;
  std::vector<uint8_t> heard_;
};

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(WindowSound, PlaysOnlyRepeatOrOnceAndKeepsItsBytesUntilStopped) {
  RecordingSound out;
  const int a = 0;
  std::vector<uint8_t> sound = Bytes("ab");
  for (int32_t setting : {-1, 2, -7}) PlayWindowSound(out, &a, sound, setting);
  PlayWindowSound(out, &a, {}, 0);
  EXPECT_TRUE(out.log.empty()) << "neither a setting other than 0 or 1 nor an empty sound plays";

  PlayWindowSound(out, &a, sound, 1);
  // The window's sound is replaced: the caller's old bytes change and go before the player
  // is stopped, which must not matter to it.
  sound[0] = 'X';
  sound = Bytes("cd");
  PlayWindowSound(out, &a, sound, 0);
  StopWindowSound(out, &a);
  StopWindowSound(out, &a);
  EXPECT_EQ(out.log, (std::vector<std::string>{"once ab", "stop", "repeat cd", "stop"}));
}

TEST(WindowSound, AWindowStopsOnlyItsOwnSound) {
  RecordingSound out;
  const int a = 0, b = 0;
  PlayWindowSound(out, &a, Bytes("a"), 0);
  StopWindowSound(out, &b);
  PlayWindowSound(out, &b, Bytes("b"), 0);  // takes the player's place
  StopWindowSound(out, &a);
  PlayWindowSound(out, &a, {}, 0);
  EXPECT_EQ(out.log, (std::vector<std::string>{"repeat a", "repeat b"})) << "b's sound goes on";
  StopWindowSound(out, &b);
  EXPECT_EQ(out.log.back(), "stop");
}

}  // namespace
