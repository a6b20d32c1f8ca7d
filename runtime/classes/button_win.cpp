// The `Button` class: a Win32 push button with the class block's type, alignment, picture,
// font and caption. A click raises event 0; writes of its class properties take effect at once.
#include <windows.h>

#include <memory>

#include "base/gdi_win.h"
#include "runtime/classes/builtin_classes.h"
#include "runtime/classes/builtin_library_win.h"
#include "runtime/core/own_messages_win.h"
#include "runtime/templates/class_blocks.h"
#include "runtime/units/property_picture_win.h"
#include "runtime/units/unit_win.h"

namespace runtime {
namespace {

constexpr DWORD kTypeBits = 0x0F;
constexpr DWORD kAlignBits = BS_CENTER | BS_VCENTER;
constexpr DWORD kPictureBits = BS_BITMAP | BS_ICON;

DWORD AlignStyle(const ButtonProperties& p) {
  constexpr DWORD kHorizontal[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
  constexpr DWORD kVertical[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
  return kHorizontal[ClampChoice(p.horizontalAlign, 0, 2)] | kVertical[ClampChoice(p.verticalAlign, 0, 2)];
}

DWORD TypeStyle(const ButtonProperties& p) { return p.type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

class ButtonUnit final : public Win32Unit {
 public:
  ButtonUnit(const CreateParams& params, ButtonProperties properties)
      : Win32Unit(params.windowId, params.unitId), props(std::move(properties)) {}

  ButtonProperties props;

  static UnitObject* Make(const CreateParams& params) {
    ClassBlockRead<ButtonProperties> block = ReadButtonBlock(params.classBlock);
    if (!block.Ok()) return nullptr;
    return MakeUnit<ButtonUnit>(params, std::move(block.properties));
  }

  bool Create(const CreateParams& params) {
    picture_ = Picture(props.picture);
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE |
                        (params.style & (WS_TABSTOP | WS_DISABLED)) | TypeStyle(props) | AlignStyle(props) |
                        PictureStyle();
    if (!CreateSubclassed<ButtonUnit>("BUTTON", props.caption.c_str(), style, params)) return false;
    ApplyFont();
    ApplyPicture();
    return true;
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMessageReflectedCommand) {
      // Only the parent window's reflection of this button's own notification clicks.
      if (TakeOwnRequest(hwnd_, message, wParam, lParam) && HIWORD(wParam) == BN_CLICKED) {
        Raise(kButtonEventClicked);
      }
      return 0;
    }
    return Default(message, wParam, lParam);
  }

  int Change(int k, const PropertyValue& value) {
    if (SetButtonProperty(props, k, value)) ApplyChange(k + kFirstClassProperty);
    return 0;
  }

  Bytes Serialize() const { return WriteButtonBlock(props); }

  PropertyValue Get(int k) const {
    if (k + kFirstClassProperty == kButtonFont) return PropertyValue{.bytes = FontBytes()};
    return GetButtonProperty(props, k);
  }

  void ApplyChange(int index) {
    switch (index) {
      case kButtonPicture:
        picture_ = Picture(props.picture);
        SetStyleBits(kPictureBits, PictureStyle());
        ApplyPicture();
        break;
      case kButtonType:
        SendMessageA(hwnd_, BM_SETSTYLE, TypeStyle(props), TRUE);
        break;
      case kButtonCaption:
        SetWindowTextA(hwnd_, props.caption.c_str());
        break;
      case kButtonHorizontalAlign:
      case kButtonVerticalAlign:
        SetStyleBits(kAlignBits, AlignStyle(props));
        break;
      case kButtonFont:
        ApplyFont();
        break;
      default:
        break;
    }
  }

  // The font as the application reads it: the stored record, or the default GUI font's.
  Bytes FontBytes() const {
    if (!props.font.empty()) return props.font;
    LOGFONTA font{};
    if (!GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(&font);
    return Bytes(bytes, bytes + sizeof font);
  }

 private:
  DWORD PictureStyle() const { return picture_.icon() ? BS_ICON : picture_.bitmap() ? BS_BITMAP : 0; }

  void SetStyleBits(DWORD mask, DWORD bits) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE));
    SetWindowLongPtrA(hwnd_, GWL_STYLE, static_cast<LONG_PTR>((style & ~mask) | bits));
    InvalidateRect(hwnd_, nullptr, TRUE);
  }

  void ApplyPicture() {
    if (picture_.icon()) {
      SendMessageA(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture_.icon()));
    } else {
      SendMessageA(hwnd_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_.bitmap()));
    }
  }

  void ApplyFont() {
    base::GdiObject<HFONT> font(FontFromRecord(props.font));
    SendMessageA(hwnd_, WM_SETFONT,
                 reinterpret_cast<WPARAM>(font.get() ? font.get()
                                                     : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))),
                 TRUE);
    ownFont_ = std::move(font);  // the window has the new font now: the old one can go
  }

  Picture picture_;
  base::GdiObject<HFONT> ownFont_;
};

}  // namespace

InterfaceRoutine ButtonClassInterface(int operation) { return UnitClassInterface<ButtonUnit>(operation); }

}  // namespace runtime
