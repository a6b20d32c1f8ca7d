// The `TransLabel` unit: a child window with the transparent extended style that draws only
// its text (with its effect) over whatever lies behind it, and after every change or move makes
// the windows behind it repaint the area it covers before it draws again.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/gdi_win.h"
#include "components/label.h"
#include "components/library_win.h"
#include "runtime/classes/unit_win.h"

namespace components {
namespace {

using base::GdiObject;
using base::Selection;

using runtime::CreateParams;
using runtime::PropertyValue;
using runtime::UnitObject;

constexpr char kLabelClassName[] = "TransLabel";

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterLabelClass() {
  WNDCLASSEXA known{};
  known.cbSize = sizeof known;
  if (GetClassInfoExA(runtime::ModuleInstance(), kLabelClassName, &known)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = LabelProc;
  wc.hInstance = runtime::ModuleInstance();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kLabelClassName;
  return RegisterClassExA(&wc) != 0;
}

UINT TextFormat(const LabelProperties& p) {
  constexpr UINT kHorizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  constexpr UINT kVertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  UINT format = DT_NOPREFIX | kHorizontal[runtime::ClampChoice(p.horizontalAlign, 0, 2)];
  // Vertical placement is for single lines; a wrapped text starts at the top.
  if (p.wordWrap) return format | DT_WORDBREAK | DT_VCENTER;
  return format | DT_SINGLELINE | kVertical[runtime::ClampChoice(p.verticalAlign, 0, 2)];
}

GdiObject<HFONT> CreateLabelFont(std::span<const uint8_t> stored) {
  const std::optional<runtime::FontRecord> record = LabelFont(stored);
  if (!record) return GdiObject<HFONT>();
  const runtime::Bytes bytes = runtime::WriteFontRecord(*record);
  return GdiObject<HFONT>(runtime::FontFromRecord(bytes));
}

// The window the label is seen on: the first pop-up or parentless window above it.
HWND HostOf(HWND label) {
  HWND host = label;
  while (!(GetWindowLongPtrA(host, GWL_STYLE) & WS_POPUP)) {
    HWND parent = GetParent(host);
    if (!parent) break;
    host = parent;
  }
  return host;
}

// The visible descendants of `window`, depth first: for each child from the top of the
// z-order down, its own visible descendants first, then the child.
void CollectVisible(HWND window, std::vector<HWND>& out) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    CollectVisible(child, out);
    out.push_back(child);
  }
}

// Makes everything behind the label repaint the area it covers, bottom first, and then has
// the label draw again on top: so an old text never remains.
void SeeThroughRefresh(HWND label) {
  if (!IsWindowVisible(label)) return;  // nothing of it is on the screen
  RECT screen{};
  GetClientRect(label, &screen);
  MapWindowPoints(label, nullptr, reinterpret_cast<POINT*>(&screen), 2);
  HWND host = HostOf(label);
  if (host != label) {
    RECT inHost = screen;
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&inHost), 2);
    InvalidateRect(host, &inHost, TRUE);
    UpdateWindow(host);
    std::vector<HWND> behind;
    CollectVisible(host, behind);
    for (auto it = behind.rbegin(); it != behind.rend(); ++it) {
      if (*it == label) continue;
      RECT other{}, overlap{};
      GetWindowRect(*it, &other);
      if (!IntersectRect(&overlap, &other, &screen)) continue;
      // In the window's client coordinates; with RDW_FRAME the part over its frame counts too.
      POINT origin{0, 0};
      ClientToScreen(*it, &origin);
      OffsetRect(&overlap, -origin.x, -origin.y);
      RedrawWindow(*it, &overlap, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    }
  }
  InvalidateRect(label, nullptr, FALSE);
}

class LabelUnit final : public runtime::Win32Unit {
 public:
  LabelUnit(const CreateParams& params, LabelProperties properties)
      : Win32Unit(params.windowId, params.unitId), props(std::move(properties)) {}

  LabelProperties props;
  bool ownedByWindow = false;

  bool Create(const CreateParams& params) {
    if (!RegisterLabelClass()) return false;
    const DWORD style = params.style | WS_CHILD | WS_CLIPSIBLINGS;
    return CreateWindowExA(WS_EX_TRANSPARENT, kLabelClassName, props.caption.c_str(), style, params.left,
                           params.top, params.width, params.height, reinterpret_cast<HWND>(params.parent),
                           reinterpret_cast<HMENU>(static_cast<uintptr_t>(params.controlId)),
                           runtime::ModuleInstance(), this) != nullptr;
  }

