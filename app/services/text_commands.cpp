// Text commands: cutting, finding, joining, and turning values into texts and numbers.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "app/services/arguments.h"
#include "app/services/commands.h"
#include "app/services/services.h"
#include "base/checked_size.h"
#include "runtime/core/datetime.h"
#include "runtime/core/heap.h"

namespace services {

using runtime::TypedValue;

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// printf's "%.<precision>g" in the "C" locale.
template <typename T>
std::string FormatGeneral(T value, int precision) {
  char buffer[64];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  return std::string(buffer, written.ptr);
}

// The decade of the first significant digit of digits[.fraction]e<exponent>, for telling an
// overflow from an underflow.
long long LeadingDecade(std::string_view integral, std::string_view fraction, long long exponent) {
  const size_t first = integral.find_first_not_of('0');
  if (first != std::string_view::npos) return static_cast<long long>(integral.size() - 1 - first) + exponent;
  const size_t firstFraction = fraction.find_first_not_of('0');
  if (firstFraction == std::string_view::npos) return 0;
  return exponent - static_cast<long long>(firstFraction) - 1;
}

uint8_t FoldAscii(uint8_t c) { return c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + 32) : c; }

// Whether sought matches text at the position. With ignoreCase only single-byte characters
// of the sought text are compared without regard to case: the second byte of a double-byte
// character can look like a letter without being one.
bool MatchesAt(std::string_view text, size_t at, std::string_view sought, bool ignoreCase) {
  if (!ignoreCase) return text.compare(at, sought.size(), sought) == 0;
  for (size_t j = 0; j < sought.size();) {
    const auto s = static_cast<uint8_t>(sought[j]);
    const auto t = static_cast<uint8_t>(text[at + j]);
    if (IsLeadByte(s) && j + 1 < sought.size()) {
      if (t != s || text[at + j + 1] != sought[j + 1]) return false;
      j += 2;
      continue;
    }
    if (FoldAscii(t) != FoldAscii(s)) return false;
    ++j;
  }
  return true;
}

}  // namespace

std::string NormalizeFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    if (!IsLeadByte(lead) || i + 1 >= text.size()) {
      out += text[i++];
      continue;
    }
    const auto trail = static_cast<uint8_t>(text[i + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out += static_cast<char>(trail & 0x7F);
    } else if (lead == 0xA1 && trail == 0xA1) {
      out += ' ';
    } else if (lead == 0xA1 && trail == 0xAB) {
      out += '~';
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out += '*';
    } else {
      out.append(text.substr(i, 2));
    }
    i += 2;
  }
  return out;
}

double ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t mantissa = i;
  const size_t integralStart = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const std::string_view integral = text.substr(integralStart, i - integralStart);
  std::string_view fraction;
  if (i < text.size() && text[i] == '.') {
    const size_t fractionStart = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    fraction = text.substr(fractionStart, i - fractionStart);
  }
  if (integral.empty() && fraction.empty()) return 0.0;
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    if (j < text.size() && IsDigit(text[j])) {
      for (; j < text.size() && IsDigit(text[j]); ++j) {
        exponent = std::min<long long>(exponent * 10 + (text[j] - '0'), 1000000);
      }
      if (negativeExponent) exponent = -exponent;
      i = j;
    }
  }
  double value = 0.0;
  const auto parsed =
      std::from_chars(text.data() + mantissa, text.data() + i, value, std::chars_format::general);
  if (parsed.ec == std::errc::result_out_of_range) {
    value = LeadingDecade(integral, fraction, exponent) > 0 ? HUGE_VAL : 0.0;
  }
  return negative ? -value : value;
}

double ValueToNumber(const TypedValue& value) {
  switch (value.type) {
    case runtime::kTypeBool:
      return value.low != 0 ? 1.0 : 0.0;
    case runtime::kTypeByte:
    case runtime::kTypeShort:
    case runtime::kTypeInt:
      return runtime::IntegerFromValue(value);
    case runtime::kTypeLong:
      return static_cast<double>(value.AsInt64());
    case runtime::kTypeFloat:
      return value.AsFloat();
    case runtime::kTypeDouble:
      return value.AsDouble();
    case runtime::kTypeSubroutine:
      return static_cast<double>(value.Bits());
    case runtime::kTypeText:
      return ParseDecimal(NormalizeFullWidth(runtime::TextView(value.AsText())));
    default:
      return 0.0;
  }
}

