// The `TransLabel` unit: a child window with the transparent extended style that draws only
// its text (with its effect) over whatever lies behind it, and after every change or move makes
// the windows behind it repaint the area it covers before it draws again.
#include "components/label/label_win.h"

#include <windows.h>

#include <string>
#include <vector>

#include "base/gdi_win.h"
#include "components/label/label.h"
#include "runtime/units/unit_win.h"

namespace components {
namespace {

using base::GdiObject;
using base::Selection;

using runtime::CreateParams;
using runtime::PropertyValue;
using runtime::UnitObject;

constexpr char kLabelClassName[] = "TransLabel";

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

  static UnitObject* Make(const CreateParams& params) {
    // Data the label cannot read is rejected whole: the label comes up with its defaults.
    return runtime::MakeUnit<LabelUnit>(params, ReadTransLabelBlock(params.classBlock).properties);
  }

  bool Create(const CreateParams& params) {
    if (!runtime::RegisterUnitClass<LabelUnit>(kLabelClassName, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW)) {
      return false;
    }
    const DWORD style = params.style | WS_CHILD | WS_CLIPSIBLINGS;
    return CreateChild(kLabelClassName, WS_EX_TRANSPARENT, props.caption.c_str(), style, params);
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_PAINT:
        Paint();
        return 0;
      case WM_ERASEBKGND:
        return 1;  // no background of its own
      case WM_SETTEXT:
        // The caption is the window text, whoever sets it.
        props.caption = lParam ? reinterpret_cast<const char*>(lParam) : "";
        break;
      case WM_WINDOWPOSCHANGED: {
        const LRESULT result = Default(message, wParam, lParam);
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) SeeThroughRefresh(hwnd_);
        return result;
      }
      default:
        break;
    }
    return Default(message, wParam, lParam);
  }

  int Change(int k, const PropertyValue& value) {
    if (!SetLabelProperty(props, k, value)) return 0;
    if (k == LabelK(kLabelCaption)) {
      const std::string caption = props.caption;  // the window text comes back through WM_SETTEXT
      SetWindowTextA(hwnd_, caption.c_str());
    }
    SeeThroughRefresh(hwnd_);
    return 0;
  }

  runtime::Bytes Serialize() const { return WriteTransLabelBlock(props); }
  PropertyValue Get(int k) const { return GetLabelProperty(props, k); }
  static runtime::Bytes ConvertText(std::span<const uint8_t> data,
                                    const runtime::TextConversion& conversion) {
    return ConvertLabelText(data, conversion);
  }

 private:
  void Paint() {
    const base::PaintDc dc(hwnd_);
    const int length = GetWindowTextLengthA(hwnd_);
    if (dc.get() && length > 0) {
      std::string text(static_cast<size_t>(length) + 1, '\0');
      text.resize(static_cast<size_t>(GetWindowTextA(hwnd_, text.data(), length + 1)));
      DrawPasses(dc.get(), text);
    }
  }

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

}  // namespace

runtime::InterfaceRoutine LabelClassInterface(int operation) {
  return runtime::UnitClassInterface<LabelUnit>(operation);
}

}  // namespace components
