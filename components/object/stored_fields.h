// The fields of the components' stored property data: little-endian 32-bit values and byte
// arrays (a 32-bit length, then that many bytes; nothing follows a length of 0 or less). They
// are written with base::PutI32 and base::PutPrefixed.
#pragma once

#include <cstdint>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace components {

using base::ByteReader;

inline bool ReadStoredArray(ByteReader& in, std::vector<uint8_t>* out) {
  int32_t length;
  if (!in.I32(&length)) return false;
  out->clear();
  if (length <= 0) return true;
  std::span<const uint8_t> bytes;
  if (!in.Bytes(static_cast<size_t>(length), &bytes)) return false;
  out->assign(bytes.begin(), bytes.end());
  return true;
}

// Reads stored property data into `out`, all or nothing: empty data gives the defaults (a
// default-made Properties); data that `readFields` rejects, or that runs out of memory, is
// rejected whole and `out` keeps the defaults.
template <typename Properties, typename ReadFields>
bool ReadStoredData(std::span<const uint8_t> data, Properties* out, ReadFields readFields) {
  *out = Properties();
  if (data.empty()) return true;
  Properties read;
  ByteReader in(data);
  try {
    if (!readFields(in, &read)) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  *out = std::move(read);
  return true;
}

}  // namespace components
