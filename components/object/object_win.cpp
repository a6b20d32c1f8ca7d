// The `CartoonObject` unit: at run time a child window that paints nothing and keeps the
// sprite's properties and source image for the animation box; in design mode a bordered window
// that previews the sprite (dotted sheet, centred frame, red outline) and plays a GIF's frames.
#include "components/object/object_win.h"

#include <windows.h>

#include <optional>

#include "base/gdi_win.h"
#include "components/image/picture_win.h"
#include "components/object/cartoon_object.h"
#include "components/object/picture_file_win.h"
#include "components/object/preview.h"
#include "components/object/text_render.h"
#include "runtime/templates/font_record.h"
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

constexpr char kObjectClassName[] = "CartoonObject";

class ObjectUnit final : public runtime::Win32Unit {
 public:
  const FrameSet& source() const { return source_; }

  ObjectUnit(const CreateParams& params, ObjectProperties properties)
      : Win32Unit(params.windowId, params.unitId),
        props(std::move(properties)),
        design(params.designMode == 1) {}

  ObjectProperties props;
  const bool design;

  static UnitObject* Make(const CreateParams& params) {
    ObjectProperties props;
    ReadObjectData(params.classBlock, &props);  // data it cannot read leaves the defaults
    return runtime::MakeUnit<ObjectUnit>(params, std::move(props));
  }

  bool Create(const CreateParams& params) {
    if (!runtime::RegisterUnitClass<ObjectUnit>(kObjectClassName, CS_DBLCLKS)) return false;
    const DWORD style = params.style | WS_CHILD | WS_CLIPSIBLINGS | (design ? WS_BORDER : 0);
    if (!CreateChild(kObjectClassName, 0, "", style, params)) return false;
    ApplyFont();
    Rebuild();
    return true;
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_PAINT:
        Paint();
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_TIMER:
        if (wParam == kPreviewTimerId) Tick();
        return 0;
      case WM_DESTROY:
        StopTimer();
        break;
      default:
        break;
    }
    return Default(message, wParam, lParam);
  }

  int Change(int k, const PropertyValue& value) {
    switch (ChangeObjectProperty(props, k, value, design)) {
      case ObjectChange::kRebuild:
        if (k == kPropFont) ApplyFont();
        Rebuild();
        break;
      case ObjectChange::kRepaint:
        InvalidateRect(hwnd_, nullptr, FALSE);
        break;
      case ObjectChange::kPreviewTimer:
        UpdateTimer();
        break;
      case ObjectChange::kStored:
        break;
    }
    return 0;
  }

  runtime::Bytes Serialize() const { return WriteObjectData(props); }
  PropertyValue Get(int k) const { return GetObjectProperty(props, k); }
  int Enabled(int k) const { return ObjectPropertyEnabled(props, k) ? 1 : 0; }
  static runtime::Bytes ConvertText(std::span<const uint8_t> data,
                                    const runtime::TextConversion& conversion) {
    return ConvertObjectText(data, conversion);
  }

  int Edit(int k) {
    runtime::Bytes bytes;
    if (k != kPropPicture || !AskForPicture(hwnd_, &bytes)) return 0;
    Change(kPropPicture, PropertyValue{.bytes = std::move(bytes)});
    return 1;
  }

 private:
  void Tick() {
    if (player_.Tick(GetTickCount(), shown_, props.Value(kPropGifDelay)))
      InvalidateRect(hwnd_, nullptr, FALSE);
  }

  void Paint() {
    const base::PaintDc dc(hwnd_);
    if (dc.get() && design) PaintPreviewOn(dc.get());
  }

  void StopTimer() {
    if (timing_) KillTimer(hwnd_, kPreviewTimerId);
    timing_ = false;
  }

  // The source image from the text, or else the picture; in design mode the preview's copy
  // with the sprite's transforms.
  void Rebuild() {
    std::span<const uint8_t> text = props.Data(kPropText);
    if (!text.empty()) {
      source_ = RenderText(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()),
                           props.Data(kPropFont), static_cast<uint32_t>(props.Value(kPropTextColor)));
    } else {
      OlePictureService service;
      source_ =
          LoadPicture(props.Data(kPropPicture), static_cast<uint32_t>(props.Value(kPropTransparentColor)),
                      props.Value(kPropAutoGetTransColor) != 0, &service);
    }
    if (!design) return;
    shown_ = source_;
    TransformForPreview(shown_, props);
    player_.Restart(GetTickCount());
    UpdateTimer();
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  void UpdateTimer() {
    const bool plays = design && PreviewPlayer::Plays(shown_, props.Value(kPropPlayGif) != 0);
    if (plays == timing_) return;
    if (!plays) return StopTimer();
    player_.Restart(GetTickCount());
    timing_ = SetTimer(hwnd_, kPreviewTimerId, kPreviewTimerPeriod, nullptr) != 0;
  }

  void ApplyFont() {
    std::span<const uint8_t> record = props.Data(kPropFont);
    if (record.size() != runtime::kFontRecordSize) return;
    GdiObject<HFONT> font(runtime::FontFromRecord(record));
    if (!font.get()) return;
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_.reset();  // the window has the new font now
    font_.emplace(std::move(font));
  }

  void PaintPreviewOn(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    const MemoryDc memory;
    const DibSection sheet(memory.get(), client.right, client.bottom);
    if (!sheet.bits()) return;
    const Selection selected(memory.get(), sheet.get());
    PaintPreview({sheet.bits(), client.right, client.bottom, client.right}, shown_, player_.frame(),
                 props.Value(kPropAlpha));
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  }

  FrameSet source_;
  FrameSet shown_;
  PreviewPlayer player_;
  bool timing_ = false;
  std::optional<GdiObject<HFONT>> font_;
};

}  // namespace

ObjectTemplateView ObjectTemplateOf(const UnitObject& unit) {
  const auto* object = dynamic_cast<const ObjectUnit*>(&unit);
  if (!object) return {};
  return {&object->props, &object->source()};
}

runtime::InterfaceRoutine ObjectClassInterface(int operation) {
  return runtime::UnitClassInterface<ObjectUnit>(operation);
}

}  // namespace components
