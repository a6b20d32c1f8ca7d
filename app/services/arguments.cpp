// Reading typed arguments.
#include "app/services/arguments.h"

#include "runtime/core/errors.h"
#include "runtime/core/heap.h"

namespace services {

using runtime::TypedValue;

void HeapBlockDeleter::operator()(void* block) const { runtime::Free(block); }

void WrongArgumentType() { runtime::RuntimeError(runtime::kErrorArgumentType); }

const TypedValue& Arguments::operator[](size_t i) const {
  static const TypedValue kOmitted;
  return i < values_.size() ? values_[i] : kOmitted;
}

int32_t Arguments::Int(size_t i, int32_t fallback) const {
  const TypedValue& value = (*this)[i];
  if (value.IsOmitted()) return fallback;
  if (value.type == runtime::kTypeBool) return value.low != 0 ? 1 : 0;
  return runtime::IntegerFromValue(value);
}

bool Arguments::Bool(size_t i, bool fallback) const {
  const TypedValue& value = (*this)[i];
  if (value.IsOmitted()) return fallback;
  if (value.type == runtime::kTypeBool) return value.low != 0;
  if (!runtime::IsNumericType(value.type)) WrongArgumentType();
  return Double(i) != 0.0;
}

double Arguments::Double(size_t i) const {
  const TypedValue& value = (*this)[i];
  switch (value.type) {
    case runtime::kTypeOmitted:
      return 0.0;
    case runtime::kTypeDouble:
    case runtime::kTypeDateTime:
      return value.AsDouble();
    case runtime::kTypeFloat:
      return value.AsFloat();
    case runtime::kTypeLong:
      return static_cast<double>(value.AsInt64());
    case runtime::kTypeByte:
    case runtime::kTypeShort:
    case runtime::kTypeInt:
      return runtime::IntegerFromValue(value);
    default:
      WrongArgumentType();
  }
}

std::string_view Arguments::Text(size_t i) const {
  const TypedValue& value = (*this)[i];
  if (value.IsOmitted()) return {};
  if (value.type != runtime::kTypeText) WrongArgumentType();
  return runtime::TextView(value.AsText());
}

uintptr_t Arguments::Address(size_t i) const {
  const TypedValue& value = (*this)[i];
  if (value.type == runtime::kTypeLong) return static_cast<uintptr_t>(value.Bits());
  return static_cast<uintptr_t>(static_cast<intptr_t>(Int(i)));
}

}  // namespace services
