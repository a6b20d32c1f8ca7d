// Byte-set and raw-byte commands.
#include <cstring>
#include <span>

#include "app/services/arguments.h"
#include "app/services/commands.h"

namespace services {

using runtime::TypedValue;

namespace {

// Bytes of a plain value held in the typed value's own words (0 for other types).
size_t PlainValueSize(uint32_t type) {
  switch (type) {
    case runtime::kTypeByte:
      return 1;
    case runtime::kTypeShort:
      return 2;
    case runtime::kTypeInt:
    case runtime::kTypeFloat:
    case runtime::kTypeBool:
      return 4;
    case runtime::kTypeLong:
    case runtime::kTypeDouble:
    case runtime::kTypeDateTime:
      return 8;
    default:
      return 0;
  }
}

std::span<const uint8_t> PlainValueBytes(const TypedValue& value) {
  // low and high lie one after the other, little-endian: the value's own bytes.
  return {reinterpret_cast<const uint8_t*>(&value.low), PlainValueSize(value.type)};
}

std::span<const uint8_t> ArrayBytes(const TypedValue& value) {
  const void* array = value.AsPointer<const void>();
  const auto* elements = static_cast<const uint8_t*>(runtime::ArrayElements(array));
  if (!elements) return {};
  return {elements,
          runtime::ArrayElementCount(array) * runtime::ArrayElementSize(runtime::ElementType(value.type))};
}

}  // namespace

void ByteSetLengthCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const TypedValue& value = Arguments(count, arguments)[0];
  if (!value.IsOmitted() && value.type != runtime::kTypeBytes) WrongArgumentType();
  SetInt(result, static_cast<int32_t>(runtime::ByteSetLength(value.AsBytes())));
}

void NewByteSetCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const int32_t n = Arguments(count, arguments).Int(0);
  SetBytes(result, n <= 0 ? nullptr : runtime::NewByteSet(nullptr, static_cast<size_t>(n)));
}

void CopyBytesOutCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  const TypedValue& value = args[0];
  auto* destination = reinterpret_cast<uint8_t*>(args.Address(1));
  if (!destination) return;
  std::span<const uint8_t> bytes;
  static const uint8_t kTerminator = 0;
  if (value.type == runtime::kTypeText) {
    const char* text = value.AsText();
    // The text with its terminating 0 byte; the empty text is that byte alone.
    bytes = text ? std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text), std::strlen(text) + 1)
                 : std::span<const uint8_t>(&kTerminator, 1);
  } else if (value.type == runtime::kTypeBytes) {
    bytes = runtime::ByteSetView(value.AsBytes());
  } else if (value.type == (runtime::kTypeByte | runtime::kArrayFlag)) {
    bytes = ArrayBytes(value);
  } else if (!runtime::IsArrayType(value.type)) {
    bytes = PlainValueBytes(value);
  }
  if (args.Given(2)) {
    const int32_t length = args.Int(2);
    if (length >= 0 && static_cast<size_t>(length) <= bytes.size())
      bytes = bytes.first(static_cast<size_t>(length));
  }
  if (!bytes.empty()) std::memmove(destination, bytes.data(), bytes.size());
}

void BytesFromAddressCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  const auto* source = reinterpret_cast<const uint8_t*>(args.Address(0));
  const int32_t length = args.Int(1);
  SetBytes(result,
           !source || length <= 0 ? nullptr : runtime::NewByteSet(source, static_cast<size_t>(length)));
}

void ToByteSetCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const TypedValue& value = Arguments(count, arguments)[0];
  std::span<const uint8_t> bytes;
  if (value.type == runtime::kTypeText) {
    const std::string_view text = runtime::TextView(value.AsText());
    bytes = {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
  } else if (value.type == runtime::kTypeBytes) {
    bytes = runtime::ByteSetView(value.AsBytes());
  } else if (runtime::IsArrayType(value.type)) {
    if (runtime::IsNumericType(runtime::ElementType(value.type))) bytes = ArrayBytes(value);
  } else {
    bytes = PlainValueBytes(value);
  }
  SetBytes(result, runtime::NewByteSet(bytes));
}

}  // namespace services
