// The variable-length LZW decoder of GIF image data, on its own so that it can be tested and
// fuzzed apart from the container.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace components {

enum class LzwStatus {
  kFilled,       // the output is full (codes after it are not read)
  kEndCode,      // the end-of-information code came first
  kDataEnded,    // the data ran out first
  kBadCode,      // a code that is not in the table
  kBadCodeSize,  // a minimum code size outside 1..8
};

struct LzwResult {
  size_t written = 0;
  LzwStatus status = LzwStatus::kDataEnded;
};

// Decodes `data` (the image's data sub-blocks joined, without their length bytes) with the
// minimum code size of the image into `out`, and stops at whichever comes first: output full,
// end code, end of data or a bad code. The table grows to 4096 entries and then stays full
// until the encoder sends a clear code ("deferred clear"). Writes at most out.size() bytes.
LzwResult DecodeLzw(int minCodeSize, std::span<const uint8_t> data, std::span<uint8_t> out);

// The same, faster, for a caller that uses the output only when it was filled: when decoding
// stops early, up to 15 bytes of `out` past `written` may have been changed. Still writes
// nothing outside `out`.
LzwResult DecodeLzwScribbling(int minCodeSize, std::span<const uint8_t> data, std::span<uint8_t> out);

}  // namespace components
