// The Win32 unit base: binding, events, cursor and focus.
#include "runtime/units/unit_win.h"

#include <atomic>
#include <cstring>
#include <unordered_map>

#include "runtime/core/own_messages_win.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/templates/font_record.h"

namespace runtime {
namespace {

std::atomic<NotifyRoutine> gCoreNotify{nullptr};

// The unit of each window a runtime class made. Only this table says which object a window
// belongs to: a window property or window word could be set by any process. The window thread
// binds and unbinds; other threads (the repair worker through the runtime) may look up.
class UnitTable {
 public:
  UnitTable() { InitializeCriticalSection(&lock_); }
  UnitTable(const UnitTable&) = delete;
  UnitTable& operator=(const UnitTable&) = delete;

  Win32Unit* Find(HWND hwnd) {
    EnterCriticalSection(&lock_);
    const auto found = units_.find(hwnd);
    Win32Unit* unit = found == units_.end() ? nullptr : found->second;
    LeaveCriticalSection(&lock_);
    return unit;
  }
  void Bind(HWND hwnd, Win32Unit* unit) {
    EnterCriticalSection(&lock_);
    units_[hwnd] = unit;
    LeaveCriticalSection(&lock_);
  }
  void Unbind(HWND hwnd, const Win32Unit* unit) {
    EnterCriticalSection(&lock_);
    const auto found = units_.find(hwnd);
    if (found != units_.end() && found->second == unit) units_.erase(found);
    LeaveCriticalSection(&lock_);
  }

 private:
  CRITICAL_SECTION lock_;
  std::unordered_map<HWND, Win32Unit*> units_;
};

UnitTable& Units() {
  static UnitTable table;
  return table;
}

// The unit whose window this thread is making right now, from just before CreateWindowExA
// until its WM_NCCREATE binds it.
thread_local Win32Unit* tCreating = nullptr;

// Marks the unit as the one being made for the length of a CreateWindowExA call.
class Creating {
 public:
  explicit Creating(Win32Unit* unit) : previous_(tCreating) { tCreating = unit; }
  ~Creating() { tCreating = previous_; }
  Creating(const Creating&) = delete;
  Creating& operator=(const Creating&) = delete;

 private:
  Win32Unit* previous_;
};

}  // namespace

void SetCoreNotify(NotifyRoutine routine) { gCoreNotify = routine; }

intptr_t NotifyRuntimeFromCore(int code, uintptr_t first, uintptr_t second) {
  NotifyRoutine routine = gCoreNotify.load();
  return routine ? routine(code, first, second) : 0;
}

Win32Unit* Win32Unit::From(HWND hwnd) { return hwnd ? Units().Find(hwnd) : nullptr; }

bool Win32Unit::BindCreated(HWND hwnd, LPARAM createStruct) {
  // Only the WM_NCCREATE of this thread's own CreateWindowExA binds, and only to the unit that
  // call is for. Another thread's or process's WM_NCCREATE comes while no creation is under
  // way here (a window does not take other threads' messages while it is being made), and a
  // window already bound keeps its unit. lParam is read only once that holds.
  Win32Unit* expected = tCreating;
  if (!expected || From(hwnd) || !createStruct) return false;
  if (reinterpret_cast<const CREATESTRUCTA*>(createStruct)->lpCreateParams != expected) return false;
  tCreating = nullptr;
  expected->Attach(hwnd);
  return true;
}

void Win32Unit::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  Units().Bind(hwnd, this);
}

void Win32Unit::Unbind() {
  if (!hwnd_) return;
  Units().Unbind(hwnd_, this);
  ForgetOwnMessages(hwnd_);
}

void Win32Unit::NotifyGone(bool isWindowUnit) {
  if (goneReported_) return;
  goneReported_ = true;
  NotifyRuntimeFromCore(kNotifyUnitGone, windowId_, isWindowUnit ? 0 : unitId_);
}

