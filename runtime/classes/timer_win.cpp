// The `Timer` class: a never-shown child window of class "_ZR_Timer" whose Win32 timer (id
// 1000) raises event 0 at every period. Writing the interval restarts it only when it changes.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "runtime/classes/builtin_classes.h"
#include "runtime/classes/builtin_library_win.h"
#include "runtime/classes/unit_win.h"
#include "runtime/templates/class_blocks.h"

namespace runtime {
namespace {

constexpr char kTimerClassName[] = "_ZR_Timer";
constexpr UINT_PTR kTimerId = 1000;

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterTimerClass() {
  WNDCLASSEXA known{};
  known.cbSize = sizeof known;
  if (GetClassInfoExA(ModuleInstance(), kTimerClassName, &known)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = TimerProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
  wc.lpszClassName = kTimerClassName;
  return RegisterClassExA(&wc) != 0;
}

class TimerUnit final : public Win32Unit {
 public:
  TimerUnit(const CreateParams& params, TimerProperties properties)
      : Win32Unit(params.windowId, params.unitId), props(properties) {}

  TimerProperties props;
  bool ownedByWindow = false;

  bool Create(const CreateParams& params) {
    if (!RegisterTimerClass()) return false;
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (params.style & (WS_TABSTOP | WS_DISABLED));
    HWND hwnd = CreateWindowExA(0, kTimerClassName, "", style, params.left, params.top, params.width,
                                params.height, reinterpret_cast<HWND>(params.parent),
                                reinterpret_cast<HMENU>(static_cast<uintptr_t>(params.controlId)),
                                ModuleInstance(), this);
    if (!hwnd) return false;
    props.interval = std::max(props.interval, 0);
    if (props.interval > 0) SetTimer(hwnd_, kTimerId, static_cast<UINT>(props.interval), nullptr);
    return true;
  }

  void SetInterval(int32_t interval) {
    interval = std::max(interval, 0);
    if (interval == props.interval) return;  // a running timer goes on undisturbed
    KillTimer(hwnd_, kTimerId);
    props.interval = interval;
    if (interval > 0) SetTimer(hwnd_, kTimerId, static_cast<UINT>(interval), nullptr);
  }
};

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    static_cast<TimerUnit*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams)->Attach(hwnd);
  }
  auto* unit = static_cast<TimerUnit*>(Win32Unit::From(hwnd));
  if (!unit) return DefWindowProcA(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  if (HandleCommonUnitMessage(*unit, message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimerId) unit->Raise(kTimerEventElapsed);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd, kTimerId);
      break;
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

UnitObject* CreateTimer(const CreateParams& params) {
  ClassBlockRead<TimerProperties> block = ReadTimerBlock(params.classBlock);
  if (!block.Ok()) return nullptr;
  auto unit = std::make_unique<TimerUnit>(params, block.properties);
  if (!unit->Create(params)) return nullptr;
  unit->ownedByWindow = true;
  return unit.release();
}

int TimerPropertyChanged(UnitObject& object, int k, const PropertyValue& value) {
  if (k + 8 == kTimerInterval)
    static_cast<TimerUnit&>(object).SetInterval(static_cast<int32_t>(value.number));
  return 0;
}

Bytes SerializeTimer(const UnitObject& object) {
  return WriteTimerBlock(static_cast<const TimerUnit&>(object).props);
}

PropertyValue GetTimerUnitProperty(const UnitObject& object, int k) {
  return GetTimerProperty(static_cast<const TimerUnit&>(object).props, k);
}

}  // namespace

InterfaceRoutine TimerClassInterface(int operation) {
  switch (operation) {
    case kOpCreate:
      return AsInterfaceRoutine(&CreateTimer);
    case kOpPropertyChanged:
      return AsInterfaceRoutine(&TimerPropertyChanged);
    case kOpSerialize:
      return AsInterfaceRoutine(&SerializeTimer);
    case kOpGetProperty:
      return AsInterfaceRoutine(&GetTimerUnitProperty);
    default:
      return nullptr;
  }
}

}  // namespace runtime
