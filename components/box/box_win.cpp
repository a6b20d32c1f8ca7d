// The `CartoonBox` unit: the window, its drawing state (border, pen, brush, font), the rendered
// background, the repaint of the invalidated bounding box from the background and the objects'
// frames, the 5 ms frame loop and the mouse, and the engine's view of the window system.
#include "components/box/box_win.h"

#include <windows.h>
// (after windows.h)
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/gdi_win.h"
#include "components/box/box_background.h"
#include "components/box/box_unit.h"
#include "components/object/object_win.h"
#include "components/object/picture_file_win.h"
#include "runtime/units/property_picture_win.h"
#include "runtime/units/system_sound_win.h"
#include "runtime/units/unit_win.h"

namespace components {
namespace {

using base::DibSection;
using base::GdiObject;
using base::MemoryDc;
using base::Selection;

using runtime::CreateParams;
using runtime::PropertyValue;
using runtime::UnitObject;

constexpr char kBoxClassName[] = "CartoonBox";
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFramePeriod = 5;  // milliseconds

EventResult RaiseThroughRuntime(runtime::Win32Unit& box, int32_t event, std::span<const int32_t> args) {
  const runtime::EventFrame frame = box.Raise(event, args);
  return {frame.returnedValue != 0, frame.value};
}

BoxEventRoute gRoute = RaiseThroughRuntime;

// The frame styles of `border` 0..5; applying one first removes all of them.
constexpr LONG_PTR kBorderStyles = WS_BORDER;
constexpr LONG_PTR kBorderExStyles = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;

void ApplyBorder(HWND hwnd, int32_t border) {
  constexpr LONG_PTR kExStyles[] = {
      0, WS_EX_CLIENTEDGE, WS_EX_DLGMODALFRAME, WS_EX_STATICEDGE, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, 0};
  const int32_t b = std::clamp(border, 0, 5);
  const LONG_PTR style = (GetWindowLongPtrA(hwnd, GWL_STYLE) & ~kBorderStyles) | (b == 5 ? WS_BORDER : 0);
  const LONG_PTR exStyle = (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & ~kBorderExStyles) | kExStyles[b];
  SetWindowLongPtrA(hwnd, GWL_STYLE, style);
  SetWindowLongPtrA(hwnd, GWL_EXSTYLE, exStyle);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The box's own brush; none for the hollow style, which is the stock hollow brush and never
// the box's to delete.
HBRUSH CreateBoxBrush(const BoxProperties& p) {
  if (p.brushStyle == 0) return nullptr;
  if (p.brushStyle == 1) return CreateSolidBrush(p.brushColor);
  const int32_t hatch = HatchStyleOf(p.brushStyle);
  if (hatch >= 0) return CreateHatchBrush(hatch, p.brushColor);
  const BrushPattern* pattern = PatternOf(p.brushStyle);
  if (!pattern) return nullptr;
  // A monochrome bitmap's rows are word-aligned; its 0 bits take the foreground colour.
  uint16_t rows[8];
  for (int i = 0; i < 8; ++i) rows[i] = static_cast<uint8_t>(~(*pattern)[i]);
  const GdiObject<HBITMAP> bitmap(CreateBitmap(8, 8, 1, 1, rows));
  return bitmap.get() ? CreatePatternBrush(bitmap.get()) : nullptr;
}

// A decoded picture as 32-bit pixels over the background colour (so an icon's transparent
// parts show the colour); empty when the bytes are no picture.
struct PicturePixels {
  std::unique_ptr<DibSection> dib;
  int32_t width = 0, height = 0;
};

PicturePixels DecodePicture(HDC memory, std::span<const uint8_t> bytes, uint32_t color) {
  PicturePixels out;
  if (bytes.empty()) return out;
  const runtime::Picture picture(bytes);
  const SIZE size = picture.size();
  if (picture.empty() || size.cx <= 0 || size.cy <= 0) return out;
  auto dib = std::make_unique<DibSection>(memory, size.cx, size.cy);
  if (!dib->bits()) return out;
  std::fill_n(dib->bits(), static_cast<size_t>(size.cx) * size.cy, SwapRedBlue(color));
  {
    const Selection selected(memory, dib->get());
    picture.Draw(memory, 0, 0);
    GdiFlush();
  }
  out.dib = std::move(dib);
  out.width = size.cx;
  out.height = size.cy;
  return out;
}

class BoxUnit final : public runtime::Win32Unit, public BoxHost {
 public:
  BoxUnit(const CreateParams& params, BoxProperties properties)
      : Win32Unit(params.windowId, params.unitId),
        props(std::move(properties)),
        design(params.designMode == 1),
        engine(std::make_unique<BoxEngine>(*this, 0, 0)) {}

  BoxProperties props;
  const bool design;
  std::unique_ptr<BoxEngine> engine;

  static UnitObject* Make(const CreateParams& params) {
    BoxProperties props;
    ReadBoxData(params.classBlock, &props);  // data it cannot read leaves the defaults
    return runtime::MakeUnit<BoxUnit>(params, std::move(props));
  }

  bool Create(const CreateParams& params) {
    if (!runtime::RegisterUnitClass<BoxUnit>(kBoxClassName, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW))
      return false;
    const DWORD style = params.style | WS_CHILD | WS_CLIPSIBLINGS;
    if (!CreateChild(kBoxClassName, 0, "", style, params)) return false;
    MakePen();
    MakeBrush();
    MakeFont();
    ApplyBorder(hwnd_, props.border);
    Resized();  // renders the background unless the size messages did already
    if (!design) timing_ = SetTimer(hwnd_, kFrameTimer, kFramePeriod, nullptr) != 0;
    return true;
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  int Change(int k, const PropertyValue& value) {
    switch (ChangeBoxProperty(props, k, value)) {
      case BoxChange::kBorder:
        ApplyBorder(hwnd_, props.border);
        break;
      case BoxChange::kPen:
        MakePen();
        break;
      case BoxChange::kBrush:
        MakeBrush();
        break;
      case BoxChange::kFont:
        MakeFont();
        break;
      case BoxChange::kBackground:
        RenderBackgroundNow();
        InvalidateRect(hwnd_, nullptr, FALSE);
        break;
      case BoxChange::kStored:
        break;
    }
    return 0;
  }

  int Enabled(int k) const { return BoxPropertyEnabled(props, k) ? 1 : 0; }
  // The design environment's editor of the background picture, as the animation object offers
  // for its own picture: the file's bytes become `pic`, shown at once.
  int Edit(int k) {
    runtime::Bytes bytes;
    if (k != kBoxPicture || !AskForPicture(hwnd_, &bytes)) return 0;
    Change(kBoxPicture, PropertyValue{.bytes = std::move(bytes)});
    return 1;
  }
  runtime::Bytes Serialize() const { return WriteBoxData(props); }
  PropertyValue Get(int k) const { return GetBoxProperty(props, k); }

  // --- What the engine asks of the window system.
  uint32_t Now() override { return GetTickCount(); }
  bool KeyDown(int32_t key) override { return (GetAsyncKeyState(key) & 0x8000) != 0; }
  int32_t Modifiers() override {
    return (KeyDown(VK_CONTROL) ? 1 : 0) | (KeyDown(VK_SHIFT) ? 2 : 0) | (KeyDown(VK_MENU) ? 4 : 0);
  }
  bool CursorOverBox() override {
    POINT cursor{};
    return GetCursorPos(&cursor) && WindowFromPoint(cursor) == hwnd_;
  }
  // While the box handles a message of its own, invalidated areas are gathered into their
  // bounding box and handed to the system once at the end (a repaint takes only that box
  // anyway): under Wine every InvalidateRect is a round trip to the server.
  void Invalidate(const Rect& area) override {
    if (area.left >= area.right || area.top >= area.bottom) return;
    if (!gathering_) return InvalidateArea(area);
    pending_ = pending_.left >= pending_.right
                   ? area
                   : Rect{std::min(pending_.left, area.left), std::min(pending_.top, area.top),
                          std::max(pending_.right, area.right), std::max(pending_.bottom, area.bottom)};
  }
  void RepaintNow() override {
    FlushInvalidated();
    UpdateWindow(hwnd_);
  }
  void PlaySound(std::span<const uint8_t> bytes) override {
    // The player reads the bytes while it plays; the pool may free them before (a destroyed
    // object's sound), so the window sound keeps its own copy.
    runtime::PlayWindowSound(runtime::SystemSoundOutput(), this, bytes, 1);
  }
  // May destroy the window and with it this object: nothing here is touched after the route.
  EventResult Fire(int32_t event, std::span<const int32_t> args) override {
    return gRoute(*this, event, args);
  }

  // Runs an engine operation with the invalidations gathered. When it says the box is gone,
  // this object is gone too.
  template <typename Operation>
  Outcome Gathered(Operation operation) {
    const bool outer = !gathering_;
    gathering_ = true;
    const Outcome outcome = operation(*engine);
    if (outcome == Outcome::kBoxGone) return outcome;
    if (outer) {
      gathering_ = false;
      FlushInvalidated();
    }
    return outcome;
  }

  // --- Messages.

  void Paint() {
    const base::PaintDc dc(hwnd_);
    if (dc.get()) PaintArea(dc.get(), dc.area());
  }

  void Resized() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    engine->Resize(client.right, client.bottom);
    if (client.right != bgWidth_ || client.bottom != bgHeight_) RenderBackgroundNow();
  }

  void StopTimer() {
    if (timing_) KillTimer(hwnd_, kFrameTimer);
    timing_ = false;
  }

  // The window is gone: free the scene without events and the drawing state.
  // The window is gone and the unit reported so: what it drew with goes.
  void OnGone() {
    engine->Clear();
    background_ = {};
    bgWidth_ = bgHeight_ = 0;
    pen_.reset();
    brush_.reset();
    font_.reset();
  }

 private:
  // The old object goes before its successor is made.
  void MakePen() {
    pen_.reset();
    pen_.reset(CreatePen(PenStyleValue(props.penStyle), PenWidthFor(props.penStyle, props.penWidth),
                         props.penColor));
  }
  void MakeBrush() {
    brush_.reset();
    brush_.reset(CreateBoxBrush(props));
  }
  // A font of the box's own, or none when the record gives none: the stock GUI font is not the
  // box's to delete.
  void MakeFont() {
    font_.reset();
    font_.reset(runtime::FontFromRecord(props.font));
  }

  uint32_t BackColor() const {
    return props.backColor == 0xFF000000 ? static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE))
                                         : props.backColor;
  }

