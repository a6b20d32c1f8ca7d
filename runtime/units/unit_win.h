// One pattern for every unit window class: the live object of a unit bound to its window,
// raising events through the runtime's notification routine, with one window procedure and
// one interface function generated for each class.
//
// A class derives its unit from Win32Unit and gives:
//   static UnitObject* Make(const CreateParams&)   reads the class block, then MakeUnit<Unit>
//   bool Create(const CreateParams&)               makes the window: CreateChild (a class
//                                                  registered with RegisterUnitClass<Unit>) or
//                                                  CreateSubclassed<Unit> (a system class)
//   LRESULT OnMessage(UINT, WPARAM, LPARAM)        its own messages; the rest to Default
// and, when it has them, the routines UnitClassInterface<Unit> hands out by operation:
//   int Change(int k, const PropertyValue&)  Bytes Serialize() const
//   PropertyValue Get(int k) const           int Enabled(int k) const
//   int Edit(int k)                          static Bytes ConvertText(data, conversion)
// and, when it keeps resources for drawing, `void OnGone()`: called once the window is gone
// and the unit reported so, before it is unbound.
//
// UnitWindowProc<Unit> binds the unit at creation, answers the common unit messages (cursor
// and focus; a class opts out with `static constexpr bool kCommonMessages = false`), forwards
// the rest to OnMessage, and ends the unit once after WM_NCDESTROY: reports it gone (unless the
// unit did already), unbinds it and, when the window owns it, deletes it.
//
// Who deletes a unit object: until its Create succeeds, MakeUnit does (a failed creation
// frees it there); from then on its window does, at the window's end. Nothing else does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <utility>

#include "runtime/core/runtime_messages.h"
#include "runtime/forms/events.h"
#include "runtime/forms/unit_class.h"

namespace runtime {

// The runtime's notification routine as the core library received it at start-up.
void SetCoreNotify(NotifyRoutine routine);
intptr_t NotifyRuntimeFromCore(int code, uintptr_t first, uintptr_t second);

class Win32Unit : public UnitObject {
 public:
  Win32Unit(uint32_t windowId, uint32_t unitId) : windowId_(windowId), unitId_(unitId) {}
  Win32Unit(const Win32Unit&) = delete;
  Win32Unit& operator=(const Win32Unit&) = delete;

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  uint32_t windowId() const { return windowId_; }
  uint32_t unitId() const { return unitId_; }

  // The unit object of a window made by a runtime class, or nullptr.
  static Win32Unit* From(HWND hwnd);
  // Binds the object to its window, and unbinds it when the window goes.
  void Attach(HWND hwnd);
  // At WM_NCCREATE: binds the unit this thread is creating the window for (CreateChild,
  // CreateUnitWindow), when `createStruct` is that creation's; true when it did.
  static bool BindCreated(HWND hwnd, LPARAM createStruct);
  void Unbind();
  // Tells the runtime, once, that the unit is going away (the window's own unit reports unit
  // id 0).
  void NotifyGone(bool isWindowUnit);

  // Raises an event of this unit, unless its window is no longer live (a window being torn
  // down raises nothing more); the frame tells what the handler returned.
  EventFrame Raise(int32_t eventIndex, std::span<const int32_t> arguments = {});

  // What the window does with a message the class leaves alone: the system class's own
  // procedure for a subclassed window, DefWindowProcA otherwise.
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

  // The unit's end, after its window's WM_NCDESTROY: reported gone, unbound, and deleted when
  // the window owns it. The object may be gone when this returns.
  void End();
  // From now on the window's end deletes the unit (MakeUnit calls it).
  void GiveToWindow() { ownedByWindow_ = true; }

 protected:
  // A child window of a class registered for this unit, bound to it at WM_NCCREATE.
  bool CreateChild(const char* className, DWORD exStyle, const char* text, DWORD style,
                   const CreateParams& params);
  // CreateWindowExA for a window of a class registered for this unit, bound to it at
  // WM_NCCREATE; nullptr when it failed.
  HWND CreateUnitWindow(DWORD exStyle, const char* className, const char* text, DWORD style, int left,
                        int top, int width, int height, HWND parent, HMENU menu);
  // A child window of a system class, bound to this unit by putting `procedure` in its place.
  bool CreateSubclassedWith(WNDPROC procedure, const char* className, const char* text, DWORD style,
                            const CreateParams& params);
  template <typename Unit>
  bool CreateSubclassed(const char* className, const char* text, DWORD style, const CreateParams& params);

  HWND hwnd_ = nullptr;

