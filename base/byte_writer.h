// Appending little-endian words, texts and length-prefixed items to a byte vector: the
// counterpart of ByteReader. Everything here is constexpr so that the program's own template
// block can be written while the program is compiled.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace base {

using Bytes = std::vector<uint8_t>;

constexpr void PutU32(Bytes& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}
constexpr void PutI32(Bytes& out, int32_t value) { PutU32(out, static_cast<uint32_t>(value)); }

constexpr void PutRaw(Bytes& out, std::span<const uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}
constexpr void PutRaw(Bytes& out, std::string_view text) {
  for (char c : text) out.push_back(static_cast<uint8_t>(c));
}

// Items longer than 4 GB cannot be stored; nothing in a template comes near.
constexpr void PutPrefixed(Bytes& out, std::span<const uint8_t> bytes) {
  PutU32(out, static_cast<uint32_t>(bytes.size()));
  PutRaw(out, bytes);
}
constexpr void PutPrefixed(Bytes& out, std::string_view text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  PutRaw(out, text);
}

// The text up to its first 0 byte, then the terminator: a stored zero-terminated text cannot
// hold a 0 byte.
constexpr void PutZeroTerminated(Bytes& out, std::string_view text) {
  PutRaw(out, text.substr(0, text.find('\0')));
  out.push_back(0);
}

}  // namespace base