  // The background bitmap of the client size: the colour, and the picture by its mode.
  void RenderBackgroundNow() {
    background_ = {};
    RECT client{};
    GetClientRect(hwnd_, &client);
    bgWidth_ = client.right;
    bgHeight_ = client.bottom;
    if (bgWidth_ <= 0 || bgHeight_ <= 0) return;
    const MemoryDc memory;
    const DibSection target(memory.get(), bgWidth_, bgHeight_);
    if (!target.bits()) return;
    const Surface surface{target.bits(), bgWidth_, bgHeight_, bgWidth_};
    const uint32_t color = BackColor();
    const PicturePixels picture = DecodePicture(memory.get(), props.picture, color);
    PictureView view;
    if (picture.dib) view = {picture.dib->bits(), picture.width, picture.height, picture.width};
    RenderBackground(surface, SwapRedBlue(color), view, props.picDrawMode);
    if (picture.dib && props.picDrawMode == kPictureStretch) StretchPicture(memory.get(), target, picture);
    GdiFlush();
    background_.assign(target.bits(), target.bits() + static_cast<size_t>(bgWidth_) * bgHeight_);
  }

  // Mode 1: the picture over the whole bitmap, half-tone on displays of more than 16 bits.
  void StretchPicture(HDC memory, const DibSection& target, const PicturePixels& picture) const {
    const MemoryDc source;
    const Selection from(source.get(), picture.dib->get());
    const Selection to(memory, target.get());
    const base::WindowDc screen(nullptr);
    const bool deep = GetDeviceCaps(screen.get(), BITSPIXEL) > 16;
    SetStretchBltMode(memory, deep ? HALFTONE : COLORONCOLOR);
    if (deep) SetBrushOrgEx(memory, 0, 0, nullptr);
    StretchBlt(memory, 0, 0, bgWidth_, bgHeight_, source.get(), 0, 0, picture.width, picture.height, SRCCOPY);
  }

