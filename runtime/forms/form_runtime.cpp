// The runtime object: libraries and classes, notifications, windows, the dispatcher, the
// window services' lookups, idle callbacks and the end of the program.
#include "runtime/forms/form_runtime.h"

#include <atomic>

#include "runtime/core/errors.h"
#include "runtime/core/heap.h"
#include "runtime/core/values.h"

namespace runtime {
namespace {

std::atomic<FormRuntime*> gForms{nullptr};

}  // namespace

WindowHandle LiveWindow::Handle() const {
  if (live.empty() || !live[0].object) return 0;
  return live[0].object->Handle();
}

std::optional<size_t> LiveWindow::IndexOf(uint32_t unitId) const {
  if (units.empty()) return std::nullopt;
  if (unitId == 0 || units[0].id == unitId) return 0;
  for (size_t i = 1; i < units.size(); ++i) {
    if (units[i].id == unitId) return i;
  }
  return std::nullopt;
}

FormRuntime::FormRuntime(TemplateTable& templates, std::span<const SupportLibrary> libraries,
                         const UnitClass& placeholder, WindowSystem& system)
    : templates_(templates), libraries_(libraries), placeholder_(placeholder), system_(system) {}

FormRuntime::~FormRuntime() = default;

// ---- Libraries and classes ----

const UnitClass* FormRuntime::ClassFor(uint32_t typeReference) const {
  const uint32_t library = typeReference >> 16;
  const uint32_t number = typeReference & 0xFFFF;
  if (library == 0 || library > libraries_.size() || number == 0) return nullptr;
  const SupportLibrary& entry = libraries_[library - 1];
  if (!entry.loaded) return &placeholder_;
  if (number > entry.classes.size()) return nullptr;
  return entry.classes[number - 1];
}

void FormRuntime::StartLibraries(NotifyRoutine runtimeRoutine) {
  for (const SupportLibrary& library : libraries_) {
    if (library.loaded && library.notify) {
      library.notify(kLibraryStart, reinterpret_cast<uintptr_t>(runtimeRoutine), 0);
    }
  }
}

void FormRuntime::NotifyLibrariesOfEnd() {
  for (const SupportLibrary& library : libraries_) {
    if (library.loaded && library.notify) library.notify(kLibraryProgramEnd, 0, 0);
  }
}

void FormRuntime::SuspendPumping() {
  system_.ProcessWaitingMessages();
  SuspendEvents();
}

void FormRuntime::ResumePumping() {
  system_.ProcessWaitingMessages();
  ResumeEvents();
}

intptr_t FormRuntime::Notify(int code, uintptr_t first, uintptr_t second) {
  switch (code) {
    case kNotifyTemplates:
      return reinterpret_cast<intptr_t>(&templates_);
    case kNotifyClassRecord:
      return reinterpret_cast<intptr_t>(ClassFor(static_cast<uint32_t>(first)));
    case kNotifyUnitGone:
      UnitGone(static_cast<uint32_t>(first), static_cast<uint32_t>(second));
      return 0;
    case kNotifyLoadWindow: {
      const auto* request = reinterpret_cast<const LoadRequest*>(first);
      return request && LoadWindow(request->windowId, request->owner, request->modal != 0) ? 1 : 0;
    }
    case kNotifyEvent:
      if (first) Dispatch(*reinterpret_cast<EventFrame*>(first));
      return 0;
    case kNotifySuspendEvents:
      SuspendPumping();
      return 0;
    case kNotifyResumeEvents:
      ResumePumping();
      return 0;
    case kNotifyFreeArray:
      FreeArray(reinterpret_cast<void*>(first), static_cast<uint32_t>(second));
      return 0;
    case kNotifyAllocate:
      return reinterpret_cast<intptr_t>(Allocate(first, second != 0));
    case kNotifyFree:
      Free(reinterpret_cast<void*>(first));
      return 0;
    case kNotifyResize:
      return reinterpret_cast<intptr_t>(Resize(reinterpret_cast<void*>(first), second));
    case kNotifyError:
      RuntimeErrorMessage(reinterpret_cast<const char*>(first));
    case kNotifyEndProgram:
      EndProgram(static_cast<int>(first));
    default:
      return 0;
  }
}

// ---- Windows ----

LiveWindow& FormRuntime::Slot(uint32_t windowId) {
  for (auto& window : windows_) {
    if (window->id == windowId) return *window;
  }
  windows_.push_back(std::make_unique<LiveWindow>());
  windows_.back()->id = windowId;
  return *windows_.back();
}

LiveWindow* FormRuntime::Find(uint32_t windowId) {
  for (auto& window : windows_) {
    if (window->id == windowId && window->present) return window.get();
  }
  return nullptr;
}

std::optional<FormRuntime::Located> FormRuntime::FindByHandle(WindowHandle handle) {
  if (!handle) return std::nullopt;
  for (auto& window : windows_) {
    if (!window->present) continue;
    for (size_t i = 0; i < window->live.size(); ++i) {
      const UnitObject* object = window->live[i].object;
      if (object && object->Handle() == handle) return Located{window.get(), i};
    }
  }
  return std::nullopt;
}

bool FormRuntime::AnyWindowPresent() const {
  for (const auto& window : windows_) {
    if (window->present) return true;
  }
  return false;
}

bool FormRuntime::IsLive(uint32_t windowId, uint32_t unitId) const {
  for (const auto& window : windows_) {
    if (window->id != windowId || !window->present) continue;
    const std::optional<size_t> index = window->IndexOf(unitId);
    return index && window->live[*index].object;
  }
  return false;
}

void FormRuntime::UnitGone(uint32_t windowId, uint32_t unitId) {
  LiveWindow* window = Find(windowId);
  if (!window) return;  // a component going after its window, or a failed load
  const std::optional<size_t> index = window->IndexOf(unitId);
  if (!index) return;
  if (*index != 0) {
    window->live[*index].object = nullptr;
    return;
  }
  for (LiveUnit& unit : window->live) {
    if (unit.cursor) system_.DestroyCursor(unit.cursor);
  }
  window->present = window->loaded = window->destroying = false;
  ++window->generation;
  window->units.clear();
  window->live.clear();
  if (loopEntered_ && !AnyWindowPresent()) system_.PostQuit();
}

void FormRuntime::DestroyAllWindows() {
  std::vector<WindowHandle> handles;
  for (const auto& window : windows_) {
    if (window->present) handles.push_back(window->Handle());
  }
  for (WindowHandle handle : handles) {
    if (handle && system_.Exists(handle)) system_.Destroy(handle);
  }
}

// ---- Events ----

void FormRuntime::Dispatch(EventFrame& frame) {
  if (EventsSuspendedCount() > 0) return;
  LiveWindow* window = Find(frame.windowId);
  if (!window) RuntimeErrorMessage(kErrorNoEventWindow);
  std::optional<size_t> index = window->IndexOf(frame.unitId);
  if (!index) RuntimeErrorMessage(kErrorNoEventUnit);

  // A member of a control array shares its leader's bindings. The walk is bounded, so that
  // leaders naming each other cannot hold it forever.
  for (size_t steps = 0; steps < window->units.size(); ++steps) {
    const UnitTemplate& unit = window->units[*index];
    if (unit.arrayLeader == 0) break;
    const std::optional<size_t> leader = window->IndexOf(unit.arrayLeader);
    if (!leader || *leader == 0 || window->units[*leader].typeReference != unit.typeReference) break;
    index = leader;
  }

  const UnitTemplate& unit = window->units[*index];
  const UnitClass* unitClass = ClassFor(unit.typeReference);
  if (!unitClass || !CanRaiseEvents(unitClass->state)) RuntimeErrorMessage(kErrorInvalidEventUnit);
  const EventRoutine routine = FindHandler(unit, frame.eventIndex);
  if (!routine) return;

  const EventSource previous = eventSource_;
  eventSource_ = {frame.windowId, frame.unitId};
  frame.returnedValue = 0;
  routine(frame);
  eventSource_ = previous;
}

EventFrame FormRuntime::Raise(uint32_t windowId, uint32_t unitId, int32_t eventIndex,
                              std::span<const int32_t> arguments) {
  EventFrame frame = EventFrame::Of(windowId, unitId, eventIndex, arguments);
  Dispatch(frame);
  frame.arguments = nullptr;
  return frame;
}

bool FormRuntime::MayClose(uint32_t windowId) {
  const LiveWindow* window = Find(windowId);
  if (!window) return true;
  const uint32_t unitId = window->units[0].id;
  if (Raise(windowId, unitId, kWindowEventCloseRequested).Refused()) return false;
  if (!Find(windowId)) return false;  // the handler destroyed it already
  return !Raise(windowId, unitId, kWindowEventClosing).Refused();
}

// ---- Window services ----

WindowHandle FormRuntime::UnitHandle(uint32_t windowId, uint32_t unitId) {
  LiveWindow* window = Find(windowId);
  if (!window) return 0;
  const std::optional<size_t> index = window->IndexOf(unitId);
  if (!index || !window->live[*index].object) return 0;
  return window->live[*index].object->Handle();
}

bool FormRuntime::IsWindowLoaded(uint32_t windowId, uint32_t unitId) {
  LiveWindow* window = Find(windowId);
  return window && window->loaded && window->IndexOf(unitId).has_value();
}

bool FormRuntime::Knows(uint32_t windowId, uint32_t unitId) const {
  const WindowTemplate* window = templates_.Find(windowId);
  return window && (unitId == 0 || FindUnit(window->units, unitId));
}

void FormRuntime::DestroyUnit(uint32_t windowId, uint32_t unitId, bool immediately) {
  LiveWindow* window = Find(windowId);
  if (!window) return;
  const std::optional<size_t> index = window->IndexOf(unitId);
  if (!index || !window->live[*index].object) return;
  const WindowHandle handle = window->live[*index].object->Handle();
  if (*index != 0) {
    system_.Destroy(handle);
    return;
  }
  if (immediately) {
    window->destroying = true;
    system_.Destroy(handle);
    return;
  }
  if (window->destroying) return;  // already on its way
  window->destroying = true;
  system_.PostDestroy(handle);
}

// ---- Idle callbacks ----

void FormRuntime::AddIdleCallback(WindowHandle window, void (*routine)(uintptr_t), uintptr_t argument) {
  idleCallbacks_.push_back({window, routine, argument});
}

void FormRuntime::RunIdleCallbacks() {
  for (size_t i = idleCallbacks_.size(); i-- > 0;) {
    if (i >= idleCallbacks_.size()) continue;  // a callback removed others
    const IdleCallback callback = idleCallbacks_[i];
    if (!system_.Exists(callback.window)) {
      idleCallbacks_.erase(idleCallbacks_.begin() + static_cast<ptrdiff_t>(i));
      continue;
    }
    callback.routine(callback.argument);
  }
}

// ---- The process's runtime object ----

FormRuntime& Forms() { return *gForms.load(); }
bool FormsInstalled() { return gForms.load() != nullptr; }
void InstallForms(FormRuntime* forms) {
  gForms = forms;
  InstallTeardown(forms);
}

intptr_t RuntimeNotify(int code, uintptr_t first, uintptr_t second) {
  return Forms().Notify(code, first, second);
}

uint64_t ReadProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t element) {
  return Forms().ReadProperty(windowId, unitId, index, element);
}

void WriteProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t element, uint64_t value) {
  Forms().WriteProperty(windowId, unitId, index, element, value);
}

void LoadStartWindow(uint32_t windowId) { Forms().LoadStartWindow(windowId); }

bool UnitKnown(uint32_t windowId, uint32_t unitId) { return Forms().Knows(windowId, unitId); }
WindowHandle LiveUnitHandle(uint32_t windowId, uint32_t unitId) {
  return Forms().UnitHandle(windowId, unitId);
}
bool LoadWindow(uint32_t windowId, WindowHandle owner, bool modal) {
  return Forms().LoadWindow(windowId, owner, modal);
}
bool WindowLoaded(uint32_t windowId, uint32_t unitId) { return Forms().IsWindowLoaded(windowId, unitId); }
void DestroyUnit(uint32_t windowId, uint32_t unitId, bool immediately) {
  Forms().DestroyUnit(windowId, unitId, immediately);
}
void RefreshUnit(WindowHandle handle) { Forms().system().Refresh(handle); }
UnitRect UnitRectangle(WindowHandle handle) { return Forms().system().Rect(handle); }
void PlaceUnit(WindowHandle handle, const UnitRect& rect) { Forms().system().Place(handle, rect); }

}  // namespace runtime
