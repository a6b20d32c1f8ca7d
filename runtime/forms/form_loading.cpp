// Loading a window from its template: the window unit, then the components from the last
// stored to the first, re-parenting, stacking, cursors, the runtime's notifications, showing,
// and events 0, 3 and 4 once everything exists.
#include <vector>

#include "runtime/core/errors.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/templates/class_blocks.h"

namespace runtime {
namespace {

// Menu items (id bits 24 to 31 = 0x26) are not created as units.
bool IsMenuItem(uint32_t unitId) { return (unitId >> 24) == 0x26; }

inline constexpr uint32_t kFirstControlId = 100;
inline constexpr uint32_t kControlIdStep = 10;

uint32_t LoaderStyle(const UnitTemplate& unit) {
  uint32_t style = 0;
  if (unit.flags & kUnitDisabled) style |= kStyleDisabled;
  if (unit.flags & kUnitTabStop) style |= kStyleTabStop;
  return style;
}

}  // namespace

class WindowLoader {
 public:
  WindowLoader(FormRuntime& forms, LiveWindow& window)
      : forms_(forms), window_(window), system_(forms.system_) {}

  bool CreateUnits(WindowHandle owner) {
    if (!CreateUnit(0, owner, 0)) return false;
    const WindowHandle handle = window_.Handle();
    uint32_t controlId = kFirstControlId;
    for (size_t i = window_.units.size(); i-- > 1;) {
      if (IsMenuItem(window_.units[i].id)) continue;
      if (!CreateUnit(i, handle, controlId)) return false;
      controlId += kControlIdStep;
    }
    return true;
  }

  // Discards a load that failed part-way: the window goes (and its components with it) with
  // events suspended, and the live copy of the units is dropped.
  void Discard() {
    const WindowHandle handle = window_.Handle();
    window_.present = false;
    ++window_.generation;
    if (handle && system_.Exists(handle)) system_.Destroy(handle);
    window_.units.clear();
    window_.live.clear();
  }

  void Arrange() {
    for (size_t i = 1; i < window_.units.size(); ++i) Reparent(i);
    for (size_t i = 1; i < window_.units.size(); ++i) Stack(i);
    for (size_t i = 0; i < window_.units.size(); ++i) {
      if (window_.live[i].object) window_.live[i].cursor = system_.MakeCursor(window_.units[i].cursorData);
    }
    for (size_t i = window_.units.size(); i-- > 0;) SendTo(i, kMessageUnitsCreated);
    SendTo(0, kMessageLayoutComplete);
    for (size_t i = 1; i < window_.units.size(); ++i) Show(i);
  }

  void SendTo(size_t unit, uint32_t message) {
    if (const UnitObject* object = window_.live[unit].object) system_.Send(object->Handle(), message);
  }

  bool CreateUnit(size_t index, WindowHandle parent, uint32_t controlId) {
    const UnitTemplate& unit = window_.units[index];
    const UnitClass* unitClass = forms_.ClassFor(unit.typeReference);
    if (!unitClass) return false;
    const auto create = unitClass->Find<CreateRoutine>(kOpCreate);
    if (!create) return false;
    CreateParams params;
    params.classBlock = unit.classBlock;
    params.style = LoaderStyle(unit);
    params.parent = parent;
    params.controlId = controlId;
    params.left = unit.left;
    params.top = unit.top;
    params.width = unit.width;
    params.height = unit.height;
    params.windowId = window_.id;
    params.unitId = unit.id;
    UnitObject* object = create(params);
    if (!object) return false;
    window_.live[index].object = object;
    window_.live[index].controlId = controlId;
    return true;
  }

  WindowHandle HandleOf(size_t index) const {
    const UnitObject* object = window_.live[index].object;
    return object ? object->Handle() : 0;
  }

  // A component whose parent unit is a container goes into it.
  void Reparent(size_t i) {
    const uint32_t parentId = window_.units[i].parentId;
    if (parentId == 0 || !HandleOf(i)) return;
    const std::optional<size_t> container = window_.IndexOf(parentId);
    if (container && *container != 0 && HandleOf(*container))
      system_.SetParent(HandleOf(i), HandleOf(*container));
  }

  // A unit goes directly below the nearest earlier unit with the same parent, or on top: the
  // first stored component lies on top.
  void Stack(size_t i) {
    if (!HandleOf(i)) return;
    WindowHandle above = 0;
    for (size_t j = i; j-- > 1;) {
      if (HandleOf(j) && window_.units[j].parentId == window_.units[i].parentId) {
        above = HandleOf(j);
        break;
      }
    }
    system_.PlaceBelow(HandleOf(i), above);
  }

  bool ShouldShow(size_t i) const {
    const UnitClass* unitClass = forms_.ClassFor(window_.units[i].typeReference);
    const bool neverShown = unitClass && (unitClass->state & kClassNeverShown);
    return (window_.units[i].flags & kUnitVisible) && !neverShown;
  }

  void Show(size_t i) {
    if (HandleOf(i)) system_.Show(HandleOf(i), ShouldShow(i) ? ShowMode::kShowNoActivate : ShowMode::kHide);
  }