  // Composes the bounding box of the repaint from the background and the objects.
  void PaintArea(HDC dc, RECT r) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right != bgWidth_ || client.bottom != bgHeight_) RenderBackgroundNow();
    IntersectRect(&r, &r, &client);
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0 || background_.empty()) return;
    buffer_.resize(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y) {
      const uint32_t* from = background_.data() + static_cast<size_t>(r.top + y) * bgWidth_ + r.left;
      std::copy_n(from, w, buffer_.data() + static_cast<size_t>(y) * w);
    }
    engine->Compose(Rect{r.left, r.top, r.right, r.bottom}, Surface{buffer_.data(), w, h, w});
    for (uint32_t& pixel : buffer_) pixel &= kColorMask;
    const BITMAPINFO info = base::TopDown32(w, h);
    SetDIBitsToDevice(dc, r.left, r.top, w, h, 0, 0, 0, h, buffer_.data(), &info, DIB_RGB_COLORS);
  }

  void InvalidateArea(const Rect& area) {
    const RECT r{area.left, area.top, area.right, area.bottom};
    InvalidateRect(hwnd_, &r, FALSE);
  }
  void FlushInvalidated() {
    if (pending_.left < pending_.right) InvalidateArea(pending_);
    pending_ = {};
  }

  bool gathering_ = false;
  Rect pending_;
  std::vector<uint32_t> background_;
  int32_t bgWidth_ = 0, bgHeight_ = 0;
  std::vector<uint32_t> buffer_;
  GdiObject<HPEN> pen_;
  GdiObject<HBRUSH> brush_;
  GdiObject<HFONT> font_;
  bool timing_ = false;
};

