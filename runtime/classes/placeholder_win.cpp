// The placeholder: what a unit of a support library that could not be loaded is shown as. It
// paints "因所在支持库载入出错而无法创建" and keeps the unit's class block as it was stored.
#include <windows.h>

#include <memory>

#include "runtime/classes/builtin_library_win.h"
#include "runtime/classes/unit_win.h"

namespace runtime {
namespace {

constexpr char kPlaceholderClassName[] = "_ZR_Placeholder";
constexpr char kPlaceholderText[] = "因所在支持库载入出错而无法创建";

LRESULT CALLBACK PlaceholderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterPlaceholderClass() {
  WNDCLASSEXA known{};
  known.cbSize = sizeof known;
  if (GetClassInfoExA(ModuleInstance(), kPlaceholderClassName, &known)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PlaceholderProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPlaceholderClassName;
  return RegisterClassExA(&wc) != 0;
}

class PlaceholderUnit final : public Win32Unit {
 public:
  PlaceholderUnit(const CreateParams& params)
      : Win32Unit(params.windowId, params.unitId),
        block(params.classBlock.begin(), params.classBlock.end()) {}

  Bytes block;
  bool ownedByWindow = false;

  void Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    RECT client{};
    GetClientRect(hwnd_, &client);
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    InflateRect(&client, -2, -2);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, kPlaceholderText, -1, &client, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    EndPaint(hwnd_, &paint);
  }
};

LRESULT CALLBACK PlaceholderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    static_cast<PlaceholderUnit*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams)->Attach(hwnd);
  }
  auto* unit = static_cast<PlaceholderUnit*>(Win32Unit::From(hwnd));
  if (!unit) return DefWindowProcA(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      unit->Paint();
      return 0;
    case WM_NCDESTROY: {
      const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
      unit->NotifyGone(false);
      unit->Unbind();
      if (unit->ownedByWindow) delete unit;
      return result;
    }
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

UnitObject* CreatePlaceholder(const CreateParams& params) {
  if (!RegisterPlaceholderClass()) return nullptr;
  auto unit = std::make_unique<PlaceholderUnit>(params);
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (params.style & (WS_TABSTOP | WS_DISABLED));
  HWND hwnd = CreateWindowExA(0, kPlaceholderClassName, "", style, params.left, params.top, params.width,
                              params.height, reinterpret_cast<HWND>(params.parent),
                              reinterpret_cast<HMENU>(static_cast<uintptr_t>(params.controlId)),
                              ModuleInstance(), unit.get());
  if (!hwnd) return nullptr;
  unit->ownedByWindow = true;
  return unit.release();
}

// Its library is not there to read or change the stored data: it goes back unchanged.
Bytes SerializePlaceholder(const UnitObject& object) {
  return static_cast<const PlaceholderUnit&>(object).block;
}

}  // namespace

InterfaceRoutine PlaceholderClassInterface(int operation) {
  switch (operation) {
    case kOpCreate:
      return AsInterfaceRoutine(&CreatePlaceholder);
    case kOpSerialize:
      return AsInterfaceRoutine(&SerializePlaceholder);
    default:
      return nullptr;
  }
}

}  // namespace runtime