 private:
  FormRuntime& forms_;
  LiveWindow& window_;
  WindowSystem& system_;
};

bool FormRuntime::LoadWindow(uint32_t windowId, WindowHandle owner, bool modal) {
  const WindowTemplate* source = templates_.Find(windowId);
  if (!source || source->units.empty()) return false;
  if (modal) owner = 0;
  if (owner && !system_.Exists(owner)) return false;

  LiveWindow& window = Slot(windowId);
  // Loaded already (or still loading): brought to the front, nothing raised again.
  const auto bringToFront = [&] {
    const WindowHandle handle = window.Handle();
    if (handle && system_.IsMinimized(handle)) {
      system_.Restore(handle);
    } else if (handle) {
      system_.Activate(handle);
    }
    return true;
  };
  if (window.present) return bringToFront();

  SuspendPumping();
  if (window.present) {
    // A handler run by the waiting messages has loaded it meanwhile.
    ResumeEvents();
    return bringToFront();
  }
  window.present = true;
  window.loaded = window.destroying = false;
  window.units = source->units;
  window.live.assign(window.units.size(), LiveUnit{});
  const uint64_t generation = ++window.generation;
  WindowLoader loader(*this, window);
  if (!loader.CreateUnits(modal ? system_.HiddenOwner() : owner)) {
    loader.Discard();
    ResumePumping();
    return false;
  }
  loader.Arrange();
  ResumePumping();

  const uint32_t unitId = window.units[0].id;
  const WindowHandle handle = window.Handle();
  auto stillThere = [&] {
    return window.present && window.generation == generation && system_.Exists(handle);
  };
  for (int32_t event : {kWindowEventCreated, kWindowEventMoved, kWindowEventResized}) {
    if (!stillThere()) return true;
    Raise(windowId, unitId, event);
  }
  if (!stillThere()) return true;

  if (window.units[0].flags & kUnitVisible) {
    // The window class reads its state back: 2 minimized, 3 maximized (as created), else 0.
    const std::optional<PropertyValue> state =
        ClassProperty(window, 0, kWindowStartPosition - kFirstClassProperty);
    const int64_t how = state ? state->number : 0;
    system_.Show(handle, how == 2   ? ShowMode::kShowMinimized
                         : how == 3 ? ShowMode::kShowMaximized
                                    : ShowMode::kShowNormal);
    // Showing activates the window and gives it the focus: its class raises event -7.
  }
  if (!stillThere()) return true;

  const WindowHandle focus = system_.Focus();
  for (size_t i = window.units.size(); i-- > 0;) loader.SendTo(i, kMessageWindowReady);
  if (!stillThere()) return true;
  if (focus && focus != system_.Focus() && system_.Exists(focus)) system_.SetFocus(focus);
  window.loaded = true;

  if (modal) {
    // Every other loaded window waits until the modal one is gone.
    std::vector<WindowHandle> disabled;
    for (const auto& other : windows_) {
      const WindowHandle otherHandle = other->present ? other->Handle() : 0;
      if (otherHandle && otherHandle != handle && system_.IsEnabled(otherHandle)) {
        system_.Enable(otherHandle, false);
        disabled.push_back(otherHandle);
      }
    }
    system_.RunModalLoop(handle);
    for (WindowHandle otherHandle : disabled) {
      if (system_.Exists(otherHandle)) system_.Enable(otherHandle, true);
    }
  }
  return true;
}

void FormRuntime::LoadStartWindow(uint32_t windowId) {
  if (!LoadWindow(windowId, 0, false)) RuntimeErrorMessage(kErrorStartWindow);
}

}  // namespace runtime

namespace runtime {

// A class asked for its unit to be built again from its (changed) class block: the new window
// takes the old one's place, control id, stacking position, parent, visibility and focus.
void FormRuntime::RecreateUnit(LiveWindow& window, size_t index) {
  if (index == 0 || index >= window.live.size()) return;  // the window unit applies changes itself
  UnitObject* old = window.live[index].object;
  const UnitClass* unitClass = ClassFor(window.units[index].typeReference);
  if (!old || !unitClass) return;
  if (const auto serialize = unitClass->Find<SerializeRoutine>(kOpSerialize)) {
    window.units[index].classBlock = serialize(*old);
  }
  SuspendEvents();
  const WindowHandle oldHandle = old->Handle();
  const UnitRect rect = system_.Rect(oldHandle);
  const bool hadFocus = system_.Focus() == oldHandle;
  system_.Destroy(oldHandle);
  window.live[index].object = nullptr;

  UnitTemplate& unit = window.units[index];
  const UnitTemplate saved = unit;
  unit.left = rect.left;
  unit.top = rect.top;
  unit.width = rect.width;
  unit.height = rect.height;
  WindowLoader loader(*this, window);
  const bool created = loader.CreateUnit(index, window.Handle(), window.live[index].controlId);
  unit.left = saved.left;
  unit.top = saved.top;
  unit.width = saved.width;
  unit.height = saved.height;
  if (created) {
    loader.Reparent(index);
    loader.Stack(index);
    loader.Show(index);
    if (hadFocus) system_.SetFocus(loader.HandleOf(index));
  }
  ResumeEvents();
}

}  // namespace runtime
