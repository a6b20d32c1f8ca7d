// The value model shared by all code: data type codes, typed values (three 32-bit words),
// text values, byte-sets and arrays, all living in the runtime heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace runtime {

// Data type codes.
inline constexpr uint32_t kTypeOmitted = 0;
inline constexpr uint32_t kTypeByte = 0x80000101;
inline constexpr uint32_t kTypeShort = 0x80000201;
inline constexpr uint32_t kTypeInt = 0x80000301;
inline constexpr uint32_t kTypeLong = 0x80000401;
inline constexpr uint32_t kTypeFloat = 0x80000501;
inline constexpr uint32_t kTypeDouble = 0x80000601;
inline constexpr uint32_t kTypeBool = 0x80000002;
inline constexpr uint32_t kTypeDateTime = 0x80000003;
inline constexpr uint32_t kTypeText = 0x80000004;
inline constexpr uint32_t kTypeBytes = 0x80000005;
inline constexpr uint32_t kTypeSubroutine = 0x80000006;
// Added to a code, marks an array of that type.
inline constexpr uint32_t kArrayFlag = 0x20000000;

// The six numeric types are the codes ending in 01.
constexpr bool IsNumericType(uint32_t type) {
  return type == kTypeByte || type == kTypeShort || type == kTypeInt || type == kTypeLong ||
         type == kTypeFloat || type == kTypeDouble;
}
constexpr bool IsArrayType(uint32_t type) { return (type & kArrayFlag) != 0 && type != kArrayFlag; }
constexpr uint32_t ElementType(uint32_t type) { return type & ~kArrayFlag; }

// A typed value: value low word, value high word, data type code. A 64-bit value spans both
// words; a pointer lies in the low word on 32-bit Windows and across both on 64-bit builds.
// Arguments of runtime commands and their results have this layout.
struct TypedValue {
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t type = kTypeOmitted;

  static TypedValue Omitted() { return {}; }
  static TypedValue Byte(uint8_t v) { return {v, 0, kTypeByte}; }
  static TypedValue Short(int16_t v) {
    return {static_cast<uint32_t>(static_cast<int32_t>(v)), 0, kTypeShort};
  }
  static TypedValue Int(int32_t v) { return {static_cast<uint32_t>(v), 0, kTypeInt}; }
  static TypedValue Bool(bool v) { return {v ? 1u : 0u, 0, kTypeBool}; }
  static TypedValue Long(int64_t v) { return Bits64(static_cast<uint64_t>(v), kTypeLong); }
  static TypedValue Float(float v);
  static TypedValue Double(double v);
  static TypedValue DateTime(double days);
  static TypedValue Pointer(const void* p, uint32_t type) {
    return Bits64(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)), type);
  }
  static TypedValue Text(const char* text) { return Pointer(text, kTypeText); }
  static TypedValue Bytes(const uint8_t* byteSet) { return Pointer(byteSet, kTypeBytes); }
  static TypedValue Bits64(uint64_t bits, uint32_t type) {
    return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), type};
  }

  bool IsOmitted() const { return type == kTypeOmitted; }
  uint64_t Bits() const { return (static_cast<uint64_t>(high) << 32) | low; }
  int32_t AsInt32() const { return static_cast<int32_t>(low); }
  int64_t AsInt64() const { return static_cast<int64_t>(Bits()); }
  float AsFloat() const;
  double AsDouble() const;
  template <typename T = void>
  T* AsPointer() const {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(Bits()));
  }
  const char* AsText() const { return AsPointer<const char>(); }
  const uint8_t* AsBytes() const { return AsPointer<const uint8_t>(); }
};
static_assert(sizeof(TypedValue) == 12, "a typed value is three 32-bit words");

// A window or component reference: window id low, unit id high, the class's type reference
// as the data type code.
inline TypedValue UnitReference(uint32_t windowId, uint32_t unitId, uint32_t typeReference) {
  return {windowId, unitId, typeReference};
}

// ---- Text values: NUL-terminated bytes in a heap block; the empty text is nullptr. ----

// A new text holding the bytes (nullptr when there are none).
char* NewText(std::string_view bytes);
// The bytes of a text value (a null text is empty).
inline std::string_view TextView(const char* text) {
  return text ? std::string_view(text) : std::string_view();
}

// ---- Byte-sets: a heap block of the 32-bit number 1, the 32-bit length L, then L bytes. ----

inline constexpr size_t kByteSetHeader = 8;
// A new byte-set holding the bytes (nullptr when there are none).
uint8_t* NewByteSet(const void* data, size_t length);
uint8_t* NewByteSet(std::span<const uint8_t> bytes);
// Length of a byte-set: 0 for nullptr, and for a stored length below 0.
size_t ByteSetLength(const uint8_t* byteSet);
// The bytes of a byte-set.
std::span<const uint8_t> ByteSetView(const uint8_t* byteSet);
inline std::span<uint8_t> ByteSetView(uint8_t* byteSet) {
  auto view = ByteSetView(static_cast<const uint8_t*>(byteSet));
  return {const_cast<uint8_t*>(view.data()), view.size()};
}

// ---- Arrays: 32-bit dimension count D, D 32-bit sizes, then the elements. ----

// Bytes of one element of an array of the element type (pointer size for texts, byte-sets
// and subroutines), 0 for a type that cannot form an array.
size_t ArrayElementSize(uint32_t elementType);
// A new zeroed array with the given dimension sizes. Sizes that overflow are a runtime
// allocation error.
void* NewArray(uint32_t elementType, std::span<const int32_t> sizes);
// Dimension count and sizes; 0 elements for nullptr or a malformed header (a negative size).
size_t ArrayDimensions(const void* array);
size_t ArrayElementCount(const void* array);
void* ArrayElements(void* array);
const void* ArrayElements(const void* array);
// Frees an array; for texts and byte-sets every element block first.
void FreeArray(void* array, uint32_t elementType);

// A double truncated toward zero into 32 bits; NaN and values outside the range give
// 0x80000000, as the processor's conversion does.
int32_t TruncateToInt32(double value);

// Integer from value: byte zero-extended, short sign-extended, integer as is, long integer its
// low 32 bits, floats truncated toward zero. Anything else is the runtime error
// "欲转换数据类型不是数值".
int32_t IntegerFromValue(const TypedValue& value);

}  // namespace runtime
