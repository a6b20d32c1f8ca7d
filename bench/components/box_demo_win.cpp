// The animation box's sprite demo (a bench tool, not shipped): an overlay-sized box with a few
// hundred objects made from the program's own artwork and two texts, moving, spinning,
// bouncing off the edges and off each other. It measures what the box reaches on its own 5 ms
// timer (ticks and repaints per second, the time each takes) and can leave a screenshot.
//   box_demo.exe [sprites=500] [seconds=10] [spinning=1] [screenshot.png]
// With spinning 0 nothing turns (otherwise 4 in 9 turn, re-rendered every 20 ms).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "components/box/box_properties.h"
#include "components/box/box_win.h"
#include "components/image/png_writer.h"
#include "components/object/object_properties.h"
#include "components/object/object_win.h"
#include "components/win/unit_host_win.h"
#include "runtime/units/unit_win.h"

using namespace components;
using unit_host::Host;

namespace {

constexpr int kWidth = 800, kHeight = 540;

// --- What the box's own messages cost, measured by a procedure put in front of its own.
struct Meter {
  WNDPROC boxProc = nullptr;
  LONGLONG frequency = 1;
  long ticks = 0, paints = 0;
  LONGLONG tickTime = 0, paintTime = 0;
} gMeter;

LONGLONG Counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// A repaint forced inside a tick counts as a repaint, not as part of the tick.
LRESULT CALLBACK MeteredProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static LONGLONG nestedPaint = 0;
  if (message != WM_TIMER && message != WM_PAINT)
    return CallWindowProcA(gMeter.boxProc, hwnd, message, wParam, lParam);
  if (message == WM_TIMER) nestedPaint = 0;
  const LONGLONG start = Counter();
  const LRESULT result = CallWindowProcA(gMeter.boxProc, hwnd, message, wParam, lParam);
  const LONGLONG spent = Counter() - start;
  if (message == WM_TIMER) {
    ++gMeter.ticks;
    gMeter.tickTime += spent - nestedPaint;
  } else {
    ++gMeter.paints;
    gMeter.paintTime += spent;
    nestedPaint += spent;
  }
  return result;
}

// --- The scene's rules, as an application's event handlers would be.
BoxEngine* gBox = nullptr;
std::vector<int32_t> gEdges;  // the last edges each object touched, by identifier

ForwardSettings Forward(int32_t step) { return {.interval = 10, .step = step, .borderMode = 1}; }

EventResult SceneRules(runtime::Win32Unit&, int32_t event, std::span<const int32_t> args) {
  const int32_t id = args.empty() ? 0 : args[0];
  const BoxObject* o = gBox->Find(id);
  if (!o) return {};
  if (event == kEventTouchedEdge) {
    if (static_cast<size_t>(id) < gEdges.size()) gEdges[id] = args[3];
  } else if (event == kEventForwardStopped) {
    // Bounce: mirror the heading on the edge it touched, step back inside, go on.
    const int32_t edges = static_cast<size_t>(id) < gEdges.size() ? gEdges[id] : 0;
    int32_t angle = o->angle;
    if (edges & (1 | 4)) angle = 360 - angle;
    if (edges & (2 | 8)) angle = 180 - angle;
    const double x = std::clamp(o->x, 1.0, double(kWidth - o->Width() - 1));
    const double y = std::clamp(o->y, 1.0, double(kHeight - o->Height() - 1));
    if (gBox->SetAngle(id, angle) != Outcome::kDone || gBox->SetPosition(id, x, y) != Outcome::kDone)
      return {};
    gBox->StartAutoForward(id, Forward(2));
  } else if (event == kEventCollided) {
    gBox->SetAngle(id, o->angle + 180 - 30 + static_cast<int32_t>(id % 60));  // off the other one
  }
  return {};
}

// --- Templates: animation object units made from the artwork and from two texts.
ObjectProperties Picture(assets::Bytes png, int32_t zoom, int32_t type, int32_t alpha = 0) {
  ObjectProperties p;
  p.SetData(kPropPicture, png);
  p.SetValue(kPropZoom, zoom);
  p.SetValue(kPropType, type);
  p.SetValue(kPropAlpha, alpha);
  p.SetValue(kPropCollideAllowed, 1);
  return p;
}

ObjectProperties Text(const char* text, uint32_t color, int32_t type) {
  ObjectProperties p;
  p.SetData(kPropText, std::span(reinterpret_cast<const uint8_t*>(text), std::strlen(text)));
  p.SetValue(kPropTextColor, static_cast<int32_t>(color));
  p.SetValue(kPropType, type);
  p.SetValue(kPropCollideAllowed, 1);
  return p;
}

