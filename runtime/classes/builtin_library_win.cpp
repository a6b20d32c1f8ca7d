// The core library's entry of the support-library table: its class records and its
// notification routine; and the placeholder class record.
#include "runtime/classes/builtin_library_win.h"

#include <array>

#include "runtime/classes/builtin_classes.h"
#include "runtime/units/unit_win.h"

namespace runtime {
namespace {

const std::array<const UnitClass*, kCoreClassCount>& CoreClasses() {
  static const UnitClass window =
      ClassRecord("窗口", "window", kWindowClassState, WindowPropertyTable(), WindowClassInterface);
  static const UnitClass button =
      ClassRecord("按钮", "Button", kButtonClassState, ButtonPropertyTable(), ButtonClassInterface);
  static const UnitClass timer =
      ClassRecord("时钟", "Timer", kTimerClassState, TimerPropertyTable(), TimerClassInterface);
  static const std::array<const UnitClass*, kCoreClassCount> classes = [] {
    std::array<const UnitClass*, kCoreClassCount> table{};
    table[kCoreWindowClass - 1] = &window;
    table[kCoreButtonClass - 1] = &button;
    table[kCoreTimerClass - 1] = &timer;
    return table;
  }();
  return classes;
}

// The classes raise their events through the routine the runtime hands over at start-up.
intptr_t CoreLibraryNotify(int code, uintptr_t first, uintptr_t) {
  if (code == kLibraryStart) SetCoreNotify(reinterpret_cast<NotifyRoutine>(first));
  return 0;
}

}  // namespace

SupportLibrary CoreLibrary() {
  SupportLibrary library;
  library.name = "Core Library";
  library.identifier = "8D3F2A61B70C4E95A1D6C0F47E2B9A53";
  library.classes = CoreClasses();
  library.notify = CoreLibraryNotify;
  return library;
}

const UnitClass& PlaceholderClass() {
  static const UnitClass record =
      ClassRecord("", "", 0, std::span<const PropertyInfo>(), PlaceholderClassInterface);
  return record;
}

}  // namespace runtime
