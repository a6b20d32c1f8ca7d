// Number and bit commands.
#include <cmath>

#include "app/services/arguments.h"
#include "app/services/commands.h"

namespace services {

using runtime::TypedValue;

namespace {

// The integers of all arguments combined with op, starting from the first.
template <typename Op>
int32_t Combine(int32_t count, const TypedValue* arguments, Op op) {
  const Arguments args(count, arguments);
  if (args.count() == 0) return 0;
  uint32_t value = static_cast<uint32_t>(args.Int(0));
  for (size_t i = 1; i < args.count(); ++i) value = op(value, static_cast<uint32_t>(args.Int(i)));
  return static_cast<int32_t>(value);
}

}  // namespace

void BitOrCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  SetInt(result, Combine(count, arguments, [](uint32_t a, uint32_t b) { return a | b; }));
}

void BitAndCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  SetInt(result, Combine(count, arguments, [](uint32_t a, uint32_t b) { return a & b; }));
}

void BitNotCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  SetInt(result, ~Arguments(count, arguments).Int(0));
}

void ShiftLeftCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  const uint32_t value = static_cast<uint32_t>(args.Int(0));
  SetInt(result, static_cast<int32_t>(value << (args.Int(1) & 31)));
}

void ShiftRightCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  SetInt(result, args.Int(0) >> (args.Int(1) & 31));  // arithmetic: the sign is kept
}

void MakeRgbCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  const uint32_t red = static_cast<uint32_t>(args.Int(0));
  const uint32_t green = static_cast<uint32_t>(args.Int(1)) & 0xFF;
  const uint32_t blue = static_cast<uint32_t>(args.Int(2));
  SetInt(result, static_cast<int32_t>(blue * 65536u + green * 256u + red));
}

void AbsoluteCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  SetDouble(result, std::fabs(Arguments(count, arguments).Double(0)));
}

}  // namespace services