  void Change(int k, const PropertyValue& value) {
    if (!SetLabelProperty(props, k, value)) return;
    if (k == LabelK(kLabelCaption)) {
      const std::string caption = props.caption;  // the window text comes back through WM_SETTEXT
      SetWindowTextA(hwnd_, caption.c_str());
    }
    SeeThroughRefresh(hwnd_);
  }

  void Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    const int length = GetWindowTextLengthA(hwnd_);
    if (dc && length > 0) {
      std::string text(static_cast<size_t>(length) + 1, '\0');
      text.resize(static_cast<size_t>(GetWindowTextA(hwnd_, text.data(), length + 1)));
      DrawPasses(dc, text);
    }
    EndPaint(hwnd_, &paint);
  }

 private:
  void DrawPasses(HDC dc, const std::string& text) {
    const GdiObject<HFONT> own = CreateLabelFont(props.font);
    const Selection font(dc, own.get() ? static_cast<HGDIOBJ>(own.get()) : GetStockObject(DEFAULT_GUI_FONT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(dc);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const UINT format = TextFormat(props);
    const TextPasses passes = EffectPasses(props.textEffect, props.textColour);
    for (int i = 0; i < passes.count; ++i) {
      RECT at = client;
      OffsetRect(&at, passes.pass[i].dx, passes.pass[i].dy);
      SetTextColor(dc, passes.pass[i].color);
      DrawTextA(dc, text.data(), static_cast<int>(text.size()), &at, format);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
  }
};

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    static_cast<LabelUnit*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams)->Attach(hwnd);
  }
  auto* unit = static_cast<LabelUnit*>(runtime::Win32Unit::From(hwnd));
  if (!unit) return DefWindowProcA(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  if (runtime::HandleCommonUnitMessage(*unit, message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_PAINT:
      unit->Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // no background of its own
    case WM_SETTEXT:
      // The caption is the window text, whoever sets it.
      unit->props.caption = lParam ? reinterpret_cast<const char*>(lParam) : "";
      break;
    case WM_WINDOWPOSCHANGED: {
      result = DefWindowProcA(hwnd, message, wParam, lParam);
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) SeeThroughRefresh(hwnd);
      return result;
    }
    case WM_NCDESTROY:
      result = DefWindowProcA(hwnd, message, wParam, lParam);
      unit->NotifyGone(false);
      unit->Unbind();
      if (unit->ownedByWindow) delete unit;
      return result;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

UnitObject* CreateLabel(const CreateParams& params) {
  ClassBlockRead<LabelProperties> block = ReadTransLabelBlock(params.classBlock);
  // Data the label cannot read is rejected whole: the label comes up with its defaults.
  auto unit = std::make_unique<LabelUnit>(params, block.properties);
  if (!unit->Create(params)) return nullptr;
  unit->ownedByWindow = true;
  return unit.release();
}

int LabelPropertyChanged(UnitObject& object, int k, const PropertyValue& value) {
  static_cast<LabelUnit&>(object).Change(k, value);
  return 0;
}

runtime::Bytes SerializeLabel(const UnitObject& object) {
  return WriteTransLabelBlock(static_cast<const LabelUnit&>(object).props);
}

PropertyValue GetLabelUnitProperty(const UnitObject& object, int k) {
  return GetLabelProperty(static_cast<const LabelUnit&>(object).props, k);
}

}  // namespace

runtime::InterfaceRoutine LabelClassInterface(int operation) {
  switch (operation) {
    case runtime::kOpCreate:
      return runtime::AsInterfaceRoutine(&CreateLabel);
    case runtime::kOpPropertyChanged:
      return runtime::AsInterfaceRoutine(&LabelPropertyChanged);
    case runtime::kOpSerialize:
      return runtime::AsInterfaceRoutine(&SerializeLabel);
    case runtime::kOpGetProperty:
      return runtime::AsInterfaceRoutine(&GetLabelUnitProperty);
    case runtime::kOpExtra:
      return runtime::AsInterfaceRoutine(&ConvertLabelText);
    default:
      return nullptr;
  }
}

}  // namespace components
