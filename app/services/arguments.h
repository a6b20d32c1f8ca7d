// The argument convention of the runtime commands: reading typed arguments (an argument left
// out, or one beyond the count, takes the command's default) and filling the result triple.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "runtime/core/values.h"

namespace services {

// Owners of blocks of the runtime heap handed out by the commands.
struct HeapBlockDeleter {
  void operator()(void* block) const;
};
using OwnedText = std::unique_ptr<char, HeapBlockDeleter>;
using OwnedBytes = std::unique_ptr<uint8_t, HeapBlockDeleter>;

// The bytes of an owned text (empty for nullptr).
inline std::string_view View(const OwnedText& text) { return runtime::TextView(text.get()); }

// The typed arguments of one call.
class Arguments {
 public:
  Arguments(int32_t count, const runtime::TypedValue* values)
      : values_(values, values && count > 0 ? static_cast<size_t>(count) : 0) {}

  size_t count() const { return values_.size(); }
  // The argument at i, or an omitted one beyond the count.
  const runtime::TypedValue& operator[](size_t i) const;
  bool Given(size_t i) const { return !(*this)[i].IsOmitted(); }

  // An integer (numeric types converted as the runtime does); the fallback when omitted.
  int32_t Int(size_t i, int32_t fallback = 0) const;
  // A logical: a logical value, or a number that is not 0; the fallback when omitted.
  bool Bool(size_t i, bool fallback = false) const;
  // A double from any numeric type (or a date-time); 0 when omitted.
  double Double(size_t i) const;
  // A text argument's bytes; empty when omitted or null.
  std::string_view Text(size_t i) const;
  // An address: a long integer's 64 bits, else the integer sign-extended.
  uintptr_t Address(size_t i) const;

 private:
  std::span<const runtime::TypedValue> values_;
};

// A wrong argument type: the runtime error "所提供参数的数据类型不符合要求".
[[noreturn]] void WrongArgumentType();

// Result setters.
inline void SetInt(runtime::TypedValue* result, int32_t v) { *result = runtime::TypedValue::Int(v); }
inline void SetBool(runtime::TypedValue* result, bool v) { *result = runtime::TypedValue::Bool(v); }
inline void SetDouble(runtime::TypedValue* result, double v) { *result = runtime::TypedValue::Double(v); }
// Takes a text block (nullptr for the empty text); the caller of the command owns it.
inline void SetText(runtime::TypedValue* result, char* text) { *result = runtime::TypedValue::Text(text); }
inline void SetBytes(runtime::TypedValue* result, uint8_t* byteSet) {
  *result = runtime::TypedValue::Bytes(byteSet);
}

}  // namespace services
