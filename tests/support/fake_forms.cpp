// The fakes of fake_forms.h.
#include "support/fake_forms.h"

#include <algorithm>

namespace testing_support {
namespace {

using namespace runtime;

FakeForms* gCurrent = nullptr;

FakeUnit& Fake(UnitObject& object) { return static_cast<FakeUnit&>(object); }
const FakeUnit& Fake(const UnitObject& object) { return static_cast<const FakeUnit&>(object); }

UnitObject* MakeUnit(const CreateParams& params, uint32_t typeReference) {
  auto unit = std::make_unique<FakeUnit>();
  unit->windowId = params.windowId;
  unit->unitId = params.unitId;
  unit->typeReference = typeReference;
  unit->controlId = params.controlId;
  unit->parent = params.parent;
  unit->style = params.style;
  unit->block.assign(params.classBlock.begin(), params.classBlock.end());
  unit->handle = gCurrent->system.Add({params.left, params.top, params.width, params.height}, params.parent);
  gCurrent->system.Note("create " + std::to_string(params.unitId) + " id " +
                        std::to_string(params.controlId));
  // Whatever a window does while it is being made raises nothing: events are suspended.
  EventFrame frame{.windowId = params.windowId, .unitId = params.unitId, .eventIndex = 0};
  if (gCurrent->forms->Find(params.windowId)) gCurrent->forms->Dispatch(frame);
  gCurrent->units.push_back(std::move(unit));
  return gCurrent->units.back().get();
}

UnitObject* CreateWindowUnit(const CreateParams& params) {
  auto block = ReadWindowBlock(params.classBlock);
  if (!block.Ok()) return nullptr;
  auto* unit = static_cast<FakeUnit*>(MakeUnit(params, kClassWindow));
  unit->window = block.properties;
  return unit;
}
UnitObject* CreateButton(const CreateParams& params) {
  auto block = ReadButtonBlock(params.classBlock);
  if (!block.Ok()) return nullptr;
  auto* unit = static_cast<FakeUnit*>(MakeUnit(params, kClassButton));
  unit->button = block.properties;
  return unit;
}
UnitObject* CreateTimer(const CreateParams& params) {
  auto block = ReadTimerBlock(params.classBlock);
  if (!block.Ok()) return nullptr;
  auto* unit = static_cast<FakeUnit*>(MakeUnit(params, kClassTimer));
  unit->timer = block.properties;
  return unit;
}
UnitObject* CreateSilent(const CreateParams& params) { return MakeUnit(params, kClassSilent); }
UnitObject* CreateFailing(const CreateParams&) { return nullptr; }
UnitObject* CreateRebuilt(const CreateParams& params) { return MakeUnit(params, kClassRebuilt); }
UnitObject* CreatePlaceholder(const CreateParams& params) { return MakeUnit(params, 0); }

int WindowChanged(UnitObject& o, int k, const PropertyValue& v) {
  return SetWindowProperty(Fake(o).window, k, v), 0;
}
int ButtonChanged(UnitObject& o, int k, const PropertyValue& v) {
  return SetButtonProperty(Fake(o).button, k, v), 0;
}
int TimerChanged(UnitObject& o, int k, const PropertyValue& v) {
  return SetTimerProperty(Fake(o).timer, k, v), 0;
}
PropertyValue WindowGet(const UnitObject& o, int k) { return GetWindowProperty(Fake(o).window, k); }
PropertyValue ButtonGet(const UnitObject& o, int k) { return GetButtonProperty(Fake(o).button, k); }
PropertyValue TimerGet(const UnitObject& o, int k) { return GetTimerProperty(Fake(o).timer, k); }
Bytes SerializeBlock(const UnitObject& o) { return Fake(o).block; }
// The rebuilt class keeps its one property in its block: a change asks for a new window.
int RebuiltChanged(UnitObject& o, int, const PropertyValue& v) {
  Fake(o).block = v.bytes;
  return 1;
}
PropertyValue RebuiltGet(const UnitObject& o, int) { return PropertyValue{.bytes = Fake(o).block}; }

template <auto Create, auto Changed, auto Get>
InterfaceRoutine Interface(int operation) {
  if (operation == kOpCreate) return AsInterfaceRoutine(Create);
  if (operation == kOpSerialize) return AsInterfaceRoutine(&SerializeBlock);
  if constexpr (Changed != nullptr) {
    if (operation == kOpPropertyChanged) return AsInterfaceRoutine(Changed);
  }
  if constexpr (Get != nullptr) {
    if (operation == kOpGetProperty) return AsInterfaceRoutine(Get);
  }
  return nullptr;
}

constexpr PropertyInfo kTextProperty[] = {PropertyInfo{.kind = kKindText}};

UnitClass Record(uint32_t state, std::span<const PropertyInfo> properties, InterfaceFunction interface) {
  UnitClass record;
  record.state = state;
  record.propertyCount = static_cast<uint32_t>(properties.size());
  record.properties = properties.data();
  record.interfaceFunction = interface;
  return record;
}

const UnitClass kWindow = Record(kWindowClassState, WindowPropertyTable(),
                                 Interface<&CreateWindowUnit, &WindowChanged, &WindowGet>);
const UnitClass kButton =
    Record(kButtonClassState, ButtonPropertyTable(), Interface<&CreateButton, &ButtonChanged, &ButtonGet>);
const UnitClass kTimer =
    Record(kTimerClassState, TimerPropertyTable(), Interface<&CreateTimer, &TimerChanged, &TimerGet>);
const UnitClass kSilent = Record(0, {}, Interface<&CreateSilent, nullptr, nullptr>);
const UnitClass kFailing = Record(kClassRaisesEvents, {}, Interface<&CreateFailing, nullptr, nullptr>);
const UnitClass kRebuilt =
    Record(kClassRaisesEvents, kTextProperty, Interface<&CreateRebuilt, &RebuiltChanged, &RebuiltGet>);
const UnitClass kPlaceholder = Record(0, {}, Interface<&CreatePlaceholder, nullptr, nullptr>);

std::array<const UnitClass*, kCoreClassCount> CoreClasses() {
  std::array<const UnitClass*, kCoreClassCount> classes{};
  classes[0] = &kWindow;
  classes[1] = &kSilent;
  classes[3] = &kFailing;
  classes[4] = &kRebuilt;
  classes[kCoreButtonClass - 1] = &kButton;
  classes[kCoreTimerClass - 1] = &kTimer;
  return classes;
}

const std::array<const UnitClass*, kCoreClassCount> kCoreClasses = CoreClasses();

std::vector<std::string> gLibraryNotes;
intptr_t NoteLibrary(int code, uintptr_t first, uintptr_t) {
  gLibraryNotes.push_back(std::to_string(code) + (first ? " routine" : ""));
  if (gCurrent) gCurrent->system.Note("library " + std::to_string(code));
  return 0;
}

std::array<SupportLibrary, 6> Libraries() {
  std::array<SupportLibrary, 6> libraries{};
  libraries[0].classes = kCoreClasses;
  libraries[0].notify = NoteLibrary;
  libraries[3].loaded = false;
  libraries[4].loaded = false;
  return libraries;
}
const std::array<SupportLibrary, 6> kLibraries = Libraries();

}  // namespace

void FakeWindowSystem::Destroy(runtime::WindowHandle w) {
  if (!Exists(w)) return;
  Note("destroy " + std::to_string(w));
  // As the window system does: the window hears of it first, then its children go.
  windows[w].exists = false;
  if (onDestroyed) onDestroyed(w);
  std::vector<runtime::WindowHandle> children;
  for (auto& [handle, window] : windows) {
    if (window.exists && window.parent == w) children.push_back(handle);
  }
  for (runtime::WindowHandle child : children) Destroy(child);
}

FakeForms::FakeForms() {
  gCurrent = this;
  gLibraryNotes.clear();
  forms = std::make_unique<runtime::FormRuntime>(templates, kLibraries, kPlaceholder, system);
  runtime::InstallForms(forms.get());
  system.onDestroyed = [this](runtime::WindowHandle handle) {
    FakeUnit* unit = UnitFor(handle);
    if (!unit) return;
    // As the window class does: event 2, then the runtime hears that the window has gone.
    const bool isWindow = unit->typeReference == runtime::kClassWindow;
    if (isWindow && forms->IsLive(unit->windowId, unit->unitId))
      forms->Raise(unit->windowId, unit->unitId, 2);
    forms->UnitGone(unit->windowId, isWindow ? 0 : unit->unitId);
  };
}

FakeForms::~FakeForms() {
  runtime::InstallForms(nullptr);
  runtime::ResetProgramEndForTesting();
  gCurrent = nullptr;
}

FakeUnit* FakeForms::UnitFor(runtime::WindowHandle handle) {
  for (auto& unit : units) {
    if (unit->handle == handle) return unit.get();
  }
  return nullptr;
}

FakeUnit* FakeForms::LiveUnit(uint32_t windowId, uint32_t unitId) {
  return UnitFor(forms->UnitHandle(windowId, unitId));
}

runtime::UnitTemplate Unit(uint32_t id, uint32_t typeReference, runtime::UnitRect rect, uint32_t flags) {
  runtime::UnitTemplate unit;
  unit.id = id;
  unit.typeReference = typeReference;
  unit.left = rect.left;
  unit.top = rect.top;
  unit.width = rect.width;
  unit.height = rect.height;
  unit.flags = flags;
  return unit;
}

runtime::WindowTemplate Window(uint32_t id, std::vector<runtime::UnitTemplate> units) {
  runtime::WindowTemplate window;
  window.id = id;
  window.units = std::move(units);
  return window;
}

void Bind(runtime::UnitTemplate& unit, std::initializer_list<int32_t> events, runtime::EventRoutine routine) {
  for (int32_t event : events) unit.bindings.push_back({event, 1, routine});
}

std::vector<std::string>& LibraryNotes() { return gLibraryNotes; }

}  // namespace testing_support