 private:
  uint32_t windowId_;
  uint32_t unitId_;
  WNDPROC original_ = nullptr;
  bool ownedByWindow_ = false;
  bool goneReported_ = false;
};

// Cursor and focus messages of any unit window: the unit's own cursor on WM_SETCURSOR, events
// -7 and -8 on WM_SETFOCUS and WM_KILLFOCUS. True when the message was answered in *result.
bool HandleCommonUnitMessage(Win32Unit& unit, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The window procedure of a unit class.
template <typename Unit>
LRESULT CALLBACK UnitWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE && !Win32Unit::BindCreated(hwnd, lParam) && Win32Unit::From(hwnd)) {
    return TRUE;  // a window is made once: a second WM_NCCREATE came from elsewhere
  }
  auto* unit = static_cast<Unit*>(Win32Unit::From(hwnd));
  if (!unit) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    const LRESULT result = unit->Default(message, wParam, lParam);
    unit->NotifyGone(false);
    if constexpr (requires(Unit & u) { u.OnGone(); }) unit->OnGone();
    unit->End();
    return result;
  }
  LRESULT result = 0;
  if constexpr (requires { Unit::kCommonMessages; }) {
    if (Unit::kCommonMessages && HandleCommonUnitMessage(*unit, message, wParam, lParam, &result))
      return result;
  } else {
    if (HandleCommonUnitMessage(*unit, message, wParam, lParam, &result)) return result;
  }
  return unit->OnMessage(message, wParam, lParam);
}

template <typename Unit>
bool Win32Unit::CreateSubclassed(const char* className, const char* text, DWORD style,
                                 const CreateParams& params) {
  return CreateSubclassedWith(&UnitWindowProc<Unit>, className, text, style, params);
}

// Registers the window class `name` with `procedure` (once per process). True when the class
// of that name is there with this procedure; false when another procedure has the name or the
// registration failed.
// `withIcon` gives the class the program's icon (its resource kProgramIconId, large and small),
// when the module has one.
bool RegisterUnitWindowClass(const char* name, WNDPROC procedure, UINT style, HBRUSH background,
                             bool withIcon = false);
template <typename Unit>
bool RegisterUnitClass(const char* name, UINT style, HBRUSH background = nullptr, bool withIcon = false) {
  return RegisterUnitWindowClass(name, &UnitWindowProc<Unit>, style, background, withIcon);
}
// The program's icon in its resources (the resource script's first icon, the one Explorer
// shows for the file).
inline constexpr int kProgramIconId = 1;

// The create routine's common part: the unit made from the create parameters and `args`, its
// window made, and the unit given to the window; nullptr (the unit freed) when that failed.
template <typename Unit, typename... Args>
UnitObject* MakeUnit(const CreateParams& params, Args&&... args) {
  auto unit = std::make_unique<Unit>(params, std::forward<Args>(args)...);
  if (!unit->Create(params)) return nullptr;
  unit->GiveToWindow();
  return unit.release();
}

namespace unit_routines {

template <typename Unit>
int Change(UnitObject& object, int k, const PropertyValue& value) {
  return static_cast<Unit&>(object).Change(k, value);
}
template <typename Unit>
Bytes Serialize(const UnitObject& object) {
  return static_cast<const Unit&>(object).Serialize();
}
template <typename Unit>
PropertyValue Get(const UnitObject& object, int k) {
  return static_cast<const Unit&>(object).Get(k);
}
template <typename Unit>
int Enabled(const UnitObject& object, int k) {
  return static_cast<const Unit&>(object).Enabled(k);
}
template <typename Unit>
int Edit(UnitObject& object, int k) {
  return static_cast<Unit&>(object).Edit(k);
}

}  // namespace unit_routines

// The interface function of a unit class: the routines its unit type has, by operation.
template <typename Unit>
InterfaceRoutine UnitClassInterface(int operation) {
  switch (operation) {
    case kOpCreate:
      return AsInterfaceRoutine(static_cast<CreateRoutine>(&Unit::Make));
    case kOpPropertyChanged:
      if constexpr (requires(Unit & u, const PropertyValue& v) { u.Change(0, v); }) {
        return AsInterfaceRoutine(static_cast<PropertyChangedRoutine>(&unit_routines::Change<Unit>));
      }
      break;
    case kOpSerialize:
      if constexpr (requires(const Unit& u) { u.Serialize(); }) {
        return AsInterfaceRoutine(static_cast<SerializeRoutine>(&unit_routines::Serialize<Unit>));
      }
      break;
    case kOpGetProperty:
      if constexpr (requires(const Unit& u) { u.Get(0); }) {
        return AsInterfaceRoutine(static_cast<GetPropertyRoutine>(&unit_routines::Get<Unit>));
      }
      break;
    case kOpEnablement:
      if constexpr (requires(const Unit& u) { u.Enabled(0); }) {
        return AsInterfaceRoutine(static_cast<EnablementRoutine>(&unit_routines::Enabled<Unit>));
      }
      break;
    case kOpEditor:
      if constexpr (requires(Unit & u) { u.Edit(0); }) {
        return AsInterfaceRoutine(static_cast<EditorRoutine>(&unit_routines::Edit<Unit>));
      }
      break;
    case kOpExtra:
      if constexpr (requires { static_cast<TextConversionRoutine>(&Unit::ConvertText); }) {
        return AsInterfaceRoutine(static_cast<TextConversionRoutine>(&Unit::ConvertText));
      }
      break;
    default:
      break;
  }
  return nullptr;
}

// The default GUI font, or a font made from a 60-byte font record (owned by the caller).
HFONT FontFromRecord(std::span<const uint8_t> record);
HINSTANCE ModuleInstance();

}  // namespace runtime
