// The one path by which code calls a runtime command.
#include "runtime/core/command_call.h"

#include "runtime/core/errors.h"

namespace runtime {

TypedValue CallCommand(CommandRoutine routine, std::span<const TypedValue> arguments) {
  if (!routine) RuntimeErrorMessage("调用了运行时不具备的命令");
  TypedValue result;
  routine(&result, static_cast<int32_t>(arguments.size()), arguments.data());
  return result;
}

}  // namespace runtime
