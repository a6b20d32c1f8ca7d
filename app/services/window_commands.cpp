// The window services over the runtime object. A unit that the program's templates do not know
// at all is the runtime error "指定窗口或窗口组件不存在或尚未载入"; a known unit whose window is
// not loaded is a soft failure (nothing happens, or false / 0).
#include "app/services/window_commands.h"

#include "runtime/errors.h"
#include "runtime/forms.h"

namespace services {
namespace {

using runtime::TypedValue;

const TypedValue& Argument(int32_t count, const TypedValue* arguments, int32_t i) {
  static const TypedValue kOmitted;
  return arguments && i < count ? arguments[i] : kOmitted;
}

struct UnitName {
  uint32_t windowId;
  uint32_t unitId;
};

UnitName NameOf(const TypedValue& value) { return {value.low, value.high}; }

// A unit argument that must name a unit of the program's templates.
UnitName KnownUnit(const TypedValue& value) {
  const UnitName name = NameOf(value);
  if (value.IsOmitted() || !runtime::Forms().Knows(name.windowId, name.unitId)) {
    runtime::RuntimeErrorMessage(runtime::kErrorNoSuchUnit);
  }
  return name;
}

bool Logical(const TypedValue& value, bool fallback) {
  if (value.IsOmitted()) return fallback;
  if (value.type == runtime::kTypeBool) return value.low != 0;
  return runtime::IntegerFromValue(value) != 0;
}

runtime::WindowHandle LiveHandle(const UnitName& name) {
  return runtime::Forms().UnitHandle(name.windowId, name.unitId);
}

}  // namespace

void DestroyWindowUnitCommand(TypedValue*, int32_t count, const TypedValue* arguments) {
  const UnitName unit = KnownUnit(Argument(count, arguments, 0));
  const bool immediately = Logical(Argument(count, arguments, 1), false);
  runtime::Forms().DestroyUnit(unit.windowId, unit.unitId, immediately);
}

void RefreshUnitCommand(TypedValue*, int32_t count, const TypedValue* arguments) {
  const UnitName unit = KnownUnit(Argument(count, arguments, 0));
  if (const runtime::WindowHandle handle = LiveHandle(unit)) runtime::Forms().system().Refresh(handle);
}

void LoadWindowCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const UnitName window = NameOf(Argument(count, arguments, 0));
  const TypedValue& parent = Argument(count, arguments, 1);
  const bool modal = Logical(Argument(count, arguments, 2), false);
  runtime::WindowHandle owner = 0;
  if (!parent.IsOmitted()) {
    owner = LiveHandle(NameOf(parent));
    if (!owner) {
      *result = TypedValue::Bool(false);  // a parent that cannot be found: nothing is loaded
      return;
    }
  }
  *result = TypedValue::Bool(runtime::Forms().LoadWindow(window.windowId, owner, modal));
}

void GetUnitHandleCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const runtime::WindowHandle handle = LiveHandle(NameOf(Argument(count, arguments, 0)));
  *result = TypedValue::Int(static_cast<int32_t>(handle));
}

void IsWindowLoadedCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const UnitName window = NameOf(Argument(count, arguments, 0));
  *result = TypedValue::Bool(runtime::Forms().IsWindowLoaded(window.windowId, window.unitId));
}

void MoveUnitCommand(TypedValue*, int32_t count, const TypedValue* arguments) {
  const UnitName unit = KnownUnit(Argument(count, arguments, 0));
  const runtime::WindowHandle handle = LiveHandle(unit);
  if (!handle) return;
  runtime::WindowSystem& system = runtime::Forms().system();
  const runtime::UnitRect old = system.Rect(handle);
  runtime::UnitRect moved = old;
  const TypedValue& left = Argument(count, arguments, 1);
  const TypedValue& top = Argument(count, arguments, 2);
  const TypedValue& width = Argument(count, arguments, 3);
  const TypedValue& height = Argument(count, arguments, 4);
  // A new left or top moves the rectangle keeping its size; a width or height other than -1
  // sets the right or bottom edge from the (new) left or top.
  if (!left.IsOmitted()) moved.left = runtime::IntegerFromValue(left);
  if (!top.IsOmitted()) moved.top = runtime::IntegerFromValue(top);
  if (!width.IsOmitted() && runtime::IntegerFromValue(width) != -1)
    moved.width = runtime::IntegerFromValue(width);
  if (!height.IsOmitted() && runtime::IntegerFromValue(height) != -1) {
    moved.height = runtime::IntegerFromValue(height);
  }
  if (moved == old) return;
  system.Place(handle, moved);
}

}  // namespace services
