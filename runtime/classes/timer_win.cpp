// The `Timer` class: a never-shown child window of class "_ZR_Timer" whose Win32 timer (id
// 1000) raises event 0 at every period. Writing the interval restarts it only when it changes.
#include <windows.h>

#include <algorithm>

#include "runtime/classes/builtin_classes.h"
#include "runtime/classes/builtin_library_win.h"
#include "runtime/classes/unit_win.h"
#include "runtime/templates/class_blocks.h"

namespace runtime {
namespace {

constexpr char kTimerClassName[] = "_ZR_Timer";
constexpr UINT_PTR kTimerId = 1000;

class TimerUnit final : public Win32Unit {
 public:
  TimerUnit(const CreateParams& params, TimerProperties properties)
      : Win32Unit(params.windowId, params.unitId), props(properties) {}

  TimerProperties props;

  static UnitObject* Make(const CreateParams& params) {
    ClassBlockRead<TimerProperties> block = ReadTimerBlock(params.classBlock);
    if (!block.Ok()) return nullptr;
    return MakeUnit<TimerUnit>(params, block.properties);
  }

  bool Create(const CreateParams& params) {
    if (!RegisterUnitClass<TimerUnit>(kTimerClassName, CS_DBLCLKS,
                                      static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)))) {
      return false;
    }
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (params.style & (WS_TABSTOP | WS_DISABLED));
    if (!CreateChild(kTimerClassName, 0, "", style, params)) return false;
    props.interval = std::max(props.interval, 0);
    if (props.interval > 0) SetTimer(hwnd_, kTimerId, static_cast<UINT>(props.interval), nullptr);
    return true;
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_TIMER:
        if (wParam == kTimerId) Raise(kTimerEventElapsed);
        return 0;
      case WM_DESTROY:
        KillTimer(hwnd_, kTimerId);
        break;
      default:
        break;
    }
    return Default(message, wParam, lParam);
  }

  int Change(int k, const PropertyValue& value) {
    if (k + kFirstClassProperty == kTimerInterval) SetInterval(static_cast<int32_t>(value.number));
    return 0;
  }

  Bytes Serialize() const { return WriteTimerBlock(props); }
  PropertyValue Get(int k) const { return GetTimerProperty(props, k); }

 private:
  void SetInterval(int32_t interval) {
    interval = std::max(interval, 0);
    if (interval == props.interval) return;  // a running timer goes on undisturbed
    KillTimer(hwnd_, kTimerId);
    props.interval = interval;
    if (interval > 0) SetTimer(hwnd_, kTimerId, static_cast<UINT>(interval), nullptr);
  }
};

}  // namespace

InterfaceRoutine TimerClassInterface(int operation) { return UnitClassInterface<TimerUnit>(operation); }

}  // namespace runtime
