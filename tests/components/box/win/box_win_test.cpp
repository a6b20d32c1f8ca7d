// The animation box's unit under Wine: the background (button face, the centred and tiled
// picture modes, the stretch), objects from animation object units composed into the window's
// pixels, posted mouse input turned into object events, a box destroyed by its own event
// handler in the middle of a tick, and a box in design mode with its picture editor.
#include "components/box/box_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "components/box/box_properties.h"
#include "components/image/png_writer.h"
#include "components/object/cartoon_object.h"
#include "components/object/object_win.h"
#include "components/object/picture_file_win.h"
#include "components/win/unit_host_win.h"
#include "runtime/units/unit_win.h"

using namespace components;
using runtime::Bytes;
using unit_host::Host;

namespace {

constexpr int kBoxX = 10, kBoxY = 10, kBoxW = 60, kBoxH = 40;

struct Recorded {
  int32_t event;
  std::vector<int32_t> args;
  bool operator==(const Recorded&) const = default;
};
std::vector<Recorded> gEvents;
std::function<void(runtime::Win32Unit&, int32_t)> gHandler;

EventResult Record(runtime::Win32Unit& box, int32_t event, std::span<const int32_t> args) {
  gEvents.push_back({event, {args.begin(), args.end()}});
  if (gHandler) gHandler(box, event);
  return {};
}

struct Routed {
  Routed() {
    gEvents.clear();
    gHandler = nullptr;
    SetBoxEventRoute(Record);
  }
  ~Routed() {
    SetBoxEventRoute(nullptr);
    gHandler = nullptr;
  }
};

// A 24-bit bitmap file whose pixel (x, y) is color(x, y).
Bytes Bitmap(int width, int height, const std::function<COLORREF(int, int)>& color) {
  const int stride = (width * 3 + 3) & ~3;
  Bytes out(54 + static_cast<size_t>(stride) * height, 0);
  auto put = [&](size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  out[0] = 'B', out[1] = 'M';
  put(2, static_cast<uint32_t>(out.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, width, 4);
  put(22, height, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = color(x, y);
      const size_t at = 54 + static_cast<size_t>(height - 1 - y) * stride + x * 3;
      out[at] = GetBValue(c), out[at + 1] = GetGValue(c), out[at + 2] = GetRValue(c);
    }
  }
  return out;
}

// Every pixel its own colour.
COLORREF Marker(int x, int y) { return RGB(x * 7, y * 11, 100); }

Bytes BoxData(const Bytes& picture, int32_t mode) {
  BoxProperties p;
  p.picture = picture;
  p.picDrawMode = mode;
  return WriteBoxData(p);
}

COLORREF InBox(const Host::Capture& c, int x, int y) { return c.At(kBoxX + x, kBoxY + y); }

// An animation object unit (run time) of a width x height PNG of one colour; `alphaOf(x)` is
// the alpha of column x.
runtime::UnitObject* ObjectUnit(Host& host, int width, int height, COLORREF color, int32_t transparency,
                                const std::function<uint8_t(int)>& alphaOf) {
  png_writer::Picture png{.width = width, .height = height, .colorType = PNG_COLOR_TYPE_RGBA};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      png.rows.insert(png.rows.end(), {GetRValue(color), GetGValue(color), GetBValue(color), alphaOf(x)});
  ObjectProperties p;
  p.SetData(kPropPicture, png_writer::Encode(png));
  p.SetValue(kPropAlpha, transparency);
  p.SetValue(kPropCollideAllowed, 0);
  return host.Create(ObjectClassInterface, WriteObjectData(p), 0, 0, 1, 1);
}

uint8_t Opaque(int) { return 255; }

TEST(BoxWindow, EmptyDataShowsTheButtonFace) {
  Host host(100, 70, RGB(0, 128, 0));
  runtime::UnitObject* box = host.Create(BoxClassInterface, {}, kBoxX, kBoxY, 32, 32);
  ASSERT_TRUE(box);
  const Host::Capture c = host.Grab();
  for (int i : {0, 15, 31}) EXPECT_EQ(InBox(c, i, 31 - i), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(c.At(kBoxX + 32, kBoxY), RGB(0, 128, 0)) << "the box ends at its width";
  const auto rejected = std::vector<uint8_t>{3, 0, 0, 0, 1, 0, 0, 0};  // version 3
  ASSERT_TRUE(host.Create(BoxClassInterface, rejected, kBoxX + 40, kBoxY, 16, 16));
  EXPECT_EQ(host.Grab().At(kBoxX + 48, kBoxY + 8), GetSysColor(COLOR_BTNFACE));
}

template <typename Routine>
Routine Op(int operation) {
  return reinterpret_cast<Routine>(BoxClassInterface(operation));
}

TEST(BoxWindow, BorderFocusResizeAndTheEntryPoints) {
  Host host(100, 70, RGB(0, 128, 0));
  runtime::UnitObject* box = host.Create(BoxClassInterface, {}, kBoxX, kBoxY, 32, 32);
  ASSERT_TRUE(box);
  HWND hwnd = reinterpret_cast<HWND>(box->Handle());
  const auto change = Op<runtime::PropertyChangedRoutine>(runtime::kOpPropertyChanged);
  using Styles = std::pair<LONG_PTR, LONG_PTR>;  // the thin border, the edges
  const auto styles = [&] {
    return Styles(
        GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_BORDER,
        GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE));
  };
  change(*box, kBoxBorder, {.number = 4});
  EXPECT_EQ(styles(), Styles(0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME));
  change(*box, kBoxBorder, {.number = 9});  // clamped to 5, the thin border alone
  EXPECT_EQ(styles(), Styles(WS_BORDER, 0));
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 30);
  change(*box, kBoxBorder, {.number = 0});
  change(*box, kBoxBrushStyle, {.number = 30});
  change(*box, kBoxBackColor, {.number = RGB(0, 0, 255)});
  EXPECT_EQ(Op<runtime::GetPropertyRoutine>(runtime::kOpGetProperty)(*box, kBoxBrushStyle).number, 30);
  BoxProperties stored;
  ASSERT_TRUE(ReadBoxData(Op<runtime::SerializeRoutine>(runtime::kOpSerialize)(*box), &stored));
  EXPECT_EQ(stored.backColor, RGB(0, 0, 255));
  EXPECT_EQ(stored.brushStyle, 30);
  // A bigger box shows its colour everywhere; a mouse activation gives it the focus.
  SetWindowPos(hwnd, nullptr, 0, 0, 48, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(host.Grab().At(kBoxX + 47, kBoxY + 39), RGB(0, 0, 255));
  SendMessageA(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host.hwnd()),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(GetFocus(), hwnd);
  // Hosted without the form runtime (as here), the pointer over it asks for no unit's cursor.
  EXPECT_FALSE(
      SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

TEST(BoxWindow, PictureModesCentreTileAndStretch) {
  Host host(200, 70, RGB(0, 128, 0));
  // Mode 2: a 30 x 50 picture in a 60 x 40 box sits at (15, -5): cropped 5 rows at the top and
  // 5 at the bottom, with the button face left and right.
  ASSERT_TRUE(host.Create(BoxClassInterface, BoxData(Bitmap(30, 50, Marker), 2), kBoxX, kBoxY, kBoxW, kBoxH));
  // Mode 3: a 7 x 5 picture repeated from (0, 0).
  ASSERT_TRUE(host.Create(BoxClassInterface, BoxData(Bitmap(7, 5, Marker), 3), 100, kBoxY, kBoxW, kBoxH));
  // Mode 1: a 2 x 2 picture of one colour over the whole box.
  const Bytes red = Bitmap(2, 2, [](int, int) { return RGB(200, 0, 0); });
  ASSERT_TRUE(host.Create(BoxClassInterface, BoxData(red, 1), 170, kBoxY, 20, 20));
  const Host::Capture c = host.Grab();
  EXPECT_EQ(InBox(c, 14, 20), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(InBox(c, 45, 20), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(InBox(c, 15, 0), Marker(0, 5));
  EXPECT_EQ(InBox(c, 44, 39), Marker(29, 44));
  for (int y : {0, 4, 5, 39})
    for (int x : {0, 6, 7, 59}) EXPECT_EQ(c.At(100 + x, kBoxY + y), Marker(x % 7, y % 5)) << x << "," << y;
  for (int i : {0, 10, 19}) EXPECT_EQ(c.At(170 + i, kBoxY + i), RGB(200, 0, 0));
}

TEST(BoxWindow, ObjectsAreComposedWithTheirTransparency) {
  Host host(100, 70, RGB(0, 128, 0));
  runtime::UnitObject* box = host.Create(BoxClassInterface, {}, kBoxX, kBoxY, kBoxW, kBoxH);
  ASSERT_TRUE(box);
  runtime::UnitObject* red = ObjectUnit(host, 10, 8, RGB(220, 0, 0), 0, Opaque);
  // Half of it see-through (alpha 0), the other half drawn at 50 % transparency.
  runtime::UnitObject* blue =
      ObjectUnit(host, 10, 8, RGB(0, 0, 240), 50, [](int x) { return x < 5 ? 255 : 0; });
  ASSERT_TRUE(red && blue);
  EXPECT_EQ(CreateBoxObject(*box, *red, 5, 6), 1);
  EXPECT_EQ(CreateBoxObject(*box, *blue, 30.7, 20.2), 2);
  EXPECT_EQ(CreateBoxObject(*red, *blue, 0, 0), 0) << "not a box";
  EXPECT_EQ(CreateBoxObject(*box, *box, 0, 0), 0) << "not an animation object";
  Host::Settle(150);
  const Host::Capture c = host.Grab();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(InBox(c, 5, 6), RGB(220, 0, 0));
  EXPECT_EQ(InBox(c, 14, 13), RGB(220, 0, 0));
  EXPECT_EQ(InBox(c, 15, 13), face);
  EXPECT_EQ(InBox(c, 4, 6), face);
  // d + (s - d) * 127 / 255 per channel, at the truncated position (30, 20).
  const auto half = [](int s, int d) { return d + MulDiv(s - d, 127, 255); };
  const COLORREF blended =
      RGB(half(0, GetRValue(face)), half(0, GetGValue(face)), half(240, GetBValue(face)));
  EXPECT_TRUE(unit_host::Near(InBox(c, 30, 20), blended, 1)) << std::hex << InBox(c, 30, 20);
  EXPECT_TRUE(unit_host::Near(InBox(c, 34, 27), blended, 1));
  EXPECT_EQ(InBox(c, 35, 20), face);
  EXPECT_EQ(InBox(c, 29, 20), face);
}

TEST(BoxWindow, PostedMouseInputGivesObjectEvents) {
  Routed routed;
  Host host(100, 70, RGB(0, 128, 0));
  runtime::UnitObject* box = host.Create(BoxClassInterface, {}, kBoxX, kBoxY, kBoxW, kBoxH);
  runtime::UnitObject* square = ObjectUnit(host, 10, 10, RGB(220, 0, 0), 0, Opaque);
  ASSERT_TRUE(box && square);
  const int32_t a = CreateBoxObject(*box, *square, 5, 5), b = CreateBoxObject(*box, *square, 25, 5);
  // The real cursor rests over an empty part of the box, so the frame loop sees no leave.
  HWND hwnd = reinterpret_cast<HWND>(box->Handle());
  ASSERT_TRUE(SetCursorPos(kBoxX + 50, kBoxY + 30));
  Host::Settle(50);
  POINT cursor{};
  GetCursorPos(&cursor);
  ASSERT_EQ(WindowFromPoint(cursor), hwnd);
  gEvents.clear();
  const auto post = [&](UINT message, WPARAM keys, int x, int y) {
    PostMessageA(hwnd, message, keys, MAKELPARAM(x, y));
    Host::Settle(20);
  };
  post(WM_MOUSEMOVE, 0, 10, 10);
  post(WM_MOUSEMOVE, 0, 30, 10);
  post(WM_MOUSEMOVE, 0, 45, 30);
  post(WM_LBUTTONDOWN, MK_LBUTTON, 45, 30);
  post(WM_MOUSEMOVE, MK_LBUTTON, 10, 10);
  post(WM_LBUTTONUP, 0, 10, 10);
  post(WM_LBUTTONDOWN, MK_LBUTTON, 30, 10);
  post(WM_LBUTTONUP, 0, 30, 10);
  const std::vector<Recorded> expected = {
      {5, {a, 0}},  {7, {10, 10, 0}}, {6, {a, 0}}, {5, {b, 0}},  {7, {30, 10, 0}},
      {6, {b, 0}},  {7, {45, 30, 0}}, {0, {0}},    {5, {a, -1}}, {7, {10, 10, -1}},
      {2, {a, -1}}, {0, {b}},         {2, {b, b}},
  };
  std::vector<Recorded> mouse;
  for (const Recorded& r : gEvents)
    if (r.event <= 7) mouse.push_back(r);
  EXPECT_EQ(mouse, expected);
}

TEST(BoxWindow, DestroyedByItsOwnHandlerMidTick) {
  Routed routed;
  Host host(100, 70, RGB(0, 128, 0));
  runtime::UnitObject* square = ObjectUnit(host, 10, 10, RGB(220, 0, 0), 0, Opaque);
  ASSERT_TRUE(square);
  for (int32_t destroyAt : {kEventMoved, kEventLeftDown}) {
    runtime::UnitObject* box = host.Create(BoxClassInterface, {}, kBoxX, kBoxY, kBoxW, kBoxH);
    ASSERT_TRUE(box);
    HWND hwnd = reinterpret_cast<HWND>(box->Handle());
    BoxEngine* engine = BoxEngineOf(*box);
    const int32_t first = CreateBoxObject(*box, *square, 5, 5);
    CreateBoxObject(*box, *square, 25, 5);
    // Both move each tick; the first one's move destroys the box before the second moves.
    for (int32_t id : {first, first + 1})
      engine->StartAutoForward(id, {.interval = 0, .step = 1, .borderMode = 2});
    gEvents.clear();
    gHandler = [destroyAt, hwnd](runtime::Win32Unit& unit, int32_t event) {
      if (event == destroyAt && unit.hwnd() == hwnd) DestroyWindow(hwnd);
    };
    if (destroyAt == kEventLeftDown) {
      engine->StopAutoForward(first);
      engine->StopAutoForward(first + 1);
      gEvents.clear();
      PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    }
    Host::Settle(100);
    EXPECT_FALSE(IsWindow(hwnd));
    ASSERT_FALSE(gEvents.empty());
    EXPECT_EQ(gEvents.back().event, destroyAt) << "nothing after the box is gone";
    if (destroyAt == kEventMoved) {
      EXPECT_EQ(gEvents.back().args[0], first);
    }
  }
}

std::string gAsked;
std::string gAnswer;
std::string FakeChooser(HWND, const char* prompt, const char* filter) {
  gAsked = std::string(prompt) + "\n" + filter;
  return gAnswer;
}

// In design mode no frame loop runs and a mouse activation leaves the focus where it was; the
// background picture has the animation object's editor.
TEST(BoxWindow, DesignModeRunsNoTimerTakesNoFocusAndEditsThePicture) {
  Host host(100, 70, RGB(0, 128, 0));
  runtime::UnitObject* box = host.Create(BoxClassInterface, {}, kBoxX, kBoxY, kBoxW, kBoxH, true);
  runtime::UnitObject* square = ObjectUnit(host, 10, 10, RGB(220, 0, 0), 0, Opaque);
  ASSERT_TRUE(box && square);
  HWND hwnd = reinterpret_cast<HWND>(box->Handle());
  const int32_t id = CreateBoxObject(*box, *square, 20, 20);
  BoxEngineOf(*box)->StartAutoForward(id, {.interval = 0, .step = 1});
  Host::Settle(100);
  EXPECT_EQ(BoxEngineOf(*box)->Find(id)->y, 20) << "no frame loop";
  SetFocus(host.hwnd());
  SendMessageA(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host.hwnd()),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(GetFocus(), host.hwnd());

  const auto enabled = Op<runtime::EnablementRoutine>(runtime::kOpEnablement);
  const auto edit = Op<runtime::EditorRoutine>(runtime::kOpEditor);
  ASSERT_NE(edit, nullptr) << "the editor is offered";
  EXPECT_EQ(enabled(*box, kBoxPicDrawMode), 0);
  const Bytes red = Bitmap(2, 2, [](int, int) { return RGB(200, 0, 0); });
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "netmend-box-editor-test.bmp";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(red.data()), red.size());
  SetPictureFileChooser(FakeChooser);
  gAnswer = path;
  EXPECT_EQ(edit(*box, kBoxBackColor), 0);
  EXPECT_EQ(edit(*box, kBoxPicture), 1);
  EXPECT_EQ(gAsked, std::string(kPicturePrompt) + "\n" + kPictureFilter);
  EXPECT_EQ(Op<runtime::GetPropertyRoutine>(runtime::kOpGetProperty)(*box, kBoxPicture).bytes, red);
  EXPECT_EQ(enabled(*box, kBoxPicDrawMode), 1);
  const Host::Capture c = host.Grab();
  EXPECT_EQ(InBox(c, 1, 1), RGB(200, 0, 0)) << "shown at once, at the top left";
  EXPECT_EQ(InBox(c, 2, 2), GetSysColor(COLOR_BTNFACE));
  gAnswer = "";  // declined
  EXPECT_EQ(edit(*box, kBoxPicture), 0);
  SetPictureFileChooser(nullptr);
  std::remove(path.c_str());
}

}  // namespace
