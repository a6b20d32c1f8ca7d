// The form runtime's test support under Wine.
#include "forms_win_support.h"

#include <algorithm>
#include <array>
#include <map>

#include "components/library_win.h"
#include "runtime/core/own_messages_win.h"
#include "runtime/templates/template_reader.h"
#include "runtime/test_layout.h"

namespace forms_test {
namespace {

std::vector<Seen> gSeen;
std::map<UINT_PTR, std::function<void()>> gActions;
bool gWatchdogFired = false;

bool EveryUnitLive(uint32_t windowId) {
  const runtime::LiveWindow* window = runtime::Forms().Find(windowId);
  if (!window) return false;
  return std::all_of(window->live.begin(), window->live.end(),
                     [](const runtime::LiveUnit& u) { return u.object; });
}

void Record(runtime::EventFrame& frame) {
  gSeen.push_back({frame.windowId, frame.unitId, frame.eventIndex, EveryUnitLive(frame.windowId)});
  if (gOnEvent) gOnEvent(frame);
}

void BindEverything(runtime::TemplateTable& table) {
  for (runtime::WindowTemplate& window : table.windows) {
    for (runtime::UnitTemplate& unit : window.units) {
      unit.bindings.clear();
      for (int32_t event : {-8, -7, 0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12})
        unit.bindings.push_back({event, 1, Record});
    }
  }
}

void CALLBACK RunAction(HWND, UINT, UINT_PTR id, DWORD) {
  runtime::KillCallbackTimer(nullptr, id);
  auto found = gActions.find(id);
  if (found == gActions.end()) return;
  std::function<void()> action = std::move(found->second);
  gActions.erase(found);
  action();
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
  runtime::KillCallbackTimer(nullptr, id);
  gWatchdogFired = true;
  runtime::Forms().DestroyAllWindows();
}

intptr_t CommandLibraryNotify(int, uintptr_t, uintptr_t) { return 0; }

// A library with commands only, no unit classes.
runtime::SupportLibrary CommandLibrary(const char* name, const char* identifier) {
  runtime::SupportLibrary library;
  library.name = name;
  library.identifier = identifier;
  library.notify = CommandLibraryNotify;
  return library;
}

void Ignore(runtime::EventFrame&) {}

}  // namespace

std::function<void(runtime::EventFrame&)> gOnEvent;

runtime::ProgramImage TestImage() {
  static const std::array<runtime::SupportLibrary, 6> libraries = {
      runtime::CoreLibrary(),
      CommandLibrary("Commands 2", "00000000000000000000000000000002"),
      CommandLibrary("Commands 3", "00000000000000000000000000000003"),
      components::ExtendedControlsLibrary2(),
      components::ExtendedControlsLibrary1(),
      CommandLibrary("Commands 6", "00000000000000000000000000000006"),
  };
  static const std::vector<runtime::HandlerEntry> handlers = [] {
    std::vector<runtime::HandlerEntry> entries;
    for (const runtime::WindowTemplate& window : test_layout::Layout().windows) {
      for (const runtime::UnitTemplate& unit : window.units) {
        for (const runtime::EventBinding& binding : unit.bindings)
          entries.push_back({window.id, unit.id, binding.eventIndex, Ignore});
      }
    }
    return entries;
  }();
  runtime::ProgramImage image;
  image.templateBlock = test_layout::TemplateBlock();
  image.handlers = handlers;
  image.libraries = libraries;
  return image;
}

std::vector<Seen>& SeenEvents() { return gSeen; }

std::vector<int32_t> EventsOf(uint32_t windowId, uint32_t unitId) {
  const runtime::WindowTemplate* window = runtime::ProgramTemplates().Find(windowId);
  const uint32_t own = window ? window->units[0].id : 0;
  std::vector<int32_t> events;
  for (const Seen& seen : gSeen) {
    const bool same =
        seen.unitId == unitId || ((unitId == 0 || unitId == own) && (seen.unitId == 0 || seen.unitId == own));
    if (seen.windowId == windowId && same) events.push_back(seen.event);
  }
  return events;
}

void StartFresh() {
  static const bool started = [] {
    runtime::InitializeRuntime(TestImage());
    return true;
  }();
  (void)started;
  CleanUp();
  runtime::ProgramTemplates() = runtime::LoadTemplateBlock(test_layout::TemplateBlock(), {});
  BindEverything(runtime::ProgramTemplates());
  gSeen.clear();
  gOnEvent = nullptr;
}

void CleanUp() {
  runtime::Forms().DestroyAllWindows();
  for (auto& [id, action] : gActions) runtime::KillCallbackTimer(nullptr, id);
  gActions.clear();
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  while (runtime::EventsSuspendedCount() > 0) runtime::ResumeEvents();
}

void After(UINT milliseconds, std::function<void()> action) {
  // The runtime's loop calls only callbacks of timers it knows.
  const UINT_PTR id = runtime::SetCallbackTimer(nullptr, 0, milliseconds, RunAction);
  gActions[id] = std::move(action);
}

bool RunLoopWithin(UINT milliseconds) {
  gWatchdogFired = false;
  const UINT_PTR watchdog = runtime::SetCallbackTimer(nullptr, 0, milliseconds, Watchdog);
  runtime::RunMessageLoop();
  runtime::KillCallbackTimer(nullptr, watchdog);
  return !gWatchdogFired;
}

HWND Handle(uint32_t windowId, uint32_t unitId) {
  return reinterpret_cast<HWND>(runtime::Forms().UnitHandle(windowId, unitId));
}

}  // namespace forms_test
