// The placeholder: what a unit of a support library that could not be loaded is shown as. It
// paints "因所在支持库载入出错而无法创建" and keeps the unit's class block as it was stored.
#include <windows.h>

#include "base/gdi_win.h"
#include "runtime/classes/builtin_library_win.h"
#include "runtime/units/unit_win.h"

namespace runtime {
namespace {

constexpr char kPlaceholderClassName[] = "_ZR_Placeholder";
constexpr char kPlaceholderText[] = "因所在支持库载入出错而无法创建";

class PlaceholderUnit final : public Win32Unit {
 public:
  // It stands for a unit whose class is not there: no cursor or focus handling of its own.
  static constexpr bool kCommonMessages = false;

  explicit PlaceholderUnit(const CreateParams& params)
      : Win32Unit(params.windowId, params.unitId),
        block_(params.classBlock.begin(), params.classBlock.end()) {}

  static UnitObject* Make(const CreateParams& params) { return MakeUnit<PlaceholderUnit>(params); }

  bool Create(const CreateParams& params) {
    if (!RegisterUnitClass<PlaceholderUnit>(kPlaceholderClassName, 0,
                                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) {
      return false;
    }
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (params.style & (WS_TABSTOP | WS_DISABLED));
    return CreateChild(kPlaceholderClassName, 0, "", style, params);
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return Default(message, wParam, lParam);
    Paint();
    return 0;
  }

  // Its library is not there to read or change the stored data: it goes back unchanged.
  Bytes Serialize() const { return block_; }

 private:
  void Paint() {
    const base::PaintDc paint(hwnd_);
    HDC dc = paint.get();
    RECT client{};
    GetClientRect(hwnd_, &client);
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    InflateRect(&client, -2, -2);
    const base::Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, kPlaceholderText, -1, &client, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  }

  Bytes block_;
};

}  // namespace

InterfaceRoutine PlaceholderClassInterface(int operation) {
  return UnitClassInterface<PlaceholderUnit>(operation);
}

}  // namespace runtime
