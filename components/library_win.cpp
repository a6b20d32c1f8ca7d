// The components' two support libraries: their class records and notification routine.
#include "components/library_win.h"

#include <array>

#include "components/box/box_unit.h"
#include "components/box/box_win.h"
#include "components/label/label.h"
#include "components/label/label_win.h"
#include "components/object/cartoon_object.h"
#include "components/object/object_win.h"

namespace components {
namespace {

using runtime::ClassRecord;

intptr_t ComponentsNotify(int, uintptr_t, uintptr_t) { return 0; }

runtime::SupportLibrary Library(const char* name, const char* identifier,
                                std::span<const runtime::UnitClass* const> classes) {
  runtime::SupportLibrary library;
  library.name = name;
  library.identifier = identifier;
  library.classes = classes;
  library.notify = ComponentsNotify;
  return library;
}

}  // namespace

runtime::SupportLibrary ExtendedControlsLibrary2() {
  static const runtime::UnitClass box = [] {
    runtime::UnitClass record =
        ClassRecord("动画框", "CartoonBox", runtime::kClassIsWindow | runtime::kClassDragsWindow,
                    BoxUnitPropertyTable(), BoxClassInterface);
    record.eventCount = static_cast<uint32_t>(BoxEventTable().size());
    record.events = BoxEventTable().data();
    return record;
  }();
  static const runtime::UnitClass object = ClassRecord("动画物体", "CartoonObject", runtime::kClassIsWindow,
                                                       ObjectUnitPropertyTable(), ObjectClassInterface);
  static const std::array<const runtime::UnitClass*, kCartoonObjectClass> classes = [] {
    std::array<const runtime::UnitClass*, kCartoonObjectClass> table{};
    table[kCartoonBoxClass - 1] = &box;
    table[kCartoonObjectClass - 1] = &object;
    return table;
  }();
  return Library("Extended Controls Library 2", "B59C2E8A47D3410F8E6A1C9D05B7F342", classes);
}

runtime::SupportLibrary ExtendedControlsLibrary1() {
  static const runtime::UnitClass label = ClassRecord("透明标签", "TransLabel", runtime::kClassIsWindow,
                                                      LabelPropertyTable(), LabelClassInterface);
  static const std::array<const runtime::UnitClass*, kTransLabelClass> classes = [] {
    std::array<const runtime::UnitClass*, kTransLabelClass> table{};
    table[kTransLabelClass - 1] = &label;
    return table;
  }();
  return Library("Extended Controls Library 1", "3AF86D1B0C5E4927B8D4E2A6197C05FD", classes);
}

}  // namespace components