// Mouse messages go to the engine; the default processing follows while the box exists.
bool MouseToEngine(BoxUnit& unit, UINT message, WPARAM wParam, LPARAM lParam, Outcome* outcome) {
  const int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  Outcome (BoxEngine::*button)(int32_t, int32_t) = nullptr;
  switch (message) {
    case WM_LBUTTONDOWN:
      button = &BoxEngine::LeftDown;
      break;
    case WM_LBUTTONUP:
      button = &BoxEngine::LeftUp;
      break;
    case WM_LBUTTONDBLCLK:
      button = &BoxEngine::DoubleClick;
      break;
    case WM_RBUTTONDOWN:
      button = &BoxEngine::RightDown;
      break;
    case WM_RBUTTONUP:
      button = &BoxEngine::RightUp;
      break;
    case WM_MOUSEMOVE:
      *outcome = unit.Gathered([&](BoxEngine& e) { return e.MouseMove(x, y, (wParam & MK_LBUTTON) != 0); });
      return true;
    default:
      return false;
  }
  *outcome = unit.Gathered([&](BoxEngine& e) { return (e.*button)(x, y); });
  return true;
}

LRESULT BoxUnit::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  Outcome outcome = Outcome::kDone;
  if (MouseToEngine(*this, message, wParam, lParam, &outcome)) {
    return outcome == Outcome::kBoxGone ? 0 : Default(message, wParam, lParam);
  }
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (wParam == kFrameTimer) Gathered([](BoxEngine& e) { return e.Tick(); });  // may end the box
      return 0;
    case WM_MOUSEACTIVATE:
      if (!design) SetFocus(hwnd_);
      break;
    case WM_SIZE: {
      const LRESULT result = Default(message, wParam, lParam);
      Resized();
      return result;
    }
    case WM_DESTROY:
      StopTimer();
      break;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace

runtime::InterfaceRoutine BoxClassInterface(int operation) {
  return runtime::UnitClassInterface<BoxUnit>(operation);
}

BoxEngine* BoxEngineOf(UnitObject& unit) {
  auto* box = dynamic_cast<BoxUnit*>(&unit);
  return box ? box->engine.get() : nullptr;
}

int32_t CreateBoxObject(UnitObject& box, const UnitObject& object, double x, double y,
                        const std::string& name) {
  BoxEngine* engine = BoxEngineOf(box);
  const ObjectTemplateView view = ObjectTemplateOf(object);
  if (!engine || !view.properties || !view.source) return 0;
  ObjectTemplate from{*view.properties, *view.source, name};
  return engine->CreateObject(from, x, y);
}

void SetBoxEventRoute(BoxEventRoute route) { gRoute = route ? route : RaiseThroughRuntime; }

}  // namespace components
