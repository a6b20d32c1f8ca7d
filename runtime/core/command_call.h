// Calling a runtime command: the command routine receives a result area of three words
// (zeroed), the argument count and the typed arguments one after another, and fills the
// result. The first two words of the result are the command's return value.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "runtime/core/values.h"

namespace runtime {

using CommandRoutine = void (*)(TypedValue* result, int32_t argumentCount, const TypedValue* arguments);

// Calls the routine with the arguments and returns its result triple. A missing routine is a
// runtime error (a call of a command this runtime does not have).
TypedValue CallCommand(CommandRoutine routine, std::span<const TypedValue> arguments);
inline TypedValue CallCommand(CommandRoutine routine, std::initializer_list<TypedValue> arguments) {
  return CallCommand(routine, std::span<const TypedValue>(arguments.begin(), arguments.size()));
}

}  // namespace runtime
