// The form runtime's object: live windows built from the templates, their components, event
// routing to the application's handlers, property reads and writes, and the state of the
// message loop. Portable: it reaches live windows through WindowSystem and the unit classes
// through their records. One instance per process, installed at start-up.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "runtime/core/program_lifetime.h"
#include "runtime/forms/events.h"
#include "runtime/forms/form_entry.h"
#include "runtime/forms/unit_class.h"
#include "runtime/forms/window_system.h"
#include "runtime/templates/window_template.h"

namespace runtime {

// Messages of the runtime errors raised here.
inline constexpr char kErrorNoEventWindow[] = "未找到引发事件的窗口";
inline constexpr char kErrorNoEventUnit[] = "未找到引发事件的窗口组件";
inline constexpr char kErrorInvalidEventUnit[] = "引发事件的窗口组件无效";
inline constexpr char kErrorPropertyWindow[] = "未载入欲访问窗口组件所在的窗口";
inline constexpr char kErrorWindowNotLoaded[] = "指定窗口尚未载入";
inline constexpr char kErrorStartWindow[] = "载入启动窗口失败";
inline constexpr char kErrorNotHandedOver[] = "无法将其它线程对窗口组件属性的访问交给主线程";

// Per unit of a live window: its component object and what the loader made for it.
struct LiveUnit {
  UnitObject* object = nullptr;
  CursorHandle cursor = 0;
  uint32_t controlId = 0;
};

// One window's live state. It exists from the first load of the window on and is reused by
// later loads, so a reference to it stays valid while handlers run.
struct LiveWindow {
  uint32_t id = 0;
  bool present = false;             // from the start of a load until the window is destroyed
  bool loaded = false;              // the load has finished
  bool destroying = false;          // asked to go (DestroyWindowUnit)
  uint64_t generation = 0;          // counts loads and destructions
  std::vector<UnitTemplate> units;  // the window's own copy of its template's units
  std::vector<LiveUnit> live;       // one per unit, in the same order

  WindowHandle Handle() const;
  // Index of the unit with this id (0 also names the window's own unit), or nullopt.
  std::optional<size_t> IndexOf(uint32_t unitId) const;
};

struct IdleCallback {
  WindowHandle window;
  void (*routine)(uintptr_t argument);
  uintptr_t argument;
};

class FormRuntime final : public ProgramTeardown {
 public:
  FormRuntime(TemplateTable& templates, std::span<const SupportLibrary> libraries,
              const UnitClass& placeholder, WindowSystem& system);
  ~FormRuntime() override;
  FormRuntime(const FormRuntime&) = delete;
  FormRuntime& operator=(const FormRuntime&) = delete;

  WindowSystem& system() { return system_; }
  TemplateTable& templates() { return templates_; }

  // ---- Libraries and classes ----
  // The class of a type reference: a class of a library that could not be loaded is the
  // placeholder class; nullptr when the reference names no class.
  const UnitClass* ClassFor(uint32_t typeReference) const;
  // Calls each library's notification routine with code 1 and the runtime's routine.
  void StartLibraries(NotifyRoutine runtimeRoutine);
  // What the libraries and classes ask of the runtime (the notification codes).
  intptr_t Notify(int code, uintptr_t first, uintptr_t second);

  // ---- Windows ----
  LiveWindow* Find(uint32_t windowId);  // a window that is present, or nullptr
  struct Located {
    LiveWindow* window;
    size_t unit;
  };
  // The present window and unit whose live window is this handle.
  std::optional<Located> FindByHandle(WindowHandle handle);
  bool AnyWindowPresent() const;
  // Whether the unit's object is the live one of a present window (an event source whose
  // window is gone raises nothing).
  bool IsLive(uint32_t windowId, uint32_t unitId) const;

  // Loads a window from its template: its window and units made and arranged, the created,
  // moved and resized events raised, the window shown when it is stored visible, its units
  // told it is ready and, for a modal one, the other windows disabled until it is gone; a
  // window already loaded is brought to the front instead. False when the load failed, the
  // owner is gone, or the template is unknown.
  bool LoadWindow(uint32_t windowId, WindowHandle owner, bool modal);
  // The start window: a failed load is the runtime error "载入启动窗口失败".
  void LoadStartWindow(uint32_t windowId);
  // A window (unitId 0 or the window's own unit) or component object has gone away.
  void UnitGone(uint32_t windowId, uint32_t unitId);

  // ---- Events ----
  void Dispatch(EventFrame& frame);
  EventFrame Raise(uint32_t windowId, uint32_t unitId, int32_t eventIndex,
                   std::span<const int32_t> arguments = {});
  // Events 12 and 1 of a window asked to close: whether it may be destroyed.
  bool MayClose(uint32_t windowId);
  struct EventSource {
    uint32_t windowId = 0, unitId = 0;
  };
  EventSource CurrentEventSource() const { return eventSource_; }

  // ---- Properties (runtime/forms_properties.cpp) ----
  uint64_t ReadProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t element);
  void WriteProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t element, uint64_t value);
  // A class property of a live unit as its class gives it (nullopt when the class has none).
  std::optional<PropertyValue> ClassProperty(const LiveWindow& window, size_t unit, int k);

  // ---- What the window services act on ----
  WindowHandle UnitHandle(uint32_t windowId, uint32_t unitId);  // 0 when not live
  bool IsWindowLoaded(uint32_t windowId, uint32_t unitId);
  // Whether the template table knows the window and unit at all.
  bool Knows(uint32_t windowId, uint32_t unitId) const;
  void DestroyUnit(uint32_t windowId, uint32_t unitId, bool immediately);

  // ---- Message loop ----
  void EnterMessageLoop() { loopEntered_ = true; }
  bool LoopEntered() const { return loopEntered_; }
  void AddIdleCallback(WindowHandle window, void (*routine)(uintptr_t), uintptr_t argument);
  // Calls the callbacks whose window still exists, last registered first, and forgets the
  // others.
  void RunIdleCallbacks();

  // ---- Ending (ProgramTeardown) ----
  void ClearIdleCallbacks() override { idleCallbacks_.clear(); }
  void DestroyAllWindows() override;
  void NotifyLibrariesOfEnd() override;

 private:
  friend class WindowLoader;
  friend class PropertyAccess;

  LiveWindow& Slot(uint32_t windowId);
  void SuspendPumping();
  void ResumePumping();
  void RecreateUnit(LiveWindow& window, size_t unit);

  TemplateTable& templates_;
  std::span<const SupportLibrary> libraries_;
  const UnitClass& placeholder_;
  WindowSystem& system_;
  std::vector<std::unique_ptr<LiveWindow>> windows_;
  std::vector<IdleCallback> idleCallbacks_;
  EventSource eventSource_;
  bool loopEntered_ = false;
};

// The process's runtime object.
FormRuntime& Forms();
bool FormsInstalled();
void InstallForms(FormRuntime* forms);
// The runtime's notification routine, handed to every library at start-up.
intptr_t RuntimeNotify(int code, uintptr_t first, uintptr_t second);

}  // namespace runtime
