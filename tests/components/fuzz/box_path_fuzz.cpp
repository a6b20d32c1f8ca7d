// libFuzzer target: a box object walking a path of arbitrary bytes. The first byte is the step,
// the second the repeats; the rest is the path (any length, any points). Nothing may read past
// the path, divide by zero or run away; the walk is bounded by the ticks given.
#include <cstddef>
#include <cstdint>

#include "components/box/box_engine.h"

namespace {

class Host : public components::BoxHost {
 public:
  uint32_t now = 0xFFFFF000u;  // across the wrap of the tick count
  uint32_t Now() override { return now; }
  bool KeyDown(int32_t) override { return false; }
  int32_t Modifiers() override { return 0; }
  bool CursorOverBox() override { return true; }
  void Invalidate(const components::Rect&) override {}
  void RepaintNow() override {}
  void PlaySound(std::span<const uint8_t>) override {}
  components::EventResult Fire(int32_t, std::span<const int32_t>) override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  Host host;
  components::BoxEngine box(host, 200, 150);
  components::ObjectTemplate t;
  t.source = components::MakeFrameSet(3 + data[0] % 5, 3 + data[1] % 5, 0);
  t.properties.SetValue(components::kPropCollideAllowed, 1);
  t.properties.SetValue(components::kPropRotateFollow, data[1] & 1);
  const int32_t id = box.CreateObject(t, 50, 40);
  box.CreateObject(t, 60, 40);
  components::ForwardSettings f;
  f.step = data[0];
  f.repeats = data[1] % 4;
  f.distance = data[1] & 0x80 ? 300 : 0;
  f.path.assign(data + 2, data + size);
  box.StartAutoForward(id, f);
  for (int i = 0; i < 64; ++i) {
    host.now += 5;
    box.Tick();
  }
  return 0;
}
