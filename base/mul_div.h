// MulDiv as Windows computes it, for portable pixel code: a x b / c with a 64-bit product,
// rounded half away from zero, and -1 when c is 0 or the result does not fit 32 bits.
// Trend colours, brightness, blending and zoom sizes depend on this exact rounding.
#pragma once

#include <cstdint>

namespace base {

constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t divisor = c < 0 ? -static_cast<int64_t>(c) : c;
  // The sign of the result, so that the half is added away from zero.
  const bool negative = (product < 0) != (c < 0);
  const uint64_t magnitude = product < 0 ? static_cast<uint64_t>(-product) : static_cast<uint64_t>(product);
  const uint64_t quotient = (magnitude + static_cast<uint64_t>(divisor / 2)) / static_cast<uint64_t>(divisor);
  // Windows gives -1 for any result beyond +-2^31-1 (including -2^31).
  if (quotient > 0x7FFFFFFF) return -1;
  const int32_t result = static_cast<int32_t>(quotient);
  return negative ? -result : result;
}

}  // namespace base
