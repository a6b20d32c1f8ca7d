// The window services over the runtime's entry points. A unit that the program's templates do not know
// at all is the runtime error "指定窗口或窗口组件不存在或尚未载入"; a known unit whose window is
// not loaded is a soft failure (nothing happens, or false / 0).
#include "app/services/arguments.h"
#include "app/services/commands.h"
#include "runtime/entry_points.h"

namespace services {
namespace {

using runtime::TypedValue;

struct UnitName {
  uint32_t windowId;
  uint32_t unitId;
};

UnitName NameOf(const TypedValue& value) { return {value.low, value.high}; }

// A unit argument that must name a unit of the program's templates.
UnitName KnownUnit(const Arguments& args, size_t i) {
  const UnitName name = NameOf(args[i]);
  if (!args.Given(i) || !runtime::UnitKnown(name.windowId, name.unitId)) {
    runtime::RuntimeErrorMessage(runtime::kErrorNoSuchUnit);
  }
  return name;
}

runtime::WindowHandle LiveHandle(const UnitName& name) {
  return runtime::LiveUnitHandle(name.windowId, name.unitId);
}

}  // namespace

void DestroyWindowUnitCommand(TypedValue*, int32_t argumentCount, const TypedValue* arguments) {
  const Arguments args(argumentCount, arguments);
  const UnitName unit = KnownUnit(args, 0);
  runtime::DestroyUnit(unit.windowId, unit.unitId, args.Bool(1, false));
}

void RefreshUnitCommand(TypedValue*, int32_t argumentCount, const TypedValue* arguments) {
  const Arguments args(argumentCount, arguments);
  if (const runtime::WindowHandle handle = LiveHandle(KnownUnit(args, 0))) runtime::RefreshUnit(handle);
}

void LoadWindowCommand(TypedValue* result, int32_t argumentCount, const TypedValue* arguments) {
  const Arguments args(argumentCount, arguments);
  const UnitName window = NameOf(args[0]);
  runtime::WindowHandle owner = 0;
  if (args.Given(1)) {
    owner = LiveHandle(NameOf(args[1]));
    if (!owner) return SetBool(result, false);  // a parent that cannot be found: nothing is loaded
  }
  SetBool(result, runtime::LoadWindow(window.windowId, owner, args.Bool(2, false)));
}

void GetUnitHandleCommand(TypedValue* result, int32_t argumentCount, const TypedValue* arguments) {
  const Arguments args(argumentCount, arguments);
  SetInt(result, static_cast<int32_t>(LiveHandle(NameOf(args[0]))));
}

void IsWindowLoadedCommand(TypedValue* result, int32_t argumentCount, const TypedValue* arguments) {
  const Arguments args(argumentCount, arguments);
  const UnitName window = NameOf(args[0]);
  SetBool(result, runtime::WindowLoaded(window.windowId, window.unitId));
}

void MoveUnitCommand(TypedValue*, int32_t argumentCount, const TypedValue* arguments) {
  const Arguments args(argumentCount, arguments);
  const runtime::WindowHandle handle = LiveHandle(KnownUnit(args, 0));
  if (!handle) return;
  const runtime::UnitRect old = runtime::UnitRectangle(handle);
  runtime::UnitRect moved = old;
  // A new left or top moves the rectangle keeping its size; a width or height other than -1
  // sets the right or bottom edge from the (new) left or top.
  if (args.Given(1)) moved.left = args.Int(1);
  if (args.Given(2)) moved.top = args.Int(2);
  if (args.Given(3) && args.Int(3) != -1) moved.width = args.Int(3);
  if (args.Given(4) && args.Int(4) != -1) moved.height = args.Int(4);
  if (moved == old) return;
  runtime::PlaceUnit(handle, moved);
}

}  // namespace services
