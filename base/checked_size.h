// Size arithmetic that reports overflow instead of wrapping: for sizes computed from stored
// data or image dimensions, where a wrapped product would allocate too little and write past it.
#pragma once

#include <cstddef>
#include <optional>

namespace base {

// a + b, or nothing when the sum does not fit.
constexpr std::optional<size_t> CheckedAdd(size_t a, size_t b) {
  size_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
  return sum;
}

// a × b, or nothing when the product does not fit.
constexpr std::optional<size_t> CheckedMultiply(size_t a, size_t b) {
  size_t product = 0;
  if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
  return product;
}

// Chained: nothing once any step has overflowed.
constexpr std::optional<size_t> CheckedAdd(std::optional<size_t> a, size_t b) {
  return a ? CheckedAdd(*a, b) : std::nullopt;
}
constexpr std::optional<size_t> CheckedMultiply(std::optional<size_t> a, size_t b) {
  return a ? CheckedMultiply(*a, b) : std::nullopt;
}

}  // namespace base