std::vector<runtime::UnitObject*> MakeTemplates(Host& stage) {
  std::vector<ObjectProperties> all = {
      Picture(assets::CloseA(), 1000, 1),
      Picture(assets::CloseB(), 1000, 2),
      Picture(assets::ProgressFrame(1), 150, 3),
      Picture(assets::ProgressFrame(7), 150, 4, 30),
      Picture(assets::ProgressFrame(13), 120, 5),
      Picture(assets::RepairNormal(), 300, 6),
      Picture(assets::FinishHover(), 250, 7, 20),
      Text("Netmend", 0x00FFFFFF, 8),
      Text("网络修复", 0x0000D0FF, 9),
  };
  std::vector<runtime::UnitObject*> units;
  for (const ObjectProperties& p : all)
    if (runtime::UnitObject* unit = stage.Create(ObjectClassInterface, WriteObjectData(p), 0, 0, 1, 1))
      units.push_back(unit);
  return units;
}

void Populate(runtime::UnitObject& box, const std::vector<runtime::UnitObject*>& templates, int count,
              bool spin) {
  std::mt19937 random(12345);
  for (int i = 0; i < count; ++i) {
    const runtime::UnitObject& from = *templates[i % templates.size()];
    const int32_t id =
        CreateBoxObject(box, from, 20 + random() % (kWidth - 80), 20 + random() % (kHeight - 80));
    if (id <= 0) continue;
    // The small artwork and the texts spin as they go: the large artwork is turned at its full
    // size before it is zoomed down, which costs far more.
    const size_t kind = i % templates.size();
    if (spin && (kind < 2 || kind >= 7)) {
      gBox->SetRotateFollow(id, true);
      gBox->StartAutoRotate(id, 20, (i % 2) ? 6 : -4, 0, 0);
    }
    gBox->SetAngle(id, static_cast<int32_t>(random() % 360));
    gBox->StartAutoForward(id, Forward(2));
  }
  gEdges.assign(static_cast<size_t>(count) + 1, 0);
}

// --- The stage's pixels as a PNG file.
bool SaveScreenshot(const Host& stage, const char* path) {
  const Host::Capture shot = stage.Grab();
  png_writer::Picture png{.width = shot.width, .height = shot.height, .colorType = PNG_COLOR_TYPE_RGB};
  for (COLORREF c : shot.pixels) png.rows.insert(png.rows.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
  const std::vector<uint8_t> file = png_writer::Encode(png);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return !file.empty() && out.good();
}

runtime::UnitObject* MakeBox(Host& stage) {
  BoxProperties props;
  props.backColor = 0x00402818;  // a dark blue
  return stage.Create(BoxClassInterface, WriteBoxData(props), 0, 0, kWidth, kHeight);
}

void RunFor(DWORD milliseconds) {
  const DWORD until = GetTickCount() + milliseconds;
  while (static_cast<int32_t>(until - GetTickCount()) > 0) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int sprites = argc > 1 ? std::atoi(argv[1]) : 500;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
  const bool spinning = argc > 3 ? std::atoi(argv[3]) != 0 : true;
  Host stage(kWidth, kHeight, RGB(0, 0, 0));
  // The templates first, so that the box lies above their (empty) windows.
  const std::vector<runtime::UnitObject*> templates = MakeTemplates(stage);
  if (templates.empty()) return std::fprintf(stderr, "box_demo: no templates\n"), 1;
  runtime::UnitObject* box = MakeBox(stage);
  if (!box) return std::fprintf(stderr, "box_demo: no box\n"), 1;
  HWND boxWindow = reinterpret_cast<HWND>(box->Handle());
  gBox = BoxEngineOf(*box);
  SetBoxEventRoute(SceneRules);
  Populate(*box, templates, sprites, spinning);
  RunFor(500);  // settle before measuring
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  gMeter.frequency = frequency.QuadPart;
  gMeter.boxProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(boxWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MeteredProc)));
  const LONGLONG start = Counter();
  RunFor(static_cast<DWORD>(seconds) * 1000);
  const double wall = double(Counter() - start) / gMeter.frequency;
  const auto ms = [](LONGLONG t, long n) {
    return n ? 1000.0 * double(t) / double(gMeter.frequency) / n : 0.0;
  };
  std::printf("box_demo: %zu objects (of %d asked), %s, %.1f s\n", gBox->Objects().size(), sprites,
              spinning ? "4 in 9 spinning" : "none spinning", wall);
  std::printf("  ticks:    %6.1f per second, %.2f ms each (the frame loop)\n", gMeter.ticks / wall,
              ms(gMeter.tickTime, gMeter.ticks));
  std::printf("  repaints: %6.1f per second, %.2f ms each\n", gMeter.paints / wall,
              ms(gMeter.paintTime, gMeter.paints));
  std::printf("  busy:     %.0f %% of the time in ticks and repaints\n",
              100.0 * double(gMeter.tickTime + gMeter.paintTime) / double(Counter() - start));
  if (argc > 4) {
    RedrawWindow(boxWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (!SaveScreenshot(stage, argv[4])) return std::fprintf(stderr, "box_demo: no screenshot\n"), 1;
    std::printf("  screenshot: %s\n", argv[4]);
  }
  SetWindowLongPtrA(boxWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gMeter.boxProc));
  return 0;
}
