// The animation box's scene: N sprites of 32 x 32 with soft edges on one layer, all moving by
// auto-forward with border mode 1 and collisions on (a stopped sprite turns round and goes on),
// one frame-loop tick plus the repaint of the invalidated area of an 800 x 540 box.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "components/box/box_engine.h"

using namespace components;

namespace {

constexpr int32_t kBoxW = 800, kBoxH = 540, kSprite = 32;

FrameSet SoftSprite() {
  FrameSet set;
  set.width = set.height = kSprite;
  Frame& frame = set.frames.emplace_back();
  for (int y = 0; y < kSprite; ++y) {
    for (int x = 0; x < kSprite; ++x) {
      const double d = std::hypot(x - 15.5, y - 15.5);
      const uint32_t amount = d < 12 ? 0 : d > 16 ? 255 : static_cast<uint32_t>((d - 12) * 255 / 4);
      frame.pixels.push_back((amount << 24) | (x * 8 << 16) | (y * 8 << 8) | 0x40);
    }
  }
  return set;
}

// Repaints the bounding box of what was invalidated, from the background and the objects.
class SceneHost : public BoxHost {
 public:
  BoxEngine* box = nullptr;
  uint32_t now = 1000;
  std::vector<uint32_t> background = std::vector<uint32_t>(size_t{kBoxW} * kBoxH, 0x00C0C0C0);
  std::vector<uint32_t> buffer = std::vector<uint32_t>(size_t{kBoxW} * kBoxH);
  Rect dirty{kBoxW, kBoxH, 0, 0};

  uint32_t Now() override { return now; }
  bool KeyDown(int32_t) override { return false; }
  int32_t Modifiers() override { return 0; }
  bool CursorOverBox() override { return true; }
  void Invalidate(const Rect& r) override {
    dirty = {std::min(dirty.left, r.left), std::min(dirty.top, r.top), std::max(dirty.right, r.right),
             std::max(dirty.bottom, r.bottom)};
  }
  void RepaintNow() override {}
  void PlaySound(std::span<const uint8_t>) override {}
  EventResult Fire(int32_t event, std::span<const int32_t> args) override {
    if (event == kEventForwardStopped) {  // bounce: turn round and go on
      box->SetAngle(args[0], box->Find(args[0])->angle + 180);
      box->StartAutoForward(args[0], Forward());
    }
    return {};
  }
  void Paint() {
    const Rect r{std::max(dirty.left, 0), std::max(dirty.top, 0), std::min(dirty.right, kBoxW),
                 std::min(dirty.bottom, kBoxH)};
    dirty = {kBoxW, kBoxH, 0, 0};
    if (r.left >= r.right || r.top >= r.bottom) return;
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    for (int32_t y = 0; y < h; ++y)
      std::copy_n(&background[size_t(r.top + y) * kBoxW + r.left], w, &buffer[size_t(y) * w]);
    box->Compose(r, Surface{buffer.data(), w, h, w});
  }
  static ForwardSettings Forward() {
    ForwardSettings f;
    f.step = 2, f.borderMode = 1;
    return f;
  }
};

void BM_BoxSceneTick(benchmark::State& state) {
  SceneHost host;
  BoxEngine box(host, kBoxW, kBoxH);
  host.box = &box;
  ObjectTemplate t;
  t.source = SoftSprite();
  t.properties.SetValue(kPropCollideAllowed, 1);
  std::mt19937 random(7);
  for (int64_t i = 0; i < state.range(0); ++i) {
    t.properties.SetValue(kPropType, static_cast<int32_t>(i % 2));
    const int32_t id = box.CreateObject(t, random() % (kBoxW - kSprite), random() % (kBoxH - kSprite));
    box.SetAngle(id, static_cast<int32_t>(random() % 360));
    box.StartAutoForward(id, SceneHost::Forward());
  }
  for (auto _ : state) {
    host.now += 10;
    box.Tick();
    host.Paint();
  }
  state.counters["sprites"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_BoxSceneTick)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(5000)
    ->Arg(6000)
    ->Arg(7000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
