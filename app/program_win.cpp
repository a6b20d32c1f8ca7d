// The program's support-library table and handler table.
#include "app/program_win.h"

#include <array>

#include "app/layout.h"
#include "app/main_window_win.h"
#include "app/repair_run_win.h"
#include "components/library_win.h"

namespace app {
namespace {

// Libraries whose commands the application calls but that have no unit classes.
intptr_t CommandLibraryNotify(int, uintptr_t, uintptr_t) { return 0; }

runtime::SupportLibrary CommandLibrary(const char* name, const char* identifier) {
  runtime::SupportLibrary library;
  library.name = name;
  library.identifier = identifier;
  library.notify = CommandLibraryNotify;
  return library;
}

}  // namespace

std::span<const runtime::SupportLibrary> ProgramLibraries() {
  static const std::array<runtime::SupportLibrary, 6> libraries = {
      runtime::CoreLibrary(),
      CommandLibrary("Thread Library", "4C1E9B7305D24A8F96E3B0A5172DC6F8"),
      CommandLibrary("Application Interface Library", "E07A5D3C9B1F48E2A6C4D8B0F3957A21"),
      components::ExtendedControlsLibrary2(),
      components::ExtendedControlsLibrary1(),
      CommandLibrary("OS Interface Library", "D6B3091E7A4C45F2B1E8C7A0369D52E4"),
  };
  return libraries;
}

std::span<const runtime::HandlerEntry> ProgramHandlers() {
  // The handlers take no event arguments and return no value.
  static const runtime::HandlerEntry handlers[] = {
      {kMainWindow, kMainWindowUnit, kWindowCreated, [](runtime::EventFrame&) { BuildSkin(); }},
      {kMainWindow, kMainWindowUnit, kWindowMoved, [](runtime::EventFrame&) { FollowMainWindow(); }},
      {kMainWindow, kMainWindowUnit, kWindowFirstActivated, [](runtime::EventFrame&) { RunVersionGate(); }},
      {kMainWindow, kCloseButton, kButtonClicked, [](runtime::EventFrame&) { CloseMainWindow(); }},
      {kMainWindow, kFinishButton, kButtonClicked, [](runtime::EventFrame&) { CloseMainWindow(); }},
      {kMainWindow, kRepairButton, kButtonClicked, [](runtime::EventFrame&) { StartRepair(); }},
      {kMainWindow, kProgressClock, kTimerElapsed, [](runtime::EventFrame&) { OnProgressTick(); }},
      {kOverlayWindow, kOverlayWindowUnit, kWindowCreated,
       [](runtime::EventFrame&) { MakeOverlayTransparent(); }},
  };
  return handlers;
}

runtime::ProgramImage ProgramImage() {
  runtime::ProgramImage image;
  image.templateBlock = ProgramTemplateBlock();
  image.handlers = ProgramHandlers();
  image.libraries = ProgramLibraries();
  return image;
}

}  // namespace app