std::string ValueToText(const TypedValue& value) {
  switch (value.type) {
    case runtime::kTypeText:
      return std::string(runtime::TextView(value.AsText()));
    case runtime::kTypeBytes: {
      const auto bytes = runtime::ByteSetView(value.AsBytes());
      const auto end = std::find(bytes.begin(), bytes.end(), 0);
      return std::string(bytes.begin(), end);
    }
    case runtime::kTypeByte:
      return std::to_string(value.low & 0xFF);
    case runtime::kTypeShort:
    case runtime::kTypeInt:
      return std::to_string(runtime::IntegerFromValue(value));
    case runtime::kTypeLong:
      return std::to_string(value.AsInt64());
    case runtime::kTypeFloat:
      return FormatGeneral(value.AsFloat(), 6);
    case runtime::kTypeDouble:
      return FormatGeneral(value.AsDouble(), 13);
    case runtime::kTypeBool:
      return value.low != 0 ? "真" : "假";
    case runtime::kTypeDateTime:
      return runtime::FormatDateTime(value.AsDouble());
    default:
      return {};
  }
}

char* ConcatTexts(std::span<const char* const> texts) {
  size_t total = 0;
  for (const char* text : texts) {
    const size_t length = runtime::TextView(text).size();
    // A sum beyond memory (with the terminator): the allocation of it fails, as a runtime error.
    if (!base::CheckedAdd(base::CheckedAdd(total, length), 1))
      runtime::Allocate(std::numeric_limits<size_t>::max());
    total += length;
  }
  if (total == 0) return nullptr;
  auto* joined = static_cast<char*>(runtime::Allocate(total + 1));
  size_t at = 0;
  for (const char* text : texts) {
    const std::string_view bytes = runtime::TextView(text);
    std::copy(bytes.begin(), bytes.end(), joined + at);
    at += bytes.size();
  }
  joined[at] = '\0';
  return joined;
}

void TextToNumberCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  SetDouble(result, ValueToNumber(Arguments(count, arguments)[0]));
}

void TextToFloatCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  *result = TypedValue::Float(static_cast<float>(ValueToNumber(Arguments(count, arguments)[0])));
}

void ToTextCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  SetText(result, runtime::NewText(ValueToText(Arguments(count, arguments)[0])));
}

void LeftTextCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  const std::string_view text = args.Text(0);
  const int32_t n = args.Int(1);
  SetText(result, n <= 0 ? nullptr : runtime::NewText(text.substr(0, static_cast<size_t>(n))));
}

void MidTextCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  const std::string_view text = args.Text(0);
  const int32_t start = args.Int(1);
  const int32_t n = args.Int(2);
  if (start < 1 || static_cast<size_t>(start) > text.size() || n <= 0) {
    SetText(result, nullptr);
    return;
  }
  SetText(result, runtime::NewText(text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(n))));
}

void FindTextCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  const std::string_view text = args.Text(0);
  const std::string_view sought = args.Text(1);
  const int32_t start = args.Int(2);
  const bool ignoreCase = args.Bool(3);
  if (sought.empty()) {
    SetInt(result, text.empty() ? -1 : 1);
    return;
  }
  for (size_t i = start >= 1 ? static_cast<size_t>(start) - 1 : 0; i + sought.size() <= text.size();) {
    if (MatchesAt(text, i, sought, ignoreCase)) {
      SetInt(result, static_cast<int32_t>(i + 1));
      return;
    }
    i += IsLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  SetInt(result, -1);
}

void SpacesCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const int32_t n = Arguments(count, arguments).Int(0);
  if (n < 1) {
    SetText(result, nullptr);
    return;
  }
  auto* text = static_cast<char*>(runtime::Allocate(static_cast<size_t>(n) + 1));
  std::fill(text, text + n, ' ');
  text[n] = '\0';
  SetText(result, text);
}

}  // namespace services
