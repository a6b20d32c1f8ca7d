// The value model.
#include "runtime/core/values.h"

#include <limits>
#include <optional>

#include "base/checked_size.h"
#include "runtime/core/errors.h"
#include "runtime/core/heap.h"

namespace runtime {

TypedValue TypedValue::Float(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return {bits, 0, kTypeFloat};
}

TypedValue TypedValue::Double(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return Bits64(bits, kTypeDouble);
}

TypedValue TypedValue::DateTime(double days) {
  TypedValue value = Double(days);
  value.type = kTypeDateTime;
  return value;
}

float TypedValue::AsFloat() const {
  float v;
  std::memcpy(&v, &low, sizeof v);
  return v;
}

double TypedValue::AsDouble() const {
  const uint64_t bits = Bits();
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

char* NewText(std::string_view bytes) {
  if (bytes.empty()) return nullptr;
  auto* text = static_cast<char*>(Allocate(bytes.size() + 1));
  std::memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return text;
}

uint8_t* NewByteSet(const void* data, size_t length) {
  if (length == 0) return nullptr;
  if (length > static_cast<size_t>(std::numeric_limits<int32_t>::max()) - kByteSetHeader) {
    RuntimeErrorMessage("分配 " + std::to_string(length) + " 字节内存失败!");
  }
  auto* block = static_cast<uint8_t*>(Allocate(kByteSetHeader + length));
  const int32_t header[2] = {1, static_cast<int32_t>(length)};
  std::memcpy(block, header, sizeof header);
  if (data) {
    std::memcpy(block + kByteSetHeader, data, length);
  } else {
    std::memset(block + kByteSetHeader, 0, length);
  }
  return block;
}

uint8_t* NewByteSet(std::span<const uint8_t> bytes) { return NewByteSet(bytes.data(), bytes.size()); }

size_t ByteSetLength(const uint8_t* byteSet) {
  if (!byteSet) return 0;
  int32_t length;
  std::memcpy(&length, byteSet + 4, sizeof length);
  return length > 0 ? static_cast<size_t>(length) : 0;
}

std::span<const uint8_t> ByteSetView(const uint8_t* byteSet) {
  const size_t length = ByteSetLength(byteSet);
  if (length == 0) return {};
  return {byteSet + kByteSetHeader, length};
}

size_t ArrayElementSize(uint32_t elementType) {
  switch (elementType) {
    case kTypeByte:
      return 1;
    case kTypeShort:
      return 2;
    case kTypeInt:
    case kTypeFloat:
    case kTypeBool:
      return 4;
    case kTypeLong:
    case kTypeDouble:
    case kTypeDateTime:
      return 8;
    case kTypeText:
    case kTypeBytes:
    case kTypeSubroutine:
      return sizeof(void*);
    default:
      return 0;
  }
}

namespace {

// Reads the header; false for a malformed one (no dimensions, a negative size, or an element
// count that does not fit in memory).
bool ReadArrayHeader(const void* array, size_t* dimensions, size_t* count) {
  *dimensions = 0;
  *count = 0;
  if (!array) return false;
  int32_t d;
  std::memcpy(&d, array, sizeof d);
  if (d < 1) return false;
  std::optional<size_t> total = 1;
  const auto* sizes = static_cast<const uint8_t*>(array) + 4;
  for (int32_t i = 0; i < d; ++i) {
    int32_t size;
    std::memcpy(&size, sizes + 4 * i, sizeof size);
    if (size < 0) return false;
    total = base::CheckedMultiply(total, static_cast<size_t>(size));
    if (!total) return false;
  }
  *dimensions = static_cast<size_t>(d);
  *count = *total;
  return true;
}

}  // namespace

void* NewArray(uint32_t elementType, std::span<const int32_t> sizes) {
  const size_t elementSize = ArrayElementSize(elementType);
  std::optional<size_t> count = 1;
  for (int32_t size : sizes) {
    count = size < 0 ? std::nullopt : base::CheckedMultiply(count, static_cast<size_t>(size));
  }
  const size_t header = 4 + 4 * sizes.size();
  const std::optional<size_t> total = base::CheckedAdd(base::CheckedMultiply(count, elementSize), header);
  if (elementSize == 0 || sizes.empty() || !total) {
    RuntimeErrorMessage("分配 " + std::to_string(std::numeric_limits<size_t>::max()) + " 字节内存失败!");
  }
  const size_t bytes = *total;
  auto* block = static_cast<uint8_t*>(Allocate(bytes));
  std::memset(block, 0, bytes);
  const int32_t d = static_cast<int32_t>(sizes.size());
  std::memcpy(block, &d, sizeof d);
  std::memcpy(block + 4, sizes.data(), 4 * sizes.size());
  return block;
}

size_t ArrayDimensions(const void* array) {
  size_t dimensions, count;
  ReadArrayHeader(array, &dimensions, &count);
  return dimensions;
}

size_t ArrayElementCount(const void* array) {
  size_t dimensions, count;
  ReadArrayHeader(array, &dimensions, &count);
  return count;
}

const void* ArrayElements(const void* array) {
  size_t dimensions, count;
  if (!ReadArrayHeader(array, &dimensions, &count)) return nullptr;
  return static_cast<const uint8_t*>(array) + 4 + 4 * dimensions;
}

void* ArrayElements(void* array) { return const_cast<void*>(ArrayElements(static_cast<const void*>(array))); }

void FreeArray(void* array, uint32_t elementType) {
  if (!array) return;
  if (elementType == kTypeText || elementType == kTypeBytes) {
    auto* elements = static_cast<uint8_t*>(ArrayElements(array));
    const size_t count = ArrayElementCount(array);
    for (size_t i = 0; elements && i < count; ++i) {
      void* element;
      std::memcpy(&element, elements + i * sizeof(void*), sizeof element);
      Free(element);
    }
  }
  Free(array);
}

int32_t TruncateToInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

int32_t IntegerFromValue(const TypedValue& value) {
  switch (value.type) {
    case kTypeByte:
      return static_cast<int32_t>(value.low & 0xFF);
    case kTypeShort:
      return static_cast<int16_t>(value.low & 0xFFFF);
    case kTypeInt:
    case kTypeLong:
      return static_cast<int32_t>(value.low);
    case kTypeFloat:
      return TruncateToInt32(value.AsFloat());
    case kTypeDouble:
      return TruncateToInt32(value.AsDouble());
    default:
      RuntimeErrorMessage("欲转换数据类型不是数值");
  }
}

}  // namespace runtime
