// libFuzzer target: the LZW decoder against a plain reference decoder that walks prefix chains.
// Input: minimum code size, 2 bytes of output size, then the code bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "components/image/lzw_decoder.h"

namespace {

using components::LzwResult;
using components::LzwStatus;

// The textbook decoder: every entry a (prefix, suffix) pair, strings rebuilt backwards.
LzwResult Reference(int minCodeSize, const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  if (minCodeSize < 1 || minCodeSize > 8) return {0, LzwStatus::kBadCodeSize};
  const int clear = 1 << minCodeSize, end = clear + 1;
  std::vector<int> prefix(4096, -1);
  std::vector<uint8_t> suffix(4096), stack;
  for (int i = 0; i < clear; ++i) suffix[i] = static_cast<uint8_t>(i);
  int bits = minCodeSize + 1, next = clear + 2, previous = -1;
  size_t bitPos = 0, pos = 0;
  auto first = [&](int code) {
    while (prefix[code] >= 0) code = prefix[code];
    return suffix[code];
  };
  while (pos < out.size()) {
    if (bitPos + bits > size * 8) return {pos, LzwStatus::kDataEnded};
    int code = 0;
    for (int b = 0; b < bits; ++b, ++bitPos) code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1) << b;
    if (code == clear) {
      bits = minCodeSize + 1;
      next = clear + 2;
      previous = -1;
      continue;
    }
    if (code == end) return {pos, LzwStatus::kEndCode};
    int walk;
    uint8_t extra = 0;
    bool selfDefined = false;
    if (code < clear || (previous >= 0 && code < next)) {
      walk = code;
    } else if (previous >= 0 && code == next && next < 4096) {
      walk = previous;
      extra = first(previous);
      selfDefined = true;
    } else {
      return {pos, LzwStatus::kBadCode};
    }
    stack.clear();
    for (int c = walk; c >= 0; c = prefix[c]) stack.push_back(suffix[c]);
    const uint8_t head = stack.back();
    while (!stack.empty() && pos < out.size()) {
      out[pos++] = stack.back();
      stack.pop_back();
    }
    if (selfDefined && pos < out.size()) out[pos++] = extra;
    if (previous >= 0 && next < 4096) {
      prefix[next] = previous;
      suffix[next] = selfDefined ? extra : head;
      ++next;
    }
    if (next >= (1 << bits) && bits < 12) ++bits;
    previous = code;
  }
  return {pos, LzwStatus::kFilled};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int minCodeSize = data[0] % 10;
  const size_t outSize = data[1] | (data[2] << 8);
  std::vector<uint8_t> ours(outSize, 0xEE), reference(outSize, 0xEE);
  const LzwResult a = components::DecodeLzw(minCodeSize, {data + 3, size - 3}, ours);
  const LzwResult b = Reference(minCodeSize, data + 3, size - 3, reference);
  if (a.status != b.status || a.written != b.written || ours != reference) abort();
  // The scribbling variant: the same result and bytes up to `written`.
  std::vector<uint8_t> scribbled(outSize, 0xEE);
  const LzwResult c = components::DecodeLzwScribbling(minCodeSize, {data + 3, size - 3}, scribbled);
  if (c.status != b.status || c.written != b.written ||
      !std::equal(scribbled.begin(), scribbled.begin() + c.written, reference.begin())) {
    abort();
  }
  return 0;
}
