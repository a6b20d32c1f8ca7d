// The `Timer` class: a never-shown child window of class "_ZR_Timer" whose Win32 timer (id
// 1000) raises event 0 at every period. Writing the interval restarts it only when it changes.
#include <windows.h>

#include <algorithm>

#include "runtime/classes/builtin_classes.h"
#include "runtime/classes/builtin_library_win.h"
#include "runtime/templates/class_blocks.h"
#include "runtime/units/unit_win.h"

namespace runtime {
namespace {

constexpr char kTimerClassName[] = "_ZR_Timer";
constexpr UINT_PTR kTimerId = 1000;

// How much earlier than its interval a tick may come and still be one. The system fires timers
// on its clock tick (10 to 16 ms) and GetTickCount counts in the same steps, so an on-time tick
// can look up to two steps early: 30 ms. A long interval gets a quarter of itself, for a system
// that rounds periods coarsely.
DWORD TickSlack(DWORD interval) { return std::max<DWORD>(30, interval / 4); }

// The ticks of one running timer: due one interval apart. Another process can post or send
// WM_TIMER to the window as often as it likes; a tick before the next one is due is not one. A
// late tick counts, and moves the schedule on from when it came, so the ticks it made up for
// are not owed.
class TickSchedule {
 public:
  void Start(DWORD interval) {
    interval_ = interval;
    due_ = GetTickCount() + interval;
  }
  bool Take() {
    if (interval_ == 0) return false;
    const DWORD now = GetTickCount();
    if (static_cast<int32_t>(now + TickSlack(interval_) - due_) < 0) return false;
    // Where a late tick was handled the system's schedule goes on from the original due time,
    // so the next one may come sooner than an interval after this one.
    due_ = static_cast<int32_t>(now - due_) > static_cast<int32_t>(interval_) ? now : due_ + interval_;
    return true;
  }

 private:
  DWORD interval_ = 0;
  DWORD due_ = 0;
};

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
    StartTimer();
    return true;
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_TIMER:
        if (wParam == kTimerId && schedule_.Take()) Raise(kTimerEventElapsed);
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
    StartTimer();
  }

  void StartTimer() {
    const auto interval = static_cast<DWORD>(props.interval);
    schedule_.Start(interval);
    if (interval > 0) SetTimer(hwnd_, kTimerId, interval, nullptr);
  }

  TickSchedule schedule_;
};

}  // namespace

InterfaceRoutine TimerClassInterface(int operation) { return UnitClassInterface<TimerUnit>(operation); }

}  // namespace runtime