LRESULT Win32Unit::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  if (original_) return CallWindowProcA(original_, hwnd_, message, wParam, lParam);
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void Win32Unit::End() {
  NotifyGone(false);
  Unbind();
  if (ownedByWindow_) delete this;
}

HWND Win32Unit::CreateUnitWindow(DWORD exStyle, const char* className, const char* text, DWORD style,
                                 int left, int top, int width, int height, HWND parent, HMENU menu) {
  const Creating creating(this);
  return CreateWindowExA(exStyle, className, text, style, left, top, width, height, parent, menu,
                         ModuleInstance(), static_cast<Win32Unit*>(this));
}

bool Win32Unit::CreateChild(const char* className, DWORD exStyle, const char* text, DWORD style,
                            const CreateParams& params) {
  return CreateUnitWindow(exStyle, className, text, style, params.left, params.top, params.width,
                          params.height, reinterpret_cast<HWND>(params.parent),
                          reinterpret_cast<HMENU>(static_cast<uintptr_t>(params.controlId))) != nullptr;
}

bool Win32Unit::CreateSubclassedWith(WNDPROC procedure, const char* className, const char* text, DWORD style,
                                     const CreateParams& params) {
  HWND hwnd = CreateWindowExA(0, className, text, style, params.left, params.top, params.width, params.height,
                              reinterpret_cast<HWND>(params.parent),
                              reinterpret_cast<HMENU>(static_cast<uintptr_t>(params.controlId)),
                              ModuleInstance(), nullptr);
  if (!hwnd) return false;
  Attach(hwnd);
  original_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
  return true;
}

namespace {

// The program's icon at a size, shared (the system frees it); nullptr when there is none.
HICON ProgramIcon(int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(kProgramIconId), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                       LR_SHARED));
}

}  // namespace

bool RegisterUnitWindowClass(const char* name, WNDPROC procedure, UINT style, HBRUSH background,
                             bool withIcon) {
  WNDCLASSEXA known{};
  known.cbSize = sizeof known;
  if (GetClassInfoExA(ModuleInstance(), name, &known)) return known.lpfnWndProc == procedure;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  if (withIcon) {
    wc.hIcon = ProgramIcon(SM_CXICON, SM_CYICON);
    wc.hIconSm = ProgramIcon(SM_CXSMICON, SM_CYSMICON);
  }
  return RegisterClassExA(&wc) != 0;
}

EventFrame Win32Unit::Raise(int32_t eventIndex, std::span<const int32_t> arguments) {
  EventFrame frame = EventFrame::Of(windowId_, unitId_, eventIndex, arguments);
  if (FormsInstalled() && Forms().IsLive(windowId_, unitId_)) {
    NotifyRuntimeFromCore(kNotifyEvent, reinterpret_cast<uintptr_t>(&frame), 0);
  }
  frame.arguments = nullptr;
  return frame;
}

bool HandleCommonUnitMessage(Win32Unit& unit, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != unit.hwnd()) return false;
      // A unit hosted without the form runtime (a demo, a test host) has no cursor of its own.
      if (!FormsInstalled()) return false;
      const auto located = Forms().FindByHandle(unit.Handle());
      const CursorHandle cursor = located ? located->window->live[located->unit].cursor : 0;
      if (!cursor) return false;
      SetCursor(reinterpret_cast<HCURSOR>(cursor));
      *result = TRUE;
      return true;
    }
    case WM_SETFOCUS:
      unit.Raise(kEventGotFocus);
      return false;
    case WM_KILLFOCUS:
      unit.Raise(kEventLostFocus);
      return false;
    default:
      return false;
  }
}

HFONT FontFromRecord(std::span<const uint8_t> record) {
  if (record.size() != kFontRecordSize || sizeof(LOGFONTA) != kFontRecordSize) return nullptr;
  LOGFONTA font;
  std::memcpy(&font, record.data(), sizeof font);
  font.lfFaceName[LF_FACESIZE - 1] = 0;
  return CreateFontIndirectA(&font);
}

HINSTANCE ModuleInstance() { return GetModuleHandleA(nullptr); }

}  // namespace runtime
